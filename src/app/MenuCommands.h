#pragma once

#include "window/PopupMenu.h"

#include <QObject>

class DisplaySettings;
class PresentationWindow;
class SettingsCommands;
class WindowGeometry;

// Carries out the pop-up menu's commands on the running display (the window carries out its two
// background commands itself), and keeps the menu's ticks showing the modes as they are after each.
// What only the display as a whole can do (open the setup dialog, sign on again, end) it asks for
// with a signal.
class MenuCommands : public QObject {
    Q_OBJECT

public:
    // "Increase/Decrease Font Adjust" step by this; the keys step by 1.
    static constexpr int FontAdjustMenuStep = 5;

    MenuCommands(PopupMenu& menu, PresentationWindow& window, WindowGeometry& geometry, DisplaySettings& settings,
                 SettingsCommands& settingsCommands, QObject* parent = nullptr);

    void run(MenuCommand command);
    // The font adjustment changes by delta percent, within its range.
    void adjustFont(int delta);
    // The ticks show the modes as they now are; then modesShown().
    void showModes();

Q_SIGNALS:
    void setupDialogRequested();
    void signOnRequested();
    void exitRequested();
    // After every command: what shows the settings elsewhere (the setup dialog) shows them again.
    void modesShown();

private:
    PopupMenu& m_menu;
    PresentationWindow& m_window;
    WindowGeometry& m_geometry;
    DisplaySettings& m_settings;
    SettingsCommands& m_settingsCommands;
};
