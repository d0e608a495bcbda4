#pragma once

#include "AllowedPeers.h"
#include "FeedFramer.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>
#include <unordered_map>

class ConnectionAcceptor;
class QTcpSocket;

// The caption feed port: controllers connect, are greeted, and send caption documents as UTF-16LE
// text. Each connection has a framer of its own, so controllers never mix or cut each other's text;
// every read that has seen both tags is answered "OK". A connection opening or closing empties the
// queue (connectionsChanged).
class FeedListener : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 ReadBytes = 20000; // one read of the receive area
    static constexpr qint64 ReadBufferBytes = 4 * ReadBytes;
    static constexpr int ListenBacklog = 15;
    // The unfinished documents of all connections together: past this, the connection holding the
    // most gives its up, so many connections cannot each fill a framer to its cap.
    static constexpr qsizetype MaxBufferedUnits = 2 * FeedFramer::MaxDocumentUnits;
    qsizetype bufferedUnits() const { return m_bufferedUnits; }
    void setBufferBudget(qsizetype units) { m_bufferBudget = units; }

    explicit FeedListener(QObject* parent = nullptr);
    ~FeedListener() override;

    // Listens on the port (every IPv4 interface unless told otherwise); no port is shared.
    bool listen(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 port() const;
    QString errorString() const;
    // Only these controllers are served; others are closed as they connect (peerRefused).
    void setAllowedPeers(const AllowedPeers& peers);

Q_SIGNALS:
    // A controller outside the allowed peers connected, and was closed at once.
    void peerRefused(const QHostAddress& peer);
    // A whole document arrived: it joins the queue, and the next caption is shown.
    void documentReceived(const QString& document);
    // A controller connected or disconnected: the queue empties.
    void connectionsChanged();
    // The same, for the log, with the peer's "address:port".
    void connectionOpened(const QString& peer);
    void connectionClosed(const QString& peer);
    // Over the buffer budget, this connection's unfinished document was given up.
    void unfinishedDocumentDropped(const QString& peer, qsizetype characters);
    // A document from this connection grew past the longest a document may be, and was dropped.
    void longDocumentDropped(const QString& peer);

private:
    void accept(QTcpSocket* connection);
    void receive(QTcpSocket* connection);
    void disconnected(QTcpSocket* connection);
    void keepWithinBudget();

    ConnectionAcceptor* m_acceptor;
    std::unordered_map<QTcpSocket*, std::unique_ptr<FeedFramer>> m_framers;
    qsizetype m_bufferedUnits = 0; // what all framers hold
    qsizetype m_bufferBudget = MaxBufferedUnits;
};
