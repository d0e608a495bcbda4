#pragma once

#include "FrameEncoder.h"
#include "HttpService.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QImage>
#include <QJsonObject>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>
#include <map>
#include <optional>
#include <vector>

class QWebSocket;

// What the web monitor shows, asked on the GUI thread when a client wants it.
class MonitorSource {
public:
    virtual ~MonitorSource() = default;
    // The size of the picture the window shows, in device pixels.
    virtual QSize pictureSize() const = 0;
    // The part of the picture the window shows now at area (within pictureSize()).
    virtual QImage picture(const QRect& area) = 0;
    // The display's status under the names the README documents for /status.json.
    virtual QJsonObject status() const = 0;
};

// What a page opened with the display's web token may ask of it.
class MonitorControl {
public:
    virtual ~MonitorControl() = default;
    // "Blank": the screen to the caption background, before anything waiting.
    virtual void blank() = 0;
    // "Clear".
    virtual void clear() = 0;
    // A line of text shown as a Stagetext caption.
    virtual void showLine(const QString& line) = 0;
};

// The display's web monitor: a page that mirrors the window's picture live in any browser, the
// picture and status for integrators, and a health check. Frames are encoded only while someone
// asks for one, off the GUI thread, and each page gets only the newest picture when it is ready
// for another, so a slow page is skipped frames rather than sent a queue of them.
//
// Paths: "/" (the page), "/live" (its WebSocket: frames as binary messages, the status as text; the
// page answers "next" when it has drawn a frame), "/screen.png", "/status.json", "/health", and
// with a token the control requests, POST "/control/blank", "/control/clear" and "/control/caption"
// (the body is the line, UTF-8). Each carries "Authorization: Bearer TOKEN"; one from a browser
// also an Origin that is the monitor's own, so that no other site's page can make a browser send it.
//
// A frame is the part of the picture that changed since the page's last frame: a header of four
// 32-bit little-endian numbers (the whole picture's width and height, the part's left and top) and
// the part as PNG. A page's first frame, and the first after the picture's size changed, is whole.
class WebMonitor : public QObject, private HttpHandler {
    Q_OBJECT

public:
    // A page that has said nothing this long (it says "next" or "alive" every few seconds) is closed.
    static constexpr int SilentPageMilliseconds = 30000;
    static constexpr int StatusMilliseconds = 500;
    static constexpr quint64 MaxPageMessageBytes = 1024;
    // /health answers 503 when the GUI thread's heartbeat is older than this.
    static constexpr int HealthMilliseconds = 1000;
    // The changes kept for a page that has not taken a frame for a while.
    static constexpr std::size_t MaxChanges = 64;
    // Live frames are made at most this often, for all pages together: an effect steps a hundred
    // times a second, and every frame's compression is the display's own processor time. A change
    // after a quiet moment goes out at once.
    static constexpr int MinFrameMilliseconds = 80;

    explicit WebMonitor(MonitorSource& source, HttpLimits limits = {}, QObject* parent = nullptr);
    ~WebMonitor() override;

    bool listen(const QHostAddress& address, quint16 port);
    void setAllowedPeers(const AllowedPeers& peers) { m_service.setAllowedPeers(peers); }
    quint16 port() const { return m_service.port(); }
    QString errorString() const { return m_service.errorString(); }

    // Control requests go to control when they carry token; with no token every one is refused.
    void setControl(MonitorControl* control, const QString& token);
    bool controlAllowed() const { return m_control && !m_token.isEmpty(); }

    // The window has painted area (device pixels; an invalid rectangle: all of it): the picture may
    // have changed there.
    void pictureChanged(const QRect& area = QRect());
    // How many PNG pictures were made so far (none while no one asks).
    quint64 framesEncoded() const { return m_framesEncoded; }

Q_SIGNALS:
    // A line for the display's event log.
    void logLine(const QString& text);
    // A connection from a peer outside the allowed peers was closed as it came.
    void peerRefused(const QHostAddress& peer);

private:
    struct Page {
        QWebSocket* socket;
        bool ready = true;        // has drawn the last frame sent
        quint64 shownVersion = 0; // 0: has no picture yet
        QSize shownSize;
        QByteArray sentStatus;
        QElapsedTimer lastHeard;
    };
    struct PictureWaiter {
        HttpAnswer answer;
        quint64 version;
    };
    struct Change {
        quint64 version;
        QRect area;
    };
    // The picture being encoded: the part of it, and when it was taken.
    struct Job {
        quint64 version = 0;
        QSize size;
        QRect area;
    };

    void handle(const HttpRequest& request, const HttpAnswer& answer) override;
    HttpReply health() const;
    HttpReply control(const HttpRequest& request);
    // Why the request may not change anything; empty when it may.
    QString controlRefusal(const HttpRequest& request) const;
    void openPage(QWebSocket* socket);
    void closePage(QWebSocket* socket);
    void pageSaid(QWebSocket* socket, const QString& message);
    void schedulePump();
    void pump();
    void encoded(quint64 version, const QByteArray& png);
    void startJob(QSize size, const QRect& area);
    // The part of the picture that changed for page after its last frame, up to version (null when
    // nothing did); none when all of it may have.
    std::optional<QRect> changedFor(const Page& page, quint64 version) const;
    void sendFrames(const QByteArray& png);
    void sendStatus();
    void noteRefusal(HttpService::Refusal refusal, const QString& peer);
    void noteOnce(const QString& what, const QString& peer);

    MonitorSource& m_source;
    HttpService m_service;
    FrameEncoder m_encoder;
    std::map<QWebSocket*, Page> m_pages;
    std::vector<PictureWaiter> m_pictureWaiters;
    quint64 m_pictureVersion = 1;
    std::vector<Change> m_changes; // since the oldest picture a page shows
    Job m_job;
    quint64 m_wholeVersion = 0; // the last whole picture encoded, for /screen.png
    QByteArray m_whole;
    quint64 m_framesEncoded = 0;
    bool m_pumpScheduled = false;
    QElapsedTimer m_sinceLiveFrame; // the last frame made for the pages
    QTimer m_frameDelay;            // the next one, when it comes too soon after the last
    QTimer m_statusTimer;
    QTimer m_heartbeatTimer;
    QElapsedTimer m_heartbeat;
    MonitorControl* m_control = nullptr;
    QString m_token;
    std::map<QString, qint64> m_refusals; // counted after the first of each kind is logged
};
