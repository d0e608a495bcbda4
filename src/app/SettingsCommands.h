#pragma once

#include "SettingsFileChooser.h"
#include "StoredSettings.h"

#include <QObject>
#include <QString>

class DisplaySettings;
class PresentationWindow;
class SettingsStore;
class WindowGeometry;

// "Save Settings to Registry", "Save Settings to File" and "Load Settings from file": the live
// display (window geometry and modes, display settings, caption colour, background, the network as
// stored) as the stored values, and back. Failures to write are said with warning(), writes that worked
// with saved(); a loaded file ends in loaded(), for the owner to apply as the setup dialog's Apply does.
class SettingsCommands : public QObject {
    Q_OBJECT

public:
    // files asks the operator which settings file to save to or load from.
    SettingsCommands(SettingsStore& store, PresentationWindow& window, WindowGeometry& geometry,
                     DisplaySettings& settings, SettingsFileChooser& files = settingsFileDialogs(),
                     QObject* parent = nullptr);

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

    // The stored values of the running display.
    StoredDisplayState liveState() const;

    // The network as the store gave it at start, or as a settings file loaded since.
    void setStoredNetwork(const StoredNetwork& network) { m_network = network; }

Q_SIGNALS:
    void warning(const QString& message);
    void loaded(const QString& fileName);
    // The settings were written to the store (its path) or to a settings file.
    void saved(const QString& where);

private:
    SettingsStore& m_store;
    PresentationWindow& m_window;
    WindowGeometry& m_geometry;
    DisplaySettings& m_settings;
    SettingsFileChooser& m_files;
    StoredNetwork m_network = StoredNetwork::of(StoreDefaults);
};
