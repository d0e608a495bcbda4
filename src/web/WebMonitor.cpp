#include "WebMonitor.h"

#include <QFile>
#include <QJsonDocument>
#include <QUrl>
#include <QWebSocket>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int HeartbeatMilliseconds = 250;
constexpr int RefusalSummaryMilliseconds = 60000;

// The page loads nothing from elsewhere, and no other site may frame it.
const HttpHeaders PageHeaders{
    {"Cache-Control", "no-store"},
    {"X-Content-Type-Options", "nosniff"},
    {"Content-Security-Policy", "default-src 'none'; script-src 'self' 'unsafe-inline'; style-src 'unsafe-inline'; "
                                "img-src 'self' blob: data:; connect-src 'self'; frame-ancestors 'none'"},
};

HttpReply plainText(int status, const QString& text) {
    return {status, "text/plain; charset=utf-8", text.toUtf8() + '\n', {{"Cache-Control", "no-store"}}};
}

HttpReply pageReply() {
    QFile page(u":/web/monitor.html"_s);
    page.open(QIODevice::ReadOnly);
    return {200, "text/html; charset=utf-8", page.readAll(), PageHeaders};
}

// A browser says where the page that opened a WebSocket came from: only the monitor's own page may
// watch (another site open in the same browser may not). Programs that send no Origin are no browser.
bool sameOrigin(const QWebSocket& socket) {
    const QString origin = socket.origin();
    if (origin.isEmpty())
        return true;
    const QUrl page(origin);
    const QUrl asked = socket.requestUrl();
    return page.scheme() == u"http" && page.host().compare(asked.host(), Qt::CaseInsensitive) == 0 &&
           page.port(80) == asked.port(80);
}

} // namespace

WebMonitor::WebMonitor(MonitorSource& source, HttpLimits limits, QObject* parent)
    : QObject(parent), m_source(source), m_service(*this, limits) {
    connect(&m_service, &HttpService::webSocketOpened, this, &WebMonitor::openPage);
    connect(&m_service, &HttpService::refused, this, &WebMonitor::noteRefusal);
    connect(&m_service, &HttpService::peerRefused, this, &WebMonitor::peerRefused);
    connect(&m_encoder, &FrameEncoder::encoded, this, &WebMonitor::encoded);
    m_statusTimer.setInterval(StatusMilliseconds);
    connect(&m_statusTimer, &QTimer::timeout, this, &WebMonitor::sendStatus);
    // The same test as the service manager's watchdog: a timer of the GUI thread that keeps firing.
    m_heartbeat.start();
    m_heartbeatTimer.setInterval(HeartbeatMilliseconds);
    connect(&m_heartbeatTimer, &QTimer::timeout, this, [this] { m_heartbeat.start(); });
    m_frameDelay.setSingleShot(true);
    connect(&m_frameDelay, &QTimer::timeout, this, &WebMonitor::pump);
}

WebMonitor::~WebMonitor() {
    for (auto& [socket, page] : m_pages) {
        socket->disconnect(this);
        delete socket;
    }
}

bool WebMonitor::listen(const QHostAddress& address, quint16 port) {
    if (!m_service.listen(address, port))
        return false;
    m_heartbeatTimer.start();
    return true;
}

void WebMonitor::handle(const HttpRequest& request, const HttpAnswer& answer) {
    const bool reading = request.method == HttpRequest::Method::Get || request.method == HttpRequest::Method::Head;
    const auto readOnly = [&](auto reply) {
        answer.send(reading ? reply()
                            : HttpReply{405, "text/plain; charset=utf-8", "GET only\n", {{"Allow", "GET, HEAD"}}});
    };
    if (request.path == u"/")
        return readOnly(pageReply);
    if (request.path == u"/health")
        return readOnly([this] { return health(); });
    if (request.path == u"/status.json") {
        return readOnly([this] {
            return HttpReply{200,
                             "application/json",
                             QJsonDocument(m_source.status()).toJson(QJsonDocument::Compact),
                             {{"Cache-Control", "no-store"}}};
        });
    }
    if (request.path.startsWith(u"/control/")) {
        if (request.method != HttpRequest::Method::Post)
            return answer.send({405, "text/plain; charset=utf-8", "POST only\n", {{"Allow", "POST"}}});
        return answer.send(control(request));
    }
    if (request.path == u"/screen.png") {
        if (!reading)
            return readOnly([] { return HttpReply{}; });
        if (m_wholeVersion == m_pictureVersion)
            return answer.send({200, "image/png", m_whole, {{"Cache-Control", "no-store"}}});
        m_pictureWaiters.push_back({answer, m_pictureVersion});
        return pump();
    }
    answer.send(plainText(404, u"no such page: the monitor is at /"_s));
}

HttpReply WebMonitor::health() const {
    const qint64 silent = m_heartbeat.elapsed();
    if (silent > HealthMilliseconds)
        return plainText(503, u"the display's GUI thread has not answered for %1 ms"_s.arg(silent));
    return plainText(200, u"ok"_s);
}

