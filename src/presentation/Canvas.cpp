#include "Canvas.h"

#include "DisplayColour.h"
#include "LongText.h"
#include "PixelPasses.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstring>
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

constexpr int LineFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip | Qt::TextExpandTabs;

int mnemonicFlags(Mnemonics mnemonics) {
    return mnemonics == Mnemonics::Underline ? Qt::TextShowMnemonic : 0;
}

} // namespace

Canvas::Canvas(QSize size, ColourValue colour)
    : m_size(size.isEmpty() ? QSize(1, 1) : size), m_image(m_size, PixelFormat) {
    m_image.fill(DisplayRgb(colour));
}

void Canvas::resize(QSize size, ColourValue colour, const CanvasHolding& holding) {
    if (size.isEmpty())
        size = QSize(1, 1);
    if (size == m_size && holding.part.isEmpty() && m_image.size() == m_size && m_heldPixels.empty())
        return;
    if (m_recorder)
        m_recorder->spoil();
    rebuild(size, holding, DisplayRgb(colour));
}

void Canvas::hold(const CanvasHolding& holding, ColourValue colour) {
    rebuild(m_size, holding, DisplayRgb(colour));
}

void Canvas::rebuild(QSize size, const CanvasHolding& holding, QRgb pixel) {
    const QSize part = holding.part.isEmpty() ? size : holding.part.boundedTo(size);
    std::vector<std::pair<QPoint, QRgb>> heldPixels;
    for (const QPoint& point : holding.pixels) {
        if (QRect(QPoint(0, 0), size).contains(point) && !QRect(QPoint(0, 0), part).contains(point))
            heldPixels.emplace_back(point, heldPixel(point).value_or(pixel));
    }
    if (part != m_image.size()) {
        QImage image(part, PixelFormat);
        image.fill(pixel);
        const QRect kept = image.rect().intersected(m_image.rect());
        for (int y = 0; y < kept.height(); ++y)
            std::memcpy(image.scanLine(y), m_image.constScanLine(y), std::size_t(kept.width()) * 4);
        // Pixels held apart come back into the part with their colours.
        for (const auto& [point, colour] : m_heldPixels) {
            if (image.rect().contains(point) && point.x() < size.width() && point.y() < size.height())
                image.setPixel(point, colour);
        }
        m_image = std::move(image);
    }
    m_heldPixels = std::move(heldPixels);
    m_size = size;
    m_touched = m_touched.intersected(m_image.rect());
}

std::optional<QRgb> Canvas::heldPixel(QPoint point) const {
    if (m_image.rect().contains(point))
        return m_image.pixel(point);
    for (const auto& [held, colour] : m_heldPixels) {
        if (held == point)
            return colour;
    }
    return std::nullopt;
}

void Canvas::fill(const QRect& area, ColourValue colour) {
    const QRect clipped = area.intersected(m_image.rect());
    markTouched(clipped);
    fillArea(clipped, DisplayRgb(colour));
    for (auto& [point, pixel] : m_heldPixels) {
        if (area.contains(point))
            pixel = DisplayRgb(colour);
    }
    if (m_recorder)
        m_recorder->fill(clipped, DisplayRgb(colour));
}

void Canvas::fillArea(const QRect& area, QRgb pixel) {
    if (area.isEmpty())
        return;
    // One row is filled pixel by pixel, the others are copies of it: a fade fills the whole view at
    // every step, and a block copy writes far faster than a loop of single pixels.
    const qsizetype stride = m_image.bytesPerLine();
    uchar* first = m_image.scanLine(area.top()) + qsizetype(area.left()) * 4;
    QRgb* firstRow = reinterpret_cast<QRgb*>(first);
    std::fill(firstRow, firstRow + area.width(), pixel);
    for (int y = 1; y < area.height(); ++y)
        std::memcpy(first + y * stride, first, std::size_t(area.width()) * 4);
}

