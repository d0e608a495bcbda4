#include "presentation/CaptionComposer.h"

#include "presentation/HtmlLabelRenderer.h"
#include "support/ImageProbes.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Yellow = 0xFFFFFF00;

// A display of 400 x 200 (visible 200 x 100), cleared to blue, with yellow caption text.
class CaptionComposerTest : public testing::Test {
protected:
    CaptionComposerTest() {
        display.fillAll(style.background);
        style.font.colour = Colour::Yellow;
        settings.baseFontHeight = 12;
    }

    TCaptions caption(const QString& text) const {
        TCaptions c;
        c.FontName = u"Arial"_s;
        c.Size = u"Medium"_s;
        c.Effect.InEffect = u"Fade"_s;
        c.Justification = u"Centre"_s;
        c.Caption[0].Text = text;
        return c;
    }

    CaptionComposer::Result compose(const TCaptions& c, int alpha = 0, int brightness = 255) {
        return composer.ShowSurtitlesOnCanvas(c, Visible, style, alpha, brightness, settings);
    }

    static constexpr QRect Visible{0, 0, 200, 100};
    Canvas display{QSize(400, 200)};
    Canvas composition;
    HtmlLabelRenderer renderer;
    CaptionComposer composer{display, composition, renderer};
    TextStyle style{CanvasFont(), 0xFF0000};
    CompositionSettings settings;
};

struct PlacementCase {
    const char* justification;
    const char* vertical;
    Qt::Alignment expected;
};

class PlainPlacementTest : public CaptionComposerTest, public testing::WithParamInterface<PlacementCase> {};

TEST_P(PlainPlacementTest, JustifiesPlainText) {
    TCaptions c = caption(u"  Hi  "_s);
    c.Justification = QString::fromLatin1(GetParam().justification);
    c.VertJust = QString::fromLatin1(GetParam().vertical);
    const CaptionComposer::Result result = compose(c);
    EXPECT_EQ(result.scrollDistance, 100);

    const QRect ink = inkBounds(display.image(), Blue, Visible);
    ASSERT_FALSE(ink.isEmpty());
    const Qt::Alignment expected = GetParam().expected;
    if (expected & Qt::AlignLeft) {
        EXPECT_LT(ink.left(), 40);
    } else if (expected & Qt::AlignRight) {
        EXPECT_GT(ink.right(), 160);
    } else {
        EXPECT_NEAR(ink.center().x(), 100, 4);
    }
    if (expected & Qt::AlignTop) {
        EXPECT_LT(ink.top(), 20);
    } else if (expected & Qt::AlignBottom) {
        EXPECT_GT(ink.bottom(), 80);
    } else {
        EXPECT_NEAR(ink.center().y(), 50, 6);
    }
}

INSTANTIATE_TEST_SUITE_P(Words, PlainPlacementTest,
                         testing::ValuesIn(std::vector<PlacementCase>{
                             {"Centre", "Bottom", Qt::AlignHCenter | Qt::AlignBottom},
                             {"Center", "Top", Qt::AlignHCenter | Qt::AlignTop},
                             {"Left", "Middle", Qt::AlignLeft | Qt::AlignVCenter},
                             {"Right", "", Qt::AlignRight | Qt::AlignBottom},
                             {"centre", "Sideways", Qt::AlignHCenter | Qt::AlignBottom},
                         }));

TEST_F(CaptionComposerTest, PlainTextIsDrawnInTheFontColourOnlyAntialiasedWhenAsked) {
    compose(caption(u"Hi"_s));
    const QRect ink = inkBounds(display.image(), Blue, Visible);
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x)
            ASSERT_TRUE(display.image().pixel(x, y) == Yellow || display.image().pixel(x, y) == Blue);
    }
}

TEST_F(CaptionComposerTest, BrightnessScalesTheWholeRectangle) {
    compose(caption(u"Hi"_s), 0, 127);
    EXPECT_EQ(display.image().pixel(1, 1), qRgb(0, 0, 127));
    EXPECT_EQ(display.image().pixel(250, 150), Blue); // outside the rectangle
    const QRect ink = inkBounds(display.image(), qRgb(0, 0, 127), Visible);
    EXPECT_TRUE(display.image().pixelColor(ink.center()).red() <= 127);
}

QString pictureCaption(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return u"#IMAGE:#"_s + QString::fromLatin1(bytes.toBase64());
}

TEST_F(CaptionComposerTest, PicturesAreCroppedAtTheRectangleAndFaded) {
    QImage picture(300, 50, QImage::Format_RGB32);
    picture.fill(qRgb(200, 100, 50));
    const CaptionComposer::Result result = compose(caption(pictureCaption(picture)), 51);
    EXPECT_EQ(result.scrollDistance, 100);
    EXPECT_EQ(display.image().pixel(199, 49), qRgb(160, 80, 40)); // x (255 - 51) div 255
    EXPECT_EQ(display.image().pixel(199, 50), Black);             // below the picture
    EXPECT_EQ(display.image().pixel(200, 10), Blue);              // cropped at the rectangle
}

