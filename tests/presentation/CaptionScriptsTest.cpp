#include "FakePresentationHost.h"
#include "presentation/Presenter.h"
#include "support/CaptionDocumentBuilder.h"
#include "support/ImageProbes.h"
#include "support/QtPrinters.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <string>

using namespace Qt::Literals::StringLiterals;

// Captions in every script a venue surtitles in, drawn with the fonts a sign PC has (the set-up script
// and the package bring them): no character is left without a glyph, and every glyph's ink lands in
// the part of the display image the window shows, fallback fonts' deep descenders included.

namespace {

struct ScriptCase {
    const char* script;
    const char* text; // UTF-8; descenders and marks below and above the line where the script has them
};

// clang-format off
const ScriptCase Scripts[] = {
    {"Latin", "Ça gèle, Øyvind! jpqy"},
    {"Cyrillic", "Щука ждёт, рыбы нет"},
    {"Greek", "Ψυχή, γράμμα ζήτω"},
    {"Hebrew", "שָׁלוֹם, ץף קן"},
    {"Arabic", "نص حكيم له سر قاطع"},
    {"Chinese", "我能吞下玻璃而不伤身体"},
    {"Japanese", "いろはにほへと、私は"},
    {"Korean", "나는 유리를 먹을 수"},
};
// clang-format on

constexpr QSize Client(960, 540); // the view is the display image's upper-left quarter
const QRgb CaptionInk = qRgb(255, 255, 0);

QString textOf(const ScriptCase& script) {
    return QString::fromUtf8(script.text);
}

// A caption in the display's default font (Arial, which fontconfig gives as Liberation Sans), yellow
// on blue, shown at once, at the bottom of the view as captions sit by default.
QString documentOf(const QString& text) {
    return CaptionDocumentBuilder()
        .everyStream(text)
        .colours(u"Yellow"_s, u"Blue"_s)
        .fontSize(u"40"_s)
        .effect(EntryEffect::Instant)
        .xml();
}

// The ink of the text drawn alone, unclipped, in the same font: what the caption should show.
QRect referenceInk(const CanvasFont& font, const QString& text) {
    QImage image(2000, 600, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(font.toQFont());
    painter.setPen(Qt::white);
    painter.drawText(QPoint(200, 300), text);
    painter.end();
    return inkBounds(image, qRgb(0, 0, 0));
}

std::string describe(const QRect& rect) {
    return std::to_string(rect.width()) + "x" + std::to_string(rect.height()) + " at (" + std::to_string(rect.x()) +
           ", " + std::to_string(rect.y()) + ")";
}

class CaptionScriptsTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(CaptionScriptsTest, EveryCharacterHasAGlyph) {
    CanvasFont font;
    font.pointSize = 40;
    QTextLayout layout(textOf(GetParam()), font.toQFont());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 glyph : run.glyphIndexes()) {
            // Glyph 0 is a font's box for a character it lacks.
            EXPECT_NE(glyph, 0u) << run.rawFont().familyName().toStdString();
            ++glyphs;
        }
    }
    EXPECT_GT(glyphs, 0);
}

TEST_P(CaptionScriptsTest, InkStaysInTheView) {
    FakePresentationHost host;
    Presenter presenter(host);
    presenter.resizeDisplay(Client);
    presenter.enqueue(documentOf(textOf(GetParam())));
    presenter.ShowSurtitle();
    for (int steps = 0; presenter.effectRunning() && steps < 100; ++steps)
        presenter.AnimateTimerTimer();
    ASSERT_EQ(host.position, QPoint(0, 0));

    const QRect expected = referenceInk(presenter.displayFont(), textOf(GetParam()));
    ASSERT_LT(expected.width(), Client.width()) << "the caption should fit the view's width";
    const QRect ink = colourBounds(presenter.displayImage(), CaptionInk);
    // Every pixel row and column of the glyphs is there: none was cut at a line, stamp or image edge
    // (a row either way is rasterisation at another fraction of a pixel).
    EXPECT_NEAR(ink.width(), expected.width(), 1) << "ink " << describe(ink) << ", alone " << describe(expected);
    EXPECT_NEAR(ink.height(), expected.height(), 1) << "ink " << describe(ink) << ", alone " << describe(expected);

    const QRect view(QPoint(0, 0), Client);
    EXPECT_TRUE(view.contains(ink)) << "ink " << describe(ink) << " beyond the view " << describe(view);
}

INSTANTIATE_TEST_SUITE_P(Scripts, CaptionScriptsTest, testing::ValuesIn(Scripts),
                         [](const testing::TestParamInfo<ScriptCase>& info) { return info.param.script; });

} // namespace
