#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Which of Qt's window-system platforms the display runs on, chosen before Qt starts. Only on X11
// can a window stay on top and stand at given coordinates; a Wayland desktop that also offers X11
// (XWayland) runs the display through it. Where the user names a platform (QT_QPA_PLATFORM or Qt's
// "-platform" switch) that one is used as it is.

// The environment the choice is made from.
struct DisplayEnvironment {
    QByteArray platform;         // QT_QPA_PLATFORM
    QByteArray x11Display;       // DISPLAY
    QByteArray waylandDisplay;   // WAYLAND_DISPLAY
    bool platformSwitch = false; // "-platform" on the command line
};

struct PlatformChoice {
    enum class Kind {
        AsAsked,         // the user named the platform
        X11,             // an X11 desktop
        ThroughXWayland, // a Wayland desktop with XWayland
        NativeWayland,   // a Wayland desktop without XWayland
        NoDisplayServer, // nothing to show the window on: the display does not start
    };
    Kind kind = Kind::AsAsked;
    QByteArray platform; // the QT_QPA_PLATFORM to set; empty: leave it as it is
    QString note;        // what the start-up log says of the choice; empty: nothing
};

PlatformChoice ChoosePlatform(const DisplayEnvironment& environment);

// The environment of this process; parameters are the command line (parameter 0 the program).
DisplayEnvironment CurrentDisplayEnvironment(const QStringList& parameters);
