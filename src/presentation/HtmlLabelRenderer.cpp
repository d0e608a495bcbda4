#include "HtmlLabelRenderer.h"

#include "HtmlTags.h"
#include "HtmlTextPreparation.h"

#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

enum class Shift { None, Down, Up };

// One run of a line as the measure pass found it: the draw pass places it by this size.
struct PlacedRun {
    QString text; // references resolved, as drawn
    CanvasFont font;
    std::optional<ColourValue> background;
    Shift shift;
    QSize size;
};

struct LaidOutLine {
    std::vector<PlacedRun> runs;
    HorizontalJustification alignment = HorizontalJustification::Left;
    int defaultHeight = 0; // of "gh" in the font the line starts in
    qint64 width = 0;      // trailing spaces left out, so that aligned lines end on their last letter
    qint64 baseHeight = 0; // LineSpacing and the tallest run
    int raise = 0;         // how far superscripts rise above the other runs, which the line box grows by
    int sink = 0;          // and how far subscripts sink below them

    qint64 height() const { return baseHeight + raise + sink; }
};

struct LayoutOptions {
    int availableWidth;
    bool wrap;
    int lineSpacing;

    friend bool operator==(const LayoutOptions&, const LayoutOptions&) = default;
};

// Where a line starts in the prepared text, and the style it starts in: enough to lay it out again
// without the lines before it.
struct LineStart {
    qsizetype position;
    HtmlStyle style;
};

// Colours change no layout, and a fade prints in a new base colour at every step: lines are laid out
// in this colour, which markup never gives, standing for the base colour each print puts back.
constexpr ColourValue LayoutBaseColour = 0x7F000000;

CanvasFont layoutFont(CanvasFont font) {
    font.colour = LayoutBaseColour;
    return font;
}

LineStart inBaseColour(LineStart start, ColourValue colour) {
    for (ColourValue* style : {&start.style.font.colour, &start.style.colourBeforeLastColor}) {
        if (*style == LayoutBaseColour)
            *style = colour;
    }
    return start;
}

// Takes the prepared text apart line by line: the measure pass. The draw pass places the runs by the
// sizes measured here, so the two cannot disagree. The text is read through an index,
// never shortened or copied as a whole, so a long text costs time in proportion to its length.
class LineLayouter {
public:
    LineLayouter(const TextBackend& backend, const PreparedHtml& html, const CanvasFont& base, LayoutOptions options)
        : m_backend(backend), m_mnemonics(html.mnemonics), m_text(html.text), m_base(base), m_options(options),
          m_style(base), m_end(m_text.size()) {
        while (m_end > 0 && isBlank(m_text[m_end - 1]))
            --m_end;
    }

    LineStart lineStart() const { return {m_position, m_style}; }

    void resumeAt(const LineStart& start) {
        m_position = start.position;
        m_style = start.style;
    }

    std::optional<LaidOutLine> nextLine() {
        while (m_position < m_end && isBlank(m_text[m_position]))
            ++m_position;
        if (m_position >= m_end)
            return std::nullopt;
        LaidOutLine line;
        line.defaultHeight = measure(m_style.font, u"gh").height();
        const LineEnd end = fillLine(line);
        line.alignment = m_style.alignment;
        if (end == LineEnd::Paragraph)
            m_style.alignment = HorizontalJustification::Left;
        finishLine(line, end);
        return line;
    }

private:
    enum class LineEnd { Full, Break, Paragraph, TextEnd };

    static bool isBlank(QChar c) { return c.unicode() < 33; }

    QSize measure(const CanvasFont& font, QStringView text) const {
        return m_backend.measureRun(font, text, m_mnemonics);
    }

    // Takes tags and runs until a run no longer fits, a tag ends the line or the text ends. A run
    // joins while the line stays narrower than the room, and always when it alone is as wide, so a
    // word is never broken; every line takes at least its first run, so the text always moves on.
    LineEnd fillLine(LaidOutLine& line) {
        qint64 width = 0;
        while (m_position < m_end) {
            if (m_text[m_position] == u'<') {
                const std::optional<LineEnd> end = applyTag();
                if (end)
                    return *end;
                continue;
            }
            const qsizetype runEnd = findRunEnd();
            if (m_style.hidden) {
                m_position = runEnd;
                continue;
            }
            QString text = decodeRunReferences(m_text.sliced(m_position, runEnd - m_position));
            const QSize size = measure(m_style.font, text);
            const int room = m_options.availableWidth;
            const bool fits = line.runs.empty() || width + size.width() < room || size.width() >= room;
            if (m_options.wrap && !fits)
                return LineEnd::Full;
            width += size.width();
            line.runs.push_back({std::move(text), m_style.font, m_style.background, currentShift(), size});
            m_position = runEnd;
        }
        return LineEnd::TextEnd;
    }

