#pragma once

#include <QImage>
#include <QRect>

// Where things were drawn on an image, for tests that check pictures by their pixels.

// The bounding box of the pixels of area that pass the test.
template <typename Test> QRect boundsWhere(const QImage& image, const QRect& area, Test test) {
    QRect bounds;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            if (test(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The bounding box of what differs from the background in area (the whole image by default).
inline QRect inkBounds(const QImage& image, QRgb background, const QRect& area = QRect(0, 0, 1 << 30, 1 << 30)) {
    return boundsWhere(image, area, [background](QRgb pixel) { return pixel != background; });
}

// The bounding box of the pixels of one colour.
inline QRect colourBounds(const QImage& image, QRgb colour) {
    return boundsWhere(image, image.rect(), [colour](QRgb pixel) { return pixel == colour; });
}
