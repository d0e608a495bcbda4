#include "presentation/Canvas.h"

#include "presentation/DisplayColour.h"
#include "support/ImageProbes.h"
#include "support/QtPrinters.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Blue = 0xFF0000FF;

TEST(CanvasFontTest, ArialResolvesToAMetricCompatibleFace) {
    const QFontInfo info(CanvasFont{}.toQFont());
    EXPECT_EQ(info.family(), u"Liberation Sans"_s);
}

TEST(CanvasFontTest, PointsBecomePixelsAtNinetySixPerInch) {
    CanvasFont font;
    font.pointSize = 30;
    EXPECT_EQ(font.pixelSize(), 40);
    font.pointSize = 1000000;
    EXPECT_LE(font.pixelSize(), 4000);
    font.pointSize = -5;
    EXPECT_EQ(font.pixelSize(), 1);
}

TEST(CanvasTest, FillsAndResizesWithTheBrushColour) {
    Canvas canvas(QSize(10, 10));
    canvas.fill(QRect(2, 2, 3, 3), 0x0000FF); // red
    EXPECT_EQ(canvas.image().pixel(2, 2), 0xFFFF0000);
    EXPECT_EQ(canvas.image().pixel(5, 5), 0xFFFFFFFF);

    canvas.resize(QSize(20, 12), 0xFF0000); // blue
    EXPECT_EQ(canvas.image().pixel(3, 3), 0xFFFF0000);
    EXPECT_EQ(canvas.image().pixel(15, 11), Blue);
    canvas.fill(QRect(-5, -5, 100, 100), 0xFF0000); // clipped to the bitmap
    EXPECT_EQ(canvas.image().pixel(0, 0), Blue);
}

TEST(CanvasTest, CopiesOverlappingRectanglesOfItsOwnImage) {
    Canvas canvas(QSize(4, 1));
    for (int x = 0; x < 4; ++x)
        canvas.image().setPixel(x, 0, qRgb(x, x, x));
    canvas.copy(QRect(1, 0, 3, 1), canvas.image(), QRect(0, 0, 3, 1));
    EXPECT_EQ(canvas.image().pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.image().pixel(3, 0), qRgb(2, 2, 2));
}

// A display image of 8x4 holding its upper-left 4x2 quarter and two pixels of its bottom row, as
// the display does between effects.
class CanvasHoldingTest : public testing::Test {
protected:
    static constexpr QRgb Red = 0xFFFF0000;
    static constexpr QPoint BottomLeft{0, 3};
    static constexpr QPoint BottomMiddle{4, 3};

    void SetUp() override { canvas.resize(QSize(8, 4), Colour::Black, {QSize(4, 2), {BottomLeft, BottomMiddle}}); }

    Canvas canvas;
};

TEST_F(CanvasHoldingTest, HoldsOnlyItsPartButKeepsItsSize) {
    EXPECT_EQ(canvas.size(), QSize(8, 4));
    EXPECT_EQ(canvas.image().size(), QSize(4, 2));
    EXPECT_EQ(canvas.heldPixel(BottomLeft), Black);
    EXPECT_EQ(canvas.heldPixel(QPoint(5, 0)), std::nullopt);
    EXPECT_EQ(canvas.heldPixel(QPoint(8, 3)), std::nullopt); // beyond the bitmap
}

TEST_F(CanvasHoldingTest, FillsAndCopiesReachThePixelsHeldApart) {
    canvas.fill(QRect(0, 2, 1, 2), 0xFF0000); // blue, over the bottom-left pixel only
    EXPECT_EQ(canvas.heldPixel(BottomLeft), Blue);
    EXPECT_EQ(canvas.heldPixel(BottomMiddle), Black);
    // The left half onto the right: the bottom-middle pixel takes the bottom-left's colour, read
    // before the same copy writes anything.
    canvas.copy(QRect(4, 0, 4, 4), canvas.image(), QRect(0, 0, 4, 4));
    canvas.copy(QRect(0, 0, 4, 4), canvas.image(), QRect(4, 0, 4, 4));
    EXPECT_EQ(canvas.heldPixel(BottomMiddle), Blue);
    EXPECT_EQ(canvas.heldPixel(BottomLeft), Blue);
    // From a picture of its own: what lies outside it is black.
    QImage picture(2, 2, Canvas::PixelFormat);
    picture.fill(Red);
    canvas.copy(QRect(0, 2, 2, 2), picture, QRect(0, 1, 2, 2));
    EXPECT_EQ(canvas.heldPixel(BottomLeft), Black);
    canvas.copy(QRect(0, 2, 2, 2), picture, picture.rect());
    EXPECT_EQ(canvas.heldPixel(BottomLeft), Red);
}

