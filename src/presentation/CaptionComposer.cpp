#include "CaptionComposer.h"

#include "CaptionBitmap.h"
#include "DisplayColour.h"
#include "HtmlLabelRenderer.h"
#include "PixelPasses.h"
#include "ScaleFontHtml.h"
#include "captions/CaptionDocumentFormat.h"
#include "captions/CaptionWords.h"
#include "captions/IntegerPrefix.h"
#include "captions/StoredForm.h"

#include <QtNumeric>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isRollUp(const TCaptions& caption) {
    return EntryEffectFromString(caption.Effect.InEffect) == EntryEffect::RollUp;
}

std::optional<VerticalJustification> verticalJustification(const TCaptions& caption) {
    return VerticalJustificationFromString(caption.VertJust);
}

// The text as its justification trims it; shared when nothing is trimmed.
QString trimmed(const QString& text, HorizontalJustification justification) {
    const QStringView kept = TrimmedForJustification(text, justification);
    return kept.size() == text.size() ? text : kept.toString();
}

// The justification word ("Centre" read as "Center"; a word that is none of the three kept as it is,
// trimming nothing and centring the text), with the justification it names.
struct Justification {
    QString word;
    std::optional<HorizontalJustification> known;
    HorizontalJustification alignment() const { return known.value_or(HorizontalJustification::Centre); }
};

Justification justificationOf(const QString& word) {
    const std::optional<HorizontalJustification> known = HorizontalJustificationFromString(word);
    return {known ? HorizontalJustificationToString(*known) : word, known};
}

QString columnText(const TCaptions& caption) {
    if (caption.LanguageIndex < 0 || caption.LanguageIndex >= CaptionColumnCount)
        return {};
    return caption.Caption[std::size_t(caption.LanguageIndex)].Text;
}

// The lines of plain text: breaks are CR LF, CR or LF, and a final break starts no line. Counting
// them copies nothing: a fade counts them at every step.
qint64 lineCount(QStringView text) {
    qint64 breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            ++breaks;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    const bool finalBreak = text.endsWith(u'\r') || text.endsWith(u'\n');
    return breaks + 1 - (breaks > 0 && finalBreak ? 1 : 0);
}

} // namespace

int LineGap(int visibleHeight, int lineHeight) {
    const int lines = visibleHeight / std::max(1, lineHeight);
    return lines >= 2 ? (visibleHeight - lines * lineHeight) / (lines - 1) : 0;
}

CanvasFont CaptionDisplayFont(const TCaptions& caption, CanvasFont base, const CompositionSettings& settings) {
    if (!caption.FontName.isEmpty())
        base.name = caption.FontName;
    base.pointSize = FontSizeFromString(settings.baseFontHeight, caption.Size, settings.fontSize);
    SetFontQuality(base, settings.antiAliased ? FontQuality::Default : FontQuality::NonAntialiased);
    return base;
}

CaptionComposer::CaptionComposer(Canvas& display, Canvas& composition, HtmlLabelRenderer& renderer)
    : m_display(display), m_composition(composition), m_renderer(renderer) {}

CaptionComposer::LineMetrics CaptionComposer::lineMetrics(const CanvasFont& font, int visible) {
    const int height = std::max(1, Canvas::textHeight(font));
    return {height, height + LineGap(visible, height)};
}

CaptionComposer::Result CaptionComposer::ShowSurtitlesOnCanvas(TCaptions surtitle, QRect dst, const TextStyle& style,
                                                               int alpha, int brightness,
                                                               const CompositionSettings& settings) {
    const TextStyle plain{CaptionDisplayFont(surtitle, style.font, settings), style.background};
    // Formatted text starts in the same face, size and colour, at the default quality.
    TextStyle formatted{CanvasFont(), style.background};
    formatted.font.name = plain.font.name;
    formatted.font.pointSize = plain.font.pointSize;
    formatted.font.colour = plain.font.colour;
    const LineMetrics metrics = lineMetrics(plain.font, visibleHeight());

    const Justification justification = justificationOf(surtitle.Justification);
    surtitle.Justification = justification.word;
    const QString& text = preparedText(columnText(surtitle), justification.word, justification.known);

    Result result;
    if (m_prepared->formatted)
        result = composeHtml(surtitle, text, dst, formatted, alpha, settings, metrics);
    else if (text.startsWith(CaptionDocumentFormat::ImagePrefix))
        result = composePicture(surtitle, text, dst, settings.transparentMode ? 0 : alpha);
    else
        result = composePlainText(surtitle, text, dst, plain, justification.alignment(), settings);

    if (result.drawn && brightness != 255) {
        m_display.scale(dst, brightness);
    }
    return result;
}

