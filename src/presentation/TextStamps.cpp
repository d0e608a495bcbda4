#include "TextStamps.h"

#include "CanvasFont.h"
#include "LongText.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cstring>

namespace {

QString stampKey(const QFont& font, const QSize& size, const QRect& window, int flags, const QString& text) {
    return FontKey(font) + u'\x1f' + QString::number(flags) + u'\x1f' + QString::number(size.width()) + u'x' +
           QString::number(size.height()) + u'\x1f' + QString::number(window.x()) + u',' + QString::number(window.y()) +
           u',' + QString::number(window.width()) + u'x' + QString::number(window.height()) + u'\x1f' + text;
}

// How far the glyphs of text must move down so that its baseline lies at the font's own ascent below
// the top of its box. Qt places a line by the tallest ascent of the fonts it draws with, so a character
// from a fallback font with a taller ascent (CJK, Arabic) would push the whole line down, off its box.
// Text in the font alone does not move.
qreal baselineShift(const QFont& font, const QString& text) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.isValid() ? QFontMetricsF(font).ascent() - line.ascent() : 0;
}

} // namespace

const TextStamps::Stamp& TextStamps::stamp(const QFont& font, const QSize& size, const QRect& window, int flags,
                                           const QString& text, qsizetype budget) {
    const QString key = stampKey(font, size, window, flags, text);
    if (const auto found = m_index.find(key); found != m_index.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found.value());
        return m_recent.front().second;
    }

    // Of a long text only the part that reaches the window is drawn, where it lies in the whole.
    const QFontMetrics metrics(font);
    const auto measure = [&](QStringView piece) {
        return metrics.boundingRect(QRect(0, 0, 0, 0), flags, piece.toString()).width();
    };
    const int slack = size.height(); // glyphs reaching past their advance
    const TextPart part =
        TextPartReaching(text, qint64(window.left()) - slack, qint64(window.right()) + slack, measure);

    QImage glyphs(window.size(), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    QPainter painter(&glyphs);
    painter.translate(qreal(part.left - window.left()), baselineShift(font, part.text) - window.top());
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 0), size), flags, part.text);
    painter.end();
    Stamp made = glyphs.convertToFormat(QImage::Format_Alpha8);

    m_bytes += made.sizeInBytes();
    m_recent.emplace_front(key, std::move(made));
    m_index.insert(key, m_recent.begin());
    trim(budget, 1);
    return m_recent.front().second;
}

QRect TextStamps::inkExtent(const QFont& font, int flags, const QString& text) {
    const QString key = FontKey(font) + u'\x1f' + QString::number(flags) + u'\x1f' + text;
    if (const auto found = m_inkExtents.constFind(key); found != m_inkExtents.cend())
        return found.value();

    // The bounds of the glyphs as laid out on one line from the box's top-left corner; a long text
    // is laid out piece by piece, each where it lies in the whole.
    QRectF ink;
    qreal x = 0;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = text.size() <= TextPieceLength ? text.size() : NextTextPieceEnd(text, start);
        QTextLayout layout(text.sliced(start, end - start), font);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        const qreal shift = line.isValid() ? QFontMetricsF(font).ascent() - line.ascent() : 0;
        for (const QGlyphRun& run : layout.glyphRuns())
            ink |= run.boundingRect().translated(std::min<qreal>(x, 1 << 29), shift);
        x += line.isValid() ? line.horizontalAdvance() : 0;
        start = end;
    }
    if (m_inkExtents.size() >= 256)
        m_inkExtents.clear();
    m_inkExtents.insert(key, ink.toAlignedRect());
    return ink.toAlignedRect();
}

QRect TextStamps::draw(QImage& target, const QRect& clip, const QFont& font, const QRect& box, int flags,
                       const QString& text, QRgb colour, CoverageRecorder* recorder) {
    if (text.isEmpty() || box.isEmpty())
        return {};
    // Glyphs may reach past their box (italics, accents, stacked marks): a margin and their ink
    // keep them.
    const int margin = std::max(box.height() / 2, 1);
    const QRect reach = QRect(QPoint(0, 0), box.size()).adjusted(-margin, -margin, margin, margin) |
                        inkExtent(font, flags, text).adjusted(-1, -1, 1, 1);
    const QRect area = reach.translated(box.topLeft()).intersected(clip).intersected(target.rect());
    if (area.isEmpty())
        return {};
    const qsizetype budget = std::min(BudgetPixels * target.width() * target.height(), MaxBytes);
    const Stamp& glyphs = stamp(font, box.size(), area.translated(-box.topLeft()), flags, text, budget);
    const quint32 red = qRed(colour), green = qGreen(colour), blue = qBlue(colour);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* coverage = glyphs.constScanLine(y - area.top());
        QRgb* row = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            // Most of a stamp is empty or solid: eight pixels of either are passed or filled at once.
            if (x + 8 <= area.right() + 1) {
                quint64 eight;
                std::memcpy(&eight, coverage + (x - area.left()), sizeof eight);
                if (eight == 0 || eight == ~quint64(0)) {
                    if (eight != 0)
                        std::fill_n(row + x, 8, colour | 0xFF000000);
                    x += 7;
                    continue;
                }
            }
            const quint32 a = coverage[x - area.left()];
            if (a == 0)
                continue;
            if (a == 255) {
                row[x] = colour | 0xFF000000;
                continue;
            }
            // The colour over what lies there, as much as the glyph covers, rounded.
            const QRgb under = row[x];
            const auto mix = [a](quint32 over, quint32 below) { return (over * a + below * (255 - a) + 127) / 255; };
            row[x] = qRgb(int(mix(red, quint32(qRed(under)))), int(mix(green, quint32(qGreen(under)))),
                          int(mix(blue, quint32(qBlue(under)))));
        }
    }
    if (recorder)
        recorder->stamp(glyphs, area, colour);
    return area;
}

void TextStamps::trim(qsizetype budget, std::size_t keptStamps) {
    while (m_bytes > budget && m_recent.size() > keptStamps) {
        m_bytes -= m_recent.back().second.sizeInBytes();
        m_index.remove(m_recent.back().first);
        m_recent.pop_back();
    }
}
