#pragma once

#include "captions/Vocabularies.h"

#include <QImage>
#include <QRect>

// The per-pixel passes of the display: scaling every colour byte by a factor 0..255 (c × f div 255,
// integer arithmetic), for the brightness of a caption and the fade of formatted and picture captions;
// and keying out the caption background in transparent mode.

// Scales the pixels of area (clipped to the image) by factor; 255 leaves them as they are.
void ScalePixels(QImage& image, const QRect& area, int factor);

// Blends the pixels of area (clipped to the image) toward black as ColourBlend blends a colour with
// black: each byte c becomes c - blend × c div FullProgress, blend 0..FullProgress.
void BlendPixelsToBlack(QImage& image, const QRect& area, int blend);

// In an ARGB32 image, pixels of the key colour become fully transparent and the other visible pixels
// take the given alpha: what a transparent window shows.
void KeyOutColour(QImage& image, QRgb key, int alpha);
