#include "presentation/AnimationTimer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <gtest/gtest.h>

namespace {

class StepCounter : public QObject {
public:
    int steps = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != AnimationTimer::StepEvent)
            return QObject::event(event);
        ++steps;
        return true;
    }
};

void processEventsFor(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(AnimationTimerTest, PostsStepsOnlyWhileAnEffectRuns) {
    StepCounter counter;
    AnimationPace pace;
    pace.TickReload = 1;
    {
        AnimationTimer timer(&counter, pace);
        processEventsFor(100);
        EXPECT_EQ(counter.steps, 0);

        pace.EffectRunning = true;
        const QDeadlineTimer deadline(5000);
        while (counter.steps < 5 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        EXPECT_GE(counter.steps, 5);

        pace.EffectRunning = false;
        processEventsFor(50); // steps posted before the stop still arrive
        const int stepsAtStop = counter.steps;
        processEventsFor(100);
        EXPECT_EQ(counter.steps, stepsAtStop);
        pace.EffectRunning = true;
    }
    // Destroyed: the thread has been joined, nothing is posted any more.
    QCoreApplication::processEvents();
    const int stepsAtDestruction = counter.steps;
    processEventsFor(50);
    EXPECT_EQ(counter.steps, stepsAtDestruction);
}

} // namespace
