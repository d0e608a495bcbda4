#pragma once

#include "captions/Colours.h"

#include <QColor>
#include <QRgb>

// Colour values as pixels. Plain colours (0x00BBGGRR) map directly; the platform's system colours
// (0xFF000000 plus an index) are taken from the application palette, so a caption in "clBtnFace"
// matches the desktop it runs on; "clNone" draws black and "clDefault" the palette's text colour.
QColor DisplayColour(ColourValue colour);

inline QRgb DisplayRgb(ColourValue colour) {
    return DisplayColour(colour).rgb();
}

// The colour as a plain value (0x00BBGGRR): a system colour becomes the colour it shows, which can
// then be blended channel by channel.
ColourValue PlainColour(ColourValue colour);
