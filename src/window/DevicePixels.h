#pragma once

#include <QRect>

class QScreen;

// A sign's pixels are the monitor's device pixels, whatever the desktop's scale: every size and
// position the display reads, stores, reports or draws is in them. Qt places windows in
// device-independent pixels, in which each monitor keeps its top-left corner and has its size divided
// by its scale; these convert between the two on a monitor.

// The monitor's rectangle in device pixels.
QRect deviceGeometry(const QScreen& screen);
// A rectangle of device pixels on screen, in Qt's pixels, and back.
QRect fromDevicePixels(const QRect& device, const QScreen& screen);
QRect toDevicePixels(const QRect& logical, const QScreen& screen);
// The monitor whose device rectangle holds the point, else the primary one; null without monitors.
QScreen* screenAtDevicePoint(QPoint device);
