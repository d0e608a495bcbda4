#pragma once

#include "EventLog.h"
#include "presentation/PresentationEvents.h"

#include <QObject>
#include <QString>

class ControlListener;
class FeedListener;

// Puts what the display's parts report into the event log, in the log's words: the listeners'
// connections and warnings through their signals, the presentation engine's documents through its
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

private:
    EventLog& m_log;
};

// The log's line for one document taken from the queue.
QString DescribeDocument(const PresentedDocument& document);
