#include "web/WebMonitor.h"

#include "support/HttpProbe.h"
#include "support/MonitorFrames.h"

#include <QElapsedTimer>
#include <QImage>
#include <QJsonDocument>
#include <QPainter>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class FakeSource : public MonitorSource {
public:
    QSize pictureSize() const override { return shown.size(); }
    QImage picture(const QRect& area) override {
        ++pictures;
        return shown.copy(area);
    }
    QJsonObject status() const override { return state; }

    QImage shown;
    QJsonObject state{{u"DisplayWidth"_s, 640}};
    int pictures = 0;
};

QImage opaquePicture() {
    QImage picture(320, 120, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.fillRect(20, 30, 200, 40, QColor(255, 255, 0));
    painter.fillRect(0, 0, 1, 1, QColor(1, 2, 3));
    return picture;
}

// A transparent window's picture: keyed-out pixels have no colour at all.
QImage keyedPicture() {
    QImage picture(200, 80, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.fillRect(10, 10, 100, 20, QColor(0, 200, 255));
    return picture;
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() && a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

class WebMonitorTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(monitor.listen(QHostAddress::LocalHost, 0)); }

    FakeSource source;
    WebMonitor monitor{source};
};

TEST_F(WebMonitorTest, PageHealthAndStatusAnswerGet) {
    const HttpResponse page = HttpGet(monitor.port(), "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.head.contains("Content-Type: text/html"));
    EXPECT_TRUE(page.body.contains("<html") || page.body.contains("<!DOCTYPE"));
    EXPECT_FALSE(page.head.contains("Access-Control-Allow-Origin"));

    const HttpResponse health = HttpGet(monitor.port(), "/health");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok\n");

    source.state = {{u"DisplayWidth"_s, 1920}, {u"queueLength"_s, 3}};
    const HttpResponse status = HttpGet(monitor.port(), "/status.json");
    EXPECT_EQ(status.status, 200);
    EXPECT_EQ(QJsonDocument::fromJson(status.body).object(), source.state);
}

TEST_F(WebMonitorTest, UnknownPathsAndOtherMethodsAreRefused) {
    EXPECT_EQ(HttpGet(monitor.port(), "/etc/passwd").status, 404);
    EXPECT_EQ(HttpExchange(monitor.port(), "POST /status.json HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n").status,
              405);
    EXPECT_EQ(HttpExchange(monitor.port(), "DELETE /screen.png HTTP/1.1\r\nHost: x\r\n\r\n").status, 405);
}

TEST_F(WebMonitorTest, ScreenPngHoldsTheShownPixels) {
    for (const QImage& picture : {opaquePicture(), keyedPicture()}) {
        source.shown = picture;
        monitor.pictureChanged();
        const HttpResponse response = HttpGet(monitor.port(), "/screen.png");
        ASSERT_EQ(response.status, 200);
        EXPECT_TRUE(response.head.contains("Content-Type: image/png"));
        const QImage received = QImage::fromData(response.body, "PNG");
        EXPECT_TRUE(samePixels(received, picture)) << received.format();
    }
}

TEST_F(WebMonitorTest, NothingIsEncodedWhileNobodyAsks) {
    source.shown = opaquePicture();
    for (int i = 0; i < 20; ++i)
        monitor.pictureChanged();
    QTest::qWait(50);
    EXPECT_EQ(source.pictures, 0);
    EXPECT_EQ(monitor.framesEncoded(), 0u);
    HttpGet(monitor.port(), "/screen.png");
    EXPECT_EQ(monitor.framesEncoded(), 1u);
    // The same picture again is not encoded again.
    HttpGet(monitor.port(), "/screen.png");
    EXPECT_EQ(monitor.framesEncoded(), 1u);
}

struct LivePage {
    QWebSocket socket;
    MonitorFrames frames;
    std::vector<QJsonObject> statuses;
    bool closed = false;

    LivePage() {
        QObject::connect(&socket, &QWebSocket::disconnected, [this] { closed = true; });
        QObject::connect(&socket, &QWebSocket::binaryMessageReceived,
                         [this](const QByteArray& frame) { EXPECT_TRUE(frames.add(frame)); });
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& text) {
            statuses.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
        });
    }
    bool open(quint16 port, const QString& origin = {}) {
        QNetworkRequest request(QUrl(u"ws://127.0.0.1:%1/live"_s.arg(port)));
        if (!origin.isEmpty())
            request.setRawHeader("Origin", origin.toUtf8());
        socket.open(request);
        return QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState || closed; }, 5000) &&
               !closed;
    }
};

