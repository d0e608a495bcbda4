#include "CanvasFont.h"

#include <QCryptographicHash>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Keys longer than this are replaced by their digest.
constexpr qsizetype MaxKeyLength = 256;

// Past this a glyph would cover many screens: sizes beyond it draw at it, so an absurd size costs
// no more than a very large one.
constexpr int MaxPixelSize = 4000;

// What a QFont is made from: every field of the description but the colour, which Qt does not hold.
bool sameFont(const CanvasFont& a, const CanvasFont& b) {
    return a.pointSize == b.pointSize && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.strikeOut == b.strikeOut && a.quality == b.quality && a.name == b.name;
}

QFont makeQFont(const CanvasFont& description) {
    QFont font(description.name);
    font.setPixelSize(description.pixelSize());
    font.setBold(description.bold);
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    font.setStyleStrategy(description.quality == FontQuality::NonAntialiased ? QFont::NoAntialias
                                                                             : QFont::PreferDefault);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The fonts made last, most recent first. A new QFont looks its family up again when first measured
// or drawn (a fade does that at every step, in the same few fonts), and the lookup goes through the
// whole family name, which a caption document may make a mebibyte long; a copy of a font made before
// shares what the lookup found.
struct RecentFonts {
    static constexpr std::size_t Count = 8;
    std::array<std::pair<CanvasFont, QFont>, Count> fonts;
    std::size_t used = 0;

    QFont find(const CanvasFont& description) {
        const auto end = fonts.begin() + std::ptrdiff_t(used);
        auto found =
            std::find_if(fonts.begin(), end, [&](const auto& entry) { return sameFont(entry.first, description); });
        if (found == end) {
            if (used < Count)
                ++used;
            found = fonts.begin() + std::ptrdiff_t(used - 1);
            *found = {description, makeQFont(description)};
        }
        std::rotate(fonts.begin(), found, found + 1);
        return fonts.front().second;
    }
};

} // namespace

int CanvasFont::pixelSize() const {
    const double pixels = std::round(double(pointSize) * PixelsPerInch / 72.0);
    return int(std::clamp(pixels, 1.0, double(MaxPixelSize)));
}

QFont CanvasFont::toQFont() const {
    // Fonts belong to the thread that uses them.
    thread_local RecentFonts recent;
    return recent.find(*this);
}

QString FontKey(const QFont& font) {
    // A step asks for the key of the same font again and again: the last one is kept. Fonts from
    // toQFont share their data, which makes the comparison immediate.
    thread_local std::pair<QFont, QString> last;
    if (!last.second.isEmpty() && last.first == font)
        return last.second;
    QString key = font.key();
    if (key.size() > MaxKeyLength) {
        const QByteArray digest = QCryptographicHash::hash(
            QByteArrayView(reinterpret_cast<const char*>(key.utf16()), key.size() * 2), QCryptographicHash::Sha256);
        key = QStringLiteral("sha256:") + QString::fromLatin1(digest.toHex());
    }
    last = {font, key};
    return key;
}
