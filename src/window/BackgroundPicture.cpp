#include "BackgroundPicture.h"

#include "presentation/CaptionBitmap.h"

#include <QImageReader>
#include <QRect>

BackgroundBitmap ReadBackgroundBitmap(const QString& file) {
    QImageReader reader(file, "bmp");
    reader.setAutoDetectImageFormat(false); // a bitmap, whatever else the file might be
    reader.setAllocationLimit(MaxBitmapMegabytes);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {{}, reader.errorString()};
    // The frame is drawn in this format; converting once here keeps every paint a plain copy.
    return {image.convertToFormat(QImage::Format_RGB32), {}};
}

QRgb TransparentColour(const QImage& display) {
    return display.isNull() ? QRgb(0xFF000000) : display.pixel(0, display.height() - 1) | 0xFF000000;
}

void DrawOverBackground(QImage& frame, const QImage& display, QPoint position, QRgb transparent) {
    Q_ASSERT(frame.depth() == 32 && display.depth() == 32);
    const QRect covered = frame.rect().intersected(QRect(position, display.size()));
    const QRgb key = transparent | 0xFF000000;
    for (int y = covered.top(); y <= covered.bottom(); ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(display.constScanLine(y - position.y()));
        QRgb* target = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = covered.left(); x <= covered.right(); ++x) {
            const QRgb pixel = source[x - position.x()] | 0xFF000000;
            if (pixel != key)
                target[x] = pixel;
        }
    }
}
