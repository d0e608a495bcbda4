#include "WindowGeometry.h"

#include "DevicePixels.h"
#include "PresentationWindow.h"
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

// The monitors in device pixels.
MonitorLayout currentMonitors() {
    MonitorLayout layout;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        layout.monitors.append(deviceGeometry(*screen));
        layout.names.append(screen->name());
    }
    layout.primary = std::max<qsizetype>(0, screens.indexOf(QGuiApplication::primaryScreen()));
    return layout;
}

QMargins frameMargins(const PresentationWindow& window) {
    const QRect frame = window.deviceFrameGeometry();
    const QRect client = window.deviceGeometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

} // namespace

WindowGeometry::WindowGeometry(PresentationWindow& window, const PlacementSettings& settings)
    : m_window(window), m_settings(settings) {
    QObject::connect(&m_window, &PresentationWindow::borderHiding, &m_window, [this] { SetPosition(); });
    QObject::connect(&m_window, &PresentationWindow::moveSettled, &m_window, [this] { onMoveSettled(); });
    // A monitor that comes or goes (the one the window was on unplugged, say) must not leave the
    // window where no monitor shows it: its geometry is applied again once the change has settled.
    const auto monitorsChanged = [this] {
        m_sinceMonitorsChanged.start();
        QTimer::singleShot(0, &m_window, [this] { SetPosition(); });
    };
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, &m_window, monitorsChanged);
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, &m_window, monitorsChanged);
}

QRect WindowGeometry::normalGeometry() const {
    return m_normalKept ? m_normalGeometry : m_window.deviceGeometry();
}

void WindowGeometry::onMoveSettled() {
    if (m_settings.FixTopLeft())
        MoveTopLeftOfCurrentMonitor();
    else if (m_sinceMonitorsChanged.isValid() && !m_sinceMonitorsChanged.hasExpired(MonitorChangeSettleMilliseconds))
        SetPosition();
}

PlacementInput WindowGeometry::placementInput() const {
    const bool fixTopLeft = m_settings.FixTopLeft() && !m_positionFromCommandLine;
    return {m_window.deviceGeometry(),  m_displaySize,          fixTopLeft,
            m_settings.MonitorNumber(), frameMargins(m_window), m_settings.MonitorName()};
}

QString WindowGeometry::monitorName() const {
    const MonitorLayout monitors = currentMonitors();
    return monitors.names.value(nearestMonitor(monitors, m_window.deviceFrameGeometry()));
}

void WindowGeometry::SetPosition() {
    applyPlacement();
    m_window.raise();
    m_window.setWindowAlpha(255);
}

void WindowGeometry::applyPlacement() {
    if (m_fullScreen)
        MakeFullScreen();
    else
        m_window.applyGeometry(placeWindow(placementInput(), currentMonitors()));
}

void WindowGeometry::MakeFullScreen() {
    keepNormalGeometry();
    const QRect area = fullScreenArea(placementInput(), currentMonitors());
    if (area.isEmpty() || (m_window.isFullScreen() && m_window.deviceGeometry() == area)) {
        m_window.enterFullScreen();
        return;
    }
    // A window manager makes a window full screen on the monitor it stands on, so the window goes
    // there first; without a window manager nobody acts on the full-screen state, and the window
    // covers the monitor by itself. A full-screen window on another monitor leaves the state to move.
    if (m_window.isFullScreen())
        m_window.leaveFullScreen();
    m_window.applyGeometry(area);
    m_window.enterFullScreen();
    m_displaySize = area.size();
}

void WindowGeometry::keepNormalGeometry() {
    if (m_normalKept)
        return;
    m_normalGeometry = m_window.deviceGeometry();
    m_normalKept = true;
}

void WindowGeometry::leaveFullScreen() {
    m_window.leaveFullScreen();
    if (!m_normalKept)
        return;
    // The window's own size and place come back: the monitor's area was never its geometry.
    m_normalKept = false;
    m_window.applyGeometry(m_normalGeometry);
    m_displaySize = m_normalGeometry.size();
}

void WindowGeometry::MoveTopLeftOfCurrentMonitor() {
    m_window.applyGeometry(atTopLeftOfMonitor(m_window.deviceGeometry(), frameMargins(m_window), currentMonitors()));
}

void WindowGeometry::toggleFullScreen() {
    m_fullScreen = !m_fullScreen;
    if (m_fullScreen)
        MakeFullScreen();
    else
        leaveFullScreen();
    if (m_fullScreen && m_window.transparentMode())
        toggleTransparent();
}

void WindowGeometry::toggleTransparent() {
    m_window.toggleTransparent();
    if (m_fullScreen && m_window.transparentMode())
        toggleFullScreen();
}

void WindowGeometry::resetPosition() {
    if (QGuiApplication::screens().isEmpty())
        return;
    m_window.applyGeometry(::resetPosition(currentMonitors()));
    m_displaySize = m_window.deviceSize();
}
