#include <QDir>
#include <QFile>
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
    // Settings, kept captions and caches go to folders of this process's own, never the user's, so that
    // the tests never read what the user keeps and test processes running side by side never meet. The
    // programs the tests start inherit them.
    const QTemporaryDir home;
    for (const char* folder :
         {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = home.filePath(QString::fromLatin1(folder));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(folder, path.toLocal8Bit());
    }
    TestApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