void WebMonitor::setControl(MonitorControl* control, const QString& token) {
    m_control = control;
    m_token = token;
}

QString WebMonitor::controlRefusal(const HttpRequest& request) const {
    if (!m_control || m_token.isEmpty())
        return u"control request refused: no web token is configured"_s;
    const QByteArray expected = "Bearer " + m_token.toUtf8();
    const QByteArray given = request.header("authorization");
    // Every byte is compared, so the time taken tells nothing of how much of a guess was right.
    unsigned difference = given.size() != expected.size();
    for (qsizetype i = 0; i < std::min(given.size(), expected.size()); ++i)
        difference |= unsigned(given[i] ^ expected[i]);
    if (difference != 0)
        return u"control request refused: wrong or missing token"_s;
    const QByteArray origin = request.header("origin");
    if (!origin.isEmpty() && origin != "http://" + request.header("host"))
        return u"control request refused: sent by another site's page"_s;
    return {};
}

HttpReply WebMonitor::control(const HttpRequest& request) {
    if (const QString refusal = controlRefusal(request); !refusal.isEmpty()) {
        const QByteArray origin = request.header("origin");
        noteOnce(refusal, origin.isEmpty() ? request.peer.toString()
                                           : u"%1, page %2"_s.arg(request.peer.toString(), QString::fromUtf8(origin)));
        return plainText(403, refusal);
    }
    const QString peer = request.peer.toString();
    if (request.path == u"/control/blank") {
        Q_EMIT logLine(u"web monitor: \"Blank\" from %1"_s.arg(peer));
        m_control->blank();
    } else if (request.path == u"/control/clear") {
        Q_EMIT logLine(u"web monitor: \"Clear\" from %1"_s.arg(peer));
        m_control->clear();
    } else if (request.path == u"/control/caption") {
        const QString line = QString::fromUtf8(request.body);
        Q_EMIT logLine(u"web monitor: a caption line of %1 characters from %2"_s.arg(line.size()).arg(peer));
        m_control->showLine(line);
    } else {
        return plainText(404, u"no such control: blank, clear or caption"_s);
    }
    return plainText(200, u"done"_s);
}

void WebMonitor::pictureChanged(const QRect& area) {
    ++m_pictureVersion;
    if (!m_pages.empty()) {
        m_changes.push_back({m_pictureVersion, area});
        // A page that stalls keeps its changes: past a bound they are kept as one area, as large.
        if (m_changes.size() > MaxChanges) {
            QRect all;
            bool whole = false;
            for (const Change& change : m_changes) {
                whole = whole || !change.area.isValid();
                all |= change.area;
            }
            m_changes = {{m_pictureVersion, whole ? QRect() : all}};
        }
    }
    schedulePump();
}

void WebMonitor::schedulePump() {
    // A fade paints a hundred times a second: one look a turn of the event loop is enough.
    if (m_pumpScheduled)
        return;
    m_pumpScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_pumpScheduled = false;
        pump();
    });
}

std::optional<QRect> WebMonitor::changedFor(const Page& page, quint64 version) const {
    if (page.shownVersion == 0)
        return std::nullopt;
    QRect changed;
    for (const Change& change : m_changes) {
        if (change.version <= page.shownVersion || change.version > version)
            continue;
        if (!change.area.isValid())
            return std::nullopt;
        changed |= change.area;
    }
    return changed;
}

void WebMonitor::pump() {
    if (m_encoder.busy())
        return;
    const QSize size = m_source.pictureSize();
    if (!m_pictureWaiters.empty() && m_wholeVersion < m_pictureVersion)
        return startJob(size, QRect(QPoint(0, 0), size));
    // One part serves every page that is ready: what changed for any of them.
    QRect wanted;
    bool whole = false;
    for (const auto& [socket, page] : m_pages) {
        if (!page.ready || page.shownVersion == m_pictureVersion)
            continue;
        const std::optional<QRect> changed = changedFor(page, m_pictureVersion);
        if (!changed)
            whole = true;
        else
            wanted |= *changed;
    }
    if (!whole && wanted.isEmpty())
        return;
    if (m_sinceLiveFrame.isValid() && m_sinceLiveFrame.elapsed() < MinFrameMilliseconds) {
        if (!m_frameDelay.isActive())
            m_frameDelay.start(int(MinFrameMilliseconds - m_sinceLiveFrame.elapsed()));
        return;
    }
    m_sinceLiveFrame.start();
    const bool resized = std::any_of(m_pages.begin(), m_pages.end(), [&](const auto& entry) {
        return entry.second.ready && entry.second.shownSize != size;
    });
    const QRect all(QPoint(0, 0), size);
    startJob(size, whole || resized ? all : wanted.intersected(all));
}

void WebMonitor::startJob(QSize size, const QRect& area) {
    // Only the part is drawn and copied here; the encoding is the encoder thread's.
    m_job = {m_pictureVersion, size, area};
    m_encoder.encode(m_source.picture(area), m_pictureVersion);
    ++m_framesEncoded;
}

