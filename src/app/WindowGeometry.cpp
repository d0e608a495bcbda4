#include "WindowGeometry.h"

#include "window/PresentationWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace {

constexpr int FontAdjustStep = 5;

} // namespace

WindowGeometry::WindowGeometry(PresentationWindow& window, DisplaySettings& settings)
    : m_window(window), m_settings(settings) {
    m_window.setPosition = [this] { SetPosition(); };
    m_window.exitSizeMove = [this] { WMExitSizeMove(); };
    // A monitor that comes or goes (the one the window was on unplugged, say) must not leave the
    // window where no monitor shows it: its geometry is applied again once the change has settled.
    const auto monitorsChanged = [this] { QTimer::singleShot(0, &m_window, [this] { SetPosition(); }); };
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, &m_window, monitorsChanged);
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, &m_window, monitorsChanged);
}

void WindowGeometry::WMExitSizeMove() {
    if (m_settings.FixTopLeft())
        MoveTopLeftOfCurrentMonitor();
}

void WindowGeometry::SetPosition() {
    if (!displaySize.isEmpty())
        m_window.applySize(displaySize);
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (m_settings.FixTopLeft() && !positionFromCommandLine && !screens.isEmpty()) {
        // A monitor beyond the last is the last; one before the first is the first.
        const qsizetype monitor = std::clamp<qsizetype>(m_settings.MonitorNumber(), 0, screens.size() - 1);
        m_window.move(screens[monitor]->geometry().topLeft());
    }
    if (fullScreen)
        MakeFullScreen();
    MakeFullyVisible();
    m_window.raise();
    m_window.setWindowAlpha(255);
}

void WindowGeometry::MakeFullyVisible() {
    const QScreen* screen = currentScreen();
    if (!screen)
        return;
    // Within the monitor nearest to it; a window larger than its monitor keeps to the top-left.
    const QRect area = screen->availableGeometry();
    const QRect frame = m_window.frameGeometry();
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (QPoint(left, top) != frame.topLeft())
        m_window.move(left, top);
}

void WindowGeometry::MakeFullScreen() {
    MoveTopLeftOfCurrentMonitor();
    // Maximising is a request to the window manager. A sign driven by a bare X server has none, so
    // the window takes its monitor's area itself; a window manager then maximises it the same way.
    if (const QScreen* screen = currentScreen())
        m_window.applyGeometry(screen->availableGeometry());
    m_window.showMaximized();
    displaySize = m_window.size();
}

void WindowGeometry::MoveTopLeftOfCurrentMonitor() {
    if (const QScreen* screen = currentScreen())
        m_window.move(screen->geometry().topLeft());
}

const QScreen* WindowGeometry::currentScreen() const {
    // The monitor nearest to the window's centre: the one under it, or for a window off every
    // monitor the one closest to it.
    const QPoint centre = m_window.frameGeometry().center();
    const QScreen* nearest = QGuiApplication::primaryScreen();
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const qint64 dx = std::max({area.left() - centre.x(), 0, centre.x() - area.right()});
        const qint64 dy = std::max({area.top() - centre.y(), 0, centre.y() - area.bottom()});
        if (dx * dx + dy * dy < nearestDistance) {
            nearestDistance = dx * dx + dy * dy;
            nearest = screen;
        }
    }
    return nearest;
}

void WindowGeometry::FullScreen1Click() {
    if (fullScreen && !(m_window.windowState() == Qt::WindowNoState))
        m_window.showNormal();
    if (!fullScreen && !m_window.isMaximized())
        m_window.showMaximized();
    fullScreen = !fullScreen;
    if (fullScreen && m_window.transparentMode())
        Transparent1Click();
}

void WindowGeometry::Transparent1Click() {
    m_window.Transparent1Click();
    if (fullScreen && m_window.transparentMode())
        FullScreen1Click();
}

void WindowGeometry::ResetPosition1Click() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    const int width = primary->geometry().width();
    const int height = primary->geometry().height();
    m_window.move(width / 2 - width / 4, height / 2 - height / 4);
    m_window.applySize(QSize(width / 2, height / 2));
    displaySize = m_window.size();
}

void WindowGeometry::IncreaseFontAdjust1Click() {
    m_settings.setFontAdjustSpin(m_settings.FontAdjustSpin() + FontAdjustStep);
}

void WindowGeometry::DecreaseFontAdjust1Click() {
    m_settings.setFontAdjustSpin(m_settings.FontAdjustSpin() - FontAdjustStep);
}
