#include "presentation/FadeCoverage.h"

#include "presentation/Canvas.h"
#include "presentation/DisplayColour.h"
#include "presentation/PixelPasses.h"
#include "support/QtPrinters.h"

#include <functional>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QSize Size(240, 120);
// Colour values, blue first.
constexpr ColourValue Navy = 0x800000;
constexpr ColourValue Red = 0x0000FF;
constexpr ColourValue White = 0xFFFFFF;
const QRect Recorded(0, 0, 200, 100);

struct Case {
    const char* name;
    QString text;
    int pointSize;
    FontQuality quality;
    bool kept; // whether the text can be kept as coverage
};

// Draws the text as a caption is drawn: its area cleared to the background, each line over it.
QRect drawCaption(Canvas& canvas, const Case& c, ColourValue font, ColourValue background) {
    canvas.resetTouched();
    canvas.fill(Recorded, background);
    TextStyle style;
    style.font.name = u"DejaVu Sans"_s;
    style.font.pointSize = c.pointSize;
    style.font.quality = c.quality;
    style.font.colour = font;
    style.background = background;
    const int lineHeight = Canvas::textHeight(style.font);
    int top = 10;
    for (const QString& line : c.text.split(u'\n')) {
        canvas.drawText(style, 0, Recorded.width(), top, line, HorizontalJustification::Centre, WordWrap::Off);
        top += lineHeight;
    }
    return canvas.touched();
}

class FadeCoverageTest : public testing::TestWithParam<Case> {};