void Canvas::copy(const QRect& to, const QImage& source, const QRect& from) {
    markTouched(to);
    if (m_recorder)
        m_recorder->spoil();
    // The pixels held apart take what they are copied from, all read before any is written.
    const QPoint offset = from.topLeft() - to.topLeft();
    std::vector<QRgb> copied;
    for (const auto& [point, pixel] : m_heldPixels) {
        const QPoint read = point + offset;
        if (!to.contains(point))
            copied.push_back(pixel);
        else if (&source == &m_image)
            copied.push_back(heldPixel(read).value_or(qRgb(0, 0, 0)));
        else
            copied.push_back(source.rect().contains(read) ? source.pixel(read) : qRgb(0, 0, 0));
    }
    for (std::size_t i = 0; i < copied.size(); ++i)
        m_heldPixels[i].second = copied[i];
    if (&source == &m_image && to.size() == from.size()) {
        copyWithin(to, from);
        return;
    }
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (&source == &m_image) {
        // Overlapping rectangles of one image: copy through a detached piece.
        painter.drawImage(to, source.copy(from));
    } else {
        painter.drawImage(to, source, from);
    }
}

void Canvas::copyWithin(const QRect& to, const QRect& from) {
    const QPoint offset = from.topLeft() - to.topLeft();
    const QRect target = to.intersected(m_image.rect());
    const QRect readable = target.translated(offset).intersected(m_image.rect()).translated(-offset);
    // What would be read from outside the pixels held is black, as a copy through a painter makes
    // it; it is written after the move, which may read where it lies.
    const auto fillUnreadable = [&] {
        for (const QRect& part : QRegion(target).subtracted(readable))
            fillArea(part, qRgb(0, 0, 0));
    };
    if (readable.isEmpty()) {
        fillUnreadable();
        return;
    }
    // Rectangles of one image, which may overlap: rows are moved in the order that reads each
    // before it is overwritten (a roll-up moves half the image up as it ends).
    uchar* const bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    const std::size_t bytes = std::size_t(readable.width()) * 4;
    const auto move = [&](int row) {
        std::memmove(bits + (readable.top() + row) * stride + qsizetype(readable.left()) * 4,
                     bits + (readable.top() + offset.y() + row) * stride + qsizetype(readable.left() + offset.x()) * 4,
                     bytes);
    };
    if (offset.y() >= 0) {
        for (int row = 0; row < readable.height(); ++row)
            move(row);
    } else {
        for (int row = readable.height() - 1; row >= 0; --row)
            move(row);
    }
    fillUnreadable();
}

void Canvas::draw(QPoint topLeft, const QImage& source, const QRect& clipArea) {
    const QRect target = QRect(topLeft, source.size()).intersected(clipArea);
    if (target.isEmpty())
        return;
    markTouched(target);
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(target.topLeft(), source, target.translated(-topLeft));
    painter.end();
    if (m_recorder)
        m_recorder->pixels(m_image, target.intersected(m_image.rect()));
}

void Canvas::scale(const QRect& area, int factor) {
    ScalePixels(m_image, area, factor);
    markTouched(area);
    if (m_recorder)
        m_recorder->scale(area.intersected(m_image.rect()), std::clamp(factor, 0, 255));
}

void Canvas::trimTextCaches() {
    m_stamps.trim(qsizetype(m_image.width()) * m_image.height());
}

int Canvas::textHeight(const CanvasFont& font) {
    return QFontMetrics(font.toQFont()).height();
}

// Splits text into the lines it is drawn in: at line breaks, and with word wrap also at spaces so
// that lines fit width (a word wider than that stands alone on its line and overflows).
const std::vector<Canvas::Line>& Canvas::linesOf(const QFont& qfont, int width, const QString& text,
                                                 WordWrap wrap) const {
    const QString fontKey = FontKey(qfont);
    const auto laidOutHere = [&](const std::optional<LaidOutText>& laidOut) {
        return laidOut && laidOut->fontKey == fontKey && laidOut->width == width && laidOut->wrap == wrap &&
               laidOut->text == text;
    };
    if (laidOutHere(m_laidOut))
        return m_laidOut->lines;
    if (laidOutHere(m_laidOutBefore))
        return m_laidOutBefore->lines;

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
    m_laidOutBefore = std::move(m_laidOut);
    m_laidOut = LaidOutText{fontKey, width, wrap, text, std::move(lines)};
    return m_laidOut->lines;
}

