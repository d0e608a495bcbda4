#pragma once

#include "DisplaySettings.h"

#include <QSize>

class PresentationWindow;

// Where the presentation window stands and how big it is: the configured size re-applied as the
// border hides, the chosen monitor's top-left corner for "Fix Top left", full screen and
// transparency (which exclude each other), and the menu's reset and font-adjust commands.
class WindowGeometry {
public:
    WindowGeometry(PresentationWindow& window, DisplaySettings& settings);

    QSize displaySize;                    // DisplayWidth x DisplayHeight: the size SetPosition applies
    bool positionFromCommandLine = false; // a position from the command line keeps "Fix Top left" off
    bool fullScreen = false;              // the tick of "Full Screen"

    void SetPosition();
    void MakeFullScreen();
    void MoveTopLeftOfCurrentMonitor();
    void FullScreen1Click();
    void Transparent1Click();
    void ResetPosition1Click();
    void IncreaseFontAdjust1Click();
    void DecreaseFontAdjust1Click();

private:
    PresentationWindow& m_window;
    DisplaySettings& m_settings;
};
