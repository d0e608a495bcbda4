#pragma once

#include "AllowedPeers.h"
#include "ControlMessage.h"
#include "StagetextConversion.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

class ConnectionAcceptor;
class QTcpSocket;

// What a control message reads of the display at the moment it arrives. The running display
// answers; tests hand in fixed values.
class ControlQueries {
public:
    virtual ~ControlQueries() = default;

    // The status a status query is answered with.
    virtual DisplayStatus status() const = 0;
    // The settings a Stagetext caption is converted with.
    virtual StagetextSettings stagetextSettings() const = 0;
};

// The control port: a telnet-style greeting, then each read is one message: the status query is
// answered with the display's status, "VT T L" messages are ignored, and everything else is a
// Stagetext caption, converted into a caption document. A caption that cannot be converted (a named
// file that cannot be read) closes its own connection only, and is reported.
class ControlListener : public QObject {
    Q_OBJECT

public:
    static constexpr int ListenBacklog = 15;

    // display gives the values a status reply and a Stagetext caption take; without one, the
    // defaults of each.
    explicit ControlListener(const ControlQueries& display = defaultControlQueries(), QObject* parent = nullptr);
    static const ControlQueries& defaultControlQueries();

    bool listen(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 port() const;
    QString errorString() const;
    // Only these controllers are served; others are closed as they connect (peerRefused).
    void setAllowedPeers(const AllowedPeers& peers);

    // The rate the last Stagetext caption set, carried into the next ones.
    const QString& StagetextSpeed() const { return m_converter.StagetextSpeed(); }

    // A Stagetext message that came another way (the web monitor's control), converted as a message
    // on the port is, with the same rate carried; false when it could not be (failureReported says why).
    bool presentStagetext(QStringView message);

Q_SIGNALS:
    // A controller outside the allowed peers connected, and was closed at once.
    void peerRefused(const QHostAddress& peer);
    void documentReceived(const QString& document);
    void failureReported(const QString& message);
    // For the log: connections with the peer's "address:port", and named files left as text.
    void connectionOpened(const QString& peer);
    void connectionClosed(const QString& peer);
    void fileNotEmbedded(const QString& reason);

private:
    void accept(QTcpSocket* connection);
    void receive(QTcpSocket* connection);

    const ControlQueries& m_display;
    ConnectionAcceptor* m_acceptor;
    StagetextConverter m_converter;
};
