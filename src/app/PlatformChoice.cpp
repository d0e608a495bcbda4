#include "PlatformChoice.h"

#include <QtGlobal>

using namespace Qt::Literals::StringLiterals;

PlatformChoice ChoosePlatform(const DisplayEnvironment& environment) {
    using Kind = PlatformChoice::Kind;
    const QString nativeLimits = u"the compositor does not honour staying on top or the window's position; full "
                                 u"screen goes to the chosen monitor"_s;
    if (!environment.platform.isEmpty() || environment.platformSwitch) {
        if (environment.platform.startsWith("wayland"))
            return {Kind::AsAsked, {}, u"running natively on Wayland as asked: "_s + nativeLimits};
        return {Kind::AsAsked, {}, {}};
    }
    const bool x11 = !environment.x11Display.isEmpty();
    const bool wayland = !environment.waylandDisplay.isEmpty();
    if (wayland && x11)
        return {Kind::ThroughXWayland, "xcb",
                u"Wayland desktop: running through XWayland, where the window can stay on top and be placed "
                u"(QT_QPA_PLATFORM=wayland runs it natively)"_s};
    if (wayland)
        return {Kind::NativeWayland, "wayland",
                u"Wayland desktop without XWayland: running natively; "_s + nativeLimits};
    if (x11)
        return {Kind::X11, "xcb", {}};
    return {Kind::NoDisplayServer,
            {},
            u"no display server (neither DISPLAY nor WAYLAND_DISPLAY is set): nothing can be shown; "
            u"QT_QPA_PLATFORM=offscreen runs the display without showing it"_s};
}

DisplayEnvironment CurrentDisplayEnvironment(const QStringList& parameters) {
    DisplayEnvironment environment;
    environment.platform = qgetenv("QT_QPA_PLATFORM");
    environment.x11Display = qgetenv("DISPLAY");
    environment.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    environment.platformSwitch = parameters.mid(1).contains(u"-platform"_s);
    return environment;
}