    // Applies the tag at the position; a tag without its ">" ends the text.
    std::optional<LineEnd> applyTag() {
        const qsizetype close = m_text.indexOf(u'>', m_position);
        if (close < 0) {
            m_position = m_end;
            return LineEnd::TextEnd;
        }
        const QStringView tag = m_text.sliced(m_position + 1, close - m_position - 1);
        m_position = close + 1;
        switch (applyHtmlTag(tag, m_style, m_base)) {
        case TagEffect::LineBreak:
            return LineEnd::Break;
        case TagEffect::ParagraphEnd:
            return LineEnd::Paragraph;
        case TagEffect::Style:
            break;
        }
        return std::nullopt;
    }

    // Wrapping, a run is a word with the space after it; without, all the text up to the next tag.
    qsizetype findRunEnd() const {
        qsizetype i = m_position;
        while (i < m_end && m_text[i] != u'<') {
            if (m_text[i++] == u' ' && m_options.wrap)
                break;
        }
        return i;
    }

    Shift currentShift() const {
        if (m_style.subscript)
            return Shift::Down;
        return m_style.superscript ? Shift::Up : Shift::None;
    }

    // A line without text is one default line high when a BR ended it, and takes no room when it
    // only held tags, so that the closing tags after the last line add nothing.
    void finishLine(LaidOutLine& line, LineEnd end) const {
        if (line.runs.empty()) {
            line.baseHeight = end == LineEnd::Break ? qint64(m_options.lineSpacing) + line.defaultHeight : 0;
            return;
        }
        int tallest = 0;
        for (const PlacedRun& run : line.runs) {
            const int height = run.size.height();
            tallest = std::max(tallest, height);
            if (run.shift == Shift::Down)
                line.sink = std::max(line.sink, height / 4);
            else if (run.shift == Shift::Up)
                line.raise = std::max(line.raise, height / 4);
        }
        line.baseHeight = qint64(m_options.lineSpacing) + tallest;
        line.width = inkWidth(line.runs);
    }

    qint64 inkWidth(const std::vector<PlacedRun>& runs) const {
        qint64 width = 0;
        for (const PlacedRun& run : runs)
            width += run.size.width();
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            QStringView text = run->text;
            while (text.endsWith(u' '))
                text.chop(1);
            if (text.size() == run->text.size())
                break;
            width -= run->size.width();
            if (!text.isEmpty()) {
                width += measure(run->font, text).width();
                break;
            }
        }
        return width;
    }

    const TextBackend& m_backend;
    Mnemonics m_mnemonics;
    QStringView m_text;
    const CanvasFont& m_base;
    LayoutOptions m_options;
    HtmlStyle m_style;
    qsizetype m_position = 0;
    qsizetype m_end;
};

// Positions far off any image are pinned well inside the range of int, where they stay off it.
int coordinate(qint64 value) {
    constexpr qint64 Limit = 1 << 29;
    return int(std::clamp(value, -Limit, Limit));
}

qint64 lineLeft(const LaidOutLine& line, const QRect& r) {
    const qint64 room = r.width() - line.width;
    if (room <= 0)
        return r.left();
    switch (line.alignment) {
    case HorizontalJustification::Right:
        return r.left() + room;
    case HorizontalJustification::Centre:
        return r.left() + room / 2;
    case HorizontalJustification::Left:
        break;
    }
    return r.left();
}

// The longest beginning of the text that fits in room with an ellipsis after it.
QString cutWithEllipsis(const TextBackend& surface, const PlacedRun& run, Mnemonics mnemonics, qint64 room) {
    const QString ellipsis(QChar(u'…'));
    qsizetype fits = 0;
    qsizetype tooLong = run.text.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (surface.measureRun(run.font, QString(run.text.left(middle) + ellipsis), mnemonics).width() <= room)
            fits = middle;
        else
            tooLong = middle;
    }
    return run.text.left(fits) + ellipsis;
}

class LineDrawer {
public:
    LineDrawer(TextBackend& surface, Mnemonics mnemonics, const QRect& r, const HtmlPrintOptions& options)
        : m_surface(surface), m_mnemonics(mnemonics), m_r(r), m_ellipsis(options.Ellipsis), m_clip(options.clip) {}

