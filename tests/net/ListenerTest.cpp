#include "net/ControlListener.h"
#include "net/FeedListener.h"
#include "support/ControlFakes.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs the event loop until the condition holds or five seconds pass.
template <typename Condition> bool waitFor(Condition condition) {
    const QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// Lets what was sent arrive and be read as a read of its own.
void settle() {
    const QDeadlineTimer deadline(150);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QByteArray utf16le(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// A controller on loopback, reading what the display sends.
class Peer {
public:
    explicit Peer(quint16 port) {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(m_socket.waitForConnected(5000));
    }

    QByteArray readUntil(qsizetype bytes) {
        waitFor([&] {
            m_received += m_socket.readAll();
            return m_received.size() >= bytes;
        });
        return std::exchange(m_received, QByteArray());
    }

    void send(const QByteArray& bytes) {
        m_socket.write(bytes);
        m_socket.flush();
    }

    QTcpSocket& socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

const QString Document = u"<Surtitles><Cue><Captions Stream0=\"A\"/></Cue></Surtitles>"_s;
constexpr char FeedGreeting[] = "Welcome to OverByte ICS TcpSrv\r\n";
constexpr char ControlGreeting[] = "LCD Captioning Telnet Interface\r\n";

class FeedListenerTest : public testing::Test {
protected:
    FeedListenerTest() {
        EXPECT_TRUE(listener.listen(0, QHostAddress::LocalHost));
        QObject::connect(&listener, &FeedListener::documentReceived,
                         [this](const QString& document) { documents.append(document); });
        QObject::connect(&listener, &FeedListener::connectionsChanged, [this] { ++connectionChanges; });
        QObject::connect(&listener, &FeedListener::connectionOpened,
                         [this](const QString& peer) { opened.append(peer); });
        QObject::connect(&listener, &FeedListener::connectionClosed,
                         [this](const QString& peer) { closed.append(peer); });
        QObject::connect(
            &listener, &FeedListener::unfinishedDocumentDropped,
            [this](const QString& peer, qsizetype units) { dropped.append(u"%1 %2"_s.arg(peer).arg(units)); });
    }

    static QString peerName(QTcpSocket& socket) { return u"127.0.0.1:%1"_s.arg(socket.localPort()); }

    FeedListener listener;
    QStringList documents;
    int connectionChanges = 0;
    QStringList opened; // the peers, for the log
    QStringList closed;
    QStringList dropped;
};

TEST_F(FeedListenerTest, GreetsFramesAndAcknowledgesEachRead) {
    Peer peer(listener.port());
    EXPECT_EQ(peer.readUntil(32), QByteArray(FeedGreeting));
    EXPECT_EQ(connectionChanges, 1);

    const QByteArray bytes = utf16le(Document + Document);
    peer.send(bytes.first(41)); // an odd split: the framer keeps the byte
    settle();
    peer.send(bytes.sliced(41));
    ASSERT_TRUE(waitFor([&] { return documents.size() == 2; }));
    EXPECT_EQ(documents, (QStringList{Document, Document}));
    EXPECT_EQ(peer.readUntil(2), QByteArray("OK"));
}

TEST_F(FeedListenerTest, ConnectionsFrameApartAndAnArrivalLeavesTheOthersText) {
    Peer first(listener.port());
    first.readUntil(32);
    const QByteArray bytes = utf16le(Document);
    first.send(bytes.first(20));
    settle();

    Peer second(listener.port());
    second.readUntil(32);
    ASSERT_TRUE(waitFor([&] { return connectionChanges == 2; }));
    // The first connection's half document is completed by its second half, whoever connected.
    first.send(bytes.sliced(20));
    ASSERT_TRUE(waitFor([&] { return documents.size() == 1; }));
    second.send(bytes.first(30));
    settle();
    first.send(bytes); // the second's half stays its own
    settle();
    second.send(bytes.sliced(30));
    ASSERT_TRUE(waitFor([&] { return documents.size() == 3; }));
    EXPECT_EQ(documents, (QStringList{Document, Document, Document}));

    const QString secondPeer = peerName(second.socket());
    second.socket().disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return connectionChanges == 3; }));
    EXPECT_EQ(opened, (QStringList{peerName(first.socket()), secondPeer}));
    EXPECT_EQ(closed, QStringList{secondPeer});
}

TEST_F(FeedListenerTest, ConnectionsTogetherKeepWithinTheBudgetTheLargestGivingUp) {
    listener.setBufferBudget(1000);
    const QByteArray start = utf16le(u"<Surtitles><Cue><Captions Stream0=\""_s);
    const QByteArray end = utf16le(u"\"/></Cue></Surtitles>"_s);
    Peer large(listener.port());
    Peer small(listener.port());
    large.readUntil(32);
    small.readUntil(32);
    large.send(start + utf16le(QString(600, u'L')));
    settle();
    small.send(start + utf16le(QString(400, u'S')));
    ASSERT_TRUE(waitFor([&] { return listener.bufferedUnits() < 600; }));
    EXPECT_EQ(dropped, QStringList{peerName(large.socket()) + u" 635"_s});

    large.send(end); // its beginning is gone: no document
    small.send(end);
    ASSERT_TRUE(waitFor([&] { return documents.size() == 1; }));
    settle();
    EXPECT_EQ(documents.size(), 1);
    EXPECT_TRUE(documents.first().contains(u"SSSS"_s));
}

TEST_F(FeedListenerTest, AConnectionGivingUpItsTextKeepsItsOddByte) {
    listener.setBufferBudget(1000);
    const QByteArray start = utf16le(u"<Surtitles><Cue><Captions Stream0=\""_s);
    const QByteArray next = utf16le(Document);
    Peer large(listener.port());
    Peer small(listener.port());
    large.readUntil(32);
    small.readUntil(32);
    large.send(start + utf16le(QString(600, u'L')) + next.first(1)); // ends half-way through a code unit
    settle();
    small.send(start + utf16le(QString(400, u'S')));
    ASSERT_TRUE(waitFor([&] { return listener.bufferedUnits() < 600; }));

    large.send(next.sliced(1));
    ASSERT_TRUE(waitFor([&] { return documents.size() == 1; }));
    EXPECT_EQ(documents.first(), Document);
}

TEST_F(FeedListenerTest, APortInUseIsNotShared) {
    FeedListener second;
    EXPECT_FALSE(second.listen(listener.port(), QHostAddress::LocalHost));
    EXPECT_FALSE(second.errorString().isEmpty());
}

class ControlListenerTest : public testing::Test {
protected:
    ControlListenerTest() {
        EXPECT_TRUE(listener.listen(0, QHostAddress::LocalHost));
        QObject::connect(&listener, &ControlListener::documentReceived,
                         [this](const QString& document) { documents.append(document); });
        QObject::connect(&listener, &ControlListener::failureReported,
                         [this](const QString& message) { failures.append(message); });
    }

    FixedControlQueries display{DisplayStatus{1920, 1080, u"Arial"_s, 0x00FFFF, 0, 34, 2},
                                StagetextSettings{false, {}, 100, 34, u"$00FFFF"_s}};
    ControlListener listener{display};
    QStringList documents;
    QStringList failures;
};

TEST_F(ControlListenerTest, AnswersTheStatusQuery) {
    Peer peer(listener.port());
    EXPECT_EQ(peer.readUntil(33), QByteArray(ControlGreeting));
    peer.send("\x0B?0");
    const QByteArray reply = peer.readUntil(120);
    EXPECT_TRUE(reply.startsWith("DisplayWidth=1920\r\nDisplayHeight=1080\r\nDisplayFontName=Arial\r\n"));
    EXPECT_TRUE(reply.endsWith("DisplayFontSize=34\r\nDisplayLines=2\r\n"));
    EXPECT_TRUE(documents.isEmpty());
}

TEST_F(ControlListenerTest, ConvertsStagetextAndIgnoresVtTl) {
    Peer peer(listener.port());
    peer.readUntil(33);
    peer.send("\x0BTLanything\r");
    settle();
    peer.send("\x0BRBHello\r");
    ASSERT_TRUE(waitFor([&] { return documents.size() == 1; }));
    EXPECT_TRUE(documents[0].contains(u"Stream0=\"Hello\""_s));
    EXPECT_TRUE(documents[0].contains(u"Speed=\"96%\""_s));
    EXPECT_EQ(listener.StagetextSpeed(), u"96%"_s);
}

TEST_F(ControlListenerTest, AFailedCaptionClosesOnlyItsConnection) {
    Peer failing(listener.port());
    Peer other(listener.port());
    failing.readUntil(33);
    other.readUntil(33);
    // A regular file whose first read fails, whoever runs the test: the process's own memory at 0.
    failing.send("/proc/self/mem\r");
    ASSERT_TRUE(waitFor([&] { return failing.socket().state() == QAbstractSocket::UnconnectedState; }));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains(u"/proc/self/mem"_s));
    EXPECT_TRUE(documents.isEmpty());

    other.send("Still here\r");
    ASSERT_TRUE(waitFor([&] { return documents.size() == 1; }));
}

