#include "WindowPlacement.h"

#include <algorithm>
#include <limits>

qsizetype nearestMonitor(const MonitorLayout& layout, const QRect& frame) {
    const QPoint centre = frame.center();
    qsizetype nearest =
        layout.monitors.isEmpty() ? -1 : std::clamp<qsizetype>(layout.primary, 0, layout.monitors.size() - 1);
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (qsizetype i = 0; i < layout.monitors.size(); ++i) {
        const QRect& area = layout.monitors[i];
        const qint64 dx = std::max({area.left() - centre.x(), 0, centre.x() - area.right()});
        const qint64 dy = std::max({area.top() - centre.y(), 0, centre.y() - area.bottom()});
        if (dx * dx + dy * dy < nearestDistance) {
            nearestDistance = dx * dx + dy * dy;
            nearest = i;
        }
    }
    return nearest;
}

QRect fullyVisible(const QRect& client, const QMargins& frame, const MonitorLayout& layout) {
    const QRect outer = client.marginsAdded(frame);
    const qsizetype monitor = nearestMonitor(layout, outer);
    if (monitor < 0)
        return client;
    const QRect area = layout.monitors[monitor];
    const int left = std::max(area.left(), std::min(outer.left(), area.right() + 1 - outer.width()));
    const int top = std::max(area.top(), std::min(outer.top(), area.bottom() + 1 - outer.height()));
    return client.translated(QPoint(left, top) - outer.topLeft());
}

QRect atTopLeftOfMonitor(const QRect& client, const QMargins& frame, const MonitorLayout& layout) {
    const qsizetype monitor = nearestMonitor(layout, client.marginsAdded(frame));
    if (monitor < 0)
        return client;
    return QRect(layout.monitors[monitor].topLeft(), client.size());
}

qsizetype placementMonitor(const PlacementInput& input, const MonitorLayout& layout) {
    if (layout.monitors.isEmpty())
        return -1;
    if (input.fixTopLeft && !input.monitorName.isEmpty() && layout.names.contains(input.monitorName))
        return layout.names.indexOf(input.monitorName);
    if (input.fixTopLeft)
        return std::clamp<qsizetype>(input.monitorNumber, 0, layout.monitors.size() - 1);
    return nearestMonitor(layout, input.client.marginsAdded(input.border));
}

QRect fullScreenArea(const PlacementInput& input, const MonitorLayout& layout) {
    const qsizetype monitor = placementMonitor(input, layout);
    return monitor < 0 ? QRect() : layout.monitors[monitor];
}

QRect placeWindow(const PlacementInput& input, const MonitorLayout& layout) {
    QRect client = input.client;
    if (!input.displaySize.isEmpty())
        client.setSize(input.displaySize);
    if (input.fixTopLeft && !layout.monitors.isEmpty())
        client.moveTopLeft(layout.monitors[placementMonitor(input, layout)].topLeft());
    return fullyVisible(client, QMargins(), layout);
}

QRect resetPosition(const MonitorLayout& layout) {
    const QRect primary = layout.primaryMonitor();
    const int width = primary.width();
    const int height = primary.height();
    return QRect(primary.left() + width / 2 - width / 4, primary.top() + height / 2 - height / 4, width / 2,
                 height / 2);
}
