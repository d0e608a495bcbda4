// The HTML label renderer on arbitrary markup, measured and printed onto a small real canvas in
// fonts from fontconfig, inside a rectangle that may reach past the canvas.
#include "FuzzSupport.h"
#include "GuiApplication.h"
#include "presentation/Canvas.h"
#include "presentation/HtmlLabelRenderer.h"

#include <fuzzer/FuzzedDataProvider.h>

using FuzzSupport::require;

namespace {

constexpr QSize CanvasSize(160, 90);

namespace Flag {
constexpr uint8_t Ellipsis = 1 << 0;
constexpr uint8_t Clipped = 1 << 1; // printed through a clip, as the composer prints formatted captions
constexpr uint8_t Bold = 1 << 2;
constexpr uint8_t Italic = 1 << 3;
constexpr uint8_t NonAntialiased = 1 << 4;
} // namespace Flag

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::startInput();
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<uint8_t>();

    HtmlLabelRenderer renderer;
    HtmlPrintOptions options;
    options.VAlignment = TextVAlignment(input.ConsumeIntegralInRange(0, 2));
    options.LineSpacing = input.ConsumeIntegralInRange(0, 24);
    options.Ellipsis = flags & Flag::Ellipsis;

    CanvasFont base;
    base.name = input.ConsumeBool() ? QStringLiteral("Arial") : QStringLiteral("DejaVu Serif");
    base.pointSize = input.ConsumeIntegralInRange(1, 72);
    base.bold = flags & Flag::Bold;
    base.italic = flags & Flag::Italic;
    base.colour = Colour::Yellow;
    SetFontQuality(base, flags & Flag::NonAntialiased ? FontQuality::NonAntialiased : FontQuality::Default);

    const QRect area(input.ConsumeIntegralInRange(-40, 200), input.ConsumeIntegralInRange(-40, 120),
                     input.ConsumeIntegralInRange(0, 240), input.ConsumeIntegralInRange(0, 160));
    const std::string markup = input.ConsumeRemainingBytesAsString();
    const QStringList lines = QString::fromUtf8(markup.data(), qsizetype(markup.size())).split(u'\n');

    Canvas canvas(CanvasSize, Colour::Black);
    if (flags & Flag::Clipped)
        options.clip = area;

    const int height = renderer.measureHeight(canvas, lines, base, area, options);
    require(height >= 1, "the markup takes at least one line");
    renderer.HTMLPrint(canvas, lines, base, area, options);
    require(canvas.touched().isNull() || canvas.image().rect().contains(canvas.touched()),
            "everything drawn lies inside the canvas");
    require(canvas.image().size() == CanvasSize, "printing leaves the canvas its size");
    return 0;
}
