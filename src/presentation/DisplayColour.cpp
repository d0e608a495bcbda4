#include "DisplayColour.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace {

constexpr ColourValue SystemColourMask = 0xFF000000;
constexpr ColourValue DefaultColour = 0x20000000;

// The palette role nearest to each system colour index, 0..30.
constexpr std::array<QPalette::ColorRole, 31> SystemColourRoles = {
    QPalette::Button,          // scroll bar
    QPalette::Window,          // desktop background
    QPalette::Highlight,       // active caption
    QPalette::Mid,             // inactive caption
    QPalette::Window,          // menu
    QPalette::Base,            // window
    QPalette::Shadow,          // window frame
    QPalette::WindowText,      // menu text
    QPalette::Text,            // window text
    QPalette::HighlightedText, // caption text
    QPalette::Light,           // active border
    QPalette::Midlight,        // inactive border
    QPalette::Dark,            // application workspace
    QPalette::Highlight,       // highlight
    QPalette::HighlightedText, // highlight text
    QPalette::Button,          // button face
    QPalette::Dark,            // button shadow
    QPalette::PlaceholderText, // grey text
    QPalette::ButtonText,      // button text
    QPalette::Text,            // inactive caption text
    QPalette::Light,           // button highlight
    QPalette::Shadow,          // 3D dark shadow
    QPalette::Midlight,        // 3D light
    QPalette::ToolTipText,     // info text
    QPalette::ToolTipBase,     // info background
    QPalette::Window,          // (unused index)
    QPalette::Link,            // hot light
    QPalette::Highlight,       // gradient active caption
    QPalette::Mid,             // gradient inactive caption
    QPalette::Highlight,       // menu highlight
    QPalette::Window,          // menu bar
};

} // namespace

QColor DisplayColour(ColourValue colour) {
    if ((colour & SystemColourMask) == 0)
        return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    const QPalette palette = QGuiApplication::palette();
    if ((colour & SystemColourMask) == SystemColourMask && (colour & 0xFF) < SystemColourRoles.size())
        return palette.color(SystemColourRoles[colour & 0xFF]);
    if (colour == DefaultColour)
        return palette.color(QPalette::WindowText);
    return Qt::black; // "clNone" and whatever else lies outside the table
}

ColourValue PlainColour(ColourValue colour) {
    if ((colour & SystemColourMask) == 0)
        return colour;
    const QColor shown = DisplayColour(colour);
    return ColourValue(shown.red()) | ColourValue(shown.green()) << 8 | ColourValue(shown.blue()) << 16;
}
