// Control-port messages of any bytes, one after another on one display: classified, and the
// Stagetext captions among them converted and written as caption documents that the display then
// reads back. A message may name a file to embed; scripts/fuzz runs this target in an empty scratch
// directory so that relative names find nothing.
#include "FuzzSupport.h"
#include "captions/CaptionDocumentReader.h"
#include "captions/CaptionDocumentWriter.h"
#include "net/ControlMessage.h"
#include "net/StagetextConversion.h"

#include <QByteArray>
#include <fuzzer/FuzzedDataProvider.h>

using FuzzSupport::require;

namespace {

constexpr std::size_t MaxMessageLength = 200;

namespace Flag {
constexpr uint8_t FontOverride = 1 << 0;
constexpr uint8_t NamedColour = 1 << 1; // the caption colour setting as a name rather than a number
} // namespace Flag

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<uint8_t>();
    StagetextSettings settings;
    settings.fontOverride = flags & Flag::FontOverride;
    settings.overrideFontName = QStringLiteral("Liberation Sans");
    settings.fontAdjustPercent = input.ConsumeIntegralInRange(10, 1000);
    settings.baseFontHeight = input.ConsumeIntegralInRange(0, 400);
    settings.fontColourSetting = flags & Flag::NamedColour ? QStringLiteral("clRed") : QStringLiteral("$00FFFF");

    StagetextConverter converter;
    CaptionDocumentState records;
    while (input.remaining_bytes() > 0) {
        const std::string bytes =
            input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, MaxMessageLength));
        const QByteArrayView message(bytes.data(), qsizetype(bytes.size()));
        switch (ClassifyControlMessage(message)) {
        case ControlMessageKind::StatusQuery:
            require(message == "\x0B?0", "only the status query is classified as one");
            continue;
        case ControlMessageKind::Ignored:
            require(message.startsWith("\x0BTL"), "only messages beginning VT T L are ignored");
            continue;
        case ControlMessageKind::Stagetext:
            break;
        }

        const TCaptions caption = converter.CaptionFromStagetext(DecodeControlMessage(message), settings);
        const CaptionDocumentText document = CaptiontoXML(caption);
        if (!document.ok())
            continue; // a named file that could not be read: the display reports it and drops the caption
        require(ReadCaptionDocument(document.text, records).has_value(),
                "a document written from a Stagetext caption reads back");
    }
    return 0;
}
