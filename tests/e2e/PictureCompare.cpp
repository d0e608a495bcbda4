#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

// Compares two pictures pixel for pixel, for the end-to-end tests that check a picture shown in one
// place (a browser's page) against the same picture shown in another (the X server's screen).
//
//   picture-compare A.png AX AY B.png BX BY WIDTH HEIGHT [MASK.png]
//       compares the WIDTH x HEIGHT area of A at (AX, AY) with that of B at (BX, BY), colours only;
//       with MASK (the size of the area) pixels that are fully transparent in it are left out.
//       Prints "same", or how many pixels differ and the first of them; exit 1 when any differ.
int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 9 && argc != 10) {
        std::fprintf(stderr, "usage: picture-compare A.png AX AY B.png BX BY WIDTH HEIGHT [MASK.png]\n");
        return 2;
    }
    const QImage a = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage b = QImage(QString::fromLocal8Bit(argv[4])).convertToFormat(QImage::Format_RGB32);
    const QImage mask =
        argc == 10 ? QImage(QString::fromLocal8Bit(argv[9])).convertToFormat(QImage::Format_ARGB32) : QImage();
    const int ax = std::atoi(argv[2]), ay = std::atoi(argv[3]), bx = std::atoi(argv[5]), by = std::atoi(argv[6]);
    const int width = std::atoi(argv[7]), height = std::atoi(argv[8]);
    if (a.isNull() || b.isNull() || !a.rect().contains(QRect(ax, ay, width, height)) ||
        !b.rect().contains(QRect(bx, by, width, height))) {
        std::printf("a picture is missing or smaller than the area: %dx%d and %dx%d\n", a.width(), a.height(),
                    b.width(), b.height());
        return 1;
    }
    long differing = 0;
    long compared = 0;
    QString first;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!mask.isNull() && qAlpha(mask.pixel(x, y)) == 0)
                continue;
            ++compared;
            const QRgb pa = a.pixel(ax + x, ay + y) & 0xFFFFFF, pb = b.pixel(bx + x, by + y) & 0xFFFFFF;
            if (pa != pb && differing++ == 0)
                first = QStringLiteral("(%1, %2): %3 and %4")
                            .arg(x)
                            .arg(y)
                            .arg(pa, 6, 16, QChar(u'0'))
                            .arg(pb, 6, 16, QChar(u'0'));
        }
    }
    if (differing == 0) {
        std::printf("same (%ld pixels)\n", compared);
        return 0;
    }
    std::printf("%ld of %ld pixels differ, the first at %s\n", differing, compared, first.toLocal8Bit().constData());
    return 1;
}