// A controller from 127.0.0.2 is in the list, one from 127.0.0.1 is not: the refused one reads
// nothing at all (no greeting, no "OK", no reply) before its connection ends, and only its address
// is reported; the served one is greeted as ever. Both ports keep controllers out alike, and a port
// listening on both families names IPv4 peers in their IPv4 form.
template <typename Listener> void checkOnlyAllowedPeersAreServed(Listener& listener, const QByteArray& greeting) {
    listener.setAllowedPeers(AllowedPeers::parse(u"127.0.0.2, 10.0.0.0/8"_s).peers);
    ASSERT_TRUE(listener.listen(0, QHostAddress::Any));
    QList<QHostAddress> refused;
    QStringList opened;
    QObject::connect(&listener, &Listener::peerRefused, [&](const QHostAddress& peer) { refused.append(peer); });
    QObject::connect(&listener, &Listener::connectionOpened, [&](const QString& peer) { opened.append(peer); });

    QTcpSocket outsider;
    outsider.connectToHost(QHostAddress::LocalHost, listener.port());
    ASSERT_TRUE(outsider.waitForConnected(5000)); // the system's handshake, before the display sees it
    QByteArray outsiderRead;
    QObject::connect(&outsider, &QTcpSocket::readyRead, [&] { outsiderRead += outsider.readAll(); });
    outsider.write(utf16le(Document) + "\x0B?0");
    const bool ended = waitFor([&] { return outsider.state() == QAbstractSocket::UnconnectedState; });
    ASSERT_TRUE(ended);
    EXPECT_EQ(outsiderRead, QByteArray());
    EXPECT_EQ(refused, QList<QHostAddress>{QHostAddress(u"127.0.0.1"_s)});

    QTcpSocket allowed;
    ASSERT_TRUE(allowed.bind(QHostAddress(u"127.0.0.2"_s)));
    allowed.connectToHost(QHostAddress::LocalHost, listener.port());
    ASSERT_TRUE(allowed.waitForConnected(5000));
    QByteArray allowedRead;
    ASSERT_TRUE(waitFor([&] {
        allowedRead += allowed.readAll();
        return allowedRead.size() >= greeting.size();
    }));
    EXPECT_EQ(allowedRead, greeting);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].startsWith(u"127.0.0.2:"_s)) << opened[0].toStdString();
    EXPECT_EQ(refused.size(), 1);
}

TEST(AllowedPeersListenerTest, TheFeedPortServesOnlyAllowedPeers) {
    FeedListener listener;
    QStringList documents;
    QObject::connect(&listener, &FeedListener::documentReceived,
                     [&](const QString& document) { documents.append(document); });
    checkOnlyAllowedPeersAreServed(listener, QByteArray(FeedGreeting));
    settle();
    EXPECT_TRUE(documents.isEmpty()) << "the refused controller's caption never arrives";
}

TEST(AllowedPeersListenerTest, TheControlPortServesOnlyAllowedPeers) {
    ControlListener listener;
    QStringList documents;
    QObject::connect(&listener, &ControlListener::documentReceived,
                     [&](const QString& document) { documents.append(document); });
    checkOnlyAllowedPeersAreServed(listener, QByteArray(ControlGreeting));
    settle();
    EXPECT_TRUE(documents.isEmpty());
}

} // namespace
