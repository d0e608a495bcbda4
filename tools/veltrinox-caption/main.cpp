#include "Commands.h"
#include "ToolSupport.h"

#include <QGuiApplication>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char ToolHelp[] = "Usage: veltrinox-caption COMMAND [options] [ARGUMENTS...]\n"
                            "\n"
                            "Caption documents and Stagetext messages, handled as the display handles them.\n"
                            "\n"
                            "Commands:\n"
                            "  convert   convert Stagetext messages into caption documents\n"
                            "  inspect   read caption documents and print the records they give, as JSON\n"
                            "  render    present caption documents and write the picture the display shows\n"
                            "  send      send caption documents to a display's caption feed port\n"
                            "  stagetext send Stagetext messages to a display's control port\n"
                            "  status    ask a display's control port for its status\n"
                            "  listen    print the sign-on datagrams of displays on the network\n"
                            "\n"
                            "Run 'veltrinox-caption COMMAND --help' for a command's options.\n";

} // namespace

// The tool speaks for itself on standard error; Qt's own notes about the platform it starts
// (runtime directories, fonts) are left out so that a bad usage stays one line.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        writeError(message);
}

int main(int argc, char* argv[]) {
    qInstallMessageHandler(quietMessages);
    // The tool draws with real fonts but shows no window: the offscreen platform serves it anywhere.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    try {
        const QString command = arguments.value(1);
        const QStringList commandArguments = arguments.mid(1);
        if (command == u"--help" || command == u"-h") {
            writeOut(ToolHelp);
            return ExitSuccess;
        }
        if (command == u"convert")
            return RunConvert(commandArguments);
        if (command == u"inspect")
            return RunInspect(commandArguments);
        if (command == u"render")
            return RunRender(commandArguments);
        if (command == u"send")
            return RunSend(commandArguments);
        if (command == u"stagetext")
            return RunStagetext(commandArguments);
        if (command == u"status")
            return RunStatus(commandArguments);
        if (command == u"listen")
            return RunListen(commandArguments);
        if (command.isEmpty())
            throw UsageError(u"a COMMAND is needed (see --help) (see --help)"_s);
        throw UsageError(u"unknown command '%1' (see --help)"_s.arg(command));
    } catch (const UsageError& error) {
        writeError(QString::fromStdString(error.what()));
        return ExitUsage;
    }
}
