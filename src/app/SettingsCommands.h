#pragma once

#include "SettingsFileChooser.h"

#include <QObject>
#include <QString>

class LiveDisplayState;
class SettingsStore;

// "Save Settings to Registry", "Save Settings to File" and "Load Settings from file": the live
// display as the stored values, and back. Failures to write are said with warning(), writes that
// worked with saved(); a loaded file ends in loaded(), for the owner to apply as the setup dialog's
// Apply does.
class SettingsCommands : public QObject {
    Q_OBJECT

public:
    // files asks the operator which settings file to save to or load from.
    SettingsCommands(SettingsStore& store, LiveDisplayState& display,
                     SettingsFileChooser& files = settingsFileDialogs(), QObject* parent = nullptr);

    // "Save Settings to Registry": writes every stored value; false when the store cannot be written.
    bool saveToStore();
    // "Save Settings to File" and "Load Settings from file": a settings file the operator picks.
    void saveToChosenFile();
    void loadFromChosenFile();
    // Writes the live values into section "Display" of the file; a file that cannot be written is
    // left as it was.
    bool saveSettingsFile(const QString& fileName);
    // Takes the window geometry and modes, the display settings, the caption colour and the
    // background from the file (each missing value its default).
    void loadSettingsFile(const QString& fileName);

Q_SIGNALS:
    void warning(const QString& message);
    void loaded(const QString& fileName);
    // The settings were written to the store (its path) or to a settings file.
    void saved(const QString& where);

private:
    SettingsStore& m_store;
    LiveDisplayState& m_display;
    SettingsFileChooser& m_files;
};
