#include "FeedListener.h"

#include "ConnectionAcceptor.h"

#include <QTcpSocket>

namespace {

constexpr char Greeting[] = "Welcome to OverByte ICS TcpSrv\r\n";
constexpr char Acknowledgement[] = "OK";

} // namespace

FeedListener::FeedListener(QObject* parent) : QObject(parent), m_acceptor(new ConnectionAcceptor(ListenBacklog, this)) {
    connect(m_acceptor, &ConnectionAcceptor::accepted, this, &FeedListener::accept);
    connect(m_acceptor, &ConnectionAcceptor::refused, this, &FeedListener::peerRefused);
}

FeedListener::~FeedListener() = default;

bool FeedListener::listen(quint16 port, const QHostAddress& address) {
    return m_acceptor->listen(address, port);
}

quint16 FeedListener::port() const {
    return m_acceptor->port();
}

QString FeedListener::errorString() const {
    return m_acceptor->errorString();
}

void FeedListener::setAllowedPeers(const AllowedPeers& peers) {
    m_acceptor->setAllowedPeers(peers);
}

void FeedListener::accept(QTcpSocket* connection) {
    // A turn of the event loop takes a bounded share of a fast sender's bytes, so that a flood on
    // one connection never keeps the others (and the control port) waiting long.
    connection->setReadBufferSize(ReadBufferBytes);
    m_framers.emplace(connection, std::make_unique<FeedFramer>());
    connect(connection, &QTcpSocket::readyRead, this, [this, connection] { receive(connection); });
    // Taken now: a socket forgets its peer as it closes.
    const QString peer = PeerName(*connection);
    connect(connection, &QTcpSocket::disconnected, this, [this, connection, peer] {
        disconnected(connection);
        Q_EMIT connectionClosed(peer);
    });
    Q_EMIT connectionOpened(peer);
    Q_EMIT connectionsChanged();
    connection->write(Greeting);
}

void FeedListener::receive(QTcpSocket* connection) {
    const auto found = m_framers.find(connection);
    if (found == m_framers.end())
        return;
    // Each read takes at most the receive area's size; what is left is the next read.
    while (connection->bytesAvailable() > 0) {
        const QByteArray bytes = connection->read(ReadBytes);
        if (bytes.isEmpty())
            break;
        const qsizetype heldBefore = found->second->bufferedUnits();
        const FeedFramer::Result result = found->second->receive(bytes);
        m_bufferedUnits += found->second->bufferedUnits() - heldBefore;
        if (result.sendOk)
            connection->write(Acknowledgement);
        if (result.droppedLongDocument)
            Q_EMIT longDocumentDropped(PeerName(*connection));
        if (m_bufferedUnits > m_bufferBudget)
            keepWithinBudget();
        for (const QString& document : result.documents)
            Q_EMIT documentReceived(document);
        // A handler may have closed the listener's connections meanwhile.
        if (m_framers.find(connection) == m_framers.end())
            return;
    }
}

void FeedListener::keepWithinBudget() {
    while (m_bufferedUnits > m_bufferBudget) {
        auto largest = m_framers.begin();
        for (auto entry = m_framers.begin(); entry != m_framers.end(); ++entry) {
            if (entry->second->bufferedUnits() > largest->second->bufferedUnits())
                largest = entry;
        }
        const qsizetype dropped = largest->second->bufferedUnits();
        m_bufferedUnits -= dropped;
        largest->second->dropHeldText();
        Q_EMIT unfinishedDocumentDropped(PeerName(*largest->first), dropped);
    }
}

void FeedListener::disconnected(QTcpSocket* connection) {
    // What the connection left unfinished goes with its framer; the others' text is theirs.
    if (const auto found = m_framers.find(connection); found != m_framers.end()) {
        m_bufferedUnits -= found->second->bufferedUnits();
        m_framers.erase(found);
    }
    connection->deleteLater();
    Q_EMIT connectionsChanged();
}
