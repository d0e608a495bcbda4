#pragma once

#include "SettingsStorage.h"

#include <QString>
#include <memory>

class QSettings;

// The per-user store of the display's settings: QSettings of organisation "Quillmarch", application
// "Brindlecast LCD" (the registry key on Windows, ~/.config/Quillmarch/Brindlecast LCD.conf here), or
// a store of its own for each named display.
// Values sit directly under the root, named as the operator knows them ("Form Width", "Font
// colour"); a first start reads StoreDefaults.
class SettingsStore final : public SettingsStorage {
public:
    // The user's own store.
    SettingsStore();
    // The user's store of a named display (application "Brindlecast LCD - left"), apart from every
    // other display's; with an empty name the user's own store.
    static std::unique_ptr<SettingsStore> forInstance(const QString& instance);
    // A store in a file of its own, in the same format (for tests and tools).
    explicit SettingsStore(const QString& fileName);
    ~SettingsStore() override;

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const StoredDisplayState& defaults() const override { return StoreDefaults; }

    // A number, or text holding a decimal number (or a hexadecimal one after "$" or "0x").
    int readInteger(const QString& name, int fallback) const override;
    // "TRUE", "YES", "Y" or "FALSE", "NO", "N" in any letter case, else a number that is not 0.
    bool readBoolean(const QString& name, bool fallback) const override;
    QString readText(const QString& name, const QString& fallback) const override;

    void writeInteger(const QString& name, int value) override;
    // Written as the text "TRUE" or "FALSE".
    void writeBoolean(const QString& name, bool value) override;
    void writeText(const QString& name, const QString& value) override;
    void remove(const QString& name) override;

    // Where the store lives (the registry key's path on Windows).
    QString fileName() const;

    // Writes what is pending; false when the store cannot be written.
    bool sync();

private:
    explicit SettingsStore(std::unique_ptr<QSettings> settings);

    std::unique_ptr<QSettings> m_settings;
};
