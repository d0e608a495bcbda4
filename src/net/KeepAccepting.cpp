#include "KeepAccepting.h"

#include <QTcpServer>
#include <QTimer>

namespace {

constexpr int RetryMilliseconds = 100;

} // namespace

void KeepAccepting(QTcpServer& server) {
    QObject::connect(&server, &QTcpServer::acceptError, &server, [&server] {
        QTimer::singleShot(RetryMilliseconds, &server, [&server] { server.resumeAccepting(); });
    });
}
