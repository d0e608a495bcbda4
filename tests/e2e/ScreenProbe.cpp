#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

// Reads the X server's screen back for the end-to-end tests: prints how many pixels of each colour
// asked for (as RRGGBB) the screen shows, one "RRGGBB count" line each.
int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QImage screen =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    for (int i = 1; i < argc; ++i) {
        const QRgb colour = 0xFF000000 | QByteArray(argv[i]).toUInt(nullptr, 16);
        long count = 0;
        for (int y = 0; y < screen.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
            for (int x = 0; x < screen.width(); ++x)
                count += row[x] == colour;
        }
        std::printf("%s %ld\n", argv[i], count);
    }
    return 0;
}
