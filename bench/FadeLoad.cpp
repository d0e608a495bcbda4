#include "captions/Vocabularies.h"
#include "presentation/AnimationTimer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTcpSocket>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <vector>

// What a stream of captions as a venue sends them costs the running display, and whether its
// effects keep time. Sends captions of two full-width lines at "Large" on the feed port, each
// entering with the given effect at "Medium" on a background from the given list, a little faster
// than the effects run so that they follow one another without a pause, while it
//   - reads the CPU time the display and the X server take from /proc (the share of one core);
//   - watches one pixel of the caption's bottom line (solid blocks) on the X server's screen every
//     2 ms: the last caption's blocks are green where the others' are yellow, so the run ends when
//     that pixel turns green, which it does only when the last effect is over (a fade's last step
//     shows the full colour; a scroll's blocks reach the pixel, at their top-left corner, only in its
//     last step). The effects kept time when the run took no longer than their steps at 10 ms.
//   - measures the limit in the same run: the time to write, once, the pixels a step changes (the
//     caption's area for a fade on black, the whole screen for a fade on colours, and a copy of the
//     whole screen for a scroll), as a share of one core at one write per tick.
// The watching reads the screen, never the display: it costs the X server a 1-pixel read a poll.
//
//   fade-load FEED_PORT DISPLAY_PID XSERVER_PID CAPTIONS KIND EFFECT BACKGROUND...
//   KIND: plain, formatted or picture; EFFECT: Fade, Scroll Up or Scroll Left.
using namespace Qt::Literals::StringLiterals;

namespace {

using namespace std::chrono_literals;

constexpr QRgb CaptionColour = 0xFFFFFF00;
constexpr QRgb LastColour = 0xFF00FF00;
constexpr int TickMilliseconds = AnimationTimer::IntervalMilliseconds;

enum class Kind { Plain, Formatted, Picture };

QString escaped(const QString& text) {
    return text.toHtmlEscaped().replace(u"\r"_s, u"&#13;"_s).replace(u"\n"_s, u"&#10;"_s);
}

QString hexColour(QRgb colour) {
    // Caption colours are written blue first, as the documents give them.
    return QString::asprintf("$%02X%02X%02X", qBlue(colour), qGreen(colour), qRed(colour));
}

// A picture caption as wide as the screen and as high as two caption lines: bands of colour, with a
// run of solid blocks in the caption colour on its lower half.
QSize pictureSize(QSize screen) {
    return {screen.width(), screen.height() / 2};
}

QString pictureText(QSize screen, QRgb colour) {
    QImage picture(pictureSize(screen), QImage::Format_RGB888);
    QPainter painter(&picture);
    for (int x = 0; x < picture.width(); x += 64)
        painter.fillRect(x, 0, 64, picture.height(), QColor::fromHsv((x / 64 * 37) % 360, 200, 160));
    painter.fillRect(picture.width() / 2, picture.height() / 2, picture.width() / 4, picture.height() / 3,
                     QColor::fromRgb(colour));
    painter.end();
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    picture.save(&bytes, "BMP");
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.data().toBase64());
}

// Two lines almost as wide as a 16:9 screen at "Large" (fifteen characters or so), the second ending
// in solid blocks.
QString columnText(Kind kind, QSize screen, QRgb colour) {
    const QString blocks(2, QChar(0x2588));
    switch (kind) {
    case Kind::Plain:
        return QStringLiteral("The night falls\r\nthe river %1").arg(blocks);
    case Kind::Formatted:
        return QStringLiteral(
                   "<HTML>The night <I>falls</I><BR><B>the</B> <FONT color=\"#40C0FF\">river</FONT> %1</HTML>")
            .arg(blocks);
    case Kind::Picture:
        return pictureText(screen, colour);
    }
    return {};
}

