#include "EmbeddedFile.h"

#include "CaptionDocumentFormat.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Closes the descriptor when the embedding is done with it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Empty when the file can be embedded.
QString notEmbeddable(const QString& fileName, const struct stat& status) {
    if (!S_ISREG(status.st_mode))
        return u"\"%1\" is not a regular file"_s.arg(fileName);
    if (status.st_size > MaxEmbeddedFileSize)
        return u"\"%1\" is larger than %2 MiB"_s.arg(fileName).arg(MaxEmbeddedFileSize >> 20);
    return {};
}

FileEmbedding leftAsText(QString reason) {
    return {FileEmbedding::Status::NotEmbedded, std::move(reason)};
}

QString cannotOpen(const QString& fileName, int error) {
    return u"Cannot open file \"%1\". %2"_s.arg(fileName, QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

bool IsAudioFile(QStringView fileName) {
    const QStringView lastComponent = fileName.sliced(fileName.lastIndexOf(u'/') + 1);
    const qsizetype dot = lastComponent.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView extension = lastComponent.sliced(dot);
    return extension == u".wav" || extension == u".mp3";
}

FileEmbedding EmbedNamedFile(const QString& fileName) {
    const QByteArray path = QFile::encodeName(fileName);
    if (fileName.isEmpty() || path.contains('\0') || IsAudioFile(fileName))
        return {};

    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return {};
    if (QString reason = notEmbeddable(fileName, status); !reason.isEmpty())
        return leftAsText(std::move(reason));

    // Non-blocking, and checked again once open: the path may have been replaced meanwhile.
    const FileDescriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return {FileEmbedding::Status::ReadFailed, cannotOpen(fileName, errno)};
    if (::fstat(file.get(), &status) != 0)
        return {};
    if (QString reason = notEmbeddable(fileName, status); !reason.isEmpty())
        return leftAsText(std::move(reason));

    QByteArray bytes;
    bytes.reserve(qsizetype(status.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return {FileEmbedding::Status::ReadFailed,
                    u"Read error on file \"%1\". %2"_s.arg(fileName, QString::fromLocal8Bit(std::strerror(errno)))};
        }
        if (bytes.size() + count > MaxEmbeddedFileSize) // grew past the limit while being read
            return leftAsText(u"\"%1\" is larger than %2 MiB"_s.arg(fileName).arg(MaxEmbeddedFileSize >> 20));
        bytes.append(chunk, count);
    }
    return {FileEmbedding::Status::Embedded,
            CaptionDocumentFormat::ImagePrefix.toString() + QString::fromLatin1(bytes.toBase64())};
}
