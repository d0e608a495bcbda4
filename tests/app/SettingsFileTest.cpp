#include "app/SettingsFile.h"

#include "support/QtPrinters.h"
#include "support/StoredStates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Caps the size of the files this process writes, so a write fails part-way through even for root,
// whom file permissions do not stop.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
};

class SettingsFileTest : public testing::Test {
protected:
    QTemporaryDir directory;
    const QString path = directory.filePath(u"display.ini"_s);
};

TEST_F(SettingsFileTest, KeepsEveryValueThroughAFile) {
    const StoredDisplayState saved = EveryValueChanged();
    {
        SettingsFile file(path);
        WriteStoredDisplayState(file, saved);
        ASSERT_FALSE(file.save().has_value());
    }
    StoredDisplayState expected = saved;
    expected.fontColour = u"$FF0000"_s; // stored as its number, read back in the settings' text form
    EXPECT_EQ(ReadStoredDisplayState(SettingsFile(path)), expected);
}

TEST_F(SettingsFileTest, WritesTheNetworkOnlyWhereItDiffersOrReplacesAValue) {
    StoredDisplayState state = FileDefaults;
    state.controlPort = u"1025"_s;
    state.allowedControllers = u"10.0.0.0/8"_s;
    {
        SettingsFile file(path);
        WriteStoredDisplayState(file, state);
        ASSERT_FALSE(file.save().has_value());
    }
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    EXPECT_TRUE(text.contains("Control Port=1025\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Allowed Controllers=10.0.0.0/8\r\n"));
    EXPECT_FALSE(text.contains("Feed Port"));
    EXPECT_FALSE(text.contains("Listen Address"));
    EXPECT_EQ(ReadStoredDisplayState(SettingsFile(path)).controlPort, u"1025"_s);

    // A later save at the defaults must not leave the old values standing.
    {
        SettingsFile file(path);
        WriteStoredDisplayState(file, FileDefaults);
        ASSERT_FALSE(file.save().has_value());
    }
    EXPECT_FALSE(readBytes(path).contains("Control Port"));
    EXPECT_EQ(StoredNetwork::of(ReadStoredDisplayState(SettingsFile(path))), StoredNetwork::of(FileDefaults));
}

TEST_F(SettingsFileTest, WritesANewFileAsProfileLinesInOrder) {
    StoredDisplayState state = FileDefaults;
    state.formTop = -20;
    state.fullScreen = true;
    state.fontColour = u"$FF0000"_s;
    SettingsFile file(path);
    WriteStoredDisplayState(file, state);
    ASSERT_FALSE(file.save().has_value());

    EXPECT_EQ(readBytes(path), "[Display]\r\n"
                               "Form Top=-20\r\n"
                               "Form Left=0\r\n"
                               "Form Height=100\r\n"
                               "Form Width=400\r\n"
                               "FixForm Transparent=0\r\n"
                               "Monitor=0\r\n"
                               "Monitor Name=\r\n"
                               "Form Full Screen=1\r\n"
                               "Form Transparent=0\r\n"
                               "Font Override=0\r\n"
                               "Word Wrap=0\r\n"
                               "Number of display lines=3\r\n"
                               "Font height=44\r\n"
                               "Font adjust=100\r\n"
                               "AntiAliased=1\r\n"
                               "Font colour=16711680\r\n"
                               "Font name=Arial\r\n"
                               "Background Image=\r\n"_ba);
}

TEST_F(SettingsFileTest, AFileWithoutTheDisplaySectionGivesEveryDefault) {
    const StoredDisplayState& defaults = FileDefaults;
    const std::optional<QByteArray> contents[] = {
        std::nullopt,
        ""_ba,
        "\xEF\xBB\xBF"_ba,
        "[Other]\r\nForm Top=12\r\n[Display2]\r\nMonitor=3\r\n"_ba,
    };
    for (const std::optional<QByteArray>& content : contents) {
        QFile::remove(path);
        if (content)
            writeBytes(path, *content);
        EXPECT_EQ(ReadStoredDisplayState(SettingsFile(path)), defaults) << content.value_or("(no file)").toStdString();
    }
}

