#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <list>

// Text rendered once and stamped again in any colour. A fade redraws the same caption at every step
// in a new colour, and Qt draws caption-sized glyphs from their outlines each time: a stamp keeps
// the glyphs' coverage, so a step only blends it in the colour of the moment. Stamps are kept for the most recent
// texts, up to MaxBytes in all.
class TextStamps {
public:
    static constexpr qsizetype MaxBytes = 64 * 1024 * 1024;

    // Draws text as QPainter::drawText(box, flags, text) would in font and colour, on target (a
    // 32-bit RGB image), touching no pixel outside clip. Only the part of the box that can land
    // inside clip is rendered: a run in a huge font costs no more than the image it is drawn on.
    void draw(QImage& target, const QRect& clip, const QFont& font, const QRect& box, int flags, const QString& text,
              QRgb colour);

private:
    struct Stamp {
        QImage coverage; // the glyphs' coverage over one part of the box and its margin, one byte a pixel
    };

    // The coverage of part (relative to the box's top-left corner) of text laid out in a box of size.
    const Stamp& stamp(const QFont& font, const QSize& size, int flags, const QString& text, const QRect& part);

    QHash<QString, std::list<std::pair<QString, Stamp>>::iterator> m_index;
    std::list<std::pair<QString, Stamp>> m_recent; // most recently used first
    qsizetype m_bytes = 0;
};
