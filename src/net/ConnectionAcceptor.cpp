#include "ConnectionAcceptor.h"

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// The acceptors waiting for a descriptor. The descriptor table is one for the whole process, so a
// connection gone from one port lets every port accept again. Only the GUI thread touches this.
std::vector<ConnectionAcceptor*>& waitingAcceptors() {
    static std::vector<ConnectionAcceptor*> acceptors;
    return acceptors;
}

// Closes with a reset rather than a goodbye: the peer learns nothing, and a flood of refused
// connections leaves no closing connections behind on this side.
void resetAndClose(int descriptor) {
    const linger atOnce{1, 0};
    ::setsockopt(descriptor, SOL_SOCKET, SO_LINGER, &atOnce, sizeof atOnce);
    ::close(descriptor);
}

bool outOfResources(int error) {
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

} // namespace

QString PeerName(const QTcpSocket& connection) {
    return PlainPeerAddress(connection.peerAddress()).toString() + u':' + QString::number(connection.peerPort());
}

ConnectionAcceptor::ConnectionAcceptor(int backlog, QObject* parent)
    : QObject(parent), m_server(new QTcpServer(this)), m_retry(new QTimer(this)) {
    m_server->setListenBacklogSize(backlog);
    m_retry->setSingleShot(true);
    m_retry->setInterval(RetryMilliseconds);
    connect(m_retry, &QTimer::timeout, this, &ConnectionAcceptor::resume);
}

ConnectionAcceptor::~ConnectionAcceptor() {
    std::erase(waitingAcceptors(), this);
}

bool ConnectionAcceptor::listen(const QHostAddress& address, quint16 port) {
    if (!m_server->listen(address, port))
        return false;
    m_server->pauseAccepting();
    m_notifier = new QSocketNotifier(m_server->socketDescriptor(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ConnectionAcceptor::acceptWaiting);
    return true;
}

quint16 ConnectionAcceptor::port() const {
    return m_server->serverPort();
}

QString ConnectionAcceptor::errorString() const {
    return m_server->errorString();
}

void ConnectionAcceptor::acceptWaiting() {
    for (;;) {
        sockaddr_storage peer{};
        socklen_t peerLength = sizeof peer;
        const int descriptor = ::accept4(int(m_server->socketDescriptor()), reinterpret_cast<sockaddr*>(&peer),
                                         &peerLength, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            if (outOfResources(errno) || errno == EBADF || errno == EINVAL) {
                waitForDescriptor();
                return;
            }
            continue; // the waiting connection failed on its own (reset, network errors): the next one
        }
        if (!m_allowedPeers.allowsEveryone()) {
            const QHostAddress address = PlainPeerAddress(QHostAddress(reinterpret_cast<const sockaddr*>(&peer)));
            if (!m_allowedPeers.allows(address)) {
                resetAndClose(descriptor);
                Q_EMIT refused(address);
                continue;
            }
        }
        auto* connection = new QTcpSocket(this);
        if (!connection->setSocketDescriptor(descriptor)) {
            ::close(descriptor);
            delete connection;
            continue;
        }
        connect(connection, &QObject::destroyed, &ConnectionAcceptor::descriptorFreed);
        Q_EMIT accepted(connection);
    }
}

void ConnectionAcceptor::waitForDescriptor() {
    m_notifier->setEnabled(false);
    if (std::find(waitingAcceptors().begin(), waitingAcceptors().end(), this) == waitingAcceptors().end())
        waitingAcceptors().push_back(this);
    m_retry->start();
}

void ConnectionAcceptor::resume() {
    std::erase(waitingAcceptors(), this);
    m_retry->stop();
    m_notifier->setEnabled(true);
}

void ConnectionAcceptor::descriptorFreed() {
    for (ConnectionAcceptor* acceptor : std::vector(waitingAcceptors()))
        acceptor->resume();
}
