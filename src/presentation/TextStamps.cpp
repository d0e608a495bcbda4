#include "TextStamps.h"

#include <QPainter>

namespace {

QString stampKey(const QFont& font, const QSize& size, int flags, const QString& text) {
    return font.key() + u'\x1f' + QString::number(flags) + u'\x1f' + QString::number(size.width()) + u'x' +
           QString::number(size.height()) + u'\x1f' + text;
}

} // namespace

const TextStamps::Stamp& TextStamps::stamp(const QFont& font, const QSize& size, int flags, const QString& text) {
    const QString key = stampKey(font, size, flags, text);
    if (const auto found = m_index.find(key); found != m_index.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found.value());
        return m_recent.front().second;
    }

    // Glyphs may reach past their box (italics, accents): the margin keeps them.
    Stamp made;
    made.margin = std::max(size.height() / 2, 1);
    QImage glyphs(size + QSize(2 * made.margin, 2 * made.margin), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    QPainter painter(&glyphs);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(made.margin, made.margin), size), flags, text);
    painter.end();
    made.coverage = glyphs.convertToFormat(QImage::Format_Alpha8);

    m_bytes += made.coverage.sizeInBytes();
    m_recent.emplace_front(key, std::move(made));
    m_index.insert(key, m_recent.begin());
    while (m_bytes > MaxBytes && m_recent.size() > 1) {
        m_bytes -= m_recent.back().second.coverage.sizeInBytes();
        m_index.remove(m_recent.back().first);
        m_recent.pop_back();
    }
    return m_recent.front().second;
}

void TextStamps::draw(QImage& target, const QRect& clip, const QFont& font, const QRect& box, int flags,
                      const QString& text, QRgb colour) {
    if (text.isEmpty() || box.isEmpty())
        return;
    const Stamp& glyphs = stamp(font, box.size(), flags, text);
    const QPoint origin = box.topLeft() - QPoint(glyphs.margin, glyphs.margin);
    const QRect area = QRect(origin, glyphs.coverage.size()).intersected(clip).intersected(target.rect());
    const quint32 red = qRed(colour), green = qGreen(colour), blue = qBlue(colour);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* coverage = glyphs.coverage.constScanLine(y - origin.y()) - origin.x();
        QRgb* row = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const quint32 a = coverage[x];
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
}
