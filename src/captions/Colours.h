#pragma once

#include <QString>
#include <QStringView>
#include <span>

// Colour values as the caption documents and settings carry them: 0x00BBGGRR, red in the low byte.
// The platform colour table adds system colours (0xFF000000 plus an index) and two specials.
using ColourValue = quint32;

namespace Colour {
inline constexpr ColourValue Yellow = 0x00FFFF;
inline constexpr ColourValue Black = 0x000000;
} // namespace Colour

struct NamedColour {
    const char* identifier;
    ColourValue value;
};

// The 52 identifiers of the platform colour table ("clYellow", "clBtnFace", "clNone", ...).
std::span<const NamedColour> PlatformColourTable();

// Resolves a colour text: "$BBGGRR" (or "$xxBBGGRR"), a colour word, a table identifier in any
// letter case, or a complete number; anything else gives fallback.
ColourValue StringToColour(QStringView colour, ColourValue fallback);

// The colour as text: its table identifier when it has one, else "$" and eight hexadecimal digits.
QString ColourToString(ColourValue colour);

// The colour as the display's settings hold it: "$" and at least six upper-case hexadecimal digits
// ("$00FFFF").
QString ColourSettingText(ColourValue colour);
