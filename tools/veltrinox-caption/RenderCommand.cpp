#include "Commands.h"
#include "DocumentSources.h"
#include "ToolSupport.h"
#include "presentation/DisplayColour.h"
#include "presentation/DisplayPainting.h"
#include "presentation/HeadlessHost.h"
#include "presentation/Presenter.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char RenderHelp[] =
    "Usage: veltrinox-caption render [options] -o OUT.png [FILE...]\n"
    "\n"
    "Presents caption documents as the display does, running their effects step by step until\n"
    "the display is idle with nothing queued, and writes what the window then shows: the client\n"
    "area with the display image at its current position. Documents are read as inspect reads\n"
    "them; one that does not parse is skipped, as the display skips it.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.png      the picture to write\n"
    "  --client WxH              the window's client area (default 960x540)\n"
    "  --base-font-height N      base caption font size in points (default: client width x 2 / 56)\n"
    "  --font-adjust N           font size adjust percentage, 10 to 1000 (default 100)\n"
    "  --word-wrap               force two lines (wrap)\n"
    "  --anti-aliased            draw plain text antialiased\n"
    "  --transparent             transparent mode: the PNG carries the window's alpha, the key colour\n"
    "                            fully transparent\n"
    "  --steps N                 stop after N animation steps in all\n"
    "  --frames DIR              also write the picture after every step, as DIR/frame-00001.png ...\n"
    "  --help                    show this help\n";

constexpr QSize DefaultClient(960, 540);

QSize clientSize(const QString& text) {
    const QStringList parts = text.split(u'x');
    bool widthOk = false;
    bool heightOk = false;
    const QSize size = parts.size() == 2 ? QSize(parts[0].toInt(&widthOk), parts[1].toInt(&heightOk)) : QSize();
    constexpr int MaxSide = 3840;
    if (!widthOk || !heightOk || size.width() < 1 || size.height() < 1 || size.width() > MaxSide ||
        size.height() > MaxSide)
        throw UsageError(u"--client needs WxH, each 1 to %1, not \"%2\""_s.arg(MaxSide).arg(text));
    return size;
}

// The client area as the window shows it, painted by the window's own paint functions: the display
// image at its position over black; in transparent mode with the window's alpha, the key colour
// letting everything through.
QImage windowPicture(const Presenter& presenter, const HeadlessHost& host, QSize client, ColourValue keyColour) {
    if (host.transparent) {
        QImage translucent(client, QImage::Format_ARGB32);
        ComposeKeyedDisplayImage(translucent, presenter, host.position, DisplayRgb(keyColour), host.alpha);
        return translucent;
    }
    QImage picture(client, QImage::Format_RGB32);
    QPainter painter(&picture);
    PaintDisplayImage(painter, presenter, host.position, picture.rect());
    return picture;
}

void save(const QImage& picture, const QString& path) {
    if (!picture.save(path, "PNG"))
        throw UsageError(u"cannot write %1"_s.arg(path));
}

} // namespace

int RunRender(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption({{u"o"_s, u"output"_s}, QString(), u"OUT.png"_s});
    parser.addOption({u"client"_s, QString(), u"WxH"_s});
    parser.addOption({u"base-font-height"_s, QString(), u"N"_s});
    parser.addOption({u"font-adjust"_s, QString(), u"N"_s, u"100"_s});
    parser.addOption({u"word-wrap"_s, QString()});
    parser.addOption({u"anti-aliased"_s, QString()});
    parser.addOption({u"transparent"_s, QString()});
    parser.addOption({u"steps"_s, QString(), u"N"_s});
    parser.addOption({u"frames"_s, QString(), u"DIR"_s});
    if (!parseArguments(parser, arguments)) {
        writeOut(RenderHelp);
        return ExitSuccess;
    }
    if (!parser.isSet(u"output"_s))
        throw UsageError(u"render needs -o OUT.png (see render --help)"_s);

    const QSize client = parser.isSet(u"client"_s) ? clientSize(parser.value(u"client"_s)) : DefaultClient;
    HeadlessHost host;
    host.transparent = parser.isSet(u"transparent"_s);
    PresentationSettings& settings = host.presentationSettings;
    settings.fontAdjustPercent = std::clamp(integerOption(parser, u"font-adjust"_s), 10, 1000);
    settings.wordWrap = parser.isSet(u"word-wrap"_s);
    settings.antiAliased = parser.isSet(u"anti-aliased"_s);
    const qint64 maxSteps =
        parser.isSet(u"steps"_s) ? integerOption(parser, u"steps"_s) : std::numeric_limits<qint64>::max();
    if (maxSteps < 0)
        throw UsageError(u"--steps needs a count of 0 or more"_s);
    const QString framesDirectory = parser.value(u"frames"_s);
    if (!framesDirectory.isEmpty() && !QDir().mkpath(framesDirectory))
        throw UsageError(u"cannot create %1"_s.arg(framesDirectory));

    const QStringList documents = ReadDocumentSources(parser.positionalArguments());

    Presenter presenter(host);
    presenter.resizeDisplay(client);
    settings.baseFontHeight = presenter.baseFontHeight(parser.isSet(u"base-font-height"_s)
                                                           ? std::optional(integerOption(parser, u"base-font-height"_s))
                                                           : std::nullopt);
    // Transparency keys out the colour the display is cleared to when it is switched on.
    const ColourValue keyColour = presenter.clearColour();
    for (const QString& document : documents) {
        presenter.enqueue(document);
        presenter.ShowSurtitle();
    }
    for (qint64 step = 1; step <= maxSteps && (presenter.effectRunning() || presenter.queuedDocuments() > 0); ++step) {
        presenter.AnimateTimerTimer();
        if (!framesDirectory.isEmpty())
            save(windowPicture(presenter, host, client, keyColour),
                 QDir(framesDirectory).filePath(u"frame-%1.png"_s.arg(step, 5, 10, QChar(u'0'))));
    }
    save(windowPicture(presenter, host, client, keyColour), parser.value(u"output"_s));
    return ExitSuccess;
}
