#include "presentation/DisplayColour.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/WindowFakes.h"
#include "window/BackgroundPicture.h"
#include "window/PresentationWindow.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::Literals::StringLiterals;

// The window's painting path against a straightforward full redraw. A fade step repaints only the
// part of the window it changed; after every step, what the window has put on its screen (the
// offscreen platform keeps it, partial repaints accumulated) must equal the whole frame drawn afresh
// from the display image: over the background picture where the image has its transparent colour,
// and with the key colour seen through in transparent mode.

namespace {

QImage gradient(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), 128));
    }
    return image;
}

QString pictureCaption() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    gradient(QSize(90, 50)).save(&buffer, "BMP");
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.toBase64());
}

const QString Plain = u"First line&#13;&#10;and the second"_s;
const QString Formatted = u"&lt;HTML&gt;&lt;b&gt;Bold&lt;/b&gt; and &lt;i&gt;italic&lt;/i&gt;&lt;/HTML&gt;"_s;

QString document(const QString& text, const QString& background) {
    return CaptionDocumentBuilder()
        .english(text)
        .colours(u"Yellow"_s, background)
        .effect(EntryEffect::Fade, u"Fast"_s)
        .xml();
}

struct Scenario {
    const char* name;
    QString first;  // the caption that fades in
    QString second; // the caption that fades the first out and itself in
    bool transparent = false;
    bool backgroundPicture = false;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

const std::vector<Scenario> Scenarios = {
    {"PlainOnBlack", document(Plain, u"Black"_s), document(u"Next"_s, u"Black"_s)},
    {"PlainOnColours", document(Plain, u"Blue"_s), document(u"Next"_s, u"Maroon"_s)},
    {"FormattedOnBlack", document(Formatted, u"Black"_s), document(Plain, u"Black"_s)},
    {"FormattedOnColours", document(Formatted, u"Teal"_s), document(Formatted, u"Navy"_s)},
    {"PictureOnBlack", document(pictureCaption(), u"Black"_s), document(Plain, u"Black"_s)},
    {"PictureThenColour", document(pictureCaption(), u"Black"_s), document(Plain, u"Green"_s)},
    {"PlainTransparent", document(Plain, u"Black"_s), document(Formatted, u"Black"_s), true},
    {"ColoursTransparent", document(Plain, u"Blue"_s), document(Plain, u"Purple"_s), true},
    {"PlainOverPicture", document(Plain, u"Black"_s), document(Formatted, u"Black"_s), false, true},
    {"ColoursOverPicture", document(Plain, u"Black"_s), document(pictureCaption(), u"Blue"_s), false, true},
    {"TransparentOverPicture", document(Plain, u"Black"_s), document(Plain, u"Black"_s), true, true},
};

class PaintPathTest : public testing::TestWithParam<Scenario> {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        window.resize(320, 180);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.hideBorderNow(); // now, not as the first caption arrives
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        if (GetParam().backgroundPicture) {
            picture = gradient(QSize(250, 140));
            const QString file = directory.filePath(u"picture.bmp"_s);
            ASSERT_TRUE(picture->save(file, "BMP"));
            ASSERT_TRUE(window.loadBackgroundImage(file));
        }
        if (GetParam().transparent) {
            key = DisplayRgb(window.presenter().clearColour()) | 0xFF000000;
            window.toggleTransparent();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        }
        QCoreApplication::processEvents();
    }

    QImage shown() const { return window.screen()->grabWindow(window.winId()).toImage(); }

    // The whole frame drawn afresh from the display image.
    QImage fullRedraw() const {
        const QImage& display = window.presenter().displayImage();
        const QPoint position = window.imagePosition();
        QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(picture ? Qt::black : Qt::transparent);
        if (picture)
            QPainter(&frame).drawImage(QPoint(0, 0), *picture);
        const QRgb transparentColour = TransparentColour(window.presenter().bottomLeftPixel());
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const QPoint at = QPoint(x, y) - position;
                if (display.rect().contains(at)) {
                    const QRgb pixel = display.pixel(at) | 0xFF000000;
                    if (!picture || pixel != transparentColour)
                        frame.setPixel(x, y, pixel);
                }
                if (key && qAlpha(frame.pixel(x, y)) != 0)
                    frame.setPixel(x, y, (frame.pixel(x, y) | 0xFF000000) == *key ? 0 : frame.pixel(x, y) | 0xFF000000);
            }
        }
        return frame;
    }

    QTemporaryDir directory;
    FixedPresentationInputs inputs;
    PresentationWindow window{inputs};
    std::optional<QImage> picture;
    std::optional<QRgb> key;
};

TEST_P(PaintPathTest, EveryFadeStepShowsTheFullRedraw) {
    const QImage shownFormat = shown();
    int steps = 0;
    for (const QString& caption : {GetParam().first, GetParam().second}) {
        window.presenter().enqueue(caption);
        window.presenter().ShowSurtitle();
        ASSERT_TRUE(window.presenter().effectRunning());
        while (window.presenter().effectRunning()) {
            window.presenter().AnimateTimerTimer();
            ++steps;
            // Transparent pixels of a window the screen shows opaque read as black there.
            const QImage expected = fullRedraw().convertToFormat(shownFormat.format());
            ASSERT_EQ(shown(), expected) << "step " << steps;
        }
    }
    EXPECT_GE(steps, 40);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PaintPathTest, testing::ValuesIn(Scenarios),
                         [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

} // namespace
