#include "app/DisplayApplication.h"
#include "app/EventLog.h"
#include "app/StoredSettings.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/HttpProbe.h"
#include "support/NetFakes.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A port free a moment ago: the web port has no "any free port" value (0 is off).
quint16 freePort() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::AnyIPv4, 0));
    return probe.serverPort();
}

struct RunningDisplay {
    QTemporaryDir directory;
    EventLog log{-1};
    std::unique_ptr<DisplayApplication> display;

    RunningDisplay(const QStringList& switches, std::optional<int> storedWebPort) {
        const QString store = directory.filePath(u"store.conf"_s);
        if (storedWebPort)
            QSettings(store, QSettings::IniFormat).setValue(StoredSettings::WebPort, *storedWebPort);
        display = std::make_unique<DisplayApplication>(
            CommandLine(QStringList{u"veltrinox-lcd"_s, u"/port"_s, u"0"_s, u"/capport"_s, u"0"_s} + switches),
            std::make_unique<SettingsStore>(store), DisplayQueries{.adapters = noAdapters});
        display->setEventLog(log);
        EXPECT_TRUE(display->start());
        QCoreApplication::processEvents();
    }
    bool logged(const QString& text) const { return log.recentLines().join(u'\n').contains(text); }
};

struct PortCase {
    const char* name;
    std::optional<int> stored; // -1: a free port
    QString commandLine;       // "free": a free port; empty: no switch
    bool on;
    const char* logged;
};

const PortCase PortCases[] = {
    {"OffWithoutEither", std::nullopt, {}, false, "running:"},
    {"StoredPortOpens", -1, {}, true, "web monitor listening on port"},
    {"StoredZeroIsOff", 0, {}, false, "running:"},
    {"SwitchOpens", std::nullopt, u"free"_s, true, "web monitor listening on port"},
    {"SwitchZeroWinsOverTheStore", -1, u"0"_s, false, "running:"},
    {"SwitchThatIsNoPortIsReported", std::nullopt, u"http"_s, false, "the web port \"http\" is no port number"},
};

class WebPortTest : public testing::TestWithParam<PortCase> {};

TEST_P(WebPortTest, OpensOnlyWhenAsked) {
    const PortCase& test = GetParam();
    const quint16 port = freePort();
    QStringList switches;
    if (!test.commandLine.isEmpty())
        switches << u"/webport"_s << (test.commandLine == u"free" ? QString::number(port) : test.commandLine);
    const std::optional<int> stored = test.stored == -1 ? std::optional<int>(port) : test.stored;
    const RunningDisplay running(switches, stored);
    EXPECT_EQ(running.display->webPort(), test.on ? port : 0);
    EXPECT_TRUE(running.logged(QString::fromUtf8(test.logged))) << running.log.recentLines().join(u'\n').toStdString();
    if (test.on) {
        EXPECT_EQ(HttpGet(port, "/health").status, 200);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WebPortTest, testing::ValuesIn(PortCases),
                         [](const auto& info) { return std::string(info.param.name); });

class DisplayMonitorTest : public testing::Test {
protected:
    RunningDisplay running{{u"/webport"_s, QString::number(freePort())}, std::nullopt};
    DisplayApplication& display = *running.display;
    quint16 port = display.webPort();
};

TEST_F(DisplayMonitorTest, StatusTellsWhatTheStatusQueryTellsAndMore) {
    ASSERT_NE(port, 0);
    QTcpSocket controller;
    controller.connectToHost(QHostAddress::LocalHost, display.listeningFeedPort());
    ASSERT_TRUE(controller.waitForConnected(5000));
    const QString document = CaptionDocumentBuilder().english(u"Act one"_s).cue(u"12"_s).xml();
    controller.write(reinterpret_cast<const char*>(document.utf16()), document.size() * 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return display.window().presenter().records().current.Cue == u"12"; }, 5000));

    const HttpResponse response = HttpGet(port, "/status.json");
    ASSERT_EQ(response.status, 200);
    const QJsonObject status = QJsonDocument::fromJson(response.body).object();
    const QSize size = display.window().presenter().displaySize();
    EXPECT_EQ(status[u"DisplayWidth"_s].toInt(), size.width());
    EXPECT_EQ(status[u"DisplayHeight"_s].toInt(), size.height());
    EXPECT_EQ(status[u"DisplayFontName"_s].toString(), display.window().presenter().displayFont().name);
    EXPECT_EQ(status[u"DisplayLines"_s].toInt(), display.displaySettings().NumberOfLines());
    EXPECT_TRUE(status[u"DisplayFontColor"_s].isString());
    EXPECT_EQ(status[u"windowWidth"_s].toInt(), display.window().deviceSize().width());
    EXPECT_EQ(status[u"fullScreen"_s].toBool(), false);
    EXPECT_EQ(status[u"transparent"_s].toBool(), false);
    EXPECT_EQ(status[u"queueLength"_s].toInt(), 0);
    const QJsonArray controllers = status[u"controllers"_s].toArray();
    ASSERT_EQ(controllers.size(), 1);
    EXPECT_EQ(controllers[0][u"port"_s].toString(), u"feed");
    EXPECT_EQ(controllers[0][u"peer"_s].toString(), u"127.0.0.1:%1"_s.arg(controller.localPort()));
    EXPECT_EQ(status[u"caption"_s][u"cue"_s].toString(), u"12");
    EXPECT_EQ(status[u"caption"_s][u"text"_s].toString(), u"Act one");
    const QJsonArray log = status[u"log"_s].toArray();
    EXPECT_GT(log.size(), 0);
    EXPECT_LE(log.size(), EventLog::RecentLines);
    EXPECT_TRUE(log.last().toString().contains(u"Act one") || log.last().toString().contains(u"12"))
        << log.last().toString().toStdString();
}

