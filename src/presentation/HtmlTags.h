#pragma once

#include "CanvasFont.h"
#include "captions/CaptionWords.h"

#include <QStringView>
#include <optional>

// The tags caption markup carries and what each does to the style of the text after it; tags the
// renderer does not use change nothing.

// The style runs are drawn in, changed tag by tag as one print goes through the markup.
struct HtmlStyle {
    explicit HtmlStyle(const CanvasFont& base) : font(base), colourBeforeLastColor(base.colour) {}

    CanvasFont font;
    std::optional<ColourValue> background; // none: runs are drawn over whatever lies beneath
    ColourValue colourBeforeLastColor;     // what </FONT> gives back
    std::optional<ColourValue> backgroundBeforeLastFont;
    HorizontalJustification alignment = HorizontalJustification::Left;
    bool subscript = false;
    bool superscript = false;
    bool hidden = false;
};

enum class TagEffect {
    Style,        // the style may have changed; the line goes on
    LineBreak,    // BR
    ParagraphEnd, // /P: the line ends, and the next one starts left-aligned
};

// Applies one tag, given as the text between "<" and ">", to style; base is the font the print
// started in, which </FONT> returns to.
TagEffect applyHtmlTag(QStringView tag, HtmlStyle& style, const CanvasFont& base);

// A COLOR or BGCOLOR value: "#RRGGBB" or a colour name in any letter case; anything else is black.
ColourValue htmlColour(QStringView value);
