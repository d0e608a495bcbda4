#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

// Runs veltrinox-caption as integrators do, keeping this process's event loop turning meanwhile so
// that listeners in the test can answer it.
struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTool(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.start(QString::fromUtf8(VELTRINOX_CAPTION_TOOL), arguments);
    process.write(input);
    process.closeWriteChannel();
    while (process.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        process.waitForFinished(10);
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
