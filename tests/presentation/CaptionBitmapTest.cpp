#include "presentation/CaptionBitmap.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <limits>

namespace {

QByteArray bmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QString captionText(const QByteArray& bytes) {
    return QStringLiteral("#IMAGE:#") + QString::fromLatin1(bytes.toBase64());
}

TEST(CaptionBitmapTest, DecodesAPicture) {
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(2, 1, qRgb(200, 0, 0));
    QString text = captionText(bmpBytes(picture));
    text.insert(20, QStringLiteral("\r\n !")); // strangers in the Base64 text are skipped
    const CaptionBitmap bitmap = DecodeCaptionBitmap(text);
    ASSERT_EQ(bitmap.status, CaptionBitmap::Status::Loaded);
    EXPECT_EQ(bitmap.image.size(), QSize(3, 2));
    EXPECT_EQ(bitmap.image.pixel(2, 1), qRgb(200, 0, 0));
}

TEST(CaptionBitmapTest, BytesThatAreNoBitmapGiveAnEmptyPicture) {
    EXPECT_EQ(DecodeCaptionBitmap(QStringLiteral("#IMAGE:#")).status, CaptionBitmap::Status::Empty);
    EXPECT_EQ(DecodeCaptionBitmap(captionText("GIF89a")).status, CaptionBitmap::Status::Empty);
}

TEST(CaptionBitmapTest, RefusesBrokenAndHugeBitmaps) {
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QByteArray truncated = bmpBytes(picture);
    truncated.truncate(100);

    // Headers that claim 60000 x 60000 pixels, or the most negative sizes a header can hold, with
    // almost nothing after them.
    const auto withSize = [](qint32 width, qint32 height) {
        QByteArray bytes = bmpBytes(QImage(1, 1, QImage::Format_RGB32));
        for (int i = 0; i < 4; ++i) {
            bytes[18 + i] = char((width >> (8 * i)) & 0xFF);
            bytes[22 + i] = char((height >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    const QByteArray huge = withSize(60000, 60000);
    const QByteArray mostNegative = withSize(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::min());

    QByteArray headerOnly = bmpBytes(picture).first(20);

    int index = 0;
    for (const QByteArray& bytes : {truncated, huge, mostNegative, headerOnly})
        EXPECT_EQ(DecodeCaptionBitmap(captionText(bytes)).status, CaptionBitmap::Status::Unreadable) << index++;
}

} // namespace
