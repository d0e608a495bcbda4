#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

// One HTTP exchange on a raw socket, so that a test sees exactly what goes over the wire.
struct HttpResponse {
    int status = 0;
    QByteArray head;
    QByteArray body;
};

inline HttpResponse HttpExchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket.waitForConnected(5000));
    socket.write(request);
    QByteArray received;
    HttpResponse response;
    const auto complete = [&] {
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        response.head = received.first(end);
        const qsizetype at = response.head.toLower().indexOf("content-length: ");
        const qsizetype length = at < 0 ? 0 : response.head.mid(at + 16).split('\r').first().toLongLong();
        if (received.size() < end + 4 + length)
            return false;
        response.body = received.mid(end + 4, length);
        response.status = response.head.mid(9, 3).toInt();
        return true;
    };
    (void)QTest::qWaitFor(
        [&] {
            received += socket.readAll();
            return complete() || socket.state() == QAbstractSocket::UnconnectedState;
        },
        5000);
    return response;
}

inline HttpResponse HttpGet(quint16 port, const QByteArray& path) {
    return HttpExchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}
