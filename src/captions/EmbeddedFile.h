#pragma once

#include <QString>
#include <QStringView>

// Captions written by the display may name a file instead of carrying text: a picture file is then
// embedded in the document as "#IMAGE:#" + Base64. Only regular files up to MaxEmbeddedFileSize are
// embedded; a device, pipe, directory or larger file is left as the caption text it is, so a
// caption can never block the display or exhaust its memory.

// A 3840 x 2160 32-bit BMP is 33.2 MB; its Base64 text (44.2 million characters) leaves a document
// well inside the caption feed's cap, which the feed framer checks against this one.
inline constexpr qint64 MaxEmbeddedFileSize = 40 * 1024 * 1024;

// True when the extension of the last path component is exactly ".wav" or ".mp3".
bool IsAudioFile(QStringView fileName);

struct FileEmbedding {
    enum class Status {
        NotEmbedded, // the text names no embeddable file: it stays as it is; value says why when the
                     // file is there but is no regular file or too large
        Embedded,    // value holds "#IMAGE:#" and the file's Base64 text
        ReadFailed,  // the file exists but could not be read: value holds the reason
    };
    Status status = Status::NotEmbedded;
    QString value;
};

// What a column text that may name a file becomes in a written document.
FileEmbedding EmbedNamedFile(const QString& fileName);