TEST_F(DisplayMonitorTest, ScreenPngIsWhatTheWindowPaints) {
    ASSERT_NE(port, 0);
    display.window().presenter().enqueue(CaptionDocumentBuilder().english(u"Mirror"_s).xml());
    display.window().presenter().ShowSurtitle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !display.window().presenter().effectRunning(); }, 5000));
    const QImage painted = display.window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const HttpResponse response = HttpGet(port, "/screen.png");
    ASSERT_EQ(response.status, 200);
    const QImage served = QImage::fromData(response.body, "PNG").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(served.size(), display.window().deviceSize());
    EXPECT_EQ(served, painted);
    EXPECT_EQ(served, display.window().shownPicture().convertToFormat(QImage::Format_RGB32));
    // A part is the same pixels as the whole picture has there.
    const QRect part(5, 3, 140, 20);
    EXPECT_EQ(display.window().shownPicture(part), display.window().shownPicture().copy(part));
}

// Every pixel of the picture is one colour.
bool plain(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            if (rgb.pixel(x, y) != rgb.pixel(0, 0))
                return false;
        }
    }
    return true;
}

TEST(DisplayMonitorControlTest, WithTheTokenBlankBlanksAndALineIsShown) {
    RunningDisplay running({u"/webport"_s, QString::number(freePort()), u"/webtoken"_s, u"s3cret"_s}, std::nullopt);
    DisplayApplication& display = *running.display;
    EXPECT_TRUE(running.logged(u"control with the web token"_s));
    const auto post = [&](const QByteArray& path, const QByteArray& body) {
        return HttpExchange(display.webPort(), "POST " + path +
                                                   " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                   "Authorization: Bearer s3cret\r\nContent-Length: " +
                                                   QByteArray::number(body.size()) + "\r\n\r\n" + body)
            .status;
    };
    const auto settled = [&] {
        return QTest::qWaitFor(
            [&] {
                return display.window().presenter().queuedDocuments() == 0 &&
                       !display.window().presenter().effectRunning();
            },
            10000);
    };
    ASSERT_EQ(post("/control/caption", "From the booth"), 200);
    ASSERT_TRUE(settled());
    EXPECT_EQ(display.window().presenter().records().current.Caption[0].Text, u"From the booth");
    EXPECT_FALSE(plain(display.window().shownPicture()));

    ASSERT_EQ(post("/control/blank", {}), 200);
    ASSERT_TRUE(settled());
    EXPECT_TRUE(plain(display.window().shownPicture()));
    EXPECT_TRUE(running.logged(u"\"Blank\" from"_s));
}

TEST(DisplayMonitorControlTest, WithoutATokenNothingChanges) {
    RunningDisplay running({u"/webport"_s, QString::number(freePort())}, std::nullopt);
    DisplayApplication& display = *running.display;
    EXPECT_TRUE(running.logged(u"control off: no web token"_s));
    const HttpResponse response = HttpExchange(display.webPort(), "POST /control/caption HTTP/1.1\r\nHost: x\r\n"
                                                                  "Content-Length: 5\r\n\r\nHello");
    EXPECT_EQ(response.status, 403);
    QTest::qWait(100);
    EXPECT_EQ(display.window().presenter().records().current.Caption[0].Text, QString());
    EXPECT_TRUE(running.logged(u"no web token is configured"_s));
}

} // namespace
