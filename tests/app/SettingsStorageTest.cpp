#include "app/SettingsFile.h"
#include "app/SettingsStore.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The per-user store and a settings file, each holding the raw text of one value as a hand edit or
// another program may have left it.
struct Place {
    const char* name;
    std::function<std::unique_ptr<SettingsStorage>(const QString& path, const QByteArray& line)> open;
};

const Place Places[] = {
    {"store",
     [](const QString& path, const QByteArray& line) {
         writeBytes(path, "[General]\n" + line + "\n");
         return std::make_unique<SettingsStore>(path);
     }},
    {"file",
     [](const QString& path, const QByteArray& line) {
         writeBytes(path, "[Display]\r\n" + line + "\r\n");
         return std::make_unique<SettingsFile>(path);
     }},
};

struct ColourCase {
    QByteArray line;
    QString read;
};

// Both places keep the caption colour as its number; whatever form a value is in, it is read back
// in the one text form the display settings hold, and one that is no colour reads as the default.
TEST(SettingsStorageTest, TheCaptionColourReadsBackInItsTextFormFromEitherPlace) {
    const ColourCase cases[] = {
        {"Font%20colour=16711680"_ba, u"$FF0000"_s},
        {"Font%20colour=$00FF00"_ba, u"$00FF00"_s},
        {"Font%20colour=clRed"_ba, u"$0000FF"_s},
        {"Font%20colour=nonsense"_ba, u"$00FFFF"_s},
        {"Other=1"_ba, u"$00FFFF"_s},
    };
    QTemporaryDir directory;
    for (const Place& place : Places) {
        for (const ColourCase& c : cases) {
            QByteArray line = c.line;
            if (std::string_view(place.name) == "file")
                line.replace("%20", " ");
            const auto storage = place.open(directory.filePath(u"values.ini"_s), line);
            EXPECT_EQ(ReadStoredDisplayState(*storage).fontColour, c.read) << place.name << ": " << c.line.data();
        }
    }
}

// A value written only when it differs from its default is removed from either place once it is
// back at the default, and the other values stay.
TEST(SettingsStorageTest, AValueBackAtItsDefaultIsRemovedFromEitherPlace) {
    QTemporaryDir directory;
    for (const Place& place : Places) {
        const QString path = directory.filePath(QString::fromLatin1(place.name) + u".ini"_s);
        const auto storage = place.open(path, "Other=1"_ba);
        StoredDisplayState state = storage->defaults();
        state.feedPort = u"41000"_s;
        WriteStoredDisplayState(*storage, state);
        EXPECT_EQ(ReadStoredDisplayState(*storage).feedPort, u"41000"_s) << place.name;
        WriteStoredDisplayState(*storage, storage->defaults());
        EXPECT_EQ(storage->readText(u"Feed Port"_s, u"gone"_s), u"gone"_s) << place.name;
        EXPECT_EQ(storage->readInteger(u"Other"_s, 0), 1) << place.name;
        EXPECT_EQ(ReadStoredDisplayState(*storage), storage->defaults()) << place.name;
    }
}

} // namespace
