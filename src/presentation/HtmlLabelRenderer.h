#pragma once

#include "CanvasFont.h"
#include "TextBackend.h"

#include <QRect>
#include <QStringList>
#include <memory>
#include <optional>

// Lays out and draws the small HTML subset captions carry: runs in changing fonts and colours,
// wrapped at spaces into aligned lines, the block placed at the top, middle or bottom of a rectangle.

enum TextVAlignment { tvaTop, tvaCenter, tvaBottom };

// How one print lays the markup out and places it.
struct HtmlPrintOptions {
    TextVAlignment VAlignment = tvaTop;
    int LineSpacing = 0;   // pixels added to every line's height
    bool Ellipsis = false; // true: lines do not wrap, and what passes the right edge is cut short with "…"
    std::optional<QRect> clip = std::nullopt; // runs draw only inside it, when set
};

class HtmlLabelRenderer {
public:
    // Prints the markup HTMLText (one caption line an item) inside r, starting in baseFont. The first
    // line is always drawn; lines below r are not.
    void HTMLPrint(TextBackend& surface, const QStringList& HTMLText, const CanvasFont& baseFont, const QRect& r,
                   const HtmlPrintOptions& options = {}) const;

    // The height the markup takes laid out in r, all of it, including what HTMLPrint leaves undrawn
    // below r; at least one line of baseFont.
    int measureHeight(const TextBackend& surface, const QStringList& HTMLText, const CanvasFont& baseFont,
                      const QRect& r, const HtmlPrintOptions& options = {}) const;

private:
    struct Layout;
    const Layout& layout(const TextBackend& surface, const QStringList& HTMLText, const CanvasFont& baseFont,
                         const QRect& r, const HtmlPrintOptions& options) const;

    // The last markup laid out, kept because a fade prints the same caption at every step.
    mutable std::shared_ptr<const Layout> m_layout;
};