TEST_F(CaptionComposerTest, ALoneLineFeedBreaksAFormattedLineAsCrLfDoes) {
    compose(caption(u"<i>line\r\nsecond</i>"_s));
    const QImage crLf = display.image();
    for (const QString& text : {u"<i>line\nsecond</i>"_s, u"<i>line&#10;second</i>"_s}) {
        display.fillAll(style.background);
        compose(caption(text));
        EXPECT_EQ(display.image(), crLf) << text.toStdString();
    }
}

// Markup font sizes are written for a 12-point caption: a caption whose size is a number scales
// them by its size over 12 points; a size word leaves them as written.
TEST_F(CaptionComposerTest, MarkupSizesFollowACaptionSizeGivenAsANumber) {
    struct Case {
        const char16_t* size;
        int markup;
        int drawnAs; // the markup size of a "Medium" caption (12 points) that draws the same
    };
    const auto composed = [this](const QString& size, int markup) {
        TCaptions c = caption(u"<html><FONT STYLE=\"font-size:%1pt\">Big</FONT></html>"_s.arg(markup));
        c.Size = size;
        display.fillAll(style.background);
        compose(c);
        return display.image();
    };
    for (const Case c : {Case{u"12", 24, 24}, Case{u"24", 12, 24}, Case{u"150%", 12, 18}, Case{u"Large", 20, 20}}) {
        EXPECT_EQ(composed(QString::fromUtf16(c.size), c.markup), composed(u"Medium"_s, c.drawnAs))
            << QString::fromUtf16(c.size).toStdString();
    }
}

TEST_F(CaptionComposerTest, AnUnreadablePictureDrawsNothing) {
    const QImage before = display.image();
    compose(caption(u"#IMAGE:#"_s + QString::fromLatin1(QByteArray("BM\x10\0\0\0", 6).toBase64())), 0, 0);
    EXPECT_EQ(display.image(), before);
}

TEST_F(CaptionComposerTest, FormattedTextRunsTakeTheirColours) {
    TCaptions c = caption(u"<i>plain</i> <FONT COLOR=\"#FF0000\">red</FONT>"_s);
    c.VertJust = u"Top"_s;
    settings.baseFontHeight = 30;
    compose(c);
    const QImage& image = display.image();
    int red = 0;
    int yellow = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60;
            yellow += pixel.red() > 200 && pixel.green() > 200 && pixel.blue() < 60;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(yellow, 20);
    EXPECT_LT(inkBounds(image, Blue, Visible).bottom(), 50); // at the top
}

TEST_F(CaptionComposerTest, FormattedTextWithAnUnknownVerticalWordSitsAtTheBottom) {
    TCaptions c = caption(u"<html>word</html>"_s);
    c.VertJust = u"Sideways"_s;
    compose(c);
    const QRect ink = inkBounds(display.image(), Blue, Visible);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.bottom(), 80);
}

TEST_F(CaptionComposerTest, RollUpPlainTextScrollsByItsLines) {
    TCaptions c = caption(u"one\r\ntwo"_s);
    c.Effect.InEffect = u"Caption"_s;
    c.VertJust = u"Top"_s;
    CanvasFont font;
    font.pointSize = 12;
    const int lineHeight = Canvas::textHeight(font);
    const int fitting = 100 / lineHeight;
    const int gap = (100 - fitting * lineHeight) / (fitting - 1);
    EXPECT_EQ(compose(c).scrollDistance, 2 * (lineHeight + gap));
}

TEST_F(CaptionComposerTest, LargeCaptionsAreDrawn) {
    settings.baseFontHeight = 30; // "Large" is 90 points, 120 pixels: glyphs far past Qt's glyph cache
    for (const char16_t* text : {u"Big", u"<html><b>Big</b></html>"}) {
        display.fillAll(style.background);
        TCaptions c = caption(QString::fromUtf16(text));
        c.Size = u"Large"_s;
        compose(c);
        const QRect ink = inkBounds(display.image(), Blue, Visible);
        EXPECT_GT(ink.height(), 60) << QString::fromUtf16(text).toStdString();
    }
}

TEST_F(CaptionComposerTest, HugeSizesAndLongTextsStillDraw) {
    // Each must come back (the suite's time limit bounds them) with the composition done.
    const auto composeFresh = [this](const TCaptions& c) {
        display.fillAll(style.background);
        compose(c);
        return inkBounds(display.image(), Blue, Visible);
    };
    TCaptions c = caption(u"big"_s);
    c.Size = u"1000000"_s; // drawn at the largest pixel size, far larger than the display
    EXPECT_EQ(compose(c).scrollDistance, 100);
    c.Caption[0].Text = u"<html><FONT STYLE=\"font-size:1000000pt\">big</FONT></html>"_s;
    EXPECT_EQ(compose(c).scrollDistance, 100);

    c.Size = u"Medium"_s;
    QString lines;
    for (int i = 0; i < 10000; ++i)
        lines += u"line\r\n"_s;
    c.Caption[0].Text = lines;
    c.VertJust = u"Top"_s;
    EXPECT_LT(composeFresh(c).top(), 20); // the first lines, at the top
    c.Effect.InEffect = u"Caption"_s;
    composeFresh(c);
    EXPECT_EQ(composer.ShowSurtitlesOnCanvas(c, Visible, style, 0, 255, settings).scrollDistance, 100);
}

} // namespace
