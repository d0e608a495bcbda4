#include "SettingsStore.h"

#include "captions/IntegerPrefix.h"

#include <QSettings>
#include <array>

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

int SettingsStore::readInteger(const QString& name, int fallback) const {
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

bool SettingsStore::readBoolean(const QString& name, bool fallback) const {
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

QString SettingsStore::readText(const QString& name, const QString& fallback) const {
    const QVariant value = m_settings->value(name);
    if (!value.isValid() || !value.canConvert<QString>())
        return fallback;
    return value.toString();
}

void SettingsStore::writeInteger(const QString& name, int value) {
    m_settings->setValue(name, value);
}

void SettingsStore::writeBoolean(const QString& name, bool value) {
    m_settings->setValue(name, value ? u"TRUE"_s : u"FALSE"_s);
}

void SettingsStore::writeText(const QString& name, const QString& value) {
    m_settings->setValue(name, value);
}

void SettingsStore::remove(const QString& name) {
    m_settings->remove(name);
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

bool SettingsStore::sync() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
