#include "CaptionBitmap.h"

#include "captions/CaptionDocumentFormat.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdlib>

namespace {

qint64 littleEndian(const QByteArray& bytes, qsizetype offset, int size) {
    qint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// Whether the pixel rows of an uncompressed bitmap run past the end of its bytes. The reader would
// leave such rows unwritten, so the picture is refused rather than shown with whatever memory held.
bool isTruncated(const QByteArray& bytes) {
    constexpr qsizetype InfoHeaderEnd = 34; // through the compression field of the info header
    if (bytes.size() < InfoHeaderEnd)
        return true;
    const qint64 headerSize = littleEndian(bytes, 14, 4);
    if (headerSize < 40)
        return false; // an old core header: the reader checks it itself
    const qint64 pixelsOffset = littleEndian(bytes, 10, 4);
    // Signed fields, read wide so that the most negative one has a magnitude too.
    const qint64 width = std::abs(qint64(qint32(littleEndian(bytes, 18, 4))));
    const qint64 height = std::abs(qint64(qint32(littleEndian(bytes, 22, 4))));
    const qint64 bitsPerPixel = littleEndian(bytes, 28, 2);
    const qint64 compression = littleEndian(bytes, 30, 4);
    constexpr qint64 Uncompressed = 0;
    constexpr qint64 BitFields = 3;
    if (compression != Uncompressed && compression != BitFields)
        return false;
    constexpr qint64 MaxSide = 65536; // past this the allocation limit refuses the picture anyway
    if (width > MaxSide || height > MaxSide || bitsPerPixel > 64)
        return false;
    const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return pixelsOffset + rowBytes * height > bytes.size();
}

} // namespace

CaptionBitmap DecodeCaptionBitmap(QStringView text) {
    // The data starts at the marker's last "#"; the decoder skips it with every other character
    // outside the Base64 alphabet.
    const qsizetype dataStart = CaptionDocumentFormat::ImagePrefix.size() - 1;
    const QByteArray bytes = QByteArray::fromBase64(text.sliced(std::min(dataStart, text.size())).toLatin1());
    return DecodeBmpFile(bytes);
}

CaptionBitmap DecodeBmpFile(const QByteArray& bytes) {
    if (!bytes.startsWith("BM"))
        return {};
    if (isTruncated(bytes))
        return {CaptionBitmap::Status::Unreadable, {}, QStringLiteral("its pixel rows run past the end of its data")};

    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(MaxBitmapMegabytes);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {CaptionBitmap::Status::Unreadable, {}, reader.errorString()};
    return {CaptionBitmap::Status::Loaded, std::move(image), {}};
}
