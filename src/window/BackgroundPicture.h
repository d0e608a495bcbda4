#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

// The operator's background picture: a BMP file shown at its natural size from the window's
// top-left corner, behind the display image, wherever the display image has its transparent colour.

struct BackgroundBitmap {
    QImage image;  // null when the file could not be read
    QString error; // the bitmap reader's error when it could not
};

// Reads a BMP file, refusing one whose pixels would need more than the display's bitmap allocation
// limit.
BackgroundBitmap ReadBackgroundBitmap(const QString& file);

// The transparent colour of a display image: the colour of its bottom-left pixel (normally the
// caption background).
QRgb TransparentColour(QRgb bottomLeftPixel);

// Draws display at position over frame (a 32-bit image already showing the background picture),
// leaving the frame's pixels wherever display has the transparent colour.
void DrawOverBackground(QImage& frame, const QImage& display, QPoint position, QRgb transparent);