const QString& CaptionComposer::preparedText(const QString& column, const QString& justificationWord,
                                             std::optional<HorizontalJustification> justification) {
    // A fade composes the same caption at every step: its text is prepared once.
    if (m_prepared && m_prepared->column == column && m_prepared->justification == justificationWord)
        return m_prepared->text;
    QString text = StoredStringToMemoString(column);
    text.replace(u'^', u'\u266A');
    if (justification)
        text = trimmed(text, *justification);
    if (text.isEmpty())
        text = u" "_s;
    // Markup needs a "<": one fast scan spares a picture's long text the slower searches for tags.
    const bool mayHaveTags = text.contains(u'<');
    if (mayHaveTags && text.contains(u"<i") && !text.contains(u"<HTML>", Qt::CaseInsensitive))
        text = u"<HTML>"_s + text + u"</HTML>"_s;
    const bool formatted = mayHaveTags && text.contains(u"<HTML>", Qt::CaseInsensitive);
    m_prepared = PreparedText{column, justificationWord, std::move(text), formatted};
    return m_prepared->text;
}

CaptionComposer::Result CaptionComposer::composeHtml(const TCaptions& surtitle, const QString& text, const QRect& dst,
                                                     const TextStyle& style, int alpha,
                                                     const CompositionSettings& settings, const LineMetrics& metrics) {
    const bool rollUp = isRollUp(surtitle);
    // Another word places the block as plain text is placed, but for a roll-up, which keeps the place
    // of the formatted caption composed before it.
    if (verticalJustification(surtitle) == VerticalJustification::Top)
        m_htmlAlignment = TextVAlignment::tvaTop;
    else if (verticalJustification(surtitle) == VerticalJustification::Middle)
        m_htmlAlignment = TextVAlignment::tvaCenter;
    else if (verticalJustification(surtitle) == VerticalJustification::Bottom || !rollUp)
        m_htmlAlignment = TextVAlignment::tvaBottom;

    // Markup sizes are written for a caption of 12 points: when the caption's size is given as a
    // number (points, or a percentage of the base size) they grow and shrink with the size it has.
    qint64 scale = IntegerPrefix(surtitle.Size) > 0 ? qint64(style.font.pointSize) * 100 / 12 : 100;
    if (scale <= 0 || scale > std::numeric_limits<int>::max())
        scale = 100;
    const Justification justification = justificationOf(surtitle.Justification);
    const QStringList markup{preparedHtml(text, int(scale), justification.word, justification.known)};
    HtmlPrintOptions options;
    options.VAlignment = m_htmlAlignment;
    if (rollUp)
        return rollUpHtml(markup, options, dst, style, alpha, settings, metrics);

    // The block fills dst whatever its vertical word (the renderer places the text in it), so it is
    // printed straight onto the display, held inside dst as a bitmap of its own would hold it.
    const int visible = visibleHeight();
    QRect dest = dst;
    if (verticalJustification(surtitle) == VerticalJustification::Middle)
        dest.translate(0, (visible - dest.height()) / 2);
    else if (verticalJustification(surtitle) != VerticalJustification::Top)
        dest.translate(0, visible - dest.height());
    m_display.fill(dest, style.background);
    options.clip = dest;
    m_renderer.HTMLPrint(m_display, markup, style.font, dest, options);
    if (!settings.transparentMode && alpha != 0)
        m_display.scale(dest, 255 - alpha);
    return {visible, true};
}

