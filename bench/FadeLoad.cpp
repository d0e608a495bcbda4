#include "captions/Vocabularies.h"
#include "presentation/AnimationTimer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTcpSocket>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

// What a stream of fading captions costs the running display, and whether its fades keep time.
// Sends captions on the feed port at a steady interval, each fading out the last and fading in
// ("Fade", "Medium") on a background from the given list, while it
//   - reads the CPU time the display and the X server take from /proc (the share of one core);
//   - watches one pixel of the caption's bottom line (solid blocks in yellow) on the X server's screen
//     every 2 ms: it dims through the fade-out and brightens through the fade-in, so each caption's
//     fade is timed from the frames on screen, from one turn to dimming to the next.
// The watching reads the screen, never the display: it costs the X server a 1-pixel read a poll.
//
//   fade-load FEED_PORT DISPLAY_PID XSERVER_PID CAPTIONS INTERVAL_MS BACKGROUND...
namespace {

using namespace std::chrono_literals;

constexpr QRgb CaptionColour = 0xFFFFFF00;
const int FadeSpeed = BrightEffectSpeedFromString(u"Medium");
const int HalfSteps = (FullProgress + FadeSpeed - 1) / FadeSpeed; // each half: out, then in
constexpr int TickMilliseconds = AnimationTimer::IntervalMilliseconds;
const int FadeMilliseconds = 2 * HalfSteps * TickMilliseconds;
constexpr int ToleranceMilliseconds = 2 * TickMilliseconds;

QByteArray captionDocument(const QString& background, int number) {
    const QString text = QStringLiteral("<Surtitles><Cue><Captions Stream0=\"Caption number %1&#13;&#10;"
                                        "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\" StrName0=\"English\"/>"
                                        "<Language Name=\"English\"/><Font Colour=\"Yellow\" BackColour=\"%2\""
                                        "/><Effects InEffect=\"Fade\" Speed=\"Medium\"/></Cue></Surtitles>")
                             .arg(number)
                             .arg(background);
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

void send(QTcpSocket& feed, const QByteArray& document) {
    feed.write(document);
    while (feed.bytesToWrite() > 0)
        feed.waitForBytesWritten(1000);
}

// User and system CPU time of a process, in clock ticks.
long cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which may hold spaces, start after its ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLong() + fields[12].toLong() : 0;
}

QRgb pixelAt(QScreen* screen, QPoint point) {
    return screen->grabWindow(0, point.x(), point.y(), 1, 1).toImage().pixel(0, 0) | 0xFF000000;
}

// A pixel deep inside the caption's blocks: caption colour all round it.
std::optional<QPoint> findCaptionPixel(QScreen* screen) {
    const QImage shown = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    constexpr int Reach = 3;
    const auto solid = [&](int x, int y) {
        for (int dy = -Reach; dy <= Reach; ++dy)
            for (int dx = -Reach; dx <= Reach; ++dx)
                if ((shown.pixel(x + dx, y + dy) | 0xFF000000) != CaptionColour)
                    return false;
        return true;
    };
    for (int y = shown.height() - 1 - Reach; y >= Reach; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = Reach; x < shown.width() - Reach; ++x) {
            if ((row[x] | 0xFF000000) == CaptionColour && solid(x, y))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 7) {
        std::fprintf(stderr, "usage: fade-load FEED_PORT DISPLAY_PID XSERVER_PID CAPTIONS INTERVAL_MS BACKGROUND...\n");
        return 2;
    }
    const qint64 displayPid = std::atoll(argv[2]);
    const qint64 serverPid = std::atoll(argv[3]);
    const int captions = std::atoi(argv[4]);
    const int interval = std::atoi(argv[5]);
    QStringList backgrounds;
    for (int i = 6; i < argc; ++i)
        backgrounds << QString::fromLocal8Bit(argv[i]);
    QScreen* screen = QGuiApplication::primaryScreen();

    QTcpSocket feed;
    feed.connectToHost(QStringLiteral("127.0.0.1"), quint16(std::atoi(argv[1])));
    if (!feed.waitForConnected(5000) || !feed.waitForReadyRead(5000)) {
        std::fprintf(stderr, "fade-load: no display on the feed port\n");
        return 1;
    }
    feed.readAll(); // the greeting

    // A first caption, untimed, to find where the caption shows.
    send(feed, captionDocument(backgrounds.last(), 0));
    std::optional<QPoint> probe;
    QElapsedTimer warmUp;
    warmUp.start();
    while (!(probe = findCaptionPixel(screen))) {
        if (warmUp.elapsed() > 10000) {
            std::fprintf(stderr, "fade-load: the first caption never showed\n");
            return 1;
        }
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(500ms);
    feed.readAll();

    const long hertz = sysconf(_SC_CLK_TCK);
    const long displayBefore = cpuTicks(displayPid);
    const long serverBefore = cpuTicks(serverPid);
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    // Fades follow one another without a pause (the captions queue): a fade starts where the pixel
    // turns from brightening (or the caption colour) to dimming, and the last ends in the caption colour.
    qint64 started = -1;
    int lastLevel = 3 * 255;
    bool dimming = false;
    int fadesStarted = 0;
    std::vector<qint64> fades;
    const qint64 timeout = qint64(captions) * (interval + FadeMilliseconds) + 10000;
    while (int(fades.size()) < captions) {
        if (sent < captions && clock.elapsed() >= qint64(sent) * interval) {
            send(feed, captionDocument(backgrounds[sent % backgrounds.size()], sent + 1));
            ++sent;
        }
        const QRgb shown = pixelAt(screen, *probe);
        const qint64 now = clock.elapsed();
        const int level = qRed(shown) + qGreen(shown) + qBlue(shown);
        if (level < lastLevel && !dimming) {
            if (started >= 0)
                fades.push_back(now - started);
            started = now;
            dimming = true;
            ++fadesStarted;
        } else if (level > lastLevel) {
            dimming = false;
        }
        lastLevel = level;
        if (fadesStarted == captions && shown == CaptionColour && !dimming) {
            // The last frame of a fade stays a tick, as the first did before it showed.
            fades.push_back(now - started + TickMilliseconds);
        }
        if (now > timeout) {
            std::fprintf(stderr, "fade-load: %zu of %d fades ended in time\n", fades.size(), captions);
            return 1;
        }
        if (feed.bytesAvailable() > 0)
            feed.readAll(); // "OK"s
        std::this_thread::sleep_for(2ms);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const auto share = [&](long ticks) { return 100.0 * double(ticks) / double(hertz) / seconds; };
    const long displayTicks = cpuTicks(displayPid) - displayBefore;
    const long serverTicks = cpuTicks(serverPid) - serverBefore;

    for (const qint64 fade : fades)
        std::fprintf(stderr, " %lld", static_cast<long long>(fade));
    std::fprintf(stderr, "\n");
    const auto onTime = std::count_if(fades.begin(), fades.end(), [](qint64 milliseconds) {
        return std::abs(milliseconds - FadeMilliseconds) <= ToleranceMilliseconds;
    });
    const auto [shortest, longest] = std::minmax_element(fades.begin(), fades.end());
    std::printf("  display %.1f%% of one core, X server %.1f%%, over %.1f s\n", share(displayTicks), share(serverTicks),
                seconds);
    std::printf("  fades on time (%d ms within %d): %td of %d, shortest %lld ms, longest %lld ms\n", FadeMilliseconds,
                ToleranceMilliseconds, onTime, captions, static_cast<long long>(*shortest),
                static_cast<long long>(*longest));
    return onTime == captions ? 0 : 3;
}
