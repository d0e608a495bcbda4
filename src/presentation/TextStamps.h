#pragma once

#include "FadeCoverage.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <list>

// Text rendered once and stamped again in any colour. A fade redraws the same caption at every step
// in a new colour, and Qt draws caption-sized glyphs from their outlines each time: a stamp keeps
// the glyphs' coverage, so a step only blends it in the colour of the moment. Stamps are kept for the most recent
// texts, up to BudgetPixels coverage bytes for each pixel of the target (never more than MaxBytes in all): a
// step draws the lines of at most two captions, whose stamps, margins included, cover the target about once,
// while older captions are not drawn again and give way. A stamp holds only the part of the text that can
// reach the clip, so a text far larger than the image (a huge font, a very long line) costs no more memory
// than the clip's area.
class TextStamps {
public:
    static constexpr qsizetype BudgetPixels = 2;
    static constexpr qsizetype MaxBytes = 64 * 1024 * 1024;

    // Draws text as QPainter::drawText(box, flags, text) would in font and colour, on target (a
    // 32-bit RGB image), touching no pixel outside clip. Returns the area it may have changed: the
    // glyphs' whole ink, however far it reaches past the box. A recorder is told of the glyphs' coverage.
    QRect draw(QImage& target, const QRect& clip, const QFont& font, const QRect& box, int flags, const QString& text,
               QRgb colour, CoverageRecorder* recorder = nullptr);

    // Where the glyphs' ink lies relative to the top-left corner of the box text is drawn in with
    // flags (stacked marks and deep descenders reach far past it). Kept for the recent texts: a fade
    // draws one at every step.
    QRect inkExtent(const QFont& font, int flags, const QString& text);

    // The coverage bytes the stamps kept hold.
    qsizetype bytes() const { return m_bytes; }
    // Gives back the stamps used least recently, all but keptStamps of them, until the rest hold
    // no more than budget bytes.
    void trim(qsizetype budget, std::size_t keptStamps = 0);

private:
    // The glyphs' coverage, one byte a pixel, over a window of the text's box grown by a margin all
    // round; the window is given relative to the box's top-left corner.
    using Stamp = QImage;

    const Stamp& stamp(const QFont& font, const QSize& size, const QRect& window, int flags, const QString& text,
                       qsizetype budget);

    QHash<QString, QRect> m_inkExtents;

    QHash<QString, std::list<std::pair<QString, Stamp>>::iterator> m_index;
    std::list<std::pair<QString, Stamp>> m_recent; // most recently used first
    qsizetype m_bytes = 0;
};
