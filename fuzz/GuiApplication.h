#pragma once

#include <QGuiApplication>
#include <cstdio>

// The application the drawing targets run in: text is drawn with real fonts, as on the display.

namespace FuzzSupport {

// Qt's warnings about odd input (an unreadable image, a missing font) are expected by the thousand
// and would drown the fuzzer's own output; only fatal messages are let through.
inline void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The application every drawing target runs in, created at its first input and kept for the whole
// run: on the offscreen platform, with fonts from fontconfig as the display has them. Called at the
// start of each input, it also runs what is pending, as the display's event loop does between
// captions: Qt releases cached fonts from a timer.
inline void startInput() {
    static int argc = 1;
    static char name[] = "veltrinox-fuzz";
    static char* argv[] = {name, nullptr};
    static const QGuiApplication* application = [] {
        qInstallMessageHandler(quietMessages);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
    QCoreApplication::processEvents();
}

} // namespace FuzzSupport
