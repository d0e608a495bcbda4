#pragma once

#include "Presenter.h"

#include <QPainter>
#include <QRect>

// Paints area of a window's client from the presenter's display image lying at imagePosition, with
// black where the image does not reach: how the window shows the image when nothing is keyed out.
// A fade's view of one colour is filled around the caption rather than copied.
void PaintDisplayImage(QPainter& painter, const Presenter& presenter, QPoint imagePosition, const QRect& area);

// Composes a transparent window's client into frame, an ARGB32 image whose top-left pixel is the
// client's (ARGB32 premultiplied will do when alpha is 255): the display image at imagePosition,
// nothing where it does not reach, its pixels of the key colour fully transparent and the others at
// the window's alpha. What the window shows over the desktop.
void ComposeKeyedDisplayImage(QImage& frame, const Presenter& presenter, QPoint imagePosition, QRgb key, int alpha);
