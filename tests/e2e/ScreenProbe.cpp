#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <set>

// Reads the X server's screen back for the end-to-end tests.
//
//   screen-probe RRGGBB...
//       prints how many pixels of each colour the screen shows, one "RRGGBB count" line each;
//   screen-probe fade X Y RRGGBB TIMEOUT_MS
//       watches the pixel at (X, Y): once it first changes, counts the different colours it shows
//       until it shows RRGGBB, and prints "colours N milliseconds T" (exit 1 on timeout);
//   screen-probe await TIMEOUT_MS RRGGBB:COUNT...
//       prints "watching" once it reads the screen, waits until the screen shows at least COUNT
//       pixels of each colour and prints "shown at T", T the wall-clock time in milliseconds since
//       1970 (exit 1 on timeout).
//   screen-probe save FILE
//       writes what the screen shows to FILE (PNG).
// It reads the primary monitor, or with "--monitor NAME" before the command the monitor of that name.
namespace {

QRgb colourArgument(const char* text) {
    return 0xFF000000 | QByteArray(text).toUInt(nullptr, 16);
}

QRgb pixelAt(QScreen* screen, int x, int y) {
    return screen->grabWindow(0, x, y, 1, 1).toImage().pixel(0, 0) | 0xFF000000;
}

QImage grabScreen(QScreen* screen) {
    return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

long countPixels(const QImage& shown, QRgb colour) {
    long count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            count += row[x] == colour;
    }
    return count;
}

int countColours(QScreen* screen, int argc, char** argv) {
    const QImage shown = grabScreen(screen);
    for (int i = 1; i < argc; ++i)
        std::printf("%s %ld\n", argv[i], countPixels(shown, colourArgument(argv[i])));
    return 0;
}

int awaitColours(QScreen* screen, int timeoutMilliseconds, int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    grabScreen(screen);
    std::printf("watching\n");
    std::fflush(stdout);
    while (clock.elapsed() <= timeoutMilliseconds) {
        const QImage shown = grabScreen(screen);
        bool all = true;
        for (int i = 3; i < argc && all; ++i) {
            const QList<QByteArray> colourAndCount = QByteArray(argv[i]).split(':');
            all = colourAndCount.size() == 2 &&
                  countPixels(shown, colourArgument(colourAndCount[0].constData())) >= colourAndCount[1].toLong();
        }
        if (all) {
            std::printf("shown at %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
            return 0;
        }
    }
    return 1;
}

int watchFade(QScreen* screen, int x, int y, QRgb target, int timeoutMilliseconds) {
    QElapsedTimer clock;
    clock.start();
    const QRgb before = pixelAt(screen, x, y);
    QRgb shown = before;
    while (shown == before) {
        if (clock.elapsed() > timeoutMilliseconds)
            return 1;
        shown = pixelAt(screen, x, y);
    }
    QElapsedTimer fade;
    fade.start();
    std::set<QRgb> colours{shown};
    while (shown != target) {
        if (clock.elapsed() > timeoutMilliseconds)
            return 1;
        shown = pixelAt(screen, x, y);
        colours.insert(shown);
    }
    std::printf("colours %zu milliseconds %lld\n", colours.size(), static_cast<long long>(fade.elapsed()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (argc >= 3 && QByteArray(argv[1]) == "--monitor") {
        const QList<QScreen*> screens = QGuiApplication::screens();
        const auto named = std::find_if(screens.begin(), screens.end(),
                                        [&](const QScreen* s) { return s->name() == QLatin1StringView(argv[2]); });
        if (named == screens.end()) {
            std::fprintf(stderr, "no monitor named %s\n", argv[2]);
            return 2;
        }
        screen = *named;
        argv[2] = argv[0];
        argv += 2;
        argc -= 2;
    }
    if (argc == 3 && QByteArray(argv[1]) == "save")
        return grabScreen(screen).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
    if (argc == 6 && QByteArray(argv[1]) == "fade")
        return watchFade(screen, std::atoi(argv[2]), std::atoi(argv[3]), colourArgument(argv[4]), std::atoi(argv[5]));
    if (argc >= 4 && QByteArray(argv[1]) == "await")
        return awaitColours(screen, std::atoi(argv[2]), argc, argv);
    return countColours(screen, argc, argv);
}
