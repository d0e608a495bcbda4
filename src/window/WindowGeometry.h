#pragma once

#include "PlacementSettings.h"
#include "WindowPlacement.h"

#include <QElapsedTimer>
#include <QRect>

class PresentationWindow;

// Where the presentation window stands and how big it is: the configured size re-applied as the
// border hides, the chosen monitor's top-left corner for "Fix Top left", full screen and
// transparency (which exclude each other), and the menu's reset command. The rules themselves are
// the pure functions of WindowPlacement; this applies them to the window.
class WindowGeometry {
public:
    // Takes over the window's geometry steps: the border-hiding step and the end of a move.
    WindowGeometry(PresentationWindow& window, const PlacementSettings& settings);

    // DisplayWidth x DisplayHeight: the size SetPosition applies.
    QSize displaySize() const { return m_displaySize; }
    void setDisplaySize(QSize size) { m_displaySize = size; }
    void setDisplayHeight(int height) { m_displaySize.setHeight(height); }
    // A position from the command line keeps "Fix Top left" off.
    void keepPositionFromCommandLine(bool keep) { m_positionFromCommandLine = keep; }
    // The tick of "Full Screen". A stored tick is taken back without changing the window: the next
    // placement (applyPlacement, SetPosition) makes the window full screen.
    bool fullScreen() const { return m_fullScreen; }
    void restoreFullScreenTick(bool on) { m_fullScreen = on; }

    // The window's own geometry: while it is full screen, the one it had before and takes again
    // when full screen ends. This is what the settings keep.
    QRect normalGeometry() const;

    // The output name of the monitor the window stands on (empty without monitors).
    QString monitorName() const;

    void SetPosition();
    // SetPosition's geometry alone: the configured size on the chosen monitor, or full screen there.
    // The window shows there from the start.
    void applyPlacement();
    // The desktop's full-screen state on the window's monitor (the chosen one with "Fix Top left").
    void MakeFullScreen();
    void MoveTopLeftOfCurrentMonitor();
    // A move has ended: with "Fix Top left" the window goes to its monitor's top-left corner. A move
    // that ends shortly after a monitor came or went is the window manager re-placing the window on
    // the monitors left, which may land after the display placed it: it is placed again.
    void onMoveSettled(); // WMExitSizeMove
    static constexpr qint64 MonitorChangeSettleMilliseconds = 3000;
    // The menu's "Full Screen", "Transparent" and "Reset Position".
    void toggleFullScreen();
    void toggleTransparent();
    void resetPosition();

private:
    PlacementInput placementInput() const;
    void keepNormalGeometry();
    void leaveFullScreen();

    PresentationWindow& m_window;
    const PlacementSettings& m_settings;
    QSize m_displaySize;
    bool m_positionFromCommandLine = false;
    bool m_fullScreen = false;
    bool m_normalKept = false; // full screen has begun: m_normalGeometry is the window's own
    QRect m_normalGeometry;
    QElapsedTimer m_sinceMonitorsChanged;
};
