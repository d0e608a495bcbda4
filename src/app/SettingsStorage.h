#pragma once

#include "StoredSettings.h"

#include <QString>

// A place that keeps the display's stored values under their names: the per-user store or a
// settings file. Each place reads and writes its own forms; the walk over the stored values
// (ReadStoredDisplayState, WriteStoredDisplayState) is the same for both.
// Reads never fail: a value that is missing or cannot be read as the kind asked for gives fallback.
class SettingsStorage {
public:
    virtual ~SettingsStorage() = default;

    // What the place reads as when it holds none of the values.
    virtual const StoredDisplayState& defaults() const = 0;

    virtual int readInteger(const QString& name, int fallback) const = 0;
    virtual bool readBoolean(const QString& name, bool fallback) const = 0;
    virtual QString readText(const QString& name, const QString& fallback) const = 0;

    virtual void writeInteger(const QString& name, int value) = 0;
    virtual void writeBoolean(const QString& name, bool value) = 0;
    virtual void writeText(const QString& name, const QString& value) = 0;
    // The value is no longer kept; it reads as its default again.
    virtual void remove(const QString& name) = 0;

protected:
    SettingsStorage() = default;
    SettingsStorage(const SettingsStorage&) = default;
    SettingsStorage& operator=(const SettingsStorage&) = default;
};

// The stored values, each missing or unreadable one the place's default. The caption colour, which
// the places keep as a number (or a colour's name, written by hand), comes back in its text form
// ("$00FFFF").
StoredDisplayState ReadStoredDisplayState(const SettingsStorage& storage);
// Writes the stored values, in the order the display has always written them; those written only
// when changed (the network's) are removed where they hold their defaults, so that stores and files
// of displays that never set them stay as they were.
void WriteStoredDisplayState(SettingsStorage& storage, const StoredDisplayState& state);