const QString& CaptionComposer::preparedHtml(const QString& text, int scale, const QString& justificationWord,
                                             std::optional<HorizontalJustification> justification) {
    // The markup is prepared once for the steps of a fade.
    if (m_preparedHtml && m_preparedHtml->source == text && m_preparedHtml->scale == scale &&
        m_preparedHtml->justification == justificationWord)
        return m_preparedHtml->html;
    QString html = text;
    // A lone line feed breaks the line as CR LF does (the renderer itself drops line feeds).
    html.replace(u"\r\n"_s, u"<br>"_s);
    html.replace(u'\n', u"<br>"_s);
    html = ScaleFontHTML(html, scale);
    if (justification) {
        for (const QStringView tag : {u"<HTML>", u"<html>", u"</HTML>", u"</html>"})
            html.remove(tag.toString());
        html = u"<HTML><P align=\""_s + justificationWord.toLower() + u"\">"_s + trimmed(html, *justification) +
               u"</P></HTML>"_s;
    }
    m_preparedHtml = PreparedHtml{text, scale, justificationWord, std::move(html)};
    return m_preparedHtml->html;
}

CaptionComposer::Result CaptionComposer::rollUpHtml(const QStringList& markup, const HtmlPrintOptions& options,
                                                    const QRect& dst, const TextStyle& style, int alpha,
                                                    const CompositionSettings& settings, const LineMetrics& metrics) {
    // A roll-up keeps whole lines only: the block is printed on the composition bitmap, cut below
    // its last row with ink, and grown to whole line pitches.
    m_composition.resize(dst.size(), style.background);
    m_composition.fillAll(style.background);
    m_renderer.HTMLPrint(m_composition, markup, style.font, QRect(QPoint(0, 0), dst.size()), options);
    const QImage& image = m_composition.image();
    const int width = image.width();
    const QRgb background = DisplayRgb(style.background);
    int kept = image.height();
    for (int y = image.height() - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(row, row + width, [&](QRgb pixel) { return pixel != background; })) {
            kept = y + 1;
            break;
        }
    }
    const int height = (kept + metrics.pitch) / metrics.pitch * metrics.pitch;
    m_composition.resize(QSize(width, height), style.background);
    if (!settings.transparentMode && alpha != 0)
        ScalePixels(m_composition.image(), m_composition.image().rect(), 255 - alpha);
    m_display.copy(QRect(dst.topLeft(), m_composition.image().size()), m_composition.image(),
                   m_composition.image().rect());

    const int visible = visibleHeight();
    if (visible > height && visible / metrics.height > 1)
        return {metrics.pitch, true};
    return {visible, true};
}

void CaptionComposer::releaseBuffers(const TCaptions& shown) {
    m_composition.resize(QSize(1, 1), Colour::Black);
    m_composition.trimTextCaches();
    // The picture of the caption shown is kept for the next caption's fade out, which draws it
    // again; a refused picture holds nothing, and is not refused again by a redraw.
    const bool pictureShown =
        m_bitmapText && m_prepared && *m_bitmapText == m_prepared->text && m_prepared->column == columnText(shown);
    if (!pictureShown && m_bitmap.status != CaptionBitmap::Status::Unreadable) {
        m_bitmap = CaptionBitmap();
        m_bitmapText.reset();
    }
}

CaptionComposer::Result CaptionComposer::composePicture(const TCaptions& surtitle, const QString& text, QRect& dst,
                                                        int alpha) {
    // A fade composes the same picture at every step: it is decoded once.
    if (!m_bitmapText || *m_bitmapText != text) {
        m_bitmap = DecodeCaptionBitmap(text);
        m_bitmapText = text;
        if (m_bitmap.status == CaptionBitmap::Status::Unreadable)
            m_pictureRefusal = m_bitmap.refusal;
    }
    const CaptionBitmap& bitmap = m_bitmap;
    if (bitmap.status == CaptionBitmap::Status::Unreadable)
        return {std::nullopt, false}; // nothing is drawn for a picture that cannot be read

    // A picture has no lines to roll up: it enters whole, as a scroll up brings it, from the top of
    // the quarter that a roll-up places its lines in one gap below.
    const int visible = visibleHeight();
    if (isRollUp(surtitle) && dst.height() < visible)
        dst.setTop(dst.bottom() + 1 - visible);

    // The picture keeps its top-left corner in dst: cropped, never scaled, black where it is short.
    m_display.fill(dst, Colour::Black);
    if (bitmap.status == CaptionBitmap::Status::Loaded)
        m_display.draw(dst.topLeft(), bitmap.image, dst);
    if (alpha != 0) {
        m_display.scale(dst, 255 - alpha);
    }

    return {visible, true};
}

