#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM as a Qt signal: the handler only writes the signal's number into a socket pair, which the
// event loop reads, so whatever the signal ends runs on the GUI thread and not inside the handler.
// One per process.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);

Q_SIGNALS:
    void received(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};
