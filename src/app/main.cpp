#include "DisplayApplication.h"
#include "EventLog.h"
#include "IdleMemoryReturn.h"
#include "InformationRequest.h"
#include "PlatformChoice.h"
#include "ServiceNotifier.h"
#include "SettingsStore.h"
#include "StartOptions.h"

#include <QApplication>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Every controller connection takes a file descriptor: a display on a busy venue network takes as
// many as the system lets it, rather than the small default meant for interactive programs.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

// veltrinox-lcd: the surtitle display.
int main(int argc, char* argv[]) {
    QStringList parameters;
    for (int i = 0; i < argc; ++i)
        parameters.append(QString::fromLocal8Bit(argv[i]));
    if (const auto answer = AnswerInformationRequest(parameters, QStringLiteral(VELTRINOX_VERSION))) {
        std::fputs(answer->output.toLocal8Bit().constData(), stdout);
        std::fputs(answer->error.toLocal8Bit().constData(), stderr);
        return answer->exitStatus;
    }
    // A bad name, listen address or allow list ends the start before anything is shown or opened.
    const CommandLine startSwitches(parameters);
    const InstanceNameRead instance = ReadInstanceName(startSwitches);
    if (instance.error) {
        std::fprintf(stderr, "veltrinox-lcd: %s\n", instance.error->toLocal8Bit().constData());
        return BadStartOptionStatus;
    }
    std::unique_ptr<SettingsStore> store = SettingsStore::forInstance(instance.name);
    const ListenOptionsRead listen =
        ReadListenOptions(startSwitches, StoredNetwork::of(ReadStoredDisplayState(*store)));
    if (listen.error) {
        std::fprintf(stderr, "veltrinox-lcd: %s\n", listen.error->toLocal8Bit().constData());
        return BadStartOptionStatus;
    }

    const PlatformChoice platform = ChoosePlatform(CurrentDisplayEnvironment(parameters));
    if (platform.kind == PlatformChoice::Kind::NoDisplayServer) {
        std::fprintf(stderr, "veltrinox-lcd: %s\n", platform.note.toLocal8Bit().constData());
        return DisplayApplication::FatalExitStatus;
    }
    if (!platform.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.platform);
    raiseDescriptorLimit();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrinox LCD output."));
    QApplication::setApplicationVersion(QStringLiteral(VELTRINOX_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    const CommandLine commandLine(QCoreApplication::arguments());
    EventLog eventLog(STDERR_FILENO, commandLine.ReturnParamStr(u"log"));
    eventLog.setTag(instance.name);
    DisplayApplication display(commandLine, std::move(store));
    display.setInstanceName(instance.name);
    display.setListenOptions(listen.options);
    display.setEventLog(eventLog);
    display.setPlatformNote(platform.note);
    display.quitOnTerminationSignals();
    ServiceNotifier service;
    if (display.start())
        service.notifyReady();
    const IdleMemoryReturn memory(display.window().presenter());
    return QApplication::exec();
}