CaptionComposer::Result CaptionComposer::composePlainText(const TCaptions& surtitle, const QString& text, QRect& dst,
                                                          const TextStyle& style, HorizontalJustification alignment,
                                                          const CompositionSettings& settings) {
    // Heights are summed in 64 bits: a long caption in a large font passes the range of int.
    const WordWrap wrap = settings.wordWrap ? WordWrap::On : WordWrap::Off;
    const qint64 count = lineCount(text);
    const int lineHeight = std::max(1, Canvas::textHeight(style.font));
    if (isRollUp(surtitle))
        return rollUpPlainText(text, dst, style, alignment, wrap, count, lineHeight);

    qint64 blockLines = count;
    qint64 offset = dst.height() - count * lineHeight;
    if (wrap == WordWrap::On) {
        const qint64 measured = m_display.measureText(style.font, visibleWidth(), text, wrap);
        blockLines = measured / lineHeight;
        offset = dst.height() - measured;
    }
    if (verticalJustification(surtitle) == VerticalJustification::Top)
        offset = 0;
    else if (verticalJustification(surtitle) == VerticalJustification::Middle)
        offset = (dst.height() - blockLines * lineHeight) / 2;
    else // a block on the bottom keeps its ink in view
        offset -= m_display.inkBelowLastLine(style.font, dst.width(), text, wrap);

    m_display.drawText(style, dst.left(), dst.width(), dst.top() + offset, text, alignment, wrap);
    return {visibleHeight(), true, true};
}

CaptionComposer::Result CaptionComposer::rollUpPlainText(const QString& text, QRect& dst, const TextStyle& style,
                                                         HorizontalJustification alignment, WordWrap wrap, qint64 count,
                                                         int lineHeight) {
    // The block moves up by the height of the lines it adds and the gap below each, or by the whole
    // visible height once it fills it. Lines drawn one by one lie a line pitch apart; a word-wrapped
    // block is drawn whole and followed by one gap. A font taller than the display scrolls a whole
    // height.
    const int visible = visibleHeight();
    const int fitting = visible / lineHeight;
    int gap = 0;
    qint64 distance = visible;
    if (fitting > 1) {
        gap = LineGap(visible, lineHeight);
        if (wrap == WordWrap::On)
            distance = m_display.measureText(style.font, visibleWidth(), text, wrap) + gap;
        else if (qMulOverflow(qint64(lineHeight) + gap, count, &distance))
            distance = visible;
        if (visible <= distance) {
            dst = QRect(dst.left(), visible, dst.width(), visible);
            distance = visible;
        }
    }
    if (wrap == WordWrap::On)
        m_display.drawText(style, dst.left(), dst.width(), dst.top(), text, alignment, wrap);
    else
        drawLinesApart(text, dst, style, alignment, lineHeight + gap);
    return {int(distance), true, true};
}

void CaptionComposer::drawLinesApart(const QString& text, const QRect& dst, const TextStyle& style,
                                     HorizontalJustification alignment, int pitch) {
    // The lines (split at CR LF, CR or LF) are taken one by one, only while they start on the
    // image: a fade draws them at every step, and a caption may have a million.
    qsizetype start = 0;
    for (int i = 0;; ++i) {
        const int top = dst.top() + i * pitch;
        if (top >= m_display.height())
            break; // the lines below the image draw nothing
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (end == text.size() && start == end && i > 0)
            break; // a final line break starts no line
        m_display.drawText(style, dst.left(), dst.width(), top, text.mid(start, end - start), alignment, WordWrap::Off);
        if (end == text.size())
            break;
        start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
}
