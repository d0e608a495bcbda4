#include "ControlListener.h"

#include "ConnectionAcceptor.h"
#include "captions/CaptionDocumentWriter.h"

#include <QTcpSocket>

namespace {

constexpr char Greeting[] = "LCD Captioning Telnet Interface\r\n";

} // namespace

ControlListener::ControlListener(const ControlQueries& display, QObject* parent)
    : QObject(parent), m_display(display), m_acceptor(new ConnectionAcceptor(ListenBacklog, this)) {
    connect(m_acceptor, &ConnectionAcceptor::accepted, this, &ControlListener::accept);
    connect(m_acceptor, &ConnectionAcceptor::refused, this, &ControlListener::peerRefused);
}

const ControlQueries& ControlListener::defaultControlQueries() {
    struct Defaults : ControlQueries {
        DisplayStatus status() const override { return {}; }
        StagetextSettings stagetextSettings() const override { return {}; }
    };
    static const Defaults defaults;
    return defaults;
}

bool ControlListener::listen(quint16 port, const QHostAddress& address) {
    return m_acceptor->listen(address, port);
}

quint16 ControlListener::port() const {
    return m_acceptor->port();
}

QString ControlListener::errorString() const {
    return m_acceptor->errorString();
}

void ControlListener::setAllowedPeers(const AllowedPeers& peers) {
    m_acceptor->setAllowedPeers(peers);
}

void ControlListener::accept(QTcpSocket* connection) {
    connect(connection, &QTcpSocket::readyRead, this, [this, connection] { receive(connection); });
    connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
    const QString peer = PeerName(*connection); // a socket forgets its peer as it closes
    connect(connection, &QTcpSocket::disconnected, this, [this, peer] { Q_EMIT connectionClosed(peer); });
    Q_EMIT connectionOpened(peer);
    connection->write(Greeting);
}

void ControlListener::receive(QTcpSocket* connection) {
    // Everything waiting is one message, however the controller's writes were split.
    const QByteArray message = connection->readAll();
    switch (ClassifyControlMessage(message)) {
    case ControlMessageKind::StatusQuery:
        connection->write(ReplyString(m_display.status()));
        return;
    case ControlMessageKind::Ignored:
        return;
    case ControlMessageKind::Stagetext:
        break;
    }

    if (!presentStagetext(DecodeControlMessage(message)))
        connection->abort();
}

bool ControlListener::presentStagetext(QStringView message) {
    const TCaptions caption = m_converter.CaptionFromStagetext(message, m_display.stagetextSettings());
    const CaptionDocumentText document = CaptiontoXML(caption);
    if (!document.ok()) {
        Q_EMIT failureReported(document.failure);
        return false;
    }
    for (const QString& reason : document.notEmbedded)
        Q_EMIT fileNotEmbedded(reason);
    Q_EMIT documentReceived(document.text);
    return true;
}
