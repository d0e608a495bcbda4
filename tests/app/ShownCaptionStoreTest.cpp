#include "app/ShownCaptionStore.h"

#include "app/ShownCaptionFile.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

ShownCaption captionOf(const QString& text) {
    ShownCaption shown;
    shown.caption.Caption[0].Text = text;
    shown.caption.Colour = u"Yellow"_s;
    shown.overallBrightness = u"100"_s;
    return shown;
}

class ShownCaptionStoreTest : public testing::Test {
protected:
    QTemporaryDir directory;
    const QString folder = directory.filePath(u"state/veltrinox-lcd"_s);
    const QString path = ShownCaptionStore::filePath(folder, 41000);
};

TEST_F(ShownCaptionStoreTest, TheNextRunFindsTheLastCaptionShown) {
    {
        ShownCaptionStore store(path);
        EXPECT_FALSE(store.load()); // the first run finds none
        store.captionShown(captionOf(u"First"_s));
        store.captionShown(captionOf(u"Second"_s));
    } // ended without forget(): as a killed display, the file stays
    EXPECT_EQ(ShownCaptionStore(path).load(), captionOf(u"Second"_s));
}

TEST_F(ShownCaptionStoreTest, ACleanEndLeavesNothingForTheNextRun) {
    {
        ShownCaptionStore store(path);
        store.captionShown(captionOf(u"Shown"_s));
        store.forget();
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(ShownCaptionStore(path).load());
}

TEST_F(ShownCaptionStoreTest, DisplaysOnOtherPortsKeepTheirOwn) {
    ShownCaptionStore first(ShownCaptionStore::filePath(folder, 41000));
    ShownCaptionStore second(ShownCaptionStore::filePath(folder, 41002));
    first.captionShown(captionOf(u"One"_s));
    second.captionShown(captionOf(u"Two"_s));
    first.flush();
    second.flush();
    EXPECT_EQ(first.load(), captionOf(u"One"_s));
    EXPECT_EQ(second.load(), captionOf(u"Two"_s));
}

TEST_F(ShownCaptionStoreTest, TheFolderIsTheUsersAlone) {
    ShownCaptionStore store(path);
    store.captionShown(captionOf(u"Not public yet"_s));
    store.flush();
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

// A reader looking at any moment sees a whole caption, the old one or the new one: each file is
// replaced whole, never rewritten in place.
TEST_F(ShownCaptionStoreTest, AReaderAtAnyMomentFindsAWholeCaption) {
    const ShownCaption captions[] = {captionOf(QString(200000, u'a')), captionOf(QString(150000, u'b'))};
    ShownCaptionStore store(path);
    store.captionShown(captions[0]);
    store.flush();
    std::atomic<bool> writing = true;
    std::atomic<int> reads = 0;
    std::atomic<int> damaged = 0;
    std::thread reader([&] {
        while (writing) {
            const std::optional<ShownCaption> read = ShownCaptionStore(path).load();
            damaged += !read || (*read != captions[0] && *read != captions[1]);
            ++reads;
        }
    });
    for (int write = 0; write < 100; ++write) {
        store.captionShown(captions[write % 2]);
        store.flush();
    }
    writing = false;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(damaged, 0) << "of " << reads << " reads";
}

struct UnreadableCase {
    const char* name;
    std::function<void(const QString& path)> make;
};

TEST_F(ShownCaptionStoreTest, WhatIsNotACaptionFileIsNone) {
    const UnreadableCase cases[] = {
        {"damaged",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(ShownCaptionFile::Encode(captionOf(u"cut"_s)).left(30));
         }},
        {"larger than any caption", // sparse: nothing is written, and nothing may be read
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize(ShownCaptionFile::MaxBytes + 1));
         }},
        {"a pipe, which would block a read",
         [](const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }},
        {"a folder", [](const QString& path) { ASSERT_TRUE(QDir().mkpath(path)); }},
    };
    for (const UnreadableCase& c : cases) {
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder));
        c.make(path);
        EXPECT_FALSE(ShownCaptionStore(path).load()) << c.name;
    }
}

TEST_F(ShownCaptionStoreTest, AStateFolderThatCannotBeMadeLeavesTheDisplayGoingOn) {
    // A file where the folder should be.
    QFile blocker(QFileInfo(folder).absolutePath());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(blocker.fileName()).absolutePath()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    ShownCaptionStore store(path);
    store.captionShown(captionOf(u"Lost"_s));
    store.flush();
    EXPECT_FALSE(store.load());
}

TEST_F(ShownCaptionStoreTest, TheFolderFollowsXdgStateHome) {
    const QByteArray before = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/srv/state");
    EXPECT_EQ(ShownCaptionStore::defaultFolder(), u"/srv/state/veltrinox-lcd"_s);
    qputenv("XDG_STATE_HOME", "relative/state"); // not absolute: ignored, as the convention says
    EXPECT_EQ(ShownCaptionStore::defaultFolder(), QDir::home().filePath(u".local/state/veltrinox-lcd"_s));
    qputenv("XDG_STATE_HOME", before);
}

} // namespace
