#pragma once

#include "web/WebMonitor.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

class ControlListener;
class ControlQueries;
class EventLog;
class FeedListener;
class PresentationWindow;
class WindowGeometry;

// The running display as the web monitor shows it: the window's picture, the status reply's values,
// and what the status query does not tell (the controllers connected, the queue, the caption shown,
// the recent log). Started only when a web port is configured.
class DisplayMonitor : public QObject, public MonitorSource, public MonitorControl {
    Q_OBJECT

public:
    struct Parts {
        PresentationWindow& window;
        const WindowGeometry& geometry;
        const ControlQueries& status;
        const EventLog* log;      // null: no lines to show
        ControlListener& control; // converts the lines sent from a page, as the control port does
    };

    // The caption text shown in the status is cut here: a picture caption's text is its file.
    static constexpr qsizetype MaxCaptionText = 2000;

    explicit DisplayMonitor(Parts parts, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const { return m_monitor.port(); }
    QString errorString() const { return m_monitor.errorString(); }
    // The controllers connected to the feed and control ports, for the status.
    void watch(FeedListener& feed, ControlListener& control);
    // A page opened with token may blank, clear and send lines; an empty token lets none.
    void allowControl(const QString& token) { m_monitor.setControl(this, token); }
    WebMonitor& monitor() { return m_monitor; }

    QSize pictureSize() const override;
    QImage picture(const QRect& area) override;
    QJsonObject status() const override;

    void blank() override;
    void clear() override;
    void showLine(const QString& line) override;

private:
    Parts m_parts;
    WebMonitor m_monitor;
    QStringList m_feedPeers;
    QStringList m_controlPeers;
};

// The status reply's lines ("DisplayWidth=640") as JSON members under the same names, numbers as numbers.
QJsonObject StatusReplyJson(const QByteArray& reply);
