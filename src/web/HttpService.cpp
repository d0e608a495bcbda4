#include "HttpService.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

HttpRequest::Method methodOf(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return HttpRequest::Method::Get;
    case QHttpServerRequest::Method::Head:
        return HttpRequest::Method::Head;
    case QHttpServerRequest::Method::Post:
        return HttpRequest::Method::Post;
    default:
        return HttpRequest::Method::Other;
    }
}

QString peerOf(const QAbstractSocket& socket) {
    return u"%1:%2"_s.arg(socket.peerAddress().toString()).arg(socket.peerPort());
}

} // namespace

QByteArray HttpRequest::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QString RefusalText(HttpService::Refusal refusal) {
    switch (refusal) {
    case HttpService::Refusal::TooManyConnections:
        return u"too many connections"_s;
    case HttpService::Refusal::RequestTooLarge:
        return u"request too large"_s;
    case HttpService::Refusal::Idle:
        return u"idle connection closed"_s;
    }
    return {};
}

struct HttpAnswer::Connection {
    QHttpServerResponder responder;
    QPointer<QTcpSocket> socket;
    bool headOnly = false;
    bool closeAfter = false; // the client asked for "Connection: close"
    bool sent = false;
};

void HttpAnswer::send(const HttpReply& reply) const {
    Connection& connection = *m_connection;
    if (connection.sent || !connection.socket || connection.socket->state() != QAbstractSocket::ConnectedState)
        return;
    connection.sent = true;
    QHttpServerResponder& responder = connection.responder;
    responder.writeStatusLine(QHttpServerResponder::StatusCode(reply.status));
    if (!reply.contentType.isEmpty())
        responder.writeHeader("Content-Type", reply.contentType);
    for (const auto& [name, value] : reply.headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    if (connection.closeAfter)
        responder.writeHeader("Connection", "close");
    responder.writeBody(connection.headOnly ? QByteArray() : reply.body);
    if (connection.closeAfter)
        connection.socket->disconnectFromHost();
}

// Takes every request itself: the handler answers unknown paths too.
class HttpService::Server : public QAbstractHttpServer {
public:
    explicit Server(HttpService& service) : m_service(service) {}

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        m_service.requestStarted(socket);
        // The server upgrades a WebSocket request once it is taken, and the handshake is its answer.
        if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
            return true;
        HttpRequest read;
        read.method = methodOf(request.method());
        read.path = request.url().path();
        read.query = request.query();
        read.peer = request.remoteAddress();
        read.headers = request.headers();
        read.body = request.body();
        HttpAnswer answer;
        answer.m_connection = std::make_shared<HttpAnswer::Connection>(
            HttpAnswer::Connection{makeResponder(request, socket), socket, read.method == HttpRequest::Method::Head,
                                   read.header("connection").compare("close", Qt::CaseInsensitive) == 0});
        m_service.m_handler.handle(read, answer);
        return true;
    }
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    HttpService& m_service;
};

// Counts connections as they are accepted, before the HTTP server sees them, and turns away those
// from peers not allowed and those beyond the cap at once.
class HttpService::Listener : public QTcpServer {
public:
    Listener(HttpService& service) : QTcpServer(&service), m_service(service) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            ::close(int(descriptor));
            delete socket;
            return;
        }
        const QHostAddress peer = PlainPeerAddress(socket->peerAddress());
        if (!m_service.m_allowedPeers.allows(peer)) {
            socket->abort();
            delete socket;
            Q_EMIT m_service.peerRefused(peer);
            return;
        }
        if (m_service.connectionCount() >= m_service.m_limits.maxConnections) {
            m_service.refuse(Refusal::TooManyConnections, socket);
            return;
        }
        m_service.track(socket);
        addPendingConnection(socket);
    }

private:
    HttpService& m_service;
};

struct HttpService::Tracked {
    QPointer<QTcpSocket> socket;
    QElapsedTimer lastActivity;
    qint64 requestBytes = 0;
    bool webSocket = false; // handed over: the monitor keeps its own watch
};

HttpService::HttpService(HttpHandler& handler, HttpLimits limits, QObject* parent)
    : QObject(parent), m_handler(handler), m_limits(limits), m_server(std::make_unique<Server>(*this)),
      m_idleSweep(new QTimer(this)) {
    connect(m_server.get(), &QAbstractHttpServer::newWebSocketConnection, this, &HttpService::adoptWebSocket);
    m_idleSweep->setInterval(std::max(m_limits.idleMilliseconds / 4, 10));
    connect(m_idleSweep, &QTimer::timeout, this, &HttpService::closeIdle);
}

HttpService::~HttpService() {
    for (const auto& tracked : m_tracked) {
        if (tracked->socket)
            tracked->socket->disconnect(this);
    }
}

bool HttpService::listen(const QHostAddress& address, quint16 port) {
    m_listener = new Listener(*this);
    if (!m_listener->listen(address, port))
        return false;
    m_server->bind(m_listener);
    m_idleSweep->start();
    return true;
}

quint16 HttpService::port() const {
    return m_listener ? m_listener->serverPort() : 0;
}

QString HttpService::errorString() const {
    return m_listener ? m_listener->errorString() : QString();
}

int HttpService::connectionCount() const {
    return int(std::count_if(m_tracked.begin(), m_tracked.end(), [](const auto& tracked) {
        return tracked->socket && tracked->socket->state() != QAbstractSocket::UnconnectedState;
    }));
}

void HttpService::track(QTcpSocket* socket) {
    std::erase_if(m_tracked, [](const auto& tracked) { return !tracked->socket; });
    auto tracked = std::make_unique<Tracked>();
    tracked->socket = socket;
    tracked->lastActivity.start();
    m_tracked.push_back(std::move(tracked));
    // Connected before the HTTP server's own handler, so a request's size is counted before it is read.
    // A request that fills the read buffer is too large even when it never ends a line.
    socket->setReadBufferSize(m_limits.maxRequestBytes + 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { received(socket); });
}

void HttpService::received(QTcpSocket* socket) {
    for (const auto& tracked : m_tracked) {
        if (tracked->socket != socket || tracked->webSocket)
            continue;
        tracked->lastActivity.start();
        tracked->requestBytes += socket->bytesAvailable();
        if (tracked->requestBytes > m_limits.maxRequestBytes || socket->bytesAvailable() > m_limits.maxRequestBytes)
            refuse(Refusal::RequestTooLarge, socket);
        return;
    }
}

void HttpService::requestStarted(QTcpSocket* socket) {
    for (const auto& tracked : m_tracked) {
        if (tracked->socket == socket)
            tracked->requestBytes = 0;
    }
}

void HttpService::closeIdle() {
    std::erase_if(m_tracked, [](const auto& tracked) { return !tracked->socket; });
    for (const auto& tracked : m_tracked) {
        if (!tracked->webSocket && tracked->lastActivity.elapsed() > m_limits.idleMilliseconds)
            refuse(Refusal::Idle, tracked->socket);
    }
}

void HttpService::adoptWebSocket() {
    while (m_server->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = m_server->nextPendingWebSocketConnection();
        for (const auto& tracked : m_tracked) {
            if (tracked->socket && tracked->socket->peerPort() == socket->peerPort() &&
                tracked->socket->peerAddress() == socket->peerAddress())
                tracked->webSocket = true;
        }
        Q_EMIT webSocketOpened(socket.release());
    }
}

void HttpService::refuse(Refusal refusal, QTcpSocket* socket) {
    Q_EMIT refused(refusal, peerOf(*socket));
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
