#include "ToolSupport.h"

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

bool parseArguments(QCommandLineParser& parser, const QStringList& arguments) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help(u"help"_s);
    parser.addOption(help);
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    return !parser.isSet(help);
}

int integerOption(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok)
        throw UsageError(u"--%1 needs a whole number, not \"%2\""_s.arg(name, parser.value(name)));
    return value;
}

void writeOut(QByteArrayView bytes) {
    std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), stdout);
}

void writeError(const QString& line) {
    const QByteArray bytes = (u"veltrinox-caption: "_s + line + u'\n').toUtf8();
    std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), stderr);
}
