#include "FrameEncoder.h"

#include <QBuffer>
#include <QImageWriter>

namespace {

// Qt's PNG writer takes a quality, which it turns into zlib's level: 80 is level 1, the fastest
// that still compresses.
constexpr int PngQuality = 80;

} // namespace

QByteArray EncodePng(const QImage& picture) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(PngQuality);
    writer.write(picture);
    return png;
}

FrameEncoder::FrameEncoder(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(1);
}

FrameEncoder::~FrameEncoder() {
    m_pool.waitForDone();
}

bool FrameEncoder::encode(const QImage& picture, quint64 version) {
    if (m_busy)
        return false;
    m_busy = true;
    m_pool.start([this, picture, version] {
        QByteArray png = EncodePng(picture);
        // Delivered on the encoder's own thread; dropped if the encoder has gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, version, png = std::move(png)] {
                m_busy = false;
                Q_EMIT encoded(version, png);
            },
            Qt::QueuedConnection);
    });
    return true;
}
