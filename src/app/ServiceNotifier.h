#pragma once

#include <QTimer>
#include <chrono>

// Tells the service manager that started the display (systemd, for a unit of Type=notify) that it is
// ready, and feeds the manager's watchdog from the GUI thread, so that a display whose GUI thread
// hangs is restarted. Started any other way, the display sends nothing.
class ServiceNotifier {
public:
    // "READY=1", then "WATCHDOG=1" at half the interval the manager's watchdog asks for, sent by a
    // timer of the calling thread's event loop. Called once, when the display is ready.
    void notifyReady();

    // The time between two watchdog messages; zero when no watchdog is asked for.
    std::chrono::milliseconds watchdogInterval() const;

private:
    QTimer m_watchdog;
};