// Kept once in one pair of colours, the caption is applied in others (and dimmed): every pixel is
// what drawing it again in those colours gives.
TEST_P(FadeCoverageTest, AppliedCoverageDrawsWhatDrawingAgainDraws) {
    const Case& c = GetParam();
    Canvas recorded(Size, Colour::Black);
    CoverageRecorder recorder(Recorded, DisplayRgb(Colour::Yellow), DisplayRgb(Navy), 0, 255);
    recorded.setRecorder(&recorder);
    const QRect touched = drawCaption(recorded, c, Colour::Yellow, Navy);
    recorded.setRecorder(nullptr);
    const std::optional<FadeCoverage> coverage = recorder.finish(touched);
    ASSERT_EQ(coverage.has_value(), c.kept);
    if (!coverage)
        return;
    EXPECT_EQ(coverage->area, touched.intersected(Recorded));

    struct Colours {
        ColourValue font;
        ColourValue background;
        int brightness;
    };
    for (const Colours& colours :
         {Colours{Colour::Yellow, Navy, 255}, Colours{0x123456, 0xFEDCBA, 255},
          Colours{Colour::Black, Colour::Black, 255}, Colours{0x00FF80, 0x400000, 100}, Colours{White, Red, 0}}) {
        Canvas drawn(Size, Colour::Black);
        drawCaption(drawn, c, colours.font, colours.background);
        ScalePixels(drawn.image(), coverage->area, colours.brightness);
        Canvas applied(Size, Colour::Black);
        applied.fill(Recorded, colours.background);
        FadeCoverage dimmed = *coverage;
        dimmed.scales = {FadeCoverage::Scale::Brightness};
        dimmed.apply(applied.image(), DisplayRgb(colours.font), DisplayRgb(colours.background), 0, colours.brightness);
        EXPECT_EQ(applied.image().copy(coverage->area), drawn.image().copy(coverage->area))
            << std::hex << colours.font << " on " << colours.background << std::dec << " at " << colours.brightness;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FadeCoverageTest,
    testing::Values(
        Case{"AntiAliased", u"The night is falling\nand the river sings"_s, 14, FontQuality::Default, true},
        Case{"Crisp", u"The night is falling\nand the river sings"_s, 14, FontQuality::NonAntialiased, true},
        // Accents stacked far above their line, into the line before.
        Case{"StackedAccents", u"gjpqy\n"_s + u"x"_s + QString(12, QChar(0x0301)), 14, FontQuality::Default, true},
        // A line wider than the area fills its background beyond it.
        Case{"WiderThanTheArea", u"A line far wider than the area it is kept in"_s, 20, FontQuality::Default, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Partly covered pixels, one above the other: a glyph's edge over the background, over the font
// colour and over another edge. Only the last is no blend of the two colours.
TEST(CoverageRecorderTest, AGlyphEdgeOverAnotherSpoilsTheRecording) {
    CoverageRecorder recorder(Recorded, DisplayRgb(Colour::Yellow), DisplayRgb(Navy), 0, 255);
    QImage glyphs(3, 1, QImage::Format_Alpha8);
    uchar* levels = glyphs.scanLine(0);
    levels[0] = 0xFF, levels[1] = 0x80, levels[2] = 0;
    recorder.stamp(glyphs, QRect(0, 0, 3, 1), DisplayRgb(Colour::Yellow));
    levels[0] = 0x40, levels[1] = 0, levels[2] = 0x40;
    recorder.stamp(glyphs, QRect(0, 0, 3, 1), DisplayRgb(Colour::Yellow));
    const std::optional<FadeCoverage> kept = recorder.finish(QRect(0, 0, 3, 1));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->levels[0], 0xFF);
    EXPECT_EQ(kept->levels[1], 0x80);
    EXPECT_EQ(kept->levels[2], 0x40);

    levels[0] = 0, levels[1] = 0x10, levels[2] = 0;
    recorder.stamp(glyphs, QRect(0, 0, 3, 1), DisplayRgb(Colour::Yellow));
    EXPECT_TRUE(recorder.spoiled());
}

// Colours of their own (a picture, formatted text) keep their value as the font and background
// colours change, and their glyphs' edges blend with the background of the moment; all are scaled.
TEST(CoverageRecorderTest, FixedColoursStayAsTheFontAndBackgroundChange) {
    CoverageRecorder recorder(QRect(0, 0, 4, 1), DisplayRgb(Colour::Yellow), DisplayRgb(Navy), 55, 255);
    recorder.fill(QRect(0, 0, 4, 1), DisplayRgb(Navy));
    recorder.fill(QRect(0, 0, 1, 1), DisplayRgb(Red));
    QImage glyphs(3, 1, QImage::Format_Alpha8);
    uchar* levels = glyphs.scanLine(0);
    levels[0] = 0, levels[1] = 0x80, levels[2] = 0xFF;
    recorder.stamp(glyphs, QRect(1, 0, 3, 1), DisplayRgb(White));
    recorder.scale(QRect(0, 0, 4, 1), 200); // the fade: 255 - 55
    const std::optional<FadeCoverage> kept = recorder.finish(QRect(0, 0, 4, 1));
    ASSERT_TRUE(kept.has_value());

    QImage applied(4, 1, Canvas::PixelFormat);
    applied.fill(Qt::black);
    kept->apply(applied, qRgb(1, 2, 3), qRgb(0, 100, 0), 155, 255);
    const auto scaled = [](int r, int g, int b) { return qRgb(r * 100 / 255, g * 100 / 255, b * 100 / 255); };
    EXPECT_EQ(applied.pixel(0, 0), scaled(255, 0, 0));
    EXPECT_EQ(applied.pixel(1, 0), scaled(0, 100, 0));
    EXPECT_EQ(applied.pixel(2, 0), scaled(128, (255 * 128 + 100 * 127 + 127) / 255, 128));
    EXPECT_EQ(applied.pixel(3, 0), scaled(255, 255, 255));
}

TEST(CoverageRecorderTest, WhatNoStepCanRedrawSpoilsTheRecording) {
    QImage edge(1, 1, QImage::Format_Alpha8);
    edge.fill(0x80);
    struct Case {
        const char* name;
        std::function<void(CoverageRecorder&)> draw;
    };
    const std::vector<Case> cases = {
        {"an edge over another colour's edge",
         [&](CoverageRecorder& r) {
             r.stamp(edge, QRect(0, 0, 1, 1), DisplayRgb(Red));
             r.stamp(edge, QRect(0, 0, 1, 1), DisplayRgb(White));
         }},
        {"a fill outside the area", [](CoverageRecorder& r) { r.fill(QRect(190, 90, 30, 30), DisplayRgb(Red)); }},
        {"drawing after scaling",
         [](CoverageRecorder& r) {
             r.scale(Recorded, 100);
             r.fill(QRect(0, 0, 2, 2), DisplayRgb(Navy));
         }},
        {"scaling by neither fade nor brightness", [](CoverageRecorder& r) { r.scale(Recorded, 7); }},
        {"a copy", [](CoverageRecorder& r) { r.spoil(); }},
    };
    for (const Case& c : cases) {
        CoverageRecorder recorder(Recorded, DisplayRgb(Colour::Yellow), DisplayRgb(Navy), 155, 100);
        c.draw(recorder);
        EXPECT_FALSE(recorder.finish(Recorded).has_value()) << c.name;
    }
}

} // namespace
