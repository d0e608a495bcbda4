#pragma once

#include "EventLog.h"
#include "RefusalWarnings.h"
#include "presentation/PresentationEvents.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class ControlListener;
class FeedListener;

// Puts what the display's parts report into the event log, in the log's words: the listeners'
// connections, refusals and warnings through their signals, the presentation engine's documents through its
// events interface.
class DisplayEvents : public QObject, public PresentationEvents {
    Q_OBJECT

public:
    explicit DisplayEvents(EventLog& log, QObject* parent = nullptr);

    void watch(FeedListener& feed, ControlListener& control);
    void write(LogCategory category, const QString& text) { m_log.write(category, text); }
    const EventLog& log() const { return m_log; }

    void documentPresented(const PresentedDocument& document) override;
    void presentationWarning(const QString& message) override;
    // A connection from a peer outside the allowed controllers, on any port, was closed as it came:
    // logged once a minute per address.
    void peerRefused(const QHostAddress& peer);

private:
    EventLog& m_log;
    RefusalWarnings m_refusals;
    QElapsedTimer m_clock; // steady, for the refusals' minutes
};

// The log's line for one document taken from the queue.
QString DescribeDocument(const PresentedDocument& document);
