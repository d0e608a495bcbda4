#pragma once

#include <QImage>
#include <QString>
#include <QStringView>

// The picture of a picture caption: "#IMAGE:#" and the Base64 text of a BMP file. Decoding is
// bounded: a header that asks for more than MaxBitmapBytes of pixels is refused before any pixel is
// read, so a hostile size cannot exhaust memory or time.

inline constexpr int MaxBitmapMegabytes = 128; // a 4K picture needs 32

struct CaptionBitmap {
    enum class Status {
        Empty,      // no bytes, or bytes that are no BMP file: the caption shows black
        Loaded,     // image holds the picture
        Unreadable, // a BMP file that could not be read: the caption is not drawn
    };
    Status status = Status::Empty;
    QImage image;
    QString refusal; // why an unreadable picture was refused
};

// text is the caption text from its "#IMAGE:#" on.
CaptionBitmap DecodeCaptionBitmap(QStringView text);

// The bytes of a BMP file, under the same bounds; a file whose pixel rows run past its end is
// unreadable.
CaptionBitmap DecodeBmpFile(const QByteArray& bytes);
