#include <QTemporaryDir>
#include <gtest/gtest.h>

// The main of the test programs that need a Qt application: an event loop for sockets and timers,
// and for drawing and widgets a GUI application on the offscreen platform, so no display is used.
#if defined(VELTRINOX_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(VELTRINOX_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // What a display keeps between runs goes to a folder of this process's own, never the user's, so
    // that test processes running side by side never meet.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    TestApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
