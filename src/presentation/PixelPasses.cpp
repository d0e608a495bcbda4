#include "PixelPasses.h"

#include <algorithm>
#include <array>

namespace {

// Maps every colour byte of area through the table: three lookups a pixel and no division.
void mapPixels(QImage& image, const QRect& clipped, const std::array<quint32, 256>& scaled) {
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QRgb pixel = row[x];
            row[x] = (pixel & 0xFF000000) | scaled[(pixel >> 16) & 0xFF] << 16 | scaled[(pixel >> 8) & 0xFF] << 8 |
                     scaled[pixel & 0xFF];
        }
    }
}

} // namespace

void ScalePixels(QImage& image, const QRect& area, int factor) {
    factor = std::clamp(factor, 0, 255);
    const QRect clipped = area.intersected(image.rect());
    if (factor == 255 || clipped.isEmpty())
        return;
    std::array<quint32, 256> scaled{};
    for (int c = 0; c < 256; ++c)
        scaled[std::size_t(c)] = quint32(c * factor / 255);
    mapPixels(image, clipped, scaled);
}

void BlendPixelsToBlack(QImage& image, const QRect& area, int blend) {
    blend = std::clamp(blend, 0, FullProgress);
    const QRect clipped = area.intersected(image.rect());
    if (blend == 0 || clipped.isEmpty())
        return;
    std::array<quint32, 256> blended{};
    for (int c = 0; c < 256; ++c)
        blended[std::size_t(c)] = quint32(c - blend * c / FullProgress);
    mapPixels(image, clipped, blended);
}

void KeyOutColour(QImage& image, QRgb key, int alpha) {
    const QRgb opaqueKey = key | 0xFF000000;
    const quint32 alphaBits = quint32(std::clamp(alpha, 0, 255)) << 24;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            row[x] = (row[x] | 0xFF000000) == opaqueKey ? 0 : (row[x] & 0x00FFFFFF) | alphaBits;
        }
    }
}
