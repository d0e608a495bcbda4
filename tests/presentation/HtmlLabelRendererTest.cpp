#include "presentation/HtmlLabelRenderer.h"

#include "presentation/Canvas.h"
#include "support/ImageProbes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int CharWidth = 10;
constexpr ColourValue Lime = 0x00FF00;

struct DrawnRun {
    QString text;
    CanvasFont font;
    QRect cell;
    Mnemonics mnemonics;
    std::optional<ColourValue> background;
};

// What the prefix rule leaves of a text to draw.
QString visibleText(QStringView text, Mnemonics mnemonics) {
    if (mnemonics == Mnemonics::Literal)
        return text.toString();
    QString visible;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&')
            ++i;
        if (i < text.size())
            visible.append(text[i]);
    }
    return visible;
}

// A surface of fixed-width text: every character CharWidth pixels wide, every font as many pixels
// high as its size in points. It records what is drawn.
class RecordingBackend : public TextBackend {
public:
    QSize measureRun(const CanvasFont& font, QStringView text, Mnemonics mnemonics) const override {
        return {CharWidth * int(visibleText(text, mnemonics).size()), font.pointSize};
    }

    void drawRun(const CanvasFont& font, const QRect& cell, QStringView text, Mnemonics mnemonics,
                 std::optional<ColourValue> background, const std::optional<QRect>&) override {
        runs.push_back({text.toString(), font, cell, mnemonics, background});
    }

    std::vector<DrawnRun> runs;
};

CanvasFont baseFont() {
    CanvasFont font;
    font.pointSize = 10;
    font.colour = Lime;
    return font;
}

std::vector<DrawnRun> print(HtmlLabelRenderer& renderer, const QString& markup, const QRect& r,
                            const HtmlPrintOptions& options = {}) {
    RecordingBackend backend;
    renderer.HTMLPrint(backend, QStringList{markup}, baseFont(), r, options);
    return backend.runs;
}

std::optional<DrawnRun> runWithText(const std::vector<DrawnRun>& runs, const QString& text) {
    for (const DrawnRun& run : runs) {
        if (run.text == text)
            return run;
    }
    return std::nullopt;
}

// A run where the layout should put it: its text, its left edge and the bottom edge of its cell
// (the first pixel row below it).
struct Placed {
    QString text;
    int left;
    int bottom;

    friend bool operator==(const Placed&, const Placed&) = default;
    friend void PrintTo(const Placed& p, std::ostream* out) {
        *out << '"' << p.text.toStdString() << "\" at " << p.left << "," << p.bottom;
    }
};

std::vector<Placed> placements(const std::vector<DrawnRun>& runs) {
    std::vector<Placed> placed;
    for (const DrawnRun& run : runs)
        placed.push_back({run.text, run.cell.left(), run.cell.bottom() + 1});
    return placed;
}

struct LayoutCase {
    const char* name;
    QString markup;
    int width;
    std::vector<Placed> expected;
};

class HtmlLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(HtmlLayoutTest, PlacesRunsOnAlignedLines) {
    HtmlLabelRenderer renderer;
    const auto runs = print(renderer, GetParam().markup, QRect(0, 0, GetParam().width, 100));
    EXPECT_EQ(placements(runs), GetParam().expected);
}

