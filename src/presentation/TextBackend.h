#pragma once

#include "CanvasFont.h"

#include <QRect>
#include <QSize>
#include <QStringView>
#include <optional>

// What the HTML label renderer needs of a drawing surface: runs of text on one line, measured and
// drawn with the same metrics, so its measure pass and its draw pass cannot disagree.

enum class Mnemonics {
    Literal,   // "&" is drawn as it stands
    Underline, // "&&" draws one "&"; a single "&" is not drawn and underlines the character after it
};

class TextBackend {
public:
    virtual ~TextBackend() = default;

    // The size of one line of text: its advance width and its cell height.
    virtual QSize measureRun(const CanvasFont& font, QStringView text, Mnemonics mnemonics) const = 0;

    // Draws one line of text in font.colour with its cell's bottom on cell.bottom(), starting at
    // cell.left(); with a background, the cell is filled with it first. With a clip, nothing is drawn
    // outside it.
    virtual void drawRun(const CanvasFont& font, const QRect& cell, QStringView text, Mnemonics mnemonics,
                         std::optional<ColourValue> background, const std::optional<QRect>& clip) = 0;
};
