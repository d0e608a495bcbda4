#include "AnimationTimer.h"

#include <QCoreApplication>
#include <chrono>

const QEvent::Type AnimationTimer::StepEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

AnimationTimer::AnimationTimer(QObject* receiver, const AnimationPace& pace)
    : m_receiver(receiver), m_pace(pace), m_thread([this] { run(); }) {}

AnimationTimer::~AnimationTimer() {
    stop();
}

void AnimationTimer::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void AnimationTimer::run() {
    using Clock = std::chrono::steady_clock;
    constexpr auto Interval = std::chrono::milliseconds(IntervalMilliseconds);
    auto next = Clock::now() + Interval;
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_until(lock, next, [this] { return m_stopping; })) {
        lock.unlock();
        tick();
        lock.lock();
        // A steady cadence; after a long stall the clock starts afresh instead of catching up.
        next += Interval;
        if (const auto now = Clock::now(); next < now)
            next = now + Interval;
    }
}

void AnimationTimer::tick() {
    if (!m_pace.EffectRunning)
        return;
    if (--m_tickCountdown < 0)
        m_tickCountdown = m_pace.TickReload;
    if (m_tickCountdown <= 1)
        QCoreApplication::postEvent(m_receiver, new QEvent(StepEvent));
}
