#include "CaptionJson.h"
#include "Commands.h"
#include "ToolSupport.h"
#include "captions/CaptionDocumentReader.h"

#include <QFile>
#include <QStringDecoder>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char InspectHelp[] =
    "Usage: veltrinox-caption inspect [FILE...]\n"
    "\n"
    "Reads caption documents in order, as the display reads them, and prints one JSON object\n"
    "per document: {\"parsed\", \"language\", \"overallBrightness\", \"current\", \"previous\"}.\n"
    "Each FILE holds one whole document (UTF-8, or UTF-16 with a byte-order mark); \"-\" or no\n"
    "FILE reads standard input, one document per line.\n"
    "\n"
    "Options:\n"
    "  --help   show this help\n";

// UTF-16 when a byte-order mark says so, UTF-8 otherwise; the mark itself is dropped.
QString decodeDocumentText(const QByteArray& bytes) {
    const QStringConverter::Encoding encoding =
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decoder(encoding);
    return decoder.decode(bytes);
}

QByteArray readStandardInput() {
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        throw UsageError(u"cannot read standard input"_s);
    return input.readAll();
}

QByteArray readFile(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(u"cannot read %1: %2"_s.arg(name, file.errorString()));
    return file.readAll();
}

class Inspector {
public:
    void inspect(QStringView documentText) {
        const std::optional<QString> languageName = ReadCaptionDocument(documentText, m_state);
        writeOut(InspectionJson(languageName, m_state) + '\n');
        std::fflush(stdout);
    }

private:
    CaptionDocumentState m_state;
};

} // namespace

int RunInspect(const QStringList& arguments) {
    QCommandLineParser parser;
    if (!parseArguments(parser, arguments)) {
        writeOut(InspectHelp);
        return ExitSuccess;
    }
    QStringList sources = parser.positionalArguments();
    if (sources.isEmpty())
        sources.append(u"-"_s);

    Inspector inspector;
    for (const QString& source : sources) {
        if (source != u"-") {
            inspector.inspect(decodeDocumentText(readFile(source)));
            continue;
        }
        // One document a line; blank lines carry no document.
        const QString input = decodeDocumentText(readStandardInput());
        for (QStringView line : QStringView(input).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (!line.isEmpty())
                inspector.inspect(line);
        }
    }
    return ExitSuccess;
}
