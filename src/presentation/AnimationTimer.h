#pragma once

#include <QEvent>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class QObject;

// The 10 ms animation clock. It runs on a thread of its own and does one thing: while an effect
// is running it posts a step event to the receiver, whose thread carries the step out. Steps are
// never merged or skipped: a slow step only lets events queue. The destructor stops and joins the
// thread, so nothing it reaches can be released while it runs.
class AnimationTimer {
public:
    static constexpr int IntervalMilliseconds = 10;
    static const QEvent::Type StepEvent;

    // running and tickReload belong to the presentation, which outlives the timer.
    AnimationTimer(QObject* receiver, const std::atomic<bool>& running, const std::atomic<int>& tickReload);
    ~AnimationTimer();

    AnimationTimer(const AnimationTimer&) = delete;
    AnimationTimer& operator=(const AnimationTimer&) = delete;

    void stop();

private:
    void run();
    void tick();

    QObject* const m_receiver;

    // --- Read by the timer thread, written by the GUI thread.
    const std::atomic<bool>& m_running;
    const std::atomic<int>& m_tickReload;

    // --- Only the timer thread touches these.
    int m_tickCountdown = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false; // guarded by m_mutex
    std::thread m_thread;
};
