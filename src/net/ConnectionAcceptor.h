#pragma once

#include "AllowedPeers.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QTimer;

// Takes a listening port's connections, and never busy-loops when the process is out of file
// descriptors. Qt's own server takes a failed accept for want of descriptors for a passing error and
// keeps watching the port, which stays readable while connections wait: it retries thousands of times
// a second. This acceptor stops watching instead, until a connection that any acceptor handed out has
// gone (or a second has passed, for descriptors freed elsewhere); meanwhile new connections wait in
// the backlog.
// It is also the one place that keeps controllers out: a connection from a peer outside the allowed
// peers is closed (reset) as it is accepted, before anything is read from it or written to it.
// A connection's peer as the log names it: "address:port".
QString PeerName(const QTcpSocket& connection);

class ConnectionAcceptor : public QObject {
    Q_OBJECT

public:
    static constexpr int RetryMilliseconds = 1000;

    explicit ConnectionAcceptor(int backlog, QObject* parent = nullptr);
    ~ConnectionAcceptor() override;

    // Listens on the port; no port is shared.
    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const;
    QString errorString() const;

    // Everyone until told otherwise.
    void setAllowedPeers(const AllowedPeers& peers) { m_allowedPeers = peers; }

Q_SIGNALS:
    // A new connection, a child of the acceptor until its owner says otherwise.
    void accepted(QTcpSocket* connection);
    // A connection from a peer outside the allowed peers was closed as it came.
    void refused(const QHostAddress& peer);

private:
    void acceptWaiting();
    void waitForDescriptor();
    void resume();
    static void descriptorFreed();

    QTcpServer* m_server; // binds and listens; its own accepting stays paused
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_retry;
    AllowedPeers m_allowedPeers;
};
