#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QStringList>

// Where the presentation window goes, worked out from rectangles alone so every monitor rule can be
// tested without a window or a screen. Every rectangle of the window here is its content area (what
// shows the captions): that is the rectangle stored, restored and kept while the border shows or
// hides. The border around it (none once hidden) only counts where the window must stay on screen.

// The monitors as the system lists them (their full rectangles, panels included) and which is the
// primary one.
struct MonitorLayout {
    QList<QRect> monitors;
    qsizetype primary = 0;
    QStringList names; // the monitors' output names (HDMI-1), where known

    QRect primaryMonitor() const { return monitors.value(primary); }
};

// What SetPosition works from.
struct PlacementInput {
    QRect client;            // the window's content area now
    QSize displaySize;       // DisplayWidth x DisplayHeight: the size to give it (none: keep its size)
    bool fixTopLeft = false; // "Fix Top left" in effect (a position from the command line turns it off)
    int monitorNumber = 0;
    QMargins border;     // the window's border around client, none once hidden
    QString monitorName; // the chosen monitor by name: wins over its number while connected
};

// The monitor nearest to a window: the one under its centre, or for a window off every monitor the
// one closest to that centre. -1 without monitors.
qsizetype nearestMonitor(const MonitorLayout& layout, const QRect& frame);

// The monitor the window belongs on: with "Fix Top left" in effect the chosen one (by name while a
// monitor of that name is connected, else by number: a number past the last is the last, one before
// the first the first), whatever monitor the window stands on now;
// otherwise the one nearest to the window with its border. -1 without monitors.
qsizetype placementMonitor(const PlacementInput& input, const MonitorLayout& layout);

// Full screen: the whole of the window's monitor, panels and docks included (a full-screen window
// stands above them). Empty without monitors.
QRect fullScreenArea(const PlacementInput& input, const MonitorLayout& layout);

// SetPosition: the configured size, at the chosen monitor's top-left corner when "Fix Top left" is in
// effect (a monitor past the last is the last, one before the first the first), and whole on its
// monitor. The border is left out: SetPosition is the step that hides it.
QRect placeWindow(const PlacementInput& input, const MonitorLayout& layout);

// Moved as little as needed for the window with its border to show whole on the monitor nearest to
// it; a window larger than its monitor keeps to the monitor's top-left corner.
QRect fullyVisible(const QRect& client, const QMargins& frame, const MonitorLayout& layout);

// The top-left corner of the monitor nearest to the window ("Fix Top left" at the end of a move).
QRect atTopLeftOfMonitor(const QRect& client, const QMargins& frame, const MonitorLayout& layout);

// "Reset Position": half the primary monitor's width and height, roughly centred on it.
QRect resetPosition(const MonitorLayout& layout);
