#include "support/MonitorFrames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWebSocket>
#include <cstdio>

// A watcher of the web monitor's live picture for bench/web_monitor.sh: it does what the monitor
// page does with each frame (decode it, put it into the picture, say "next"), without a browser's
// own cost.
//
//   web-watcher frames PORT SECONDS
//       watches for SECONDS and prints "frames N per-second F".
//   web-watcher await PORT TIMEOUT_MS RRGGBB:COUNT
//       prints "watching" at the first frame, then "seen at T" (wall-clock milliseconds since 1970)
//       when a frame shows at least COUNT pixels of the colour (exit 1 on timeout).
namespace {

long countPixels(const QImage& picture, QRgb colour) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    long count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (row[x] | 0xFF000000) == colour;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: web-watcher frames PORT SECONDS | await PORT TIMEOUT_MS RRGGBB:COUNT\n");
        return 2;
    }
    const QByteArray mode = argv[1];
    const int port = std::atoi(argv[2]);
    QRgb colour = 0;
    long wanted = 0;
    if (mode == "await") {
        if (argc != 5)
            return 2;
        const QList<QByteArray> colourAndCount = QByteArray(argv[4]).split(':');
        colour = 0xFF000000 | colourAndCount.value(0).toUInt(nullptr, 16);
        wanted = colourAndCount.value(1).toLong();
    }
    const int limit = mode == "frames" ? std::atoi(argv[3]) * 1000 : std::atoi(argv[3]);

    QWebSocket socket;
    MonitorFrames picture;
    long frames = 0;
    QElapsedTimer clock;
    int status = 1;
    QObject::connect(&socket, &QWebSocket::binaryMessageReceived, [&](const QByteArray& frame) {
        picture.add(frame);
        if (frames++ == 0) {
            clock.start();
            if (mode == "await") {
                std::printf("watching\n");
                std::fflush(stdout);
            }
        }
        if (mode == "await" && countPixels(picture.picture, colour) >= wanted) {
            std::printf("seen at %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
            status = 0;
            QCoreApplication::quit();
            return;
        }
        socket.sendTextMessage(QStringLiteral("next"));
    });
    QTimer::singleShot(limit, [&] {
        if (mode == "frames") {
            std::printf("frames %ld per-second %.1f\n", frames, frames * 1000.0 / std::max<qint64>(clock.elapsed(), 1));
            status = 0;
        }
        QCoreApplication::quit();
    });
    socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
    QCoreApplication::exec();
    return status;
}
