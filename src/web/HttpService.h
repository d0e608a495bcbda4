#pragma once

#include "net/AllowedPeers.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrlQuery>
#include <memory>

class QWebSocket;

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// One request as the web monitor reads it, whatever HTTP library carried it.
struct HttpRequest {
    enum class Method { Get, Head, Post, Other };
    Method method = Method::Other;
    QString path;
    QUrlQuery query;
    QHostAddress peer;
    HttpHeaders headers;
    QByteArray body;

    // The value of the first header of that name (names compare without letter case); empty when none.
    QByteArray header(QByteArrayView name) const;
};

struct HttpReply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    HttpHeaders headers; // beyond Content-Type and Content-Length
};

// The way back to the client of one request, which may be taken at once or later (a picture still
// being encoded): it can be copied and kept, and does nothing once the connection has gone.
class HttpAnswer {
public:
    void send(const HttpReply& reply) const;

private:
    friend class HttpService;
    struct Connection;
    std::shared_ptr<Connection> m_connection;
};

class HttpHandler {
public:
    virtual ~HttpHandler() = default;
    virtual void handle(const HttpRequest& request, const HttpAnswer& answer) = 0;
};

// What one client may take of the service.
struct HttpLimits {
    int maxConnections = 32;
    // A connection that neither sends nor takes a byte this long is closed.
    int idleMilliseconds = 15000;
    // The most a client may send for one request, head and body; more closes the connection.
    qint64 maxRequestBytes = 32 * 1024;
};

// The web monitor's HTTP and WebSocket port: Qt's HTTP server, held to limits of its own so that
// no client (a thousand connections, a header without end, a reader that stalls) takes more than
// its share. This file is the only one that knows the HTTP library's interface.
class HttpService : public QObject {
    Q_OBJECT

public:
    enum class Refusal { TooManyConnections, RequestTooLarge, Idle };

    explicit HttpService(HttpHandler& handler, HttpLimits limits = {}, QObject* parent = nullptr);
    ~HttpService() override;

    bool listen(const QHostAddress& address, quint16 port);
    // Everyone until told otherwise; a connection from another peer is closed as it is accepted.
    void setAllowedPeers(const AllowedPeers& peers) { m_allowedPeers = peers; }
    quint16 port() const;
    QString errorString() const;
    // The connections open now, WebSocket ones among them.
    int connectionCount() const;

Q_SIGNALS:
    // A client asked for a WebSocket (at any path): the receiver takes the socket and deletes it.
    void webSocketOpened(QWebSocket* socket);
    // A connection was refused or closed for breaking a limit.
    void refused(HttpService::Refusal refusal, const QString& peer);
    // A connection from a peer outside the allowed peers was closed as it came.
    void peerRefused(const QHostAddress& peer);

private:
    class Server;
    class Listener;
    struct Tracked;
    void track(class QTcpSocket* socket);
    void received(QTcpSocket* socket);
    void requestStarted(QTcpSocket* socket);
    void closeIdle();
    void adoptWebSocket();
    void refuse(Refusal refusal, QTcpSocket* socket);

    HttpHandler& m_handler;
    const HttpLimits m_limits;
    AllowedPeers m_allowedPeers;
    std::unique_ptr<Server> m_server;
    Listener* m_listener = nullptr;
    std::vector<std::unique_ptr<Tracked>> m_tracked;
    class QTimer* m_idleSweep;
};

QString RefusalText(HttpService::Refusal refusal);
