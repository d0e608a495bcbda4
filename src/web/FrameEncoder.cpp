#include "FrameEncoder.h"

#include <QtEndian>
#include <png.h>

namespace {

void appendToArray(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

} // namespace

QByteArray EncodePng(const QImage& picture) {
    // libpng itself, unfiltered rows at zlib's fastest level: Qt's writer tries every filter on every
    // row, which takes three times as long for pictures that differ by a byte. A caption's flat
    // background and its glyphs' repeating edges compress as well unfiltered as with any one filter,
    // and a fifth faster.
    const bool alpha = picture.hasAlphaChannel();
    // An opaque picture's rows go in as they are, libpng dropping each pixel's fourth byte: a
    // converted copy would be made on Qt's own worker threads, which costs the display as much again.
    const QImage rows =
        alpha ? picture.convertToFormat(QImage::Format_RGBA8888) : picture.convertToFormat(QImage::Format_RGB32);
    QByteArray encoded;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &encoded, appendToArray, flushNothing);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, png_uint_32(rows.width()), png_uint_32(rows.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (!alpha) {
        // A 32-bit pixel in memory: blue, green, red and an unused byte on a little-endian machine,
        // the unused byte, red, green and blue on a big-endian one.
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            png_set_bgr(png);
            png_set_filler(png, 0, PNG_FILLER_AFTER);
        } else {
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
        }
    }
    for (int y = 0; y < rows.height(); ++y)
        png_write_row(png, rows.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return encoded;
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