TEST_F(WebMonitorTest, LivePageGetsOnlyTheNewestFrameWhenReady) {
    source.shown = opaquePicture();
    LivePage page;
    ASSERT_TRUE(page.open(monitor.port(), u"http://127.0.0.1:%1"_s.arg(monitor.port())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.frames.count == 1 && !page.statuses.empty(); }, 5000));
    EXPECT_TRUE(samePixels(page.frames.picture, source.shown));
    EXPECT_EQ(page.frames.lastPart, source.shown.rect());
    EXPECT_EQ(page.statuses.front(), source.state);

    // The page has not said it drew the frame: changes wait, and are not queued for it.
    for (int change = 0; change < 5; ++change) {
        source.shown.setPixel(0, 0, qRgb(change, 0, 0));
        monitor.pictureChanged(QRect(0, 0, 1, 1));
        QTest::qWait(20);
    }
    EXPECT_EQ(page.frames.count, 1);
    page.socket.sendTextMessage(u"next"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.frames.count == 2; }, 5000));
    EXPECT_TRUE(samePixels(page.frames.picture, source.shown));
    QTest::qWait(50);
    EXPECT_EQ(page.frames.count, 2);
}

TEST_F(WebMonitorTest, FramesOfAnEffectComeNoFasterThanTheFrameRateCap) {
    // Two pages that are always ready, and a picture that changes at every turn of the event loop
    // as an effect's steps do: every frame made serves both pages, at most once a frame interval.
    source.shown = opaquePicture();
    LivePage first;
    LivePage second;
    for (LivePage* page : {&first, &second}) {
        QObject::connect(&page->socket, &QWebSocket::binaryMessageReceived,
                         [page] { page->socket.sendTextMessage(u"next"_s); });
        ASSERT_TRUE(page->open(monitor.port()));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.frames.count == 1 && second.frames.count == 1; }, 5000));
    constexpr int Frames = 5;
    QElapsedTimer clock;
    clock.start();
    int step = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            source.shown.setPixel(step % source.shown.width(), 0, qRgb(step % 256, 0, 0));
            monitor.pictureChanged(QRect(step % source.shown.width(), 0, 1, 1));
            ++step;
            return first.frames.count > Frames && second.frames.count > Frames;
        },
        10000));
    // Frames more: the first of them may go at once, each later one a frame interval after the last.
    EXPECT_GE(clock.elapsed(), (Frames - 1) * WebMonitor::MinFrameMilliseconds);
    // Frames served both pages at once.
    EXPECT_LT(monitor.framesEncoded(), quint64(first.frames.count + second.frames.count));
}

TEST_F(WebMonitorTest, OnlyWhatChangedIsSentAndThePagesPictureStaysWhole) {
    source.shown = opaquePicture();
    LivePage first;
    LivePage second;
    ASSERT_TRUE(first.open(monitor.port()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.frames.count == 1; }, 5000));
    ASSERT_TRUE(second.open(monitor.port()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.frames.count == 1; }, 5000));

    // The first page keeps up; the second one draws its frames late, and gets what changed since.
    const auto paint = [&](const QRect& area, QColor colour) {
        QPainter(&source.shown).fillRect(area, colour);
        monitor.pictureChanged(area);
    };
    first.socket.sendTextMessage(u"next"_s);
    paint(QRect(10, 10, 30, 20), Qt::red);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.frames.count == 2; }, 5000));
    EXPECT_EQ(first.frames.lastPart, QRect(10, 10, 30, 20));
    first.socket.sendTextMessage(u"next"_s);
    paint(QRect(200, 50, 10, 10), Qt::green);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.frames.count == 3; }, 5000));
    EXPECT_EQ(first.frames.lastPart, QRect(200, 50, 10, 10));

    second.socket.sendTextMessage(u"next"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.frames.count == 2; }, 5000));
    EXPECT_TRUE(second.frames.lastPart.contains(QRect(10, 10, 30, 20)));
    EXPECT_TRUE(second.frames.lastPart.contains(QRect(200, 50, 10, 10)));
    for (const LivePage* page : {&first, &second})
        EXPECT_TRUE(samePixels(page->frames.picture, source.shown));

    // A new size comes whole.
    first.socket.sendTextMessage(u"next"_s);
    source.shown = keyedPicture();
    monitor.pictureChanged(QRect(0, 0, 5, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.frames.count == 4; }, 5000));
    EXPECT_EQ(first.frames.lastPart, source.shown.rect());
    EXPECT_TRUE(samePixels(first.frames.picture, source.shown));
}

