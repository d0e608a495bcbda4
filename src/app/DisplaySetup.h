#pragma once

#include "SetupDialogHost.h"

class CommandLine;
class DisplaySettings;
class PresentationWindow;
class WindowGeometry;

// Carries out on the running display what the setup dialog decided, and answers the dialog's
// questions about it: the chosen font becomes the display image's drawing font, and the window
// takes the chosen size through its geometry rules.
class DisplaySetup : public SetupDialogHost {
public:
    // commandLine gives the "height" switch that Apply honours.
    DisplaySetup(PresentationWindow& window, WindowGeometry& geometry, DisplaySettings& settings,
                 const CommandLine& commandLine);

    // Apply: the chosen font draws, and the chosen size (or the command line's height) and position
    // apply to the window.
    void apply();
    // "Set size using these parameters": the chosen font draws, and the window becomes height high.
    void setSizeFromLines(int height);

    // SetupDialogHost
    QSize windowSize() const override;
    int lineHeight(const QString& fontName, int pointSize) const override;

private:
    // The display image's drawing font := the chosen font at the chosen height.
    void setDisplayFont();

    PresentationWindow& m_window;
    WindowGeometry& m_geometry;
    DisplaySettings& m_settings;
    const CommandLine& m_commandLine;
};