TEST_F(CanvasHoldingTest, ACopyWithinReadsBlackWhereNothingIsHeld) {
    canvas.fillAll(0xFF0000);
    canvas.hold({QSize(4, 4), {BottomMiddle}}, 0x0000FF); // the lower-left quarter comes back red
    EXPECT_EQ(canvas.image().pixel(0, 3), Blue);          // held apart until now: its own colour
    EXPECT_EQ(canvas.image().pixel(1, 3), Red);
    // Half of what is read lies below the bitmap, and the lower-right quarter is not held.
    canvas.copy(QRect(0, 0, 8, 4), canvas.image(), QRect(0, 2, 8, 4));
    EXPECT_EQ(canvas.image().pixel(0, 0), Red);
    EXPECT_EQ(canvas.image().pixel(0, 1), Blue);
    EXPECT_EQ(canvas.image().pixel(1, 2), Black);
    EXPECT_EQ(canvas.heldPixel(BottomMiddle), Black);
}

TEST_F(CanvasHoldingTest, GivesBackWhatItNoLongerHoldsAndKeepsThePixelsHeldApart) {
    canvas.hold({QSize(4, 4), {BottomLeft, BottomMiddle}}, 0xFF0000);
    canvas.fill(QRect(0, 2, 4, 2), 0x0000FF);
    canvas.hold({QSize(4, 2), {BottomLeft, BottomMiddle}}, 0xFF0000);
    EXPECT_EQ(canvas.image().size(), QSize(4, 2));
    EXPECT_EQ(canvas.heldPixel(BottomLeft), Red);
    EXPECT_EQ(canvas.heldPixel(BottomMiddle), Black);
    // A new size places the pixels held apart anew: the new bottom row is of the colour given.
    canvas.resize(QSize(12, 6), 0x00FF00, {QSize(6, 3), {QPoint(0, 5)}});
    EXPECT_EQ(canvas.image().size(), QSize(6, 3));
    EXPECT_EQ(canvas.heldPixel(QPoint(0, 5)), 0xFF00FF00);
    EXPECT_EQ(canvas.image().pixel(5, 2), 0xFF00FF00);
}

TEST(CanvasTest, DrawsTextInTheFontColourWhereItMeasures) {
    Canvas canvas(QSize(400, 200), Colour::Black);
    TextStyle style;
    style.font.pointSize = 30;
    style.font.colour = Colour::Yellow;
    style.font.quality = FontQuality::NonAntialiased;
    const QString text = u"Hello\r\nthere"_s;
    const int height = int(canvas.measureText(style.font, 400, text, WordWrap::Off));
    EXPECT_EQ(height, 2 * Canvas::textHeight(style.font));

    canvas.drawText(style, 0, 400, 10, text, HorizontalJustification::Centre, WordWrap::Off);
    const QRect ink = inkBounds(canvas.image(), Black);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.bottom(), 10 + height);
    EXPECT_NEAR(ink.center().x(), 200, 4);
    // Non-antialiased text has only the two colours.
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QRgb pixel = canvas.image().pixel(x, y);
            ASSERT_TRUE(pixel == Black || pixel == Yellow) << x << "," << y;
        }
    }
}

TEST(CanvasTest, WordWrapBreaksAtSpaces) {
    Canvas canvas(QSize(100, 100));
    CanvasFont font;
    font.pointSize = 20;
    const int line = Canvas::textHeight(font);
    EXPECT_EQ(canvas.measureText(font, 100, u"one two three four"_s, WordWrap::Off), line);
    EXPECT_GE(canvas.measureText(font, 100, u"one two three four"_s, WordWrap::On), 2 * line);
}

TEST(CanvasTest, RunsMeasureAndDrawAlike) {
    Canvas canvas(QSize(300, 100), Colour::Black);
    CanvasFont font;
    font.pointSize = 24;
    font.colour = Colour::Yellow;
    const QSize size = canvas.measureRun(font, u"Run"_s, Mnemonics::Literal);
    canvas.drawRun(font, QRect(10, 0, 200, 80), u"Run"_s, Mnemonics::Literal, 0xFF0000, std::nullopt);
    // The cell sits on the bottom of the box, filled with the background.
    EXPECT_EQ(canvas.image().pixel(10, 80 - size.height()), Blue);
    EXPECT_EQ(canvas.image().pixel(10, 79 - size.height()), Black);
    EXPECT_EQ(canvas.image().pixel(10 + size.width(), 79), Black);

    EXPECT_LT(canvas.measureRun(font, u"a&&b"_s, Mnemonics::Underline).width(),
              canvas.measureRun(font, u"a&&b"_s, Mnemonics::Literal).width());
}

} // namespace

