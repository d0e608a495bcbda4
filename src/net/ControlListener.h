#pragma once

#include "ControlMessage.h"
#include "StagetextConversion.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>

class ConnectionAcceptor;
class QTcpSocket;

// The control port: a telnet-style greeting, then each read is one message: the status query is
// answered with the display's status, "VT T L" messages are ignored, and everything else is a
// Stagetext caption, converted into a caption document. A caption that cannot be converted (a named
// file that cannot be read) closes its own connection only, and is reported.
class ControlListener : public QObject {
    Q_OBJECT

public:
    static constexpr int ListenBacklog = 15;

    explicit ControlListener(QObject* parent = nullptr);

    // The values a status reply and a Stagetext caption take, read at the moment of the message.
    std::function<DisplayStatus()> status = [] { return DisplayStatus{}; };
    std::function<StagetextSettings()> stagetextSettings = [] { return StagetextSettings{}; };

    bool listen(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 port() const;
    QString errorString() const;

    // The rate the last Stagetext caption set, carried into the next ones.
    const QString& StagetextSpeed() const { return m_converter.StagetextSpeed(); }

Q_SIGNALS:
    void documentReceived(const QString& document);
    void failureReported(const QString& message);
    // For the log: connections with the peer's "address:port", and named files left as text.
    void connectionOpened(const QString& peer);
    void connectionClosed(const QString& peer);
    void fileNotEmbedded(const QString& reason);

private:
    void accept(QTcpSocket* connection);
    void receive(QTcpSocket* connection);

    ConnectionAcceptor* m_acceptor;
    StagetextConverter m_converter;
};
