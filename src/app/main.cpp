#include "DisplayApplication.h"

#include <QApplication>

// veltrinox-lcd: the surtitle display.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrinox LCD output."));
    QApplication::setApplicationVersion(QStringLiteral(VELTRINOX_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    DisplayApplication display(CommandLine(QCoreApplication::arguments()), std::make_unique<SettingsStore>());
    display.quitOnTerminationSignals();
    display.start();
    return QApplication::exec();
}