TEST_F(WebMonitorTest, APageThatSaysTooMuchIsClosed) {
    source.shown = opaquePicture();
    LivePage page;
    ASSERT_TRUE(page.open(monitor.port()));
    page.socket.sendTextMessage(QString(int(WebMonitor::MaxPageMessageBytes) * 4, u'x'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.closed; }, 5000));
}

TEST_F(WebMonitorTest, AnotherSitesPageMayNotWatch) {
    QSignalSpy lines(&monitor, &WebMonitor::logLine);
    source.shown = opaquePicture();
    LivePage page;
    EXPECT_FALSE(page.open(monitor.port(), u"http://elsewhere.example"_s));
    EXPECT_TRUE(page.closed);
    EXPECT_EQ(page.frames.count, 0);
    EXPECT_EQ(lines.size(), 1);
}

class WebMonitorLimitsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(monitor.listen(QHostAddress::LocalHost, 0)); }

    FakeSource source;
    WebMonitor monitor{source, HttpLimits{.maxConnections = 4, .idleMilliseconds = 300, .maxRequestBytes = 4096}};
    QSignalSpy lines{&monitor, &WebMonitor::logLine};
};

bool closedByPeer(QTcpSocket& socket) {
    return QTest::qWaitFor(
        [&] {
            socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        5000);
}

TEST_F(WebMonitorLimitsTest, ConnectionsBeyondTheCapAreClosedAndLoggedOnce) {
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 10; ++i) {
        held.push_back(std::make_unique<QTcpSocket>());
        held.back()->connectToHost(QHostAddress::LocalHost, monitor.port());
        ASSERT_TRUE(held.back()->waitForConnected(5000));
    }
    for (int i = 4; i < 10; ++i)
        EXPECT_TRUE(closedByPeer(*held[i])) << i;
    EXPECT_EQ(held[0]->state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.front().front().toString().contains(u"too many connections"));
}

TEST_F(WebMonitorLimitsTest, OnlyAllowedPeersAreServed) {
    QSignalSpy refused(&monitor, &WebMonitor::peerRefused);
    monitor.setAllowedPeers(AllowedPeers::parse(u"10.0.0.0/8, ::1").peers);
    QTcpSocket outsider;
    outsider.connectToHost(QHostAddress::LocalHost, monitor.port());
    ASSERT_TRUE(outsider.waitForConnected(5000));
    outsider.write("GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_TRUE(closedByPeer(outsider));
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.front().front().value<QHostAddress>(), QHostAddress(QHostAddress::LocalHost));

    monitor.setAllowedPeers(AllowedPeers::parse(u"127.0.0.0/8").peers);
    EXPECT_EQ(HttpGet(monitor.port(), "/health").status, 200);
}

