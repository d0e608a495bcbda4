#include "Canvas.h"

#include "DisplayColour.h"
#include "LongText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Line breaks of the display's texts, CR LF and lone CR included, as Qt lays them out.
QString withLineFeeds(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

// Positions far off any image are pinned well inside the range of int, where they stay off it.
int coordinate(qint64 value) {
    constexpr qint64 Limit = 1 << 29;
    return int(std::clamp(value, -Limit, Limit));
}

// The advance of one line of text, however long.
qint64 lineAdvance(const QFontMetrics& metrics, QStringView text) {
    return TextAdvance(text, [&metrics](QStringView piece) { return metrics.horizontalAdvance(piece.toString()); });
}

int mnemonicFlags(Mnemonics mnemonics) {
    return mnemonics == Mnemonics::Underline ? Qt::TextShowMnemonic : 0;
}

} // namespace

Canvas::Canvas(QSize size) : m_image(size.isEmpty() ? QSize(1, 1) : size, PixelFormat) {
    m_image.fill(DisplayRgb(brushColour));
}

void Canvas::resize(QSize size) {
    if (size.isEmpty())
        size = QSize(1, 1);
    if (size == m_image.size())
        return;
    QImage resized(size, PixelFormat);
    resized.fill(DisplayRgb(brushColour));
    QPainter painter(&resized);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), m_image);
    painter.end();
    m_image = std::move(resized);
}

void Canvas::fill(const QRect& area) {
    const QRect clipped = area.intersected(m_image.rect());
    markTouched(clipped);
    fillArea(clipped, DisplayRgb(brushColour));
}

void Canvas::fillArea(const QRect& area, QRgb pixel) {
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, pixel);
    }
}

void Canvas::copy(const QRect& to, const QImage& source, const QRect& from) {
    markTouched(to);
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (&source == &m_image) {
        // Overlapping rectangles of one image: copy through a detached piece.
        painter.drawImage(to, source.copy(from));
    } else {
        painter.drawImage(to, source, from);
    }
}

void Canvas::draw(QPoint topLeft, const QImage& source, const QRect& clipArea) {
    const QRect target = QRect(topLeft, source.size()).intersected(clipArea);
    if (target.isEmpty())
        return;
    markTouched(target);
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(target.topLeft(), source, target.translated(-topLeft));
}

int Canvas::textHeight() const {
    return QFontMetrics(font.toQFont()).height();
}

// Splits text into the lines it is drawn in: at line breaks, and with word wrap also at spaces so
// that lines fit width (a word wider than that stands alone on its line and overflows).
const std::vector<Canvas::Line>& Canvas::linesOf(const QFont& qfont, int width, const QString& text,
                                                 WordWrap wrap) const {
    const QString fontKey = qfont.key();
    if (m_laidOut && m_laidOut->fontKey == fontKey && m_laidOut->width == width && m_laidOut->wrap == wrap &&
        m_laidOut->text == text)
        return m_laidOut->lines;

    const QFontMetrics metrics(qfont);
    std::vector<Line> lines;
    const QStringList paragraphs = withLineFeeds(text).split(u'\n');
    for (const QString& paragraph : paragraphs) {
        if (wrap == WordWrap::Off || paragraph.isEmpty()) {
            lines.push_back({paragraph, lineAdvance(metrics, paragraph)});
            continue;
        }
        QTextLayout layout(paragraph, qfont);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1));
            const QString lineText = paragraph.mid(line.textStart(), line.textLength());
            // A line of one long word is measured in pieces, as Qt cannot measure it whole.
            const qint64 advance = lineText.size() <= TextPieceLength
                                       ? qint64(std::ceil(line.naturalTextWidth()))
                                       : lineAdvance(metrics, QStringView(lineText).trimmed());
            lines.push_back({lineText, advance});
        }
        layout.endLayout();
    }
    // A final line break starts no line.
    if (lines.size() > 1 && paragraphs.last().isEmpty())
        lines.pop_back();
    m_laidOut = LaidOutText{fontKey, width, wrap, text, std::move(lines)};
    return m_laidOut->lines;
}

qint64 Canvas::measureText(int width, const QString& text, WordWrap wrap) const {
    const QFont qfont = font.toQFont();
    return qint64(linesOf(qfont, width, text, wrap).size()) * QFontMetrics(qfont).height();
}

void Canvas::drawText(int left, int width, qint64 top, const QString& text, TextAlignment alignment, WordWrap wrap) {
    const QFont qfont = font.toQFont();
    const int lineHeight = std::max(1, QFontMetrics(qfont).height());
    const std::vector<Line>& lines = linesOf(qfont, width, text, wrap);
    // All but the last of the lines above the image are passed over: its glyphs may reach into it.
    std::size_t first = 0;
    if (top < -qint64(lineHeight)) {
        first = std::min(lines.size(), std::size_t(-top / lineHeight - 1));
        top += qint64(first) * lineHeight;
    }
    for (std::size_t i = first; i < lines.size() && top < m_image.height(); ++i, top += lineHeight) {
        const Line& line = lines[i];
        qint64 lineLeft = left;
        if (alignment == TextAlignment::Centre)
            lineLeft += (qint64(width) - line.width) / 2;
        else if (alignment == TextAlignment::Right)
            lineLeft += qint64(width) - line.width;
        const QRect box(coordinate(lineLeft), int(top), int(std::clamp<qint64>(line.width, 0, 1 << 29)), lineHeight);
        fill(box);
        // Glyphs may reach past their cell (italics, stacked accents): a margin counts as drawn too.
        markTouched(QRect(left - lineHeight, int(top) - lineHeight / 2, width + 2 * lineHeight, 2 * lineHeight));
        markTouched(
            m_stamps.draw(m_image, m_image.rect(), qfont, box,
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextExpandTabs,
                          line.text, DisplayRgb(font.colour)));
    }
}

QSize Canvas::measureRun(const CanvasFont& runFont, QStringView text, Mnemonics mnemonics) const {
    const QFontMetrics metrics(runFont.toQFont());
    const int flags = Qt::TextSingleLine | Qt::TextExpandTabs | mnemonicFlags(mnemonics);
    const qint64 width = TextAdvance(text, [&](QStringView piece) {
        return metrics.boundingRect(QRect(0, 0, 0, 0), flags, piece.toString()).width();
    });
    return {int(std::min<qint64>(width, 1 << 29)), metrics.height()};
}

void Canvas::drawRun(const CanvasFont& runFont, const QRect& cell, QStringView text, Mnemonics mnemonics,
                     std::optional<ColourValue> background) {
    const QSize size = measureRun(runFont, text, mnemonics);
    const QRect box(cell.left(), cell.bottom() + 1 - size.height(), size.width(), size.height());
    const QRect visible = clip ? clip->intersected(m_image.rect()) : m_image.rect();
    if (!box.intersects(visible))
        return; // nothing of it would be seen
    markTouched(
        box.adjusted(-size.height(), -size.height() / 2, size.height(), size.height() / 2).intersected(visible));
    if (background)
        fillArea(box.intersected(visible), DisplayRgb(*background));
    markTouched(m_stamps.draw(m_image, visible, runFont.toQFont(), box,
                              Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextDontClip | mnemonicFlags(mnemonics),
                              text.toString(), DisplayRgb(runFont.colour)));
}