TEST_F(SettingsFileTest, LoadsAWindowsProfileFileAndSavesItsOtherPartsUntouched) {
    const QByteArray before = "[Other]\r\nName=First\r\n"_ba;
    const QByteArray display = "[display]\r\n"
                               "form top=12\r\n"
                               "Form Left=-8\r\n"
                               "FORM WIDTH=640\r\n"
                               "Form Height=0x1E0\r\n"
                               "AntiAliased=0\r\n"
                               "Font colour=16711680\r\n"
                               "Font name=Liberation Sans\r\n"
                               "Unknown Key=kept\r\n"_ba;
    const QByteArray after = "; kept for the lighting desk\r\n[More]\r\nfont height=9\r\n"_ba;
    writeBytes(path, before + display + after);

    SettingsFile file(path);
    StoredDisplayState expected = FileDefaults;
    expected.formTop = 12;
    expected.formLeft = -8;
    expected.formWidth = 640;
    expected.formHeight = 480;
    expected.antiAliased = false;
    expected.fontColour = u"$FF0000"_s;
    expected.fontName = u"Liberation Sans"_s;
    StoredDisplayState state = ReadStoredDisplayState(file);
    EXPECT_EQ(state, expected);

    state.formTop = 30;
    WriteStoredDisplayState(file, state);
    ASSERT_FALSE(file.save().has_value());
    const QByteArray saved = readBytes(path);
    EXPECT_TRUE(saved.startsWith(before)) << saved.toStdString();
    EXPECT_TRUE(saved.endsWith(after)) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\n[display]\r\nform top=30\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\nUnknown Key=kept\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\nFont height=44\r\n")) << saved.toStdString();
    EXPECT_EQ(saved.count("[display]"), 1);
    EXPECT_EQ(saved.count('\n'), saved.count("\r\n"));
}

struct LineEndCase {
    const char* name;
    std::optional<QByteArray> before;
    int read;
    QByteArray after;
};

TEST_F(SettingsFileTest, KeepsTheFilesLineEndsAndByteOrderMark) {
    const LineEndCase cases[] = {
        {"LF", "[Display]\nForm Top=1\n"_ba, 1, "[Display]\nForm Top=7\n"_ba},
        {"CR LF", "[Display]\r\nForm Top=1\r\n"_ba, 1, "[Display]\r\nForm Top=7\r\n"_ba},
        {"BOM", "\xEF\xBB\xBF[Display]\nForm Top=1\n"_ba, 1, "\xEF\xBB\xBF[Display]\nForm Top=7\n"_ba},
        {"new file", std::nullopt, -1, "[Display]\r\nForm Top=7\r\n"_ba},
        {"empty file", ""_ba, -1, "[Display]\r\nForm Top=7\r\n"_ba},
    };
    for (const LineEndCase& c : cases) {
        QFile::remove(path);
        if (c.before)
            writeBytes(path, *c.before);
        SettingsFile file(path);
        EXPECT_EQ(file.readInteger(u"Form Top"_s, -1), c.read) << c.name;
        file.writeInteger(u"Form Top"_s, 7);
        ASSERT_FALSE(file.save().has_value()) << c.name;
        EXPECT_EQ(readBytes(path), c.after) << c.name;
    }
}

struct IntegerCase {
    QByteArray stored;
    int read;
};

TEST_F(SettingsFileTest, ReadsAValueThatIsAWholeNumber) {
    constexpr int fallback = -99;
    const IntegerCase cases[] = {
        {"0x1F"_ba, 31},
        {"0X1f"_ba, 31},
        {"-0x10"_ba, -16},
        {"42"_ba, 42},
        {"-7"_ba, -7},
        {"+7"_ba, 7},
        {" 12"_ba, 12},
        {"12 "_ba, 12},
        {"12abc"_ba, fallback},
        {"800px"_ba, fallback},
        {"0x"_ba, fallback},
        {"2147483647"_ba, 2147483647},
        {"-2147483648"_ba, -2147483647 - 1},
        {"2147483648"_ba, fallback},
        {"abc"_ba, fallback},
        {""_ba, fallback},
        {"-"_ba, fallback},
        {"$FF"_ba, fallback},
    };
    for (const IntegerCase& c : cases) {
        writeBytes(path, "[Display]\r\nForm Top=" + c.stored + "\r\n");
        EXPECT_EQ(SettingsFile(path).readInteger(u"Form Top"_s, fallback), c.read) << c.stored.toStdString();
    }
    EXPECT_EQ(SettingsFile(path).readInteger(u"Form Left"_s, fallback), fallback);
}

struct BooleanCase {
    QByteArray stored;
    bool fallback;
    bool read;
};

TEST_F(SettingsFileTest, ReadsBooleansAsNumbers) {
    const BooleanCase cases[] = {
        {"1"_ba, false, true},  {"0"_ba, true, false},    {"-3"_ba, false, true}, {"0x0"_ba, true, false},
        {"yes"_ba, true, true}, {"yes"_ba, false, false}, {""_ba, true, true},    {"TRUE"_ba, false, false},
    };
    for (const BooleanCase& c : cases) {
        writeBytes(path, "[Display]\r\nWord Wrap=" + c.stored + "\r\n");
        EXPECT_EQ(SettingsFile(path).readBoolean(u"Word Wrap"_s, c.fallback), c.read) << c.stored.toStdString();
    }
}

