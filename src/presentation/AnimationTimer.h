#pragma once

#include <QEvent>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class QObject;

// What the animation clock reads of the presentation: whether an effect runs, and every how many
// ticks it takes a step. Written only by the GUI thread.
struct AnimationPace {
    std::atomic<bool> EffectRunning{false};
    std::atomic<int> TickReload{0};
};

// The 10 ms animation clock. It runs on a thread of its own and does one thing: while an effect
// is running it posts a step event to the receiver, whose thread carries the step out. Steps are
// never merged or skipped: a slow step only lets events queue. The destructor stops and joins the
// thread, so nothing it reaches can be released while it runs.
class AnimationTimer {
public:
    static constexpr int IntervalMilliseconds = 10;
    static const QEvent::Type StepEvent;

    // The pace belongs to the presentation, which outlives the timer.
    AnimationTimer(QObject* receiver, const AnimationPace& pace);
    ~AnimationTimer();

    AnimationTimer(const AnimationTimer&) = delete;
    AnimationTimer& operator=(const AnimationTimer&) = delete;

    void stop();

private:
    void run();
    void tick();

    QObject* const m_receiver;

    // --- Read by the timer thread, written by the GUI thread.
    const AnimationPace& m_pace;

    // --- Only the timer thread touches these.
    int m_tickCountdown = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false; // guarded by m_mutex
    std::thread m_thread;
};
