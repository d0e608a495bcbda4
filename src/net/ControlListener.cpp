#include "ControlListener.h"

#include "KeepAccepting.h"
#include "captions/CaptionDocumentWriter.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr char Greeting[] = "LCD Captioning Telnet Interface\r\n";

} // namespace

ControlListener::ControlListener(QObject* parent) : QObject(parent), m_server(new QTcpServer(this)) {
    m_server->setListenBacklogSize(ListenBacklog);
    connect(m_server, &QTcpServer::newConnection, this, &ControlListener::accept);
    KeepAccepting(*m_server);
}

bool ControlListener::listen(quint16 port, const QHostAddress& address) {
    return m_server->listen(address, port);
}

quint16 ControlListener::port() const {
    return m_server->serverPort();
}

QString ControlListener::errorString() const {
    return m_server->errorString();
}

void ControlListener::accept() {
    while (QTcpSocket* connection = m_server->nextPendingConnection()) {
        connect(connection, &QTcpSocket::readyRead, this, [this, connection] { receive(connection); });
        connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
        connection->write(Greeting);
    }
}

void ControlListener::receive(QTcpSocket* connection) {
    // Everything waiting is one message, however the controller's writes were split.
    const QByteArray message = connection->readAll();
    switch (ClassifyControlMessage(message)) {
    case ControlMessageKind::StatusQuery:
        connection->write(ReplyString(status()));
        return;
    case ControlMessageKind::Ignored:
        return;
    case ControlMessageKind::Stagetext:
        break;
    }

    const TCaptions caption = m_converter.CaptionFromStagetext(DecodeControlMessage(message), stagetextSettings());
    const CaptionDocumentText document = CaptiontoXML(caption);
    if (!document.ok()) {
        connection->abort();
        Q_EMIT failureReported(document.failure);
        return;
    }
    Q_EMIT documentReceived(document.text);
}