    // Draws the line's runs side by side from its left edge, each cell's bottom on the line's
    // bottom, lowered for subscripts and raised for superscripts.
    void draw(const LaidOutLine& line, qint64 top) {
        const qint64 bottom = top + line.raise + line.baseHeight;
        const qint64 rightEdge = qint64(m_r.left()) + m_r.width();
        qint64 x = lineLeft(line, m_r);
        for (const PlacedRun& run : line.runs) {
            qint64 runBottom = bottom;
            if (run.shift == Shift::Down)
                runBottom += line.sink;
            else if (run.shift == Shift::Up)
                runBottom -= line.raise;
            if (m_ellipsis && x + run.size.width() > rightEdge) {
                const QString cut = cutWithEllipsis(m_surface, run, m_mnemonics, rightEdge - x);
                const QSize size = m_surface.measureRun(run.font, cut, m_mnemonics);
                if (size.width() <= rightEdge - x) // no room left even for the ellipsis: the line just ends
                    drawRun(run, cut, size, x, runBottom);
                return;
            }
            drawRun(run, run.text, run.size, x, runBottom);
            x += run.size.width();
        }
    }

private:
    void drawRun(const PlacedRun& run, const QString& text, QSize size, qint64 x, qint64 bottom) {
        const QRect cell(coordinate(x), coordinate(bottom - size.height()), size.width(), size.height());
        m_surface.drawRun(run.font, cell, text, m_mnemonics, run.background, m_clip);
    }

    TextBackend& m_surface;
    Mnemonics m_mnemonics;
    QRect m_r;
    bool m_ellipsis;
    std::optional<QRect> m_clip;
};

LayoutOptions layoutOptions(const HtmlPrintOptions& options, const QRect& r) {
    return {r.width(), !options.Ellipsis, options.LineSpacing};
}

} // namespace

// Every line of the markup, measured once: the lines in view are laid out again to be drawn.
struct HtmlLabelRenderer::Layout {
    struct Line {
        LineStart start;
        qint64 top; // from the top of the block
        qint64 height;
    };

    const TextBackend* surface; // the surface the lines were measured on, compared and never used
    QStringList markup;
    CanvasFont baseFont; // in LayoutBaseColour
    LayoutOptions options;

    PreparedHtml html;
    std::vector<Line> lines;
    qint64 height = 0; // at least one line of the base font
};

const HtmlLabelRenderer::Layout& HtmlLabelRenderer::layout(const TextBackend& surface, const QStringList& HTMLText,
                                                           const CanvasFont& baseFont, const QRect& r,
                                                           const HtmlPrintOptions& printOptions) const {
    const LayoutOptions options = layoutOptions(printOptions, r);
    const CanvasFont font = layoutFont(baseFont);
    if (m_layout && m_layout->surface == &surface && m_layout->markup == HTMLText && m_layout->baseFont == font &&
        m_layout->options == options)
        return *m_layout;

    auto laidOut = std::make_shared<Layout>(
        Layout{&surface, HTMLText, font, options, prepareHtmlText(joinHtmlLines(HTMLText)), {}, 0});
    LineLayouter layouter(surface, laidOut->html, font, options);
    for (LineStart start = layouter.lineStart(); const std::optional<LaidOutLine> line = layouter.nextLine();
         start = layouter.lineStart()) {
        laidOut->lines.push_back({start, laidOut->height, line->height()});
        laidOut->height += line->height();
    }
    if (laidOut->height == 0)
        laidOut->height = surface.measureRun(font, u"gh", laidOut->html.mnemonics).height();
    m_layout = std::move(laidOut);
    return *m_layout;
}

void HtmlLabelRenderer::HTMLPrint(TextBackend& surface, const QStringList& HTMLText, const CanvasFont& baseFont,
                                  const QRect& r, const HtmlPrintOptions& options) const {
    const Layout& laidOut = layout(surface, HTMLText, baseFont, r, options);

    // Centred and bottom blocks start by their height; a block taller than r then starts above it.
    qint64 y = r.top();
    if (options.VAlignment != tvaTop) {
        const qint64 room = qint64(r.height()) - laidOut.height;
        y += options.VAlignment == tvaCenter ? room / 2 : room;
    }

    // Lines stop once the next would not fit above r's bottom edge; the first is always drawn. Lines
    // more than their own height above r cannot show, and are passed over.
    const qint64 bottomEdge = qint64(r.top()) + r.height();
    LineLayouter layouter(surface, laidOut.html, baseFont, laidOut.options);
    LineDrawer drawer(surface, laidOut.html.mnemonics, r, options);
    for (const Layout::Line& line : laidOut.lines) {
        const qint64 top = y + line.top;
        const bool first = &line == &laidOut.lines.front();
        if (!first && top + 2 * line.height < r.top())
            continue;
        layouter.resumeAt(inBaseColour(line.start, baseFont.colour));
        const std::optional<LaidOutLine> laidOutLine = layouter.nextLine();
        if (!laidOutLine)
            break;
        drawer.draw(*laidOutLine, top);
        if (bottomEdge < top + laidOutLine->height() + laidOutLine->defaultHeight)
            break;
    }
}

int HtmlLabelRenderer::measureHeight(const TextBackend& surface, const QStringList& HTMLText,
                                     const CanvasFont& baseFont, const QRect& r,
                                     const HtmlPrintOptions& options) const {
    return coordinate(layout(surface, HTMLText, baseFont, r, options).height);
}
