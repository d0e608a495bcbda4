#include "ToolProcess.h"
#include "net/ControlListener.h"
#include "net/FeedListener.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/ControlFakes.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Document = CaptionDocumentBuilder().english(u"\u266A A"_s).xml();

TEST(SendCommandTest, SendsDocumentsAndWaitsForEachOk) {
    FeedListener feed;
    ASSERT_TRUE(feed.listen(0, QHostAddress::LocalHost));
    QStringList received;
    QObject::connect(&feed, &FeedListener::documentReceived,
                     [&](const QString& document) { received.append(document); });
    const ToolRun result =
        runTool({u"send"_s, u"--port"_s, QString::number(feed.port())}, (Document + u'\n' + Document + u'\n').toUtf8());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(received, (QStringList{Document, Document}));
}

// Sends two documents and reports how long after the last "OK" the tool closed its connection.
struct SendRun {
    ToolRun tool;
    qint64 openAfterLastDocument = -1;
};

SendRun sendTwo(const QString& second, const QStringList& options = {}) {
    FeedListener feed;
    EXPECT_TRUE(feed.listen(0, QHostAddress::LocalHost));
    QElapsedTimer sinceLast;
    SendRun run;
    QObject::connect(&feed, &FeedListener::documentReceived, [&] { sinceLast.start(); });
    QObject::connect(&feed, &FeedListener::connectionsChanged, [&] {
        if (sinceLast.isValid())
            run.openAfterLastDocument = sinceLast.elapsed();
    });
    run.tool = runTool(QStringList{u"send"_s, u"--port"_s, QString::number(feed.port())} + options,
                       (Document + u'\n' + second + u'\n').toUtf8());
    const QDeadlineTimer deadline(5000); // the tool has ended: its closing is on its way
    while (run.openAfterLastDocument < 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return run;
}

TEST(SendCommandTest, StaysConnectedUntilTheDocumentsHaveBeenPresented) {
    const QString slowFade = CaptionDocumentBuilder().english(u"\u266A A"_s).effect(EntryEffect::Fade, u"20%"_s).xml();
    const SendRun run = sendTwo(slowFade);
    EXPECT_EQ(run.tool.exitCode, 0) << run.tool.err.toStdString();
    // 20 % is a speed of 12: 86 steps out and 86 in, after the first document's single step.
    EXPECT_GE(run.openAfterLastDocument, 1730);
    EXPECT_LE(run.openAfterLastDocument, 10000);
}

// A "{CLEAR}" caption scrolls at the display's Stagetext rate, which send cannot see: unless told
// the rate, it waits as long as the slowest takes (10.23 s), where any other would end within 2.4 s.
TEST(SendCommandTest, WaitsForAClearCaptionAtTheSlowestRateUnlessTold) {
    const QString clear = CaptionDocumentBuilder().english({}).specialText(0, SpecialText::Clear).xml();
    const SendRun told = sendTwo(clear, {u"--clear-speed"_s, u"50%"_s});
    EXPECT_EQ(told.tool.exitCode, 0) << told.tool.err.toStdString();
    EXPECT_GE(told.openAfterLastDocument, 320); // 32 steps
    EXPECT_LE(told.openAfterLastDocument, 5000);

    FeedListener feed;
    ASSERT_TRUE(feed.listen(0, QHostAddress::LocalHost));
    QElapsedTimer sinceLast;
    bool closed = false;
    QObject::connect(&feed, &FeedListener::documentReceived, [&] { sinceLast.start(); });
    QObject::connect(&feed, &FeedListener::connectionsChanged, [&] { closed = sinceLast.isValid(); });
    QProcess tool;
    tool.start(QString::fromUtf8(VELTRINOX_CAPTION_TOOL), {u"send"_s, u"--port"_s, QString::number(feed.port())});
    tool.write((Document + u'\n' + clear + u'\n').toUtf8());
    tool.closeWriteChannel();
    const QDeadlineTimer deadline(15000);
    while (!closed && !(sinceLast.isValid() && sinceLast.elapsed() >= 4000) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(sinceLast.isValid()) << "the documents did not arrive";
    EXPECT_FALSE(closed) << "closed " << sinceLast.elapsed() << " ms after the last document";
    tool.kill();
    tool.waitForFinished();
}

TEST(SendCommandTest, LeavesAtOnceWhenAsked) {
    const SendRun run = sendTwo(Document, {u"--no-wait"_s});
    EXPECT_EQ(run.tool.exitCode, 0) << run.tool.err.toStdString();
    EXPECT_GE(run.openAfterLastDocument, 0);
    EXPECT_LT(run.openAfterLastDocument, 1000);
}

TEST(SendCommandTest, NamesADocumentThatShowsAnEmptyColumn) {
    const QString streamZeroOnly = CaptionDocumentBuilder().stream(0, u"Hello"_s).xml();
    const SendRun run = sendTwo(streamZeroOnly, {u"--no-wait"_s});
    EXPECT_EQ(run.tool.exitCode, 0);
    EXPECT_EQ(run.tool.err, "veltrinox-caption: document 2 shows column 9, the last without a language name, which is "
                            "empty\n");
}

TEST(SendCommandTest, ARefusedConnectionFails) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    const ToolRun result = runTool({u"send"_s, u"--port"_s, QString::number(port)}, Document.toUtf8());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
}

TEST(StagetextCommandTest, SendsEachMessageAsARead) {
    ControlListener control;
    ASSERT_TRUE(control.listen(0, QHostAddress::LocalHost));
    QStringList received;
    QObject::connect(&control, &ControlListener::documentReceived,
                     [&](const QString& document) { received.append(document); });
    const ToolRun result =
        runTool({u"stagetext"_s, u"--port"_s, QString::number(control.port()), u"one\\r"_s, u"two\\r"_s});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    // The last message may still wait in this end's socket when the tool has ended.
    const QDeadlineTimer deadline(5000);
    while (received.size() < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(received.size(), 2);
    EXPECT_TRUE(received[0].contains(u"Stream0=\"one\""_s));
    EXPECT_TRUE(received[1].contains(u"Stream0=\"two\""_s));
}

TEST(StatusCommandTest, PrintsTheReplyOrItsJson) {
    const FixedControlQueries display{DisplayStatus{1920, 1080, u"Arial"_s, 0x00FFFF, 0, 34, 2}};
    ControlListener control(display);
    ASSERT_TRUE(control.listen(0, QHostAddress::LocalHost));
    const QString port = QString::number(control.port());

    const ToolRun plain = runTool({u"status"_s, u"--port"_s, port});
    EXPECT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_TRUE(plain.out.startsWith("DisplayWidth=1920\r\nDisplayHeight=1080\r\n")) << plain.out.toStdString();

    const ToolRun json = runTool({u"status"_s, u"--port"_s, port, u"--json"_s});
    const QJsonObject status = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(status[u"DisplayFontColor"_s].toString(), u"clYellow"_s);
    EXPECT_EQ(status[u"DisplayLines"_s].toString(), u"2"_s);
}

TEST(ListenCommandTest, PrintsSignOnDatagrams) {
    // A free port, found by binding and letting go; the datagram goes to loopback only.
    quint16 port = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    QProcess listen;
    listen.start(
        QString::fromUtf8(VELTRINOX_CAPTION_TOOL),
        {u"listen"_s, u"--port"_s, QString::number(port), u"--count"_s, u"1"_s, u"--timeout"_s, u"30"_s, u"--json"_s});
    ASSERT_TRUE(listen.waitForStarted());
    QUdpSocket sender;
    const QByteArray datagram = "<PC_Display IP_Address=\"10.0.0.2\" Port=\"10000\" Type=\"PC Display\" "
                                "Version=\"1.0.0.0\" Width=\"352\" Height=\"64\" PC_ID=\"{X}\"/>\r\n";
    for (int attempt = 0; attempt < 200 && listen.state() == QProcess::Running; ++attempt) {
        sender.writeDatagram(datagram, QHostAddress::LocalHost, port); // until the tool has bound its port
        listen.waitForFinished(100);
    }
    ASSERT_TRUE(listen.state() == QProcess::NotRunning || listen.waitForFinished(30000));
    EXPECT_EQ(listen.exitCode(), 0) << listen.readAllStandardError().toStdString();
    const QJsonObject signOn = QJsonDocument::fromJson(listen.readAllStandardOutput().split('\n').first()).object();
    EXPECT_EQ(signOn[u"IP_Address"_s].toString(), u"10.0.0.2"_s);
    EXPECT_EQ(signOn[u"Width"_s].toString(), u"352"_s);
}

} // namespace
