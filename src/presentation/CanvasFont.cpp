#include "CanvasFont.h"

#include <algorithm>
#include <cmath>

namespace {

// Past this a glyph would cover many screens: sizes beyond it draw at it, so an absurd size costs
// no more than a very large one.
constexpr int MaxPixelSize = 4000;

} // namespace

int CanvasFont::pixelSize() const {
    const double pixels = std::round(double(pointSize) * PixelsPerInch / 72.0);
    return int(std::clamp(pixels, 1.0, double(MaxPixelSize)));
}

QFont CanvasFont::toQFont() const {
    QFont font(name);
    font.setPixelSize(pixelSize());
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    font.setStyleStrategy(quality == FontQuality::NonAntialiased ? QFont::NoAntialias : QFont::PreferDefault);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
