#include "SettingsStore.h"

#include "DisplaySettings.h"
#include "captions/IntegerPrefix.h"

#include <QSettings>
#include <array>
#include <type_traits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char Organisation[] = "Quillmarch";
constexpr char Application[] = "Brindlecast LCD";

// A whole number: decimal, or hexadecimal after "$" or "0x" (a bare "x" is no number here).
std::optional<int> numberIn(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    if (i < text.size() && (text[i] == u'x' || text[i] == u'X'))
        return std::nullopt;
    return CompleteInteger(text);
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QString::fromLatin1(Organisation), QString::fromLatin1(Application))) {}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings) : m_settings(std::move(settings)) {}

std::unique_ptr<SettingsStore> SettingsStore::forInstance(const QString& instance) {
    if (instance.isEmpty())
        return std::make_unique<SettingsStore>();
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::make_unique<QSettings>(
        QString::fromLatin1(Organisation), QString::fromLatin1(Application) + u" - "_s + instance)));
}

SettingsStore::SettingsStore(const QString& fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

int SettingsStore::ReadSettingInteger(const QString& name, int fallback) const {
    const QVariant value = m_settings->value(name);
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
        value.typeId() == QMetaType::UInt) {
        return value.toInt();
    }
    if (value.typeId() != QMetaType::QString)
        return fallback;
    return numberIn(value.toString().trimmed()).value_or(fallback);
}

bool SettingsStore::ReadSettingBoolean(const QString& name, bool fallback) const {
    const QVariant value = m_settings->value(name);
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed();
    static const std::array<QString, 3> Truths = {u"TRUE"_s, u"YES"_s, u"Y"_s};
    static const std::array<QString, 3> Falsehoods = {u"FALSE"_s, u"NO"_s, u"N"_s};
    for (const QString& word : Truths) {
        if (text.compare(word, Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const QString& word : Falsehoods) {
        if (text.compare(word, Qt::CaseInsensitive) == 0)
            return false;
    }
    if (const std::optional<int> number = numberIn(text))
        return *number != 0;
    return fallback;
}

QString SettingsStore::ReadSettingText(const QString& name, const QString& fallback) const {
    const QVariant value = m_settings->value(name);
    if (!value.isValid() || !value.canConvert<QString>())
        return fallback;
    return value.toString();
}

void SettingsStore::WriteSettingInteger(const QString& name, int value) {
    m_settings->setValue(name, value);
}

void SettingsStore::WriteSettingBoolean(const QString& name, bool value) {
    m_settings->setValue(name, value ? u"TRUE"_s : u"FALSE"_s);
}

void SettingsStore::WriteSettingText(const QString& name, const QString& value) {
    m_settings->setValue(name, value);
}

void SettingsStore::DeleteSetting(const QString& name) {
    m_settings->remove(name);
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

bool SettingsStore::sync() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

StoredDisplayState ReadStoredDisplayState(const SettingsStore& store) {
    StoredDisplayState state;
    for (const StoredSettings::StoredValue& value : StoredSettings::Table) {
        std::visit(
            [&](auto member) {
                auto& field = state.*member;
                const auto& fallback = StoreDefaults.*member;
                using Kind = std::decay_t<decltype(field)>;
                if constexpr (std::is_same_v<Kind, int>) {
                    field = store.ReadSettingInteger(value.name, fallback);
                } else if constexpr (std::is_same_v<Kind, bool>) {
                    field = store.ReadSettingBoolean(value.name, fallback);
                } else if (value.colour) {
                    const int colour =
                        store.ReadSettingInteger(value.name, int(StringToColour(fallback, Colour::Yellow)));
                    field = DisplaySettings::colourSettingText(ColourValue(colour));
                } else {
                    field = store.ReadSettingText(value.name, fallback);
                }
            },
            value.field);
    }
    return state;
}

void WriteStoredDisplayState(SettingsStore& store, const StoredDisplayState& state) {
    for (const StoredSettings::StoredValue& value : StoredSettings::Table) {
        std::visit(
            [&](auto member) {
                const auto& field = state.*member;
                using Kind = std::decay_t<decltype(field)>;
                if (value.written == StoredSettings::Written::WhenChanged && field == StoreDefaults.*member)
                    store.DeleteSetting(value.name);
                else if constexpr (std::is_same_v<Kind, int>)
                    store.WriteSettingInteger(value.name, field);
                else if constexpr (std::is_same_v<Kind, bool>)
                    store.WriteSettingBoolean(value.name, field);
                else if (value.colour)
                    store.WriteSettingInteger(value.name, int(StringToColour(field, Colour::Yellow)));
                else
                    store.WriteSettingText(value.name, field);
            },
            value.field);
    }
}