// Base font 10 pixels high, characters 10 pixels wide.
const LayoutCase LayoutCases[] = {
    {"CentredWordsWrapOntoTwoLines",
     u"<P align=\"center\">one two</P>"_s,
     60,
     {{u"one "_s, 15, 10}, {u"two"_s, 15, 20}}},
    {"LineAsWideAsTheRectWraps", u"ab cd"_s, 50, {{u"ab "_s, 0, 10}, {u"cd"_s, 0, 20}}},
    {"WordWiderThanTheRectOverflows", u"abcdefghijkl"_s, 50, {{u"abcdefghijkl"_s, 0, 10}}},
    {"EmptyLineBetweenBreaksIsOneLineHigh", u"a<br><br>b"_s, 100, {{u"a"_s, 0, 10}, {u"b"_s, 0, 30}}},
    {"RightAlignedLinesEndFlushWithoutTheirTrailingSpace",
     u"<P ALIGN=\"right\">ab cd</P>"_s,
     40,
     {{u"ab "_s, 20, 10}, {u"cd"_s, 20, 20}}},
    {"ParagraphEndStartsTheNextLineLeftAligned",
     u"<P align=\"right\">ab</P>cd"_s,
     100,
     {{u"ab"_s, 80, 10}, {u"cd"_s, 0, 20}}},
    {"LastAlignmentFoundWins", u"<P align=\"Center Right\">ab"_s, 100, {{u"ab"_s, 40, 10}}},
    {"UnquotedAlignmentIsNotRead", u"<P align=\"right\"><P align=center>ab"_s, 100, {{u"ab"_s, 80, 10}}},
    {"RunsOfDifferentSizesShareABottom",
     u"a<FONT SIZE=\"20\">b</FONT>c"_s,
     100,
     {{u"a"_s, 0, 20}, {u"b"_s, 10, 20}, {u"c"_s, 20, 20}}},
    {"SubscriptSinksAndGrowsTheLine",
     u"x<SUB>2</SUB>y<BR>z"_s,
     100,
     {{u"x"_s, 0, 10}, {u"2"_s, 10, 12}, {u"y"_s, 20, 10}, {u"z"_s, 0, 22}}},
    {"SuperscriptRisesAndGrowsTheLine",
     u"x<sup>2</sup><BR>z"_s,
     100,
     {{u"x"_s, 0, 12}, {u"2"_s, 10, 10}, {u"z"_s, 0, 22}}},
    {"HiddenRunsTakeNoRoom", u"a <Z>b </Z>c"_s, 100, {{u"a "_s, 0, 10}, {u"c"_s, 20, 10}}},
    {"UnknownTagsAreRemoved",
     u"<HTML>a<EM>b<SPAN x>c</HTML>"_s,
     100,
     {{u"a"_s, 0, 10}, {u"b"_s, 10, 10}, {u"c"_s, 20, 10}}},
    {"TagWithoutItsEndEndsTheText", u"a <b c"_s, 100, {{u"a "_s, 0, 10}}},
    {"CarriageReturnBreaksTheLine", u"a\r\nb"_s, 100, {{u"a"_s, 0, 10}, {u"b"_s, 0, 20}}},
    {"BlanksAroundLinesAreDropped", u" \t a <br>  b "_s, 100, {{u"a "_s, 0, 10}, {u"b"_s, 0, 20}}},
    {"NonBreakingSpaceKeepsWordsTogether", u"ab&nbsp;cd ef"_s, 60, {{u"ab cd "_s, 0, 10}, {u"ef"_s, 0, 20}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, HtmlLayoutTest, testing::ValuesIn(LayoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StyleCase {
    QString markup;
    QString run;
    void (*change)(CanvasFont&); // from the base font to the run's
    std::optional<ColourValue> background = std::nullopt;
};

void PrintTo(const StyleCase& c, std::ostream* out) {
    *out << c.markup.toStdString() << " / " << c.run.toStdString();
}

class HtmlStyleTest : public testing::TestWithParam<StyleCase> {};

TEST_P(HtmlStyleTest, DrawsTheRunInTheStyleItsTagsGive) {
    HtmlLabelRenderer renderer;
    const auto runs = print(renderer, GetParam().markup, QRect(0, 0, 1000, 100));
    const std::optional<DrawnRun> run = runWithText(runs, GetParam().run);
    ASSERT_TRUE(run);
    CanvasFont expected = baseFont();
    GetParam().change(expected);
    EXPECT_EQ(run->font, expected);
    EXPECT_EQ(run->background, GetParam().background);
}

const StyleCase StyleCases[] = {
    // Styles do not nest: one closing tag ends them.
    {u"<B><B>x</B>y"_s, u"x"_s, [](CanvasFont& f) { f.bold = true; }},
    {u"<B><B>x</B>y"_s, u"y"_s, [](CanvasFont&) {}},
    {u"<STRONG>x</STRONG>y"_s, u"x"_s, [](CanvasFont& f) { f.bold = true; }},
    {u"<STRONG>x</STRONG>y"_s, u"y"_s, [](CanvasFont&) {}},
    {u"<I><U><S>x</S></U>y"_s, u"x"_s, [](CanvasFont& f) { f.italic = f.underline = f.strikeOut = true; }},
    {u"<I><U><S>x</S></U>y"_s, u"y"_s, [](CanvasFont& f) { f.italic = true; }},
    {u"<STRIKE>x</STRIKE>y"_s, u"x"_s, [](CanvasFont& f) { f.strikeOut = true; }},
    {u"<STRIKE>x</STRIKE>y"_s, u"y"_s, [](CanvasFont&) {}},
    {u"<I>x</IMG>y"_s, u"y"_s, [](CanvasFont&) {}},
    {u"<UL><IMG SRC=\"a\">x"_s, u"x"_s, [](CanvasFont&) {}},
    // Colours, and what </FONT> gives back: the colour before the last COLOR, not a stack.
    {u"<FONT COLOR=\"#FF0000\">red</FONT> back"_s, u"red"_s, [](CanvasFont& f) { f.colour = 0x0000FF; }},
    {u"<FONT COLOR=\"#FF0000\">red</FONT> back"_s, u"back"_s, [](CanvasFont&) {}},
    {u"<FONT COLOR=\"clRed\">a<FONT COLOR=\"#00FF80\">b</FONT>c"_s, u"b"_s, [](CanvasFont& f) { f.colour = 0x80FF00; }},
    {u"<FONT COLOR=\"clRed\">a<FONT COLOR=\"#00FF80\">b</FONT>c"_s, u"c"_s, [](CanvasFont& f) { f.colour = 0x0000FF; }},
    {u"<font color=\"CLNAVY\">x"_s, u"x"_s, [](CanvasFont& f) { f.colour = 0x800000; }},
    {u"<FONT COLOR=\"clBtnFace\">x"_s, u"x"_s, [](CanvasFont& f) { f.colour = 0xFF00000F; }},
    {u"<FONT COLOR=\"clMoneyGreen\">x"_s, u"x"_s, [](CanvasFont& f) { f.colour = 0; }},
    {u"<FONT COLOR=\"#12345\">x"_s, u"x"_s, [](CanvasFont& f) { f.colour = 0; }},
    {u"<FONT BGCOLOR=\"#0000FF\">x</FONT>y"_s, u"x"_s, [](CanvasFont&) {}, 0xFF0000},
    {u"<FONT BGCOLOR=\"#0000FF\">x</FONT>y"_s, u"y"_s, [](CanvasFont&) {}},
    // Sizes: points in a style, steps or pixel heights in SIZE; </FONT> returns to the base face and size.
    {u"<FONT STYLE=\"font-size: 20pt\">x"_s, u"x"_s, [](CanvasFont& f) { f.pointSize = 20; }},
    {u"<FONT STYLE=\"font-size:20px\">x"_s, u"x"_s, [](CanvasFont&) {}},
    {u"<FONT STYLE=\"color:red\" SIZE=\"3\">x"_s, u"x"_s, [](CanvasFont&) {}},
    {u"<FONT SIZE=\"3\">x"_s, u"x"_s, [](CanvasFont& f) { f.pointSize = 14; }},
    {u"<FONT SIZE=5>x"_s, u"x"_s, [](CanvasFont& f) { f.pointSize = 18; }},
    {u"<FONT SIZE=\"12\">x"_s, u"x"_s, [](CanvasFont& f) { f.pointSize = 12; }},
    {u"<FONT FACE=\"Courier New\" SIZE=\"12\">x</FONT>y"_s, u"x"_s,
     [](CanvasFont& f) {
         f.name = u"Courier New"_s;
         f.pointSize = 12;
     }},
    {u"<FONT FACE=\"Courier New\" SIZE=\"12\">x</FONT>y"_s, u"y"_s, [](CanvasFont&) {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, HtmlStyleTest, testing::ValuesIn(StyleCases));

TEST(HtmlLabelRendererTest, AmpersandsFollowTheRuleTheWholeTextChose) {
    HtmlLabelRenderer renderer;
    const auto literal = print(renderer, u"Tom & Jerry"_s, QRect(0, 0, 1000, 100));
    ASSERT_EQ(literal.size(), 3u);
    EXPECT_EQ(literal[1].text, u"& "_s);
    EXPECT_EQ(literal[1].mnemonics, Mnemonics::Literal);
    EXPECT_EQ(literal[2].cell.left(), 60);

    const auto prefixed = print(renderer, u"Tom &amp; &Jerry"_s, QRect(0, 0, 1000, 100));
    ASSERT_EQ(prefixed.size(), 3u);
    EXPECT_EQ(prefixed[1].text, u"&& "_s);
    EXPECT_EQ(prefixed[2].text, u"&Jerry"_s);
    EXPECT_EQ(prefixed[2].mnemonics, Mnemonics::Underline);
    EXPECT_EQ(prefixed[2].cell.left(), 60); // "&&" takes the room of one character
}

TEST(HtmlLabelRendererTest, JoinsTheLinesOfTheMarkup) {
    HtmlLabelRenderer renderer;
    RecordingBackend backend;
    renderer.HTMLPrint(backend, {u"<P align=\"right\">&Eacute;t&eacute;</P>"_s, u"<B>deux</B>"_s}, baseFont(),
                       QRect(0, 0, 100, 100));
    EXPECT_EQ(placements(backend.runs), (std::vector<Placed>{{u"Été"_s, 70, 10}, {u"deux"_s, 0, 20}}));
}

struct VerticalCase {
    TextVAlignment alignment;
    std::vector<int> bottoms; // of the lines drawn
};

class HtmlVerticalAlignmentTest : public testing::TestWithParam<VerticalCase> {};

// Three lines, 30 pixels, in a rectangle 20 high: drawing stops before a line that would not fit,
// except that the first is always drawn, and a bottom-aligned block starts above the rectangle.
TEST_P(HtmlVerticalAlignmentTest, PlacesTheBlockAndStopsBelowTheRectangle) {
    HtmlLabelRenderer renderer;
    std::vector<int> bottoms;
    for (const DrawnRun& run :
         print(renderer, u"a<br>b<br>c"_s, QRect(0, 100, 100, 20), {.VAlignment = GetParam().alignment}))
        bottoms.push_back(run.cell.bottom() + 1);
    EXPECT_EQ(bottoms, GetParam().bottoms);
}

INSTANTIATE_TEST_SUITE_P(Cases, HtmlVerticalAlignmentTest,
                         testing::Values(VerticalCase{tvaTop, {110, 120}}, VerticalCase{tvaCenter, {105, 115}},
                                         VerticalCase{tvaBottom, {100, 110, 120}}));

TEST(HtmlLabelRendererTest, DrawsTheFirstLineEvenWhenTallerThanTheRectangle) {
    HtmlLabelRenderer renderer;
    const auto runs = print(renderer, u"<FONT SIZE=\"40\">a</FONT><BR>b"_s, QRect(0, 0, 100, 20));
    EXPECT_EQ(placements(runs), (std::vector<Placed>{{u"a"_s, 0, 40}}));
}

struct HeightCase {
    QString markup;
    int lineSpacing;
    int height;
};

void PrintTo(const HeightCase& c, std::ostream* out) {
    PrintTo(c.markup, out);
}

class HtmlMeasureHeightTest : public testing::TestWithParam<HeightCase> {};

TEST_P(HtmlMeasureHeightTest, AddsUpTheLines) {
    HtmlLabelRenderer renderer;
    HtmlPrintOptions options;
    options.LineSpacing = GetParam().lineSpacing;
    EXPECT_EQ(renderer.measureHeight(RecordingBackend(), {GetParam().markup}, baseFont(), QRect(0, 0, 100, 5), options),
              GetParam().height);
}

const HeightCase HeightCases[] = {
    {u""_s, 0, 10},           // no lines: one line of the base font
    {u"a</P></B>"_s, 0, 10},  // closing tags after the last line add nothing
    {u"a<br><br>b"_s, 0, 30}, // all of it, though drawing would stop below the rectangle
    {u"a<br><br>b"_s, 4, 42}, // spacing added to every line, the empty one too
    {u"<FONT SIZE=\"20\">a</FONT><BR>b"_s, 0, 30},
    {u"x<SUB>2</SUB><SUP>2</SUP>"_s, 0, 14},
};

INSTANTIATE_TEST_SUITE_P(Cases, HtmlMeasureHeightTest, testing::ValuesIn(HeightCases));

TEST(HtmlLabelRendererTest, EllipsisCutsTheLineInsteadOfWrapping) {
    HtmlLabelRenderer renderer;
    HtmlPrintOptions options;
    options.Ellipsis = true;
    const auto runs = print(renderer, u"one two <B>three</B><BR>four"_s, QRect(0, 0, 60, 100), options);
    EXPECT_EQ(placements(runs), (std::vector<Placed>{{u"one t…"_s, 0, 10}, {u"four"_s, 0, 20}}));
}

TEST(HtmlLabelRendererTest, TenThousandLinesLayOutAndOnlyTheLinesNearTheRectangleAreDrawn) {
    HtmlLabelRenderer renderer;
    QStringList markup;
    for (int i = 0; i < 10000; ++i)
        markup.append(u"<P>line <B>%1</B> &eacute;</P>"_s.arg(i)); // four runs
    RecordingBackend backend;
    EXPECT_EQ(renderer.measureHeight(backend, markup, baseFont(), QRect(0, 0, 1000, 100)), 100000);

    renderer.HTMLPrint(backend, markup, baseFont(), QRect(0, 0, 1000, 100));
    EXPECT_EQ(backend.runs.size(), 10u * 4u);

    backend.runs.clear();
    renderer.HTMLPrint(backend, markup, baseFont(), QRect(0, 0, 1000, 100), {.VAlignment = tvaBottom});
    // The block starts far above: its first line is drawn, then only the lines close enough to show.
    ASSERT_GE(backend.runs.size(), (1u + 10u) * 4u);
    EXPECT_EQ(backend.runs.front().cell.bottom() + 1, 100 - 100000 + 10);
    EXPECT_EQ(backend.runs.back().cell.bottom() + 1, 100);
    for (std::size_t i = 4; i < backend.runs.size(); ++i)
        EXPECT_GE(backend.runs[i].cell.top(), -2 * 10) << i;
}

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Yellow = 0xFFFFFF00;

Canvas blackCanvas(QSize size) {
    return Canvas(size, Colour::Black);
}

CanvasFont yellowFont() {
    CanvasFont font;
    font.pointSize = 20;
    font.colour = Colour::Yellow;
    font.quality = FontQuality::NonAntialiased;
    return font;
}

TEST(HtmlLabelRendererPixelTest, FontColourPaintsItsRunAndTheBaseColourReturns) {
    Canvas canvas = blackCanvas(QSize(300, 60));
    HtmlLabelRenderer renderer;
    renderer.HTMLPrint(canvas, {u"<FONT COLOR=\"#FF0000\">red</FONT> back"_s}, yellowFont(), QRect(10, 10, 280, 40));

    const QRect red = colourBounds(canvas.image(), Red);
    const QRect yellow = colourBounds(canvas.image(), Yellow);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(yellow.isEmpty());
    EXPECT_GE(red.left(), 10);
    EXPECT_LT(red.right(), yellow.left());
}

TEST(HtmlLabelRendererPixelTest, CentredParagraphInkIsCentredAndBottomBlockEndsAtTheBottom) {
    Canvas canvas = blackCanvas(QSize(300, 100));
    HtmlLabelRenderer renderer;
    renderer.HTMLPrint(canvas, {u"<P ALIGN=\"center\">Centre</P>"_s}, yellowFont(), QRect(0, 0, 300, 90),
                       {.VAlignment = tvaBottom});

    const QRect ink = colourBounds(canvas.image(), Yellow);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 150, 3);
    EXPECT_LE(ink.bottom(), 89);
    EXPECT_GE(ink.top(), 90 - Canvas::textHeight(yellowFont()));
}

TEST(HtmlLabelRendererPixelTest, AbsurdFontSizesCostNoMoreThanHugeOnes) {
    Canvas canvas = blackCanvas(QSize(200, 100));
    HtmlLabelRenderer renderer;
    const QStringList markup = {u"<FONT STYLE=\"font-size:1000000pt\">x</FONT> y <FONT SIZE=\"999999\">z</FONT>"_s};
    const int height = renderer.measureHeight(canvas, markup, yellowFont(), QRect(0, 0, 200, 100));
    EXPECT_GT(height, 1000);
    EXPECT_LT(height, 3 * 6000);
    renderer.HTMLPrint(canvas, markup, yellowFont(), QRect(0, 0, 200, 100));
}

} // namespace
