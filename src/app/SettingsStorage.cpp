#include "SettingsStorage.h"

#include "captions/Colours.h"

#include <type_traits>

StoredDisplayState ReadStoredDisplayState(const SettingsStorage& storage) {
    const StoredDisplayState& defaults = storage.defaults();
    StoredDisplayState state;
    for (const StoredSettings::StoredValue& value : StoredSettings::Table) {
        std::visit(
            [&](auto member) {
                auto& field = state.*member;
                const auto& fallback = defaults.*member;
                using Kind = std::decay_t<decltype(field)>;
                if constexpr (std::is_same_v<Kind, int>) {
                    field = storage.readInteger(value.name, fallback);
                } else if constexpr (std::is_same_v<Kind, bool>) {
                    field = storage.readBoolean(value.name, fallback);
                } else if (value.colour) {
                    const ColourValue standIn = StringToColour(fallback, Colour::Yellow);
                    field = ColourSettingText(StringToColour(storage.readText(value.name, fallback), standIn));
                } else {
                    field = storage.readText(value.name, fallback);
                }
            },
            value.field);
    }
    return state;
}

void WriteStoredDisplayState(SettingsStorage& storage, const StoredDisplayState& state) {
    const StoredDisplayState& defaults = storage.defaults();
    for (const StoredSettings::StoredValue& value : StoredSettings::Table) {
        std::visit(
            [&](auto member) {
                const auto& field = state.*member;
                using Kind = std::decay_t<decltype(field)>;
                if (value.written == StoredSettings::Written::WhenChanged && field == defaults.*member)
                    storage.remove(value.name);
                else if constexpr (std::is_same_v<Kind, int>)
                    storage.writeInteger(value.name, field);
                else if constexpr (std::is_same_v<Kind, bool>)
                    storage.writeBoolean(value.name, field);
                else if (value.colour)
                    storage.writeInteger(value.name, int(StringToColour(field, Colour::Yellow)));
                else
                    storage.writeText(value.name, field);
            },
            value.field);
    }
}
