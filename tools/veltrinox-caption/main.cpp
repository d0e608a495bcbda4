#include "Commands.h"
#include "ToolSupport.h"

#include <QCoreApplication>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char ToolHelp[] = "Usage: veltrinox-caption COMMAND [options] [ARGUMENTS...]\n"
                            "\n"
                            "Caption documents and Stagetext messages, handled as the display handles them.\n"
                            "\n"
                            "Commands:\n"
                            "  convert   convert Stagetext messages into caption documents\n"
                            "  inspect   read caption documents and print the records they give, as JSON\n"
                            "\n"
                            "Run 'veltrinox-caption COMMAND --help' for a command's options.\n";

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
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
        if (command.isEmpty())
            throw UsageError(u"a COMMAND is needed: convert or inspect (see --help)"_s);
        throw UsageError(u"unknown command '%1' (see --help)"_s.arg(command));
    } catch (const UsageError& error) {
        writeError(QString::fromStdString(error.what()));
        return ExitUsage;
    }
}
