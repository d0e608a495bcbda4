#pragma once

#include "Presenter.h"

#include <QPainter>
#include <QRect>

// Paints area of a window's client from the presenter's display image lying at imagePosition, with
// black where the image does not reach: how the window shows the image when nothing is keyed out.
// A fade's view of one colour is filled around the caption rather than copied.
void PaintDisplayImage(QPainter& painter, const Presenter& presenter, QPoint imagePosition, const QRect& area);