QByteArray captionDocument(const QString& column, QRgb colour, const QString& background, const QString& effect) {
    const QString text = QStringLiteral("<Surtitles><Cue><Captions Stream0=\"%1\" StrName0=\"English\"/>"
                                        "<Language Name=\"English\"/><Font Colour=\"%2\" BackColour=\"%3\" "
                                        "Size=\"Large\"/><Effects InEffect=\"%4\" Speed=\"Medium\"/></Cue></Surtitles>")
                             .arg(escaped(column), hexColour(colour), background, effect);
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

QImage screenImage(QScreen* screen) {
    return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// The top-left corner, three pixels in, of the lowest run of solid caption colour: where a scroll's
// blocks arrive last.
std::optional<QPoint> findCaptionPixel(const QImage& shown) {
    constexpr int Reach = 3;
    const auto colourAt = [&](int x, int y) { return (shown.pixel(x, y) | 0xFF000000) == CaptionColour; };
    const auto solid = [&](int x, int y) {
        for (int dy = -Reach; dy <= Reach; ++dy)
            for (int dx = -Reach; dx <= Reach; ++dx)
                if (!colourAt(x + dx, y + dy))
                    return false;
        return true;
    };
    for (int y = shown.height() - 1 - Reach; y >= Reach; --y) {
        for (int x = Reach; x < shown.width() - Reach; ++x) {
            if (!colourAt(x, y) || !solid(x, y))
                continue;
            QPoint corner(x, y);
            while (corner.y() > Reach && solid(corner.x(), corner.y() - 1))
                corner.ry() -= 1;
            while (corner.x() > Reach && solid(corner.x() - 1, corner.y()))
                corner.rx() -= 1;
            return corner;
        }
    }
    return std::nullopt;
}

// The bounds of what differs from the colour of the screen's top-left corner: the caption's area.
QRect captionArea(const QImage& shown) {
    const QRgb background = shown.pixel(0, 0);
    QRect area;
    for (int y = 0; y < shown.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            if (row[x] != background)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

// The fastest of many writes of size pixels, as a fill of one colour or a copy from another image.
enum class Write { Fill, Copy };
double writeSeconds(QSize size, Write write) {
    if (size.isEmpty())
        return 0;
    QImage target(size, QImage::Format_RGB32);
    QImage source(size, QImage::Format_RGB32);
    source.fill(Qt::darkBlue);
    double fastest = 1e9;
    for (int round = 0; round < 60; ++round) {
        const QRgb colour = qRgb(round, 0, 255 - round);
        const auto start = std::chrono::steady_clock::now();
        for (int y = 0; y < size.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(target.scanLine(y));
            if (write == Write::Fill)
                std::fill_n(row, size.width(), colour);
            else
                std::memcpy(row, source.constScanLine(y), std::size_t(size.width()) * 4);
        }
        fastest = std::min(fastest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return fastest;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 8) {
        std::fprintf(stderr, "usage: fade-load FEED_PORT DISPLAY_PID XSERVER_PID CAPTIONS KIND EFFECT BACKGROUND...\n");
        return 2;
    }
    const qint64 displayPid = std::atoll(argv[2]);
    const qint64 serverPid = std::atoll(argv[3]);
    const int captions = std::max(1, std::atoi(argv[4]));
    const QString kindName = QString::fromLocal8Bit(argv[5]);
    const QString effect = QString::fromLocal8Bit(argv[6]);
    QStringList backgrounds;
    for (int i = 7; i < argc; ++i)
        backgrounds << QString::fromLocal8Bit(argv[i]);
    const Kind kind = kindName == u"formatted" ? Kind::Formatted : kindName == u"picture" ? Kind::Picture : Kind::Plain;
    const bool fade = effect == u"Fade";
    const int speed = fade ? BrightEffectSpeedFromString(u"Medium") : EffectSpeedFromString(u"Medium");
    // A fade fades the caption before out and then its own in.
    const int steps = (fade ? 2 : 1) * ((FullProgress + speed - 1) / speed);
    const int effectMilliseconds = steps * TickMilliseconds;
    const int interval = effectMilliseconds * 9 / 10;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen->size();

    QTcpSocket feed;
    feed.connectToHost(QStringLiteral("127.0.0.1"), quint16(std::atoi(argv[1])));
    if (!feed.waitForConnected(5000) || !feed.waitForReadyRead(5000)) {
        std::fprintf(stderr, "fade-load: no display on the feed port\n");
        return 1;
    }
    feed.readAll(); // the greeting

    // Documents are made before the run, on black first, untimed, to find where the caption shows.
    std::vector<QByteArray> documents;
    for (int number = 1; number <= captions; ++number) {
        const QRgb colour = number == captions ? LastColour : CaptionColour;
        documents.push_back(captionDocument(columnText(kind, screenSize, colour), colour,
                                            backgrounds[std::size_t(number - 1) % std::size_t(backgrounds.size())],
                                            effect));
    }
    send(feed, captionDocument(columnText(kind, screenSize, CaptionColour), CaptionColour, u"Black"_s, u"Fade"_s));
    std::optional<QPoint> probe;
    QImage shown;
    QElapsedTimer warmUp;
    warmUp.start();
    while (!(probe = findCaptionPixel(shown = screenImage(screen)))) {
        if (warmUp.elapsed() > 15000) {
            std::fprintf(stderr, "fade-load: the first caption never showed\n");
            return 1;
        }
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(300ms);
    const QRect caption = captionArea(screenImage(screen));
    screenImage(screen).save(qEnvironmentVariable("SHOT"));
    feed.readAll();

    const long hertz = sysconf(_SC_CLK_TCK);
    const long displayBefore = cpuTicks(displayPid);
    const long serverBefore = cpuTicks(serverPid);
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    const qint64 timeout = qint64(captions) * effectMilliseconds * 3 + 10000;
    qint64 ended = -1;
    while (ended < 0) {
        if (sent < captions && clock.elapsed() >= qint64(sent) * interval)
            send(feed, documents[std::size_t(sent++)]);
        const qint64 now = clock.elapsed();
        if (sent == captions && pixelAt(screen, *probe) == LastColour)
            ended = now;
        if (now > timeout) {
            std::fprintf(stderr, "fade-load: the last caption did not show in %lld ms\n",
                         static_cast<long long>(timeout));
            return 1;
        }
        if (feed.bytesAvailable() > 0)
            feed.readAll(); // "OK"s
        std::this_thread::sleep_for(2ms);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const auto share = [&](long ticks) { return 100.0 * double(ticks) / double(hertz) / seconds; };
    const double display = share(cpuTicks(displayPid) - displayBefore);
    const double server = share(cpuTicks(serverPid) - serverBefore);

    // What one step must change at the least, written once a tick.
    const bool onBlack = backgrounds.size() == 1 && backgrounds.front() == u"Black";
    // A picture lies on black whatever the background: its fade changes the picture alone.
    const QSize changed = kind == Kind::Picture && fade ? pictureSize(screenSize)
                          : fade && onBlack             ? caption.size()
                                                        : screenSize;
    const double limit = 100.0 * writeSeconds(changed, fade ? Write::Fill : Write::Copy) / (TickMilliseconds / 1e3);

    // The first step runs at the next tick after the first document, the last one's end shows a
    // poll later: two ticks and the poll are allowed over the steps' own time.
    const qint64 expected = qint64(captions) * effectMilliseconds;
    const bool onTime = ended <= expected + 2 * TickMilliseconds + 5;
    std::printf("  display %.1f%% of one core, X server %.1f%%, over %.1f s\n", display, server, seconds);
    std::printf("  limit %.2f%% (%s %dx%d once a tick): display %.0fx the limit, X server %.0fx\n", limit,
                fade ? "fill" : "copy", changed.width(), changed.height(), display / limit, server / limit);
    std::printf("  %d effects of %d ms took %lld ms (%+.1f ms each): %s\n", captions, effectMilliseconds,
                static_cast<long long>(ended), double(ended - expected) / captions, onTime ? "on time" : "LATE");
    return onTime ? 0 : 3;
}
