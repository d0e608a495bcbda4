#include "app/SettingsStore.h"

#include "support/QtPrinters.h"
#include "support/StoredStates.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class SettingsStoreTest : public testing::Test {
protected:
    // Puts a raw value in the store as another program (or a hand edit) might have left it.
    void storeRaw(const QString& name, const QVariant& value) {
        QSettings raw(path, QSettings::IniFormat);
        raw.setValue(name, value);
    }

    QTemporaryDir directory;
    const QString path = directory.filePath(u"store.conf"_s);
};

struct IntegerCase {
    QVariant stored;
    int read;
};

TEST_F(SettingsStoreTest, ReadsIntegersFromNumbersAndNumericText) {
    const IntegerCase cases[] = {
        {QVariant(640), 640},      {QVariant(u"640"_s), 640}, {QVariant(u"$FF"_s), 255},
        {QVariant(u"0x10"_s), 16}, {QVariant(u"-20"_s), -20}, {QVariant(u"wide"_s), 7},
        {QVariant(u"x10"_s), 7},   {QVariant(u"12px"_s), 7},  {QVariant(u""_s), 7},
    };
    for (const IntegerCase& c : cases) {
        storeRaw(u"Form Width"_s, c.stored);
        SettingsStore store(path);
        EXPECT_EQ(store.readInteger(u"Form Width"_s, 7), c.read) << c.stored.toString().toStdString();
    }
    SettingsStore store(path);
    EXPECT_EQ(store.readInteger(u"Missing"_s, 352), 352);
}

struct BooleanCase {
    const char16_t* stored;
    bool fallback;
    bool read;
};

TEST_F(SettingsStoreTest, ReadsBooleansFromWordsAndNumbers) {
    const BooleanCase cases[] = {
        {u"TRUE", false, true}, {u"yes", false, true},   {u"y", false, true},      {u"1", false, true},
        {u"-3", false, true},   {u"FALSE", true, false}, {u"No", true, false},     {u"n", true, false},
        {u"0", true, false},    {u"maybe", true, true},  {u"maybe", false, false},
    };
    for (const BooleanCase& c : cases) {
        storeRaw(u"Form Full Screen"_s, QString::fromUtf16(c.stored));
        SettingsStore store(path);
        EXPECT_EQ(store.readBoolean(u"Form Full Screen"_s, c.fallback), c.read)
            << QString::fromUtf16(c.stored).toStdString();
    }
}

TEST_F(SettingsStoreTest, WritesReadsAndDeletes) {
    {
        SettingsStore store(path);
        store.writeInteger(u"Form Top"_s, -1080);
        store.writeBoolean(u"Form Transparent"_s, true);
        store.writeText(u"Font name"_s, u"Liberation Sans"_s);
        store.writeText(u"Background Image"_s, QString());
        EXPECT_TRUE(store.sync());
    }
    SettingsStore store(path);
    EXPECT_EQ(store.readInteger(u"Form Top"_s, 0), -1080);
    EXPECT_TRUE(store.readBoolean(u"Form Transparent"_s, false));
    EXPECT_EQ(store.readText(u"Font name"_s, u"Arial"_s), u"Liberation Sans"_s);
    EXPECT_EQ(store.readText(u"Background Image"_s, u"x"_s), QString());
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).value(u"Form Transparent"_s).toString(), u"TRUE"_s);

    store.remove(u"Form Top"_s);
    store.remove(u"Not There"_s);
    EXPECT_EQ(store.readInteger(u"Form Top"_s, 5), 5);
}

TEST_F(SettingsStoreTest, AnUnwritableStoreSaysSo) {
    SettingsStore store(u"/proc/veltrinox-store.conf"_s);
    store.writeInteger(u"Form Top"_s, 1);
    EXPECT_FALSE(store.sync());
    EXPECT_EQ(store.readInteger(u"Missing"_s, 3), 3);
}

TEST_F(SettingsStoreTest, AnEmptyStoreReadsAsAFirstStart) {
    EXPECT_EQ(ReadStoredDisplayState(SettingsStore(path)), StoreDefaults);
}

TEST_F(SettingsStoreTest, KeepsEveryValue) {
    const StoredDisplayState saved = EveryValueChanged();
    {
        SettingsStore store(path);
        WriteStoredDisplayState(store, saved);
        ASSERT_TRUE(store.sync());
    }
    StoredDisplayState expected = saved;
    expected.fontColour = u"$FF0000"_s; // kept as its number, read back in the text form
    EXPECT_EQ(ReadStoredDisplayState(SettingsStore(path)), expected);
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).allKeys().size(), qsizetype(StoredSettings::Table.size()));
}

TEST_F(SettingsStoreTest, KeepsTheNetworkOnlyWhereItDiffersFromTheDefaults) {
    StoredDisplayState state = StoreDefaults;
    state.feedPort = u"10001"_s;
    state.listenAddress = u"192.168.10.5"_s;
    state.allowedControllers = u"192.168.10.0/24, 10.0.0.5"_s;
    {
        SettingsStore store(path);
        WriteStoredDisplayState(store, state);
        ASSERT_TRUE(store.sync());
    }
    EXPECT_EQ(ReadStoredDisplayState(SettingsStore(path)), state);
    QStringList keys = QSettings(path, QSettings::IniFormat).allKeys();
    EXPECT_TRUE(keys.contains(u"Feed Port"_s));
    EXPECT_FALSE(keys.contains(u"Control Port"_s));

    // Back at the defaults, the values leave the store.
    {
        SettingsStore store(path);
        WriteStoredDisplayState(store, StoreDefaults);
        ASSERT_TRUE(store.sync());
    }
    keys = QSettings(path, QSettings::IniFormat).allKeys();
    for (const char* name : {"Feed Port", "Control Port", "Listen Address", "Allowed Controllers"})
        EXPECT_FALSE(keys.contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(ReadStoredDisplayState(SettingsStore(path)), StoreDefaults);
}

// Each named display has a store of its own, and the display without a name keeps the one it has
// always had: saving one never touches another.
TEST(SettingsStoreInstanceTest, NamedDisplaysKeepStoresOfTheirOwn) {
    const std::unique_ptr<SettingsStore> unnamed = SettingsStore::forInstance({});
    const std::unique_ptr<SettingsStore> left = SettingsStore::forInstance(u"left"_s);
    const std::unique_ptr<SettingsStore> right = SettingsStore::forInstance(u"right"_s);
    EXPECT_EQ(unnamed->fileName(), SettingsStore().fileName());
    EXPECT_TRUE(unnamed->fileName().endsWith(u"/Quillmarch/Brindlecast LCD.conf"_s))
        << unnamed->fileName().toStdString();
    EXPECT_TRUE(left->fileName().endsWith(u"/Quillmarch/Brindlecast LCD - left.conf"_s))
        << left->fileName().toStdString();
    EXPECT_NE(left->fileName(), right->fileName());

    const QString name = u"Form Width"_s;
    unnamed->remove(name);
    left->writeInteger(name, 1280);
    right->writeInteger(name, 640);
    ASSERT_TRUE(left->sync() && right->sync() && unnamed->sync());
    EXPECT_EQ(SettingsStore::forInstance(u"left"_s)->readInteger(name, 0), 1280);
    EXPECT_EQ(SettingsStore::forInstance(u"right"_s)->readInteger(name, 0), 640);
    EXPECT_EQ(SettingsStore::forInstance({})->readInteger(name, 7), 7);
    for (const SettingsStore* store : {left.get(), right.get()})
        QFile::remove(store->fileName());
}

} // namespace
