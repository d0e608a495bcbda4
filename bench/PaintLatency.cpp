#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTcpSocket>
#include <algorithm>
#include <cstdio>
#include <vector>

// Latency of the running display from the last byte of a caption on the feed port to the caption's
// first frame on the X server's screen. Sends captions that appear at once ("Instant"), alternately
// on red and on blue, and watches the pixel at (5, 5) of the screen (inside the display's window)
// until it takes the new background colour. Prints the median and the worst of the runs.
//
//   paint-latency FEED_PORT [RUNS]
namespace {

QByteArray captionDocument(const char* background, int number) {
    const QString text = QStringLiteral("<Surtitles><Cue><Captions Stream0=\"Caption %1\" StrName0=\"English\"/>"
                                        "<Language Name=\"English\"/><Font BackColour=\"%2\"/>"
                                        "<Effects InEffect=\"Instant\"/></Cue></Surtitles>")
                             .arg(number)
                             .arg(QLatin1StringView(background));
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QRgb pixel(QScreen* screen) {
    return screen->grabWindow(0, 5, 5, 1, 1).toImage().pixel(0, 0) | 0xFF000000;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: paint-latency FEED_PORT [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 100;
    QScreen* screen = QGuiApplication::primaryScreen();
    QTcpSocket feed;
    feed.connectToHost(QStringLiteral("127.0.0.1"), quint16(std::atoi(argv[1])));
    if (!feed.waitForConnected(5000) || !feed.waitForReadyRead(5000)) {
        std::fprintf(stderr, "paint-latency: no display on the feed port\n");
        return 1;
    }
    feed.readAll(); // the greeting

    std::vector<double> latencies;
    for (int run = 0; run < runs; ++run) {
        const bool red = run % 2 == 0;
        const QRgb expected = red ? 0xFFFF0000 : 0xFF0000FF;
        feed.write(captionDocument(red ? "Red" : "Blue", run));
        while (feed.bytesToWrite() > 0)
            feed.waitForBytesWritten(1000);
        QElapsedTimer clock;
        clock.start();
        while (pixel(screen) != expected) {
            if (clock.elapsed() > 2000) {
                std::fprintf(stderr, "paint-latency: caption %d never appeared\n", run);
                return 1;
            }
        }
        latencies.push_back(clock.nsecsElapsed() / 1e6);
        feed.waitForReadyRead(1000);
        feed.readAll(); // "OK"
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("paint latency over %d captions: median %.1f ms, worst %.1f ms\n", runs,
                latencies[latencies.size() / 2], latencies.back());
    return 0;
}
