#include "MenuCommands.h"

#include "DisplaySettings.h"
#include "SettingsCommands.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

MenuCommands::MenuCommands(PopupMenu& menu, PresentationWindow& window, WindowGeometry& geometry,
                           DisplaySettings& settings, SettingsCommands& settingsCommands, QObject* parent)
    : QObject(parent), m_menu(menu), m_window(window), m_geometry(geometry), m_settings(settings),
      m_settingsCommands(settingsCommands) {
    connect(&m_menu, &PopupMenu::commandChosen, this, &MenuCommands::run);
    connect(&m_window, &PresentationWindow::fontAdjustRequested, this, &MenuCommands::adjustFont);
}

void MenuCommands::run(MenuCommand command) {
    switch (command) {
    case MenuCommand::FullScreen:
        m_geometry.toggleFullScreen();
        break;
    case MenuCommand::Transparent:
        m_geometry.toggleTransparent();
        break;
    case MenuCommand::ChooseFontDisplaySetup:
        Q_EMIT setupDialogRequested();
        break;
    case MenuCommand::IncreaseFontAdjust:
        adjustFont(FontAdjustMenuStep);
        break;
    case MenuCommand::DecreaseFontAdjust:
        adjustFont(-FontAdjustMenuStep);
        break;
    case MenuCommand::ReRegister:
        Q_EMIT signOnRequested();
        break;
    case MenuCommand::ResetPosition:
        m_geometry.resetPosition();
        break;
    case MenuCommand::SaveSettingsToRegistry:
        m_settingsCommands.saveToStore();
        break;
    case MenuCommand::SaveSettingsToFile:
        m_settingsCommands.saveToChosenFile();
        break;
    case MenuCommand::LoadSettingsFromFile:
        m_settingsCommands.loadFromChosenFile();
        break;
    case MenuCommand::Exit:
        Q_EMIT exitRequested();
        break;
    case MenuCommand::ChooseBackgroundImage: // the window's own
    case MenuCommand::ClearBackgroundImage:
    case MenuCommand::Version:
        return;
    }
    showModes();
}

void MenuCommands::adjustFont(int delta) {
    m_settings.setFontAdjustSpin(m_settings.FontAdjustSpin() + delta);
    showModes();
}

void MenuCommands::showModes() {
    m_menu.setTicked(MenuCommand::FullScreen, m_geometry.fullScreen());
    m_menu.setTicked(MenuCommand::Transparent, m_window.transparentMode());
    Q_EMIT modesShown();
}
