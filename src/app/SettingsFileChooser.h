#pragma once

#include <QString>

// Asks the operator for a settings file to save to or load from. The system's file dialogs do it for
// the display; tests hand in a chooser that answers at once.
class SettingsFileChooser {
public:
    enum class FileUse { Save, Load };

    virtual ~SettingsFileChooser() = default;
    // The chosen file; empty when the choice is cancelled.
    virtual QString chooseSettingsFile(FileUse use) = 0;
};

// The system's file dialogs, preset to "*.ini".
SettingsFileChooser& settingsFileDialogs();
