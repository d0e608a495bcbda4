#pragma once

#include "StoredSettings.h"

#include <QString>
#include <memory>

class QSettings;

// The per-user store of the display's settings: QSettings of organisation "Quillmarch", application
// "Brindlecast LCD" (the registry key on Windows, ~/.config/Quillmarch/Brindlecast LCD.conf here), or
// a store of its own for each named display.
// Values sit directly under the root, named as the operator knows them ("Form Width", "Font
// colour"). Reads never fail: a value that is missing or cannot be read as the kind asked for gives
// the default of the place that reads it.
class SettingsStore {
public:
    // The user's own store.
    SettingsStore();
    // The user's store of a named display (application "Brindlecast LCD - left"), apart from every
    // other display's; with an empty name the user's own store.
    static std::unique_ptr<SettingsStore> forInstance(const QString& instance);
    // A store in a file of its own, in the same format (for tests and tools).
    explicit SettingsStore(const QString& fileName);
    ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // A number, or text holding a decimal number (or a hexadecimal one after "$" or "0x").
    int ReadSettingInteger(const QString& name, int fallback) const;
    // "TRUE", "YES", "Y" or "FALSE", "NO", "N" in any letter case, else a number that is not 0.
    bool ReadSettingBoolean(const QString& name, bool fallback) const;
    QString ReadSettingText(const QString& name, const QString& fallback) const;

    void WriteSettingInteger(const QString& name, int value);
    // Written as the text "TRUE" or "FALSE".
    void WriteSettingBoolean(const QString& name, bool value);
    void WriteSettingText(const QString& name, const QString& value);
    void DeleteSetting(const QString& name);

    // Where the store lives (the registry key's path on Windows).
    QString fileName() const;

    // Writes what is pending; false when the store cannot be written.
    bool sync();

private:
    explicit SettingsStore(std::unique_ptr<QSettings> settings);

    std::unique_ptr<QSettings> m_settings;
};

// The stored values from the store, each missing or unreadable one its StoreDefaults value; the
// caption colour comes back in its text form ("$00FFFF").
StoredDisplayState ReadStoredDisplayState(const SettingsStore& store);
// Writes the stored values, in the order the display has always written them; the network's only
// where they differ from their defaults, removing them otherwise.
void WriteStoredDisplayState(SettingsStore& store, const StoredDisplayState& state);
