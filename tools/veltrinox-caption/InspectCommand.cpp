#include "CaptionJson.h"
#include "ColumnWarning.h"
#include "Commands.h"
#include "DocumentSources.h"
#include "ToolSupport.h"
#include "captions/CaptionDocumentReader.h"

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char InspectHelp[] =
    "Usage: veltrinox-caption inspect [FILE...]\n"
    "\n"
    "Reads caption documents in order, as the display reads them, and prints one JSON object\n"
    "per document: {\"parsed\", \"language\", \"overallBrightness\", \"current\", \"previous\"}.\n"
    "Each FILE holds one whole document (UTF-8, or UTF-16 with a byte-order mark); \"-\" or no\n"
    "FILE reads standard input, one document per line. A document that will show an empty column\n"
    "(one that fills Stream0 but names no language shows column 9) is named on standard error.\n"
    "\n"
    "Options:\n"
    "  --help   show this help\n";

class Inspector {
public:
    void inspect(QStringView documentText) {
        const std::optional<QString> languageName = ReadCaptionDocument(documentText, m_state);
        writeOut(InspectionJson(languageName, m_state) + '\n');
        std::fflush(stdout);
        // The JSON already says when a document does not parse.
        const std::optional<QString> warning = m_warnings.read(documentText);
        if (warning && languageName)
            writeError(*warning);
    }

private:
    CaptionDocumentState m_state;
    ColumnWarnings m_warnings;
};

} // namespace

int RunInspect(const QStringList& arguments) {
    QCommandLineParser parser;
    if (!parseArguments(parser, arguments)) {
        writeOut(InspectHelp);
        return ExitSuccess;
    }
    // Every source is read before the first document is inspected, so a bad FILE prints nothing.
    Inspector inspector;
    for (const QString& document : ReadDocumentSources(parser.positionalArguments()))
        inspector.inspect(document);
    return ExitSuccess;
}
