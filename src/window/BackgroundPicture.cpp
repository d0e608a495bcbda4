#include "BackgroundPicture.h"

#include "presentation/CaptionBitmap.h"

#include <QFile>
#include <QRect>

BackgroundBitmap ReadBackgroundBitmap(const QString& file) {
    // A bitmap within the allocation limit is never much larger than it: a bigger file is refused
    // unread.
    constexpr qint64 MaxFileBytes = qint64(MaxBitmapMegabytes + 1) * 1024 * 1024;
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        return {{}, source.errorString()};
    if (source.size() > MaxFileBytes)
        return {{}, QStringLiteral("The picture is larger than %1 MiB").arg(MaxBitmapMegabytes)};
    const CaptionBitmap bitmap = DecodeBmpFile(source.read(MaxFileBytes));
    if (bitmap.status != CaptionBitmap::Status::Loaded)
        return {{}, QStringLiteral("Not a readable bitmap: %1").arg(file)};
    // The frame is drawn in this format; converting once here keeps every paint a plain copy.
    return {bitmap.image.convertToFormat(QImage::Format_RGB32), {}};
}

QRgb TransparentColour(QRgb bottomLeftPixel) {
    return bottomLeftPixel | 0xFF000000;
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