qint64 Canvas::measureText(const CanvasFont& font, int width, const QString& text, WordWrap wrap) const {
    const QFont qfont = font.toQFont();
    return qint64(linesOf(qfont, width, text, wrap).size()) * QFontMetrics(qfont).height();
}

void Canvas::drawText(const TextStyle& style, int left, int width, qint64 top, const QString& text,
                      HorizontalJustification alignment, WordWrap wrap) {
    const QFont qfont = style.font.toQFont();
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
        if (alignment == HorizontalJustification::Centre)
            lineLeft += (qint64(width) - line.width) / 2;
        else if (alignment == HorizontalJustification::Right)
            lineLeft += qint64(width) - line.width;
        const QRect box(coordinate(lineLeft), int(top), int(std::clamp<qint64>(line.width, 0, 1 << 29)), lineHeight);
        fill(box, style.background);
        // Glyphs may reach past their cell (italics, stacked accents): a margin counts as drawn too, and
        // the stamps report where their ink went beyond it (deep descenders of fallback fonts).
        markTouched(box.adjusted(-lineHeight, -lineHeight / 2, lineHeight, lineHeight / 2));
        markTouched(m_stamps.draw(m_image, m_image.rect(), qfont, box, LineFlags, line.text,
                                  DisplayRgb(style.font.colour), m_recorder));
    }
}

int Canvas::inkBelowLastLine(const CanvasFont& font, int width, const QString& text, WordWrap wrap) {
    const QFont qfont = font.toQFont();
    const std::vector<Line>& lines = linesOf(qfont, width, text, wrap);
    if (lines.empty() || lines.back().text.isEmpty())
        return 0;
    const QRect ink = m_stamps.inkExtent(qfont, LineFlags, lines.back().text);
    return std::max(0, ink.bottom() + 1 - QFontMetrics(qfont).height());
}

QSize Canvas::measureRun(const CanvasFont& runFont, QStringView text, Mnemonics mnemonics) const {
    const QFont qfont = runFont.toQFont();
    QString key = FontKey(qfont) + u'\x1f' + QString::number(int(mnemonics)) + u'\x1f';
    key += text;
    if (const auto found = m_runSizes.constFind(key); found != m_runSizes.constEnd())
        return found.value();

    const QFontMetrics metrics(qfont);
    const int flags = Qt::TextSingleLine | Qt::TextExpandTabs | mnemonicFlags(mnemonics);
    const qint64 width = TextAdvance(text, [&](QStringView piece) {
        return metrics.boundingRect(QRect(0, 0, 0, 0), flags, piece.toString()).width();
    });
    const QSize size(int(std::min<qint64>(width, 1 << 29)), metrics.height());
    if (m_runSizeCharacters + key.size() > MaxRunSizeCharacters) {
        m_runSizes.clear();
        m_runSizeCharacters = 0;
    }
    m_runSizeCharacters += key.size();
    m_runSizes.insert(std::move(key), size);
    return size;
}

void Canvas::drawRun(const CanvasFont& runFont, const QRect& cell, QStringView text, Mnemonics mnemonics,
                     std::optional<ColourValue> background, const std::optional<QRect>& clip) {
    const QRect visible = clip ? clip->intersected(m_image.rect()) : m_image.rect();
    // The run's box shares the cell's bottom and left: a run ending above what is seen, or starting
    // right of it, is passed over without measuring it.
    if (cell.bottom() < visible.top() || cell.left() > visible.right())
        return;
    const QSize size = measureRun(runFont, text, mnemonics);
    const QRect box(cell.left(), cell.bottom() + 1 - size.height(), size.width(), size.height());
    if (!box.intersects(visible))
        return; // nothing of it would be seen
    markTouched(
        box.adjusted(-size.height(), -size.height() / 2, size.height(), size.height() / 2).intersected(visible));
    if (background) {
        fillArea(box.intersected(visible), DisplayRgb(*background));
        if (m_recorder)
            m_recorder->fill(box.intersected(visible), DisplayRgb(*background));
    }
    markTouched(m_stamps.draw(m_image, visible, runFont.toQFont(), box,
                              Qt::TextSingleLine | Qt::TextExpandTabs | Qt::TextDontClip | mnemonicFlags(mnemonics),
                              text.toString(), DisplayRgb(runFont.colour), m_recorder));
}