struct TextCase {
    QString written;
    QString read;
};

TEST_F(SettingsFileTest, ReadsTextUpToTheLengthLimit) {
    const QString limit(SettingsFile::MaxTextLength, u'a');
    const TextCase cases[] = {
        {limit, limit},
        {limit + u"b"_s, limit},
        {QString(5000, u'c'), QString(SettingsFile::MaxTextLength, u'c')},
        // The cut would fall inside the emoji's surrogate pair: the whole character goes.
        {limit.chopped(1) + u"😀"_s, limit.chopped(1)},
        {QString(), QString()},
    };
    for (const TextCase& c : cases) {
        SettingsFile file(path);
        file.writeText(u"Background Image"_s, c.written);
        ASSERT_FALSE(file.save().has_value());
        EXPECT_EQ(SettingsFile(path).readText(u"Background Image"_s, u"default"_s), c.read) << c.written.size();
    }
    EXPECT_EQ(SettingsFile(path).readText(u"Font name"_s, u"Arial"_s), u"Arial"_s);
}

TEST_F(SettingsFileTest, ReadsWindowsCodePageTextThatIsNotUtf8) {
    writeBytes(path, "[Display]\r\nFont name=Caf\xE9 Ronde\r\nBackground Image=C:\\B\xC3\xBChne.bmp\r\n"_ba);
    SettingsFile file(path);
    EXPECT_EQ(file.readText(u"Font name"_s, QString()), u"Café Ronde"_s);
    EXPECT_EQ(file.readText(u"Background Image"_s, QString()), u"C:\\Bühne.bmp"_s);
}

TEST_F(SettingsFileTest, ALineBreakInTextCannotStartAnotherKey) {
    {
        SettingsFile file(path);
        file.writeText(u"Font name"_s, u"Arial\r\nForm Top=99\n[Evil]"_s);
        ASSERT_FALSE(file.save().has_value());
    }
    SettingsFile file(path);
    EXPECT_EQ(file.readText(u"Font name"_s, QString()), u"Arial  Form Top=99 [Evil]"_s);
    EXPECT_EQ(file.readInteger(u"Form Top"_s, 0), 0);
}

TEST_F(SettingsFileTest, ASaveThatCannotStartSaysWhere) {
    const QString directoryInTheWay = directory.filePath(u"taken.ini"_s);
    ASSERT_TRUE(QDir(directory.path()).mkdir(u"taken.ini"_s));
    const QString paths[] = {directory.filePath(u"missing/display.ini"_s), directoryInTheWay};
    for (const QString& target : paths) {
        SettingsFile file(target);
        file.writeInteger(u"Form Top"_s, 1);
        const std::optional<SettingsFileError> error = file.save();
        ASSERT_TRUE(error.has_value()) << target.toStdString();
        EXPECT_EQ(error->message, u"Unable to write to "_s + target);
    }
    EXPECT_TRUE(QFileInfo(directoryInTheWay).isDir());
}

TEST_F(SettingsFileTest, ASaveThatFailsPartWayLeavesTheOldFileWhole) {
    const QByteArray old = "[Display]\r\nForm Top=5\r\n"_ba;
    writeBytes(path, old);
    SettingsFile file(path);
    WriteStoredDisplayState(file, FileDefaults);
    std::optional<SettingsFileError> error;
    {
        const FileSizeLimit limit(old.size() + 16);
        error = file.save();
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, u"Unable to write to "_s + path);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"display.ini"_s});
}

TEST_F(SettingsFileTest, ASaveKeepsTheFilesOtherNames) {
    writeBytes(path, "[Display]\r\nForm Top=5\r\n"_ba);
    const QString otherName = directory.filePath(u"venue.ini"_s);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(otherName).constData()), 0);
    SettingsFile file(path);
    file.writeInteger(u"Form Top"_s, 7);
    ASSERT_FALSE(file.save().has_value());
    EXPECT_EQ(readBytes(otherName), "[Display]\r\nForm Top=7\r\n"_ba);
}

TEST_F(SettingsFileTest, AFileTheUserMayWriteInAFolderTheyMayNotIsSaved) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write in every folder";
    writeBytes(path, "[Display]\r\nForm Top=5\r\n"_ba);
    ASSERT_TRUE(QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::ExeOwner));
    SettingsFile file(path);
    file.writeInteger(u"Form Top"_s, 7);
    const std::optional<SettingsFileError> error = file.save();
    QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(readBytes(path), "[Display]\r\nForm Top=7\r\n"_ba);
}

} // namespace
