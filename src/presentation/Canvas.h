#pragma once

#include "CanvasFont.h"
#include "TextBackend.h"
#include "TextStamps.h"
#include "captions/CaptionWords.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

// A bitmap that caption pictures are drawn on, with what it remembers to draw the same text again
// fast; every drawing call is given its colours and font. The bitmap is a QImage in a 32-bit format
// that the window paints without conversion. Text is never clipped; measuring and drawing agree.
// A bitmap may hold only part of its pixels (the display image holds its hidden quarters only while
// an effect brings a picture in from them): drawing elsewhere is dropped.

enum class WordWrap { Off, On };

// Which of a bitmap's pixels it holds: those of the part of this size at its top-left corner (all of
// them when it is empty), and single pixels elsewhere that fills and copies reach but drawing does not.
struct CanvasHolding {
    QSize part;
    std::vector<QPoint> pixels;
};

// What a text is drawn in: a font with its colour, over a background colour.
struct TextStyle {
    CanvasFont font;
    ColourValue background = Colour::Black;
};

class Canvas : public TextBackend {
public:
    static constexpr QImage::Format PixelFormat = QImage::Format_RGB32;

    static constexpr ColourValue White = 0xFFFFFF;

    explicit Canvas(QSize size = QSize(), ColourValue colour = White);

    // The pixels held in the part at the top-left corner.
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }
    QSize size() const { return m_size; }
    QRect rect() const { return QRect(QPoint(0, 0), m_size); }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }

    // A new size; the area the bitmap gains takes the colour, what it keeps stays. The holding is
    // that of the new size.
    void resize(QSize size, ColourValue colour, const CanvasHolding& holding = {});
    // Holds other pixels: those it gains take their colour, those it no longer holds are given back.
    void hold(const CanvasHolding& holding, ColourValue colour);
    // A pixel, when the bitmap holds it.
    std::optional<QRgb> heldPixel(QPoint point) const;

    void fill(const QRect& area, ColourValue colour);
    void fillAll(ColourValue colour) { fill(rect(), colour); }

    // Copies from a rectangle of source (which may be this canvas's own image) to a rectangle here;
    // what lies outside source, or outside what this canvas holds when source is its own, is black.
    void copy(const QRect& to, const QImage& source, const QRect& from);

    // Draws source with its top-left corner at the point, only inside clip.
    void draw(QPoint topLeft, const QImage& source, const QRect& clipArea);

    // Scales every colour byte of area by factor 0..255 (c × factor div 255); 255 leaves them.
    void scale(const QRect& area, int factor);

    // The height of one line in the font, whatever the text: lines of text lie this far apart.
    static int textHeight(const CanvasFont& font);

    // The height text needs in the font laid out width pixels wide: lines break at CR, LF and CR LF,
    // and with word wrap also at spaces. Many lines in a large font pass the range of int.
    qint64 measureText(const CanvasFont& font, int width, const QString& text, WordWrap wrap) const;

    // Draws text in the style with its first line's top at top, each line aligned between left and
    // left + width, over the style's background; "&" is drawn as it stands. The top may lie any
    // distance above the image (a long text placed by its bottom): the lines wholly above it are
    // passed over.
    void drawText(const TextStyle& style, int left, int width, qint64 top, const QString& text,
                  HorizontalJustification alignment, WordWrap wrap);

    // How far the ink of the last line of text, laid out as measureText lays it out, reaches below
    // the line: glyphs of a fallback font may descend deeper than the font's own.
    int inkBelowLastLine(const CanvasFont& font, int width, const QString& text, WordWrap wrap);

    // Gives back what is kept to draw text fast but the glyphs drawn last, up to one byte for each
    // pixel held: what the next caption's first steps draw again.
    void trimTextCaches();

    // The bounding rectangle of everything drawn since the last reset: what a redraw must clear.
    QRect touched() const { return m_touched; }
    void resetTouched() { m_touched = QRect(); }
    void markTouched(const QRect& area) { m_touched |= area.intersected(m_image.rect()); }

    // Told of everything drawn from now on, until it is unset (null): what a fade keeps of a caption.
    void setRecorder(CoverageRecorder* recorder) { m_recorder = recorder; }

    QSize measureRun(const CanvasFont& runFont, QStringView text, Mnemonics mnemonics) const override;
    void drawRun(const CanvasFont& runFont, const QRect& cell, QStringView text, Mnemonics mnemonics,
                 std::optional<ColourValue> background, const std::optional<QRect>& clip) override;

private:
    struct Line {
        QString text;
        qint64 width; // the advance; the spaces a wrapped line ends in take no room
    };

    // The text split into the lines it is drawn in. The lines of the last text are kept: a fade
    // measures and draws the same caption at every step.
    const std::vector<Line>& linesOf(const QFont& font, int width, const QString& text, WordWrap wrap) const;

    void fillArea(const QRect& area, QRgb pixel); // area within the image
    void copyWithin(const QRect& to, const QRect& from);
    void rebuild(QSize size, const CanvasHolding& holding, QRgb pixel);

    QSize m_size;
    QImage m_image;
    // The pixels held outside the image, with their colours.
    std::vector<std::pair<QPoint, QRgb>> m_heldPixels;
    QRect m_touched;
    TextStamps m_stamps;
    CoverageRecorder* m_recorder = nullptr;

    struct LaidOutText {
        QString fontKey;
        int width = 0;
        WordWrap wrap = WordWrap::Off;
        QString text;
        std::vector<Line> lines;
    };
    // The two texts laid out last: a roll-up's fade measures the new caption and draws the last one.
    mutable std::optional<LaidOutText> m_laidOut;
    mutable std::optional<LaidOutText> m_laidOutBefore;

    // The sizes of runs measured, by font, mnemonics and text: a fade draws the same runs at every
    // step, and a run of many thousand characters takes long to measure. Kept up to a bound.
    static constexpr qsizetype MaxRunSizeCharacters = 4 * 1024 * 1024;
    mutable QHash<QString, QSize> m_runSizes;
    mutable qsizetype m_runSizeCharacters = 0;
};
