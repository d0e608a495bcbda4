#include "TextStamps.h"

#include <QPainter>

namespace {

QString stampKey(const QFont& font, const QSize& size, int flags, const QString& text, const QRect& part) {
    return font.key() + u'\x1f' + QString::number(flags) + u'\x1f' + QString::number(size.width()) + u'x' +
           QString::number(size.height()) + u'\x1f' + QString::number(part.x()) + u',' + QString::number(part.y()) +
           u',' + QString::number(part.width()) + u'x' + QString::number(part.height()) + u'\x1f' + text;
}

} // namespace

const TextStamps::Stamp& TextStamps::stamp(const QFont& font, const QSize& size, int flags, const QString& text,
                                           const QRect& part) {
    const QString key = stampKey(font, size, flags, text, part);
    if (const auto found = m_index.find(key); found != m_index.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found.value());
        return m_recent.front().second;
    }

    Stamp made;
    QImage glyphs(part.size(), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    QPainter painter(&glyphs);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.translate(-part.topLeft());
    painter.drawText(QRect(QPoint(0, 0), size), flags, text);
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
    // Glyphs may reach past their box (italics, accents): a margin keeps them.
    const int margin = std::max(box.height() / 2, 1);
    const QRect area = box.adjusted(-margin, -margin, margin, margin).intersected(clip).intersected(target.rect());
    if (area.isEmpty())
        return;
    const Stamp& glyphs = stamp(font, box.size(), flags, text, area.translated(-box.topLeft()));
    const quint32 red = qRed(colour), green = qGreen(colour), blue = qBlue(colour);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* coverage = glyphs.coverage.constScanLine(y - area.top()) - area.left();
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
