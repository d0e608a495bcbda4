#include "DisplayMonitor.h"

#include "EventLog.h"
#include "captions/AnsiCodePage.h"
#include "net/ControlListener.h"
#include "net/ControlMessage.h"
#include "net/FeedListener.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <QJsonArray>

using namespace Qt::Literals::StringLiterals;

QJsonObject StatusReplyJson(const QByteArray& reply) {
    QJsonObject json;
    for (const QByteArray& line : reply.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        const qsizetype equals = trimmed.indexOf('=');
        if (equals <= 0)
            continue;
        const QString name = QString::fromLatin1(trimmed.first(equals));
        const QByteArray value = trimmed.sliced(equals + 1);
        // Sizes and counts are numbers; names and colour texts stay text, whatever they look like.
        const bool number = !name.contains(u"Name") && !name.contains(u"Color");
        json[name] = number ? QJsonValue(value.toInt()) : QJsonValue(AnsiCodePage::toUnicode(value));
    }
    return json;
}

DisplayMonitor::DisplayMonitor(Parts parts, QObject* parent)
    : QObject(parent), m_parts(parts), m_monitor(*this, HttpLimits{}, this) {
    connect(&m_parts.window, &PresentationWindow::shownPictureChanged, &m_monitor, &WebMonitor::pictureChanged);
}

bool DisplayMonitor::listen(const QHostAddress& address, quint16 port) {
    return m_monitor.listen(address, port);
}

void DisplayMonitor::watch(FeedListener& feed, ControlListener& control) {
    connect(&feed, &FeedListener::connectionOpened, this, [this](const QString& peer) { m_feedPeers.append(peer); });
    connect(&feed, &FeedListener::connectionClosed, this, [this](const QString& peer) { m_feedPeers.removeOne(peer); });
    connect(&control, &ControlListener::connectionOpened, this,
            [this](const QString& peer) { m_controlPeers.append(peer); });
    connect(&control, &ControlListener::connectionClosed, this,
            [this](const QString& peer) { m_controlPeers.removeOne(peer); });
}

void DisplayMonitor::blank() {
    // A blank in a hurry: nothing waiting comes before it, and an effect under way does not finish first.
    Presenter& presenter = m_parts.window.presenter();
    presenter.clearQueue();
    presenter.finishEffectNow();
    m_parts.control.presentStagetext(u"\f");
}

void DisplayMonitor::clear() {
    m_parts.control.presentStagetext(u"\a");
}

void DisplayMonitor::showLine(const QString& line) {
    // Only text: control characters of the page's line would be Stagetext commands.
    QString text;
    for (const QChar c : line.left(MaxCaptionText)) {
        if (c.unicode() >= 0x20)
            text.append(c);
    }
    m_parts.control.presentStagetext(text + u'\r');
}

QSize DisplayMonitor::pictureSize() const {
    return m_parts.window.deviceSize();
}

QImage DisplayMonitor::picture(const QRect& area) {
    return m_parts.window.shownPicture(area);
}

QJsonObject DisplayMonitor::status() const {
    QJsonObject json = StatusReplyJson(ReplyString(m_parts.status.status()));
    const QSize window = m_parts.window.deviceSize();
    json[u"windowWidth"_s] = window.width();
    json[u"windowHeight"_s] = window.height();
    json[u"monitor"_s] = m_parts.geometry.monitorName();
    json[u"fullScreen"_s] = m_parts.geometry.fullScreen();
    json[u"transparent"_s] = m_parts.window.transparentMode();
    QJsonArray controllers;
    for (const QString& peer : m_feedPeers)
        controllers.append(QJsonObject{{u"port"_s, u"feed"_s}, {u"peer"_s, peer}});
    for (const QString& peer : m_controlPeers)
        controllers.append(QJsonObject{{u"port"_s, u"control"_s}, {u"peer"_s, peer}});
    json[u"controllers"_s] = controllers;
    const Presenter& presenter = m_parts.window.presenter();
    json[u"queueLength"_s] = int(presenter.queuedDocuments());
    const TCaptions& caption = presenter.records().current;
    const int column = std::clamp(caption.LanguageIndex, 0, int(CaptionColumnCount) - 1);
    json[u"caption"_s] = QJsonObject{{u"cue"_s, caption.Cue},
                                     {u"column"_s, caption.LanguageIndex},
                                     {u"text"_s, caption.Caption[column].Text.left(MaxCaptionText)}};
    json[u"log"_s] = QJsonArray::fromStringList(m_parts.log ? m_parts.log->recentLines() : QStringList());
    return json;
}
