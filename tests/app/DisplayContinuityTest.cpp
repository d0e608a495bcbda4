#include "app/DisplayApplication.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/NetFakes.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// The running display and the caption it keeps for a start after an unclean end: shown again at
// once, removed by a clean end, left alone by a copy whose start failed.

namespace {

class DisplayContinuityTest : public testing::Test {
protected:
    DisplayContinuityTest() { qputenv("XDG_STATE_HOME", state.path().toLocal8Bit()); }
    ~DisplayContinuityTest() override { qputenv("XDG_STATE_HOME", before); }

    std::unique_ptr<DisplayApplication> display(const QString& feedPort) {
        auto display =
            std::make_unique<DisplayApplication>(CommandLine({u"veltrinox-lcd"_s, u"/port"_s, feedPort, u"/capport"_s,
                                                              u"0"_s, u"/width"_s, u"200"_s, u"/height"_s, u"100"_s}),
                                                 std::make_unique<SettingsStore>(settings.filePath(u"store.conf"_s)),
                                                 DisplayQueries{.adapters = noAdapters});
        return display;
    }
    // What a display on this feed port left when it was killed.
    void keep(const ShownCaption& shown, quint16 feedPort = 0) {
        ShownCaptionStore store(keptFile(feedPort));
        store.captionShown(shown);
    }
    QString keptFile(quint16 feedPort = 0) const {
        return ShownCaptionStore::filePath(ShownCaptionStore::defaultFolder(), feedPort);
    }
    static QRgb shownPixel(DisplayApplication& display) {
        return display.window().presenter().displayImage().pixel(5, 5);
    }

    const QByteArray before = qgetenv("XDG_STATE_HOME");
    QTemporaryDir state;
    QTemporaryDir settings;
};

ShownCaption blueCaption() {
    ShownCaption shown;
    shown.caption.Caption[0].Text = u"Kept"_s;
    shown.caption.Colour = u"Yellow"_s;
    shown.caption.BackColour = u"Blue"_s;
    shown.caption.FontName = u"Arial"_s;
    shown.caption.Size = u"Medium"_s;
    shown.overallBrightness = u"100"_s;
    return shown;
}

TEST_F(DisplayContinuityTest, AStartAfterAnUncleanEndShowsTheKeptCaptionAtOnce) {
    keep(blueCaption());
    const auto restarted = display(u"0"_s);
    ASSERT_TRUE(restarted->start());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownPixel(*restarted) == qRgb(0, 0, 255); }, 1000));
    EXPECT_EQ(restarted->window().presenter().records().current, blueCaption().caption);
}

TEST_F(DisplayContinuityTest, EachCaptionShownIsKeptAndACleanEndLeavesNone) {
    auto running = display(u"0"_s);
    ASSERT_TRUE(running->start());
    running->window().presenter().enqueue(CaptionDocumentBuilder().stream(9, u"Kept until the end"_s).xml());
    running->window().presenter().ShowSurtitle();
    const auto kept = [&] {
        const std::optional<ShownCaption> shown = ShownCaptionStore(keptFile()).load();
        return shown && shown->caption.Caption[9].Text == u"Kept until the end"_s;
    };
    EXPECT_TRUE(QTest::qWaitFor(kept, 5000));
    running.reset(); // as after "Exit" or SIGTERM, when the event loop has ended
    EXPECT_FALSE(QFile::exists(keptFile()));
}

TEST_F(DisplayContinuityTest, ACleanEndLeavesNothingForTheNextStart) {
    keep(blueCaption());
    display(u"0"_s)->start(); // shows it again, then ends cleanly
    EXPECT_FALSE(QFile::exists(keptFile()));
    const auto next = display(u"0"_s);
    ASSERT_TRUE(next->start());
    QTest::qWait(100);
    EXPECT_EQ(shownPixel(*next), qRgb(0, 0, 0));
}

TEST_F(DisplayContinuityTest, ACopyRefusedTheFeedPortLeavesTheRunningDisplaysCaption) {
    QTcpServer running;
    ASSERT_TRUE(running.listen(QHostAddress::AnyIPv4));
    keep(blueCaption(), running.serverPort());
    const QByteArray kept = [&] {
        QFile file(keptFile(running.serverPort()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    {
        const auto refused = display(QString::number(running.serverPort()));
        ASSERT_FALSE(refused->start());
        QCoreApplication::processEvents();
    }
    QFile file(keptFile(running.serverPort()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kept);
}

} // namespace
