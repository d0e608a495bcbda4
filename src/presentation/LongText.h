#pragma once

#include <QString>
#include <QStringView>

// Texts far longer than a caption line, measured and drawn in pieces. Qt measures a text in 26.6
// fixed point, which overflows past some 33 million pixels, and draws it only within some 8 million
// pixels of where it starts; a piece is short enough to stay far inside both, however large its font.

inline constexpr qsizetype TextPieceLength = 256;

// The advance of text: measure (a QFontMetrics call) applied to the text whole when it is one piece
// long, else summed over its pieces. Pieces never split a surrogate pair.
template <typename Measure> qint64 TextAdvance(QStringView text, Measure measure);

// The whole pieces of a text that reach from..to (pixels from the text's left end), and where the
// leftmost of them starts. A right-to-left text starts at its right end: its pieces lie from there on.
struct TextPart {
    QString text;
    qint64 left = 0;
};

template <typename Measure> TextPart TextPartReaching(QStringView text, qint64 from, qint64 to, Measure measure);

// --- Implementation

qsizetype NextTextPieceEnd(QStringView text, qsizetype start);

template <typename Measure> qint64 TextAdvance(QStringView text, Measure measure) {
    if (text.size() <= TextPieceLength)
        return measure(text);
    qint64 advance = 0;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = NextTextPieceEnd(text, start);
        advance += measure(text.sliced(start, end - start));
        start = end;
    }
    return advance;
}

template <typename Measure> TextPart TextPartReaching(QStringView text, qint64 from, qint64 to, Measure measure) {
    if (text.size() <= TextPieceLength)
        return {text.toString(), 0};
    // The pieces are chosen in the order they are read; for a right-to-left text, with the window
    // mirrored about the middle of the whole.
    const bool rightToLeft = text.isRightToLeft();
    qint64 whole = 0;
    if (rightToLeft) {
        whole = TextAdvance(text, measure);
        const qint64 mirroredFrom = whole - to;
        to = whole - from;
        from = mirroredFrom;
    }
    qint64 x = 0;
    qsizetype first = 0;
    qint64 firstLeft = 0;
    qsizetype end = 0;
    while (end < text.size() && x <= to) {
        const qsizetype pieceEnd = NextTextPieceEnd(text, end);
        x += measure(text.sliced(end, pieceEnd - end));
        end = pieceEnd;
        if (x < from) {
            first = end;
            firstLeft = x;
        }
    }
    return {text.sliced(first, end - first).toString(), rightToLeft ? whole - x : firstLeft};
}
