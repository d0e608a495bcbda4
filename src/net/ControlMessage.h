#pragma once

#include "captions/Colours.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The control port's messages: each read is one message of 8-bit text. Exactly VT "?" "0" asks for
// the display's status; anything beginning VT "T" "L" is ignored; everything else, the empty message
// included, is a Stagetext caption.

enum class ControlMessageKind { StatusQuery, Ignored, Stagetext };

ControlMessageKind ClassifyControlMessage(QByteArrayView message);

// The message as the Stagetext conversion reads it.
QString DecodeControlMessage(QByteArrayView message);

// The display values a status reply reports, taken at the moment of the query.
struct DisplayStatus {
    int displayWidth = 0; // of the display image, in pixels
    int displayHeight = 0;
    QString fontName; // the display image's current drawing font
    ColourValue fontColour = 0;
    ColourValue brushColour = 0;
    int fontSize = 0;     // in points
    int displayLines = 1; // the number-of-display-lines setting
};

// Seven "Key=value" lines, each ended by CR LF, in the display's 8-bit code page.
QByteArray ReplyString(const DisplayStatus& status);
