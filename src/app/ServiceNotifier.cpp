#include "ServiceNotifier.h"

#include <algorithm>
#include <systemd/sd-daemon.h>

using namespace std::chrono_literals;

void ServiceNotifier::notifyReady() {
    sd_notify(0, "READY=1");
    uint64_t microseconds = 0;
    if (sd_watchdog_enabled(0, &microseconds) <= 0)
        return;
    // Half the watchdog's interval, as the manager advises: a late timer still arrives in time.
    const auto half =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::microseconds(microseconds) / 2);
    m_watchdog.setInterval(std::max<std::chrono::milliseconds>(half, 1ms));
    QObject::connect(&m_watchdog, &QTimer::timeout, [] { sd_notify(0, "WATCHDOG=1"); });
    m_watchdog.start();
}

std::chrono::milliseconds ServiceNotifier::watchdogInterval() const {
    return m_watchdog.isActive() ? m_watchdog.intervalAsDuration() : 0ms;
}
