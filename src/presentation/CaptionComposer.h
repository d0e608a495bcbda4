#pragma once

#include "Canvas.h"
#include "CaptionBitmap.h"
#include "HtmlLabelRenderer.h"
#include "captions/CaptionWords.h"
#include "captions/Captions.h"
#include "captions/Vocabularies.h"

#include <QRect>
#include <optional>
#include <utility>

// The gap between lines of lineHeight that spreads as many as fit in visibleHeight evenly over it:
// the first at the top, the last at the bottom. Nothing with fewer than two lines.
int LineGap(int visibleHeight, int lineHeight);

// The display settings and modes that composing a caption reads.
struct CompositionSettings {
    int baseFontHeight = 0;
    FontSizeSettings fontSize;
    bool antiAliased = false;
    bool wordWrap = false;
    bool transparentMode = false; // formatted and picture captions are then faded by the window's alpha

    bool operator==(const CompositionSettings&) const = default;
};

// The font a caption is drawn in on the display: its own face when it names one (base's otherwise),
// the size its Size word gives and the quality the settings ask for, in base's colour.
CanvasFont CaptionDisplayFont(const TCaptions& caption, CanvasFont base, const CompositionSettings& settings);

// Draws one caption record into a rectangle of the display image: its chosen column as plain
// text, as formatted text through the HTML label renderer, or as an embedded picture, justified,
// fitted to whole lines and dimmed. The caller fills the area with the style's background first.
class CaptionComposer {
public:
    CaptionComposer(Canvas& display, Canvas& composition, HtmlLabelRenderer& renderer);

    // What a composition leaves for the effect that follows.
    struct Result {
        std::optional<int> scrollDistance; // the distance the next scroll travels, when set
        bool drawn = true;                 // false when a picture could not be read: nothing was drawn
        bool plainText = false;            // drawn as plain text, from glyph stamps kept for the next time
    };

    // The caption's text takes the colour of style's font, and its face unless it names one, and lies
    // on style's background. alpha 0..255 fades formatted and picture captions toward black (0 leaves
    // them); brightness 0..255 scales every pixel of dst at the end (255 leaves them).
    Result ShowSurtitlesOnCanvas(TCaptions surtitle, QRect dst, const TextStyle& style, int alpha, int brightness,
                                 const CompositionSettings& settings);

    // Gives back what composing keeps for the next composition of the same caption (the decoded
    // picture, the roll-up's composition bitmap) but what the caption shown will need when it fades
    // out: an effect that has ended composes no more.
    void releaseBuffers(const TCaptions& shown);

    // Why the last picture newly decoded was refused, once: a fade composing it again says nothing.
    std::optional<QString> takePictureRefusal() { return std::exchange(m_pictureRefusal, std::nullopt); }

private:
    struct LineMetrics {
        int height = 1;
        int pitch = 1;
    };

    static LineMetrics lineMetrics(const CanvasFont& font, int visibleHeight);
    // The column's text as it is drawn: stored characters decoded, "^" a note, trimmed as its
    // justification aligns it, markup recognised.
    const QString& preparedText(const QString& column, const QString& justificationWord,
                                std::optional<HorizontalJustification> justification);
    Result composeHtml(const TCaptions& surtitle, const QString& text, const QRect& dst, const TextStyle& style,
                       int alpha, const CompositionSettings& settings, const LineMetrics& metrics);
    // The markup as the renderer takes it: line breaks as <br>, sizes scaled, a paragraph aligned.
    const QString& preparedHtml(const QString& text, int scale, const QString& justificationWord,
                                std::optional<HorizontalJustification> justification);
    Result rollUpHtml(const QStringList& markup, const HtmlPrintOptions& options, const QRect& dst,
                      const TextStyle& style, int alpha, const CompositionSettings& settings,
                      const LineMetrics& metrics);
    Result composePicture(const TCaptions& surtitle, const QString& text, QRect& dst, int alpha);
    Result composePlainText(const TCaptions& surtitle, const QString& text, QRect& dst, const TextStyle& style,
                            HorizontalJustification alignment, const CompositionSettings& settings);
    Result rollUpPlainText(const QString& text, QRect& dst, const TextStyle& style, HorizontalJustification alignment,
                           WordWrap wrap, qint64 count, int lineHeight);
    // Each line of the text, pitch apart from the top of dst.
    void drawLinesApart(const QString& text, const QRect& dst, const TextStyle& style,
                        HorizontalJustification alignment, int pitch);

    int visibleWidth() const { return m_display.width() / 2; }
    int visibleHeight() const { return m_display.height() / 2; }

    Canvas& m_display;
    Canvas& m_composition;
    HtmlLabelRenderer& m_renderer;
    TextVAlignment m_htmlAlignment = tvaTop; // where the last formatted caption was placed in its rectangle

    std::optional<QString> m_bitmapText; // the text m_bitmap was decoded from
    CaptionBitmap m_bitmap;
    std::optional<QString> m_pictureRefusal;

    // A fade composes the same caption at every step, and a caption may hold a million characters:
    // its text is prepared for drawing once, from its column and justification word, and so is its
    // markup, from that text, the markup scale and the justification.
    struct PreparedText {
        QString column;
        QString justification;
        QString text;
        bool formatted = false;
    };
    std::optional<PreparedText> m_prepared;
    struct PreparedHtml {
        QString source;
        int scale = 0;
        QString justification;
        QString html;
    };
    std::optional<PreparedHtml> m_preparedHtml;
};