void WebMonitor::encoded(quint64, const QByteArray& png) {
    if (m_job.area == QRect(QPoint(0, 0), m_job.size)) {
        m_wholeVersion = m_job.version;
        m_whole = png;
        std::erase_if(m_pictureWaiters, [this](const PictureWaiter& waiter) {
            if (waiter.version > m_wholeVersion)
                return false;
            waiter.answer.send({200, "image/png", m_whole, {{"Cache-Control", "no-store"}}});
            return true;
        });
    }
    sendFrames(png);
    pump();
}

void WebMonitor::sendFrames(const QByteArray& png) {
    QByteArray frame(4 * sizeof(quint32), Qt::Uninitialized);
    const quint32 header[] = {quint32(m_job.size.width()), quint32(m_job.size.height()), quint32(m_job.area.x()),
                              quint32(m_job.area.y())};
    for (std::size_t i = 0; i < std::size(header); ++i)
        qToLittleEndian(header[i], frame.data() + 4 * i);
    frame += png;
    const bool whole = m_job.area == QRect(QPoint(0, 0), m_job.size);
    for (auto& [socket, page] : m_pages) {
        if (!page.ready || page.shownVersion >= m_job.version)
            continue;
        // A page gets the part when it holds all that changed for it, and it has the picture's size.
        const std::optional<QRect> changed = changedFor(page, m_job.version);
        const bool covered =
            whole || (page.shownSize == m_job.size && changed && (changed->isEmpty() || m_job.area.contains(*changed)));
        if (!covered)
            continue;
        page.ready = false;
        page.shownVersion = m_job.version;
        page.shownSize = m_job.size;
        socket->sendBinaryMessage(frame);
    }
    // Changes every page has seen are no longer needed.
    quint64 oldest = m_pictureVersion;
    for (const auto& [socket, page] : m_pages)
        oldest = std::min(oldest, page.shownVersion);
    std::erase_if(m_changes, [oldest](const Change& change) { return change.version <= oldest; });
}

void WebMonitor::openPage(QWebSocket* socket) {
    if (socket->requestUrl().path() != u"/live" || !sameOrigin(*socket)) {
        Q_EMIT logLine(u"web monitor: refused a live picture to %1 (page %2, origin \"%3\")"_s.arg(
            socket->peerAddress().toString(), socket->requestUrl().path(), socket->origin()));
        socket->abort();
        socket->deleteLater();
        return;
    }
    Page& page = m_pages[socket];
    page.socket = socket;
    page.lastHeard.start();
    // A page says only "next" and "alive": nothing longer is kept.
    socket->setMaxAllowedIncomingMessageSize(MaxPageMessageBytes);
    socket->setMaxAllowedIncomingFrameSize(MaxPageMessageBytes);
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this, socket](const QString& message) { pageSaid(socket, message); });
    connect(socket, &QWebSocket::disconnected, this, [this, socket] { closePage(socket); });
    m_statusTimer.start();
    sendStatus();
    pump();
}

void WebMonitor::pageSaid(QWebSocket* socket, const QString& message) {
    const auto found = m_pages.find(socket);
    if (found == m_pages.end())
        return;
    found->second.lastHeard.start();
    if (message == u"next") {
        found->second.ready = true;
        pump();
    }
}

void WebMonitor::closePage(QWebSocket* socket) {
    if (m_pages.erase(socket) == 0)
        return;
    socket->disconnect(this);
    socket->deleteLater();
    if (m_pages.empty())
        m_statusTimer.stop();
}

void WebMonitor::sendStatus() {
    std::vector<QWebSocket*> silent;
    const QByteArray status = QJsonDocument(m_source.status()).toJson(QJsonDocument::Compact);
    for (auto& [socket, page] : m_pages) {
        if (page.lastHeard.elapsed() > SilentPageMilliseconds) {
            silent.push_back(socket);
        } else if (page.sentStatus != status) {
            page.sentStatus = status;
            socket->sendTextMessage(QString::fromUtf8(status));
        }
    }
    for (QWebSocket* socket : silent) {
        noteRefusal(HttpService::Refusal::Idle, socket->peerAddress().toString());
        socket->abort();
        closePage(socket);
    }
}

void WebMonitor::noteRefusal(HttpService::Refusal refusal, const QString& peer) {
    noteOnce(RefusalText(refusal), peer);
}

void WebMonitor::noteOnce(const QString& what, const QString& peer) {
    // The first of each kind is logged; a flood of them is counted and summed up once a minute.
    const auto [entry, first] = m_refusals.try_emplace(what, 0);
    if (first) {
        Q_EMIT logLine(u"web monitor: %1 (%2); more of these are counted, not logged one by one"_s.arg(what, peer));
        return;
    }
    if (entry->second++ == 0) {
        QTimer::singleShot(RefusalSummaryMilliseconds, this, [this, what] {
            Q_EMIT logLine(u"web monitor: %1: %2 more in the last minute"_s.arg(what).arg(m_refusals[what]));
            m_refusals[what] = 0;
        });
    }
}
