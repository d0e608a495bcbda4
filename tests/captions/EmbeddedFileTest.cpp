#include "captions/EmbeddedFile.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct AudioCase {
    const char16_t* name;
    bool audio;
};

class IsAudioFileTest : public testing::TestWithParam<AudioCase> {};

TEST_P(IsAudioFileTest, LooksAtTheLastExtensionOnly) {
    EXPECT_EQ(IsAudioFile(QStringView(GetParam().name)), GetParam().audio)
        << QString::fromUtf16(GetParam().name).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Names, IsAudioFileTest,
                         testing::ValuesIn(std::vector<AudioCase>{
                             {u"/show/bell.wav", true},
                             {u"/show/song.mp3", true},
                             {u"/show/bell.WAV", false},
                             {u"/show/bell.wav.bmp", false},
                             {u"/show/bell.bmp", false},
                             {u"/show.wav/bell", false},
                             {u".wav", true},
                             {u"bell", false},
                             {u"", false},
                         }));

class EmbedNamedFileTest : public testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = directory.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir directory;
};

TEST_F(EmbedNamedFileTest, EmbedsARegularFileAsBase64) {
    const QString path = write(u"picture.bmp"_s, QByteArray("BM\x00\x01\xFF", 5));
    const FileEmbedding embedding = EmbedNamedFile(path);
    EXPECT_EQ(embedding.status, FileEmbedding::Status::Embedded);
    EXPECT_EQ(embedding.value, u"#IMAGE:#Qk0AAf8="_s);
}

TEST_F(EmbedNamedFileTest, LeavesTextThatNamesNoEmbeddableFile) {
    const QString fifo = directory.filePath(u"fifo"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(directory.filePath(u"large.bmp"_s));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(MaxEmbeddedFileSize + 1)); // sparse: costs no disk
    large.close();

    // A file that is there but cannot be embedded says why; text that names no file says nothing.
    const struct {
        QString text;
        QString reason;
    } cases[] = {
        {u"Hello"_s, {}},
        {write(u"bell.wav"_s, "RIFF"), {}},
        {directory.path(), u"is not a regular file"_s},
        {u"/dev/zero"_s, u"is not a regular file"_s},
        {fifo, u"is not a regular file"_s},
        {large.fileName(), u"is larger than 40 MiB"_s},
        {directory.filePath(u"missing.bmp"_s), {}},
        {u""_s, {}},
        {QString(u"a\0b"_s), {}},
    };
    for (const auto& [text, reason] : cases) {
        const FileEmbedding embedding = EmbedNamedFile(text);
        EXPECT_EQ(embedding.status, FileEmbedding::Status::NotEmbedded) << text.toStdString();
        if (reason.isEmpty())
            EXPECT_TRUE(embedding.value.isEmpty()) << text.toStdString();
        else
            EXPECT_EQ(embedding.value, u'"' + text + u"\" "_s + reason) << text.toStdString();
    }
}

TEST_F(EmbedNamedFileTest, ReportsAFileThatCannotBeRead) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QString path = write(u"locked.bmp"_s, "BM");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const FileEmbedding embedding = EmbedNamedFile(path);
    EXPECT_EQ(embedding.status, FileEmbedding::Status::ReadFailed);
    EXPECT_TRUE(embedding.value.contains(path));
}

} // namespace
