#pragma once

#include "DisplaySettings.h"

#include <QSize>

class PresentationWindow;
class QScreen;

// Where the presentation window stands and how big it is: the configured size re-applied as the
// border hides, the chosen monitor's top-left corner for "Fix Top left", full screen and
// transparency (which exclude each other), and the menu's reset and font-adjust commands.
class WindowGeometry {
public:
    // Takes over the window's geometry steps: the border-hiding step and the end of a move.
    WindowGeometry(PresentationWindow& window, DisplaySettings& settings);

    QSize displaySize;                    // DisplayWidth x DisplayHeight: the size SetPosition applies
    bool positionFromCommandLine = false; // a position from the command line keeps "Fix Top left" off
    bool fullScreen = false;              // the tick of "Full Screen"

    void SetPosition();
    void MakeFullScreen();
    void MoveTopLeftOfCurrentMonitor();
    // Moves the window as little as needed to show it whole on the monitor nearest to it.
    void MakeFullyVisible();
    // A move has ended: with "Fix Top left" the window goes to its monitor's top-left corner.
    void WMExitSizeMove();
    void FullScreen1Click();
    void Transparent1Click();
    void ResetPosition1Click();
    void IncreaseFontAdjust1Click();
    void DecreaseFontAdjust1Click();

private:
    const QScreen* currentScreen() const;

    PresentationWindow& m_window;
    DisplaySettings& m_settings;
};
