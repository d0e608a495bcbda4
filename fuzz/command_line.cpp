// Raw command lines of any text, split into parameters and looked up by the display's switch names
// and by names taken from the input.
#include "FuzzSupport.h"
#include "app/CommandLine.h"

#include <QString>
#include <QStringList>
#include <fuzzer/FuzzedDataProvider.h>

using FuzzSupport::require;

namespace {

const QStringList DisplaySwitches{
    QStringLiteral("port"),     QStringLiteral("capport"),  QStringLiteral("xpos"),           QStringLiteral("ypos"),
    QStringLiteral("width"),    QStringLiteral("height"),   QStringLiteral("adjust"),         QStringLiteral("monitor"),
    QStringLiteral("fontsize"), QStringLiteral("fontname"), QStringLiteral("BaseFontHeight"),
};

void lookUp(const CommandLine& commandLine, QStringView name) {
    const bool found = commandLine.FindCmdLineSwitch(name);
    const QString value = commandLine.ReturnParamStr(name);
    require(value.isEmpty() || found, "a switch with a value is found");
    require(commandLine.ReturnParamInt(name) == 0 || !value.isEmpty(), "a number comes from a value");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string nameBytes = input.ConsumeRandomLengthString(32);
    const QString name = QString::fromUtf8(nameBytes.data(), qsizetype(nameBytes.size()));
    const std::string lineBytes = input.ConsumeRemainingBytesAsString();
    const QString line = QString::fromUtf8(lineBytes.data(), qsizetype(lineBytes.size()));

    const QStringList parameters = SplitCommandLine(line);
    for (const QString& parameter : parameters) {
        require(!parameter.isEmpty(), "no parameter is empty");
        require(!parameter.contains(u'"'), "quotes only group, they are never part of a parameter");
        require(!parameter.contains(QChar(u'\0')), "a parameter never runs past a NUL");
    }

    const CommandLine commandLine(parameters);
    for (const QString& displaySwitch : DisplaySwitches)
        lookUp(commandLine, displaySwitch);
    lookUp(commandLine, name);
    return 0;
}
