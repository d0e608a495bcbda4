#pragma once

#include "captions/Colours.h"

#include <QFont>
#include <QString>

// The fonts captions are drawn in: a description with a size in points and a rendering quality,
// resolved through fontconfig. Sizes convert to pixels at 96 pixels per inch, so a caption has the
// same size on every screen.

enum class FontQuality {
    Default,        // the platform's antialiased rendering
    NonAntialiased, // crisp pixels, as LED and LCD signs want
};

inline constexpr int PixelsPerInch = 96;

struct CanvasFont {
    QString name = QStringLiteral("Arial");
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    ColourValue colour = Colour::Black;
    FontQuality quality = FontQuality::Default;

    // The character height in pixels: the point size at PixelsPerInch, rounded.
    int pixelSize() const;
    QFont toQFont() const;

    friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

// A key that tells fonts apart as QFont::key() does, short however long the family name (a caption
// document may make it a mebibyte long, and the caches of measured and drawn text key on the font).
QString FontKey(const QFont& font);

// Gives the font a rendering quality: the platform's antialiasing, or crisp non-antialiased pixels.
inline void SetFontQuality(CanvasFont& font, FontQuality quality) {
    font.quality = quality;
}