namespace {

// Text drawn from a stamp must look as if Qt had drawn it there itself, also where it reaches past
// the image's edges.
// Stamps keep the whole ink of every glyph, however far it reaches past its line: here a pile of
// combining marks above a letter, and one below.
struct StampCase {
    const char* name;
    QString text;
    QString fontName; // one that stacks marks
    int pointSize;
    QPoint shift; // of the text's rectangle, for the second colour
};

class StampedTextTest : public testing::TestWithParam<StampCase> {};

TEST_P(StampedTextTest, MatchesTextDrawnDirectly) {
    const QString& text = GetParam().text;
    const QPoint shift = GetParam().shift;
    for (const FontQuality quality : {FontQuality::NonAntialiased, FontQuality::Default}) {
        for (const auto& [colour, area] : {std::pair{Colour::Yellow, QRect(0, 0, 600, 200)},
                                           std::pair{ColourValue(0x336699), QRect(shift, QSize(600, 200))}}) {
            Canvas canvas(QSize(600, 200), Colour::Black);
            TextStyle style;
            style.font.name = GetParam().fontName;
            style.font.pointSize = GetParam().pointSize;
            style.font.colour = colour;
            style.font.quality = quality;
            canvas.drawText(style, area.left(), area.width(), area.top(), text, HorizontalJustification::Left,
                            WordWrap::Off);
            canvas.drawText(style, area.left(), area.width(), area.top(), text, HorizontalJustification::Left,
                            WordWrap::Off); // reused

            QImage direct(600, 200, Canvas::PixelFormat);
            direct.fill(Qt::black);
            QPainter painter(&direct);
            painter.setFont(style.font.toQFont());
            painter.setPen(DisplayColour(colour));
            painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
            painter.end();

            int differing = 0;
            int largest = 0;
            for (int y = 0; y < 200; ++y) {
                for (int x = 0; x < 600; ++x) {
                    const QColor a = canvas.image().pixelColor(x, y);
                    const QColor b = direct.pixelColor(x, y);
                    const int difference = std::max(
                        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
                    differing += difference > 0;
                    largest = std::max(largest, difference);
                }
            }
            // Qt blends the small glyphs it caches with a gamma of its own: there only where the ink lies
            // is compared.
            if (quality == FontQuality::NonAntialiased) {
                EXPECT_EQ(differing, 0);
            } else if (GetParam().pointSize >= 70) {
                EXPECT_LE(largest, 3); // rounding of the blend only
            }
            EXPECT_EQ(inkBounds(canvas.image(), Black), inkBounds(direct, Black));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StampedTextTest,
                         testing::ValuesIn(std::vector<StampCase>{
                             {"Letters", u"Stamp Wg"_s, u"Arial"_s, 70, {-37, -25}}, // past Qt's own glyph cache
                             {"MarksAbove", u"x"_s + QString(12, QChar(0x0301)), u"DejaVu Sans"_s, 20, {40, 120}},
                             {"MarksBelow", u"x"_s + QString(12, QChar(0x0323)), u"DejaVu Sans"_s, 20, {40, 0}},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

// A right-to-left line far wider than the image, drawn in pieces: the part in view is the part a
// straightforward drawing of the whole line shows there (its end, for a line starting at the left).
TEST(CanvasTest, ALongRightToLeftLineShowsThePartInView) {
    QString text;
    for (int word = 0; text.size() < 400; ++word)
        text += u"\u05E9\u05DC\u05D5\u05DD %1 \u05E2\u05D5\u05DC\u05DD "_s.arg(word);
    Canvas canvas(QSize(600, 100), Colour::Black);
    TextStyle style;
    style.font.pointSize = 20;
    style.font.colour = Colour::Yellow;
    style.font.quality = FontQuality::NonAntialiased;
    canvas.drawText(style, 0, 600, 30, text, HorizontalJustification::Left, WordWrap::Off);

    QImage direct(600, 100, Canvas::PixelFormat);
    direct.fill(Qt::black);
    QPainter painter(&direct);
    painter.setFont(style.font.toQFont());
    painter.setPen(DisplayColour(Colour::Yellow));
    painter.drawText(QRect(0, 30, 100000, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     text);
    painter.end();
    ASSERT_GT(QFontMetrics(style.font.toQFont()).horizontalAdvance(text), 2000);
    EXPECT_EQ(canvas.image(), direct);
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Text in the largest size a caption draws, on a small image: only what lands on the image is
// rendered, so the run costs memory in proportion to the image, not to the run (over a gigabyte here).
TEST(CanvasTest, TextFarLargerThanTheImageCostsOnlyTheImage) {
    Canvas canvas(QSize(200, 100));
    TextStyle style;
    style.font.pointSize = 3000; // 4000 pixels
    style.background = Canvas::White;
    const long before = peakResidentKilobytes();
    canvas.drawText(style, -50, 200, -20, u"WWWWWWWW"_s, HorizontalJustification::Left, WordWrap::Off);
    EXPECT_LT(peakResidentKilobytes() - before, 64 * 1024);
}

} // namespace
