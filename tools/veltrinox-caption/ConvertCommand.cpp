#include "Commands.h"
#include "MessageEscapes.h"
#include "ToolSupport.h"
#include "captions/CaptionDocumentWriter.h"
#include "net/ControlMessage.h"
#include "net/StagetextConversion.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char ConvertHelp[] =
    "Usage: veltrinox-caption convert [options] MESSAGE...\n"
    "\n"
    "Converts Stagetext control-port messages into caption documents, one per line (UTF-8),\n"
    "as the display does; the rate a message sets carries into the messages after it.\n"
    "A MESSAGE may hold the escapes \\r \\n \\t \\v \\f \\a \\\\ and \\xHH (one Windows-1252 byte).\n"
    "\n"
    "Options:\n"
    "  --base-font-height N   base caption font size in points (default 40)\n"
    "  --font-colour TEXT     the configured caption colour (default $00FFFF)\n"
    "  --font-override NAME   turn Font Override on with this font\n"
    "  --font-adjust N        font size adjust percentage, 10 to 1000 (default 100)\n"
    "  --help                 show this help\n";

constexpr int MinFontAdjust = 10;
constexpr int MaxFontAdjust = 1000;

} // namespace

int RunConvert(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption({u"base-font-height"_s, QString(), u"N"_s, u"40"_s});
    parser.addOption({u"font-colour"_s, QString(), u"TEXT"_s, u"$00FFFF"_s});
    parser.addOption({u"font-override"_s, QString(), u"NAME"_s});
    parser.addOption({u"font-adjust"_s, QString(), u"N"_s, u"100"_s});
    if (!parseArguments(parser, arguments)) {
        writeOut(ConvertHelp);
        return ExitSuccess;
    }

    StagetextSettings settings;
    settings.baseFontHeight = integerOption(parser, u"base-font-height"_s);
    settings.fontAdjustPercent = std::clamp(integerOption(parser, u"font-adjust"_s), MinFontAdjust, MaxFontAdjust);
    settings.fontColourSetting = parser.value(u"font-colour"_s);
    settings.fontOverride = parser.isSet(u"font-override"_s);
    settings.overrideFontName = parser.value(u"font-override"_s);

    const QStringList messages = parser.positionalArguments();
    if (messages.isEmpty())
        throw UsageError(u"convert needs at least one MESSAGE (see convert --help)"_s);

    std::vector<QByteArray> wireMessages;
    for (const QString& message : messages)
        wireMessages.push_back(MessageFromEscapedArgument(message));

    StagetextConverter converter;
    for (const QByteArray& message : wireMessages) {
        const TCaptions caption = converter.CaptionFromStagetext(DecodeControlMessage(message), settings);
        const CaptionDocumentText document = CaptiontoXML(caption);
        if (!document.ok()) {
            writeError(document.failure);
            return ExitFailure;
        }
        writeOut(document.text.toUtf8() + '\n');
    }
    return ExitSuccess;
}
