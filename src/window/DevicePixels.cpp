#include "DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {

int scaled(int value, qreal factor) {
    return int(std::lround(value * factor));
}

} // namespace

QRect deviceGeometry(const QScreen& screen) {
    const QRect logical = screen.geometry();
    const qreal ratio = screen.devicePixelRatio();
    return {logical.topLeft(), QSize(scaled(logical.width(), ratio), scaled(logical.height(), ratio))};
}

QRect fromDevicePixels(const QRect& device, const QScreen& screen) {
    const QPoint origin = screen.geometry().topLeft();
    const qreal ratio = screen.devicePixelRatio();
    const QPoint offset = device.topLeft() - origin;
    return {origin + QPoint(scaled(offset.x(), 1 / ratio), scaled(offset.y(), 1 / ratio)),
            QSize(std::max(1, scaled(device.width(), 1 / ratio)), std::max(1, scaled(device.height(), 1 / ratio)))};
}

QRect toDevicePixels(const QRect& logical, const QScreen& screen) {
    const QPoint origin = screen.geometry().topLeft();
    const qreal ratio = screen.devicePixelRatio();
    const QPoint offset = logical.topLeft() - origin;
    return {origin + QPoint(scaled(offset.x(), ratio), scaled(offset.y(), ratio)),
            QSize(scaled(logical.width(), ratio), scaled(logical.height(), ratio))};
}

QScreen* screenAtDevicePoint(QPoint device) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (deviceGeometry(*screen).contains(device))
            return screen;
    }
    return QGuiApplication::primaryScreen();
}