TEST_F(WebMonitorLimitsTest, HugeRequestsAndIdleClientsAreClosed) {
    QTcpSocket huge;
    huge.connectToHost(QHostAddress::LocalHost, monitor.port());
    ASSERT_TRUE(huge.waitForConnected(5000));
    huge.write("GET / HTTP/1.1\r\nHost: x\r\nX-Fill: " + QByteArray(64 * 1024, 'a'));
    EXPECT_TRUE(closedByPeer(huge));

    QTcpSocket idle;
    idle.connectToHost(QHostAddress::LocalHost, monitor.port());
    ASSERT_TRUE(idle.waitForConnected(5000));
    idle.write("GET / HTT");
    EXPECT_TRUE(closedByPeer(idle));
    // The service still answers.
    EXPECT_EQ(HttpGet(monitor.port(), "/health").status, 200);
    EXPECT_EQ(lines.size(), 2);
}

} // namespace

namespace {

struct FakeControl : MonitorControl {
    void blank() override { done.append(u"blank"_s); }
    void clear() override { done.append(u"clear"_s); }
    void showLine(const QString& line) override { done.append(u"line "_s + line); }
    QStringList done;
};

struct ControlCase {
    const char* name;
    const char* token; // configured; empty: none
    const char* request;
    int status;
    const char* done; // what the display was asked to do; empty: nothing
};

// %1 is the monitor's "127.0.0.1:port".
const ControlCase ControlCases[] = {
    {"NoTokenConfigured", "", "POST /control/blank HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer \r\n", 403, ""},
    {"NoTokenSent", "s3cret", "POST /control/blank HTTP/1.1\r\nHost: %1\r\n", 403, ""},
    {"WrongToken", "s3cret", "POST /control/blank HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer s3creT\r\n", 403, ""},
    {"LongerToken", "s3cret", "POST /control/blank HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer s3cret1\r\n", 403, ""},
    {"ProgramWithToken", "s3cret", "POST /control/blank HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer s3cret\r\n", 200,
     "blank"},
    {"OwnPageWithToken", "s3cret",
     "POST /control/clear HTTP/1.1\r\nHost: %1\r\nOrigin: http://%1\r\nAuthorization: Bearer s3cret\r\n", 200, "clear"},
    {"OtherSitesPageWithToken", "s3cret",
     "POST /control/clear HTTP/1.1\r\nHost: %1\r\nOrigin: http://elsewhere.example\r\nAuthorization: Bearer "
     "s3cret\r\n",
     403, ""},
    {"Line", "s3cret",
     "POST /control/caption HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer s3cret\r\nContent-Length: 11\r\n\r\n"
     "Act 2 \xc3\xa9t\xc3\xa9",
     200, "line Act 2 été"},
    {"GetChangesNothing", "s3cret", "GET /control/blank HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer s3cret\r\n", 405,
     ""},
    {"UnknownControl", "s3cret", "POST /control/reboot HTTP/1.1\r\nHost: %1\r\nAuthorization: Bearer s3cret\r\n", 404,
     ""},
};

class WebControlTest : public WebMonitorTest, public testing::WithParamInterface<ControlCase> {};

TEST_P(WebControlTest, ChangesOnlyWithTheTokenFromTheMonitorsOwnPage) {
    const ControlCase& test = GetParam();
    FakeControl control;
    monitor.setControl(&control, QString::fromUtf8(test.token));
    QSignalSpy lines(&monitor, &WebMonitor::logLine);
    QByteArray request = QString::fromUtf8(test.request).arg(u"127.0.0.1:%1"_s.arg(monitor.port())).toUtf8();
    if (!request.contains("\r\n\r\n"))
        request += "Content-Length: 0\r\n\r\n";
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HttpResponse response = HttpExchange(monitor.port(), request);
        EXPECT_EQ(response.status, test.status);
        EXPECT_FALSE(response.head.contains("Access-Control-Allow-Origin"));
    }
    const QString done = QString::fromUtf8(test.done);
    const QStringList expected = done.isEmpty() ? QStringList() : QStringList{done, done};
    EXPECT_EQ(control.done, expected);
    // A refusal is logged once however often it comes; what is done, every time.
    const qsizetype logged = test.status == 403 ? 1 : test.status == 200 ? 2 : 0;
    EXPECT_EQ(lines.size(), logged);
}

INSTANTIATE_TEST_SUITE_P(Cases, WebControlTest, testing::ValuesIn(ControlCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
