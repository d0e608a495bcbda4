#include "SettingsCommands.h"

#include "LiveDisplayState.h"
#include "SettingsFile.h"
#include "SettingsStore.h"

using namespace Qt::Literals::StringLiterals;

SettingsCommands::SettingsCommands(SettingsStore& store, LiveDisplayState& display, SettingsFileChooser& files,
                                   QObject* parent)
    : QObject(parent), m_store(store), m_display(display), m_files(files) {}

bool SettingsCommands::saveToStore() {
    WriteStoredDisplayState(m_store, m_display.capture());
    if (m_store.sync()) {
        Q_EMIT saved(m_store.fileName());
        return true;
    }
    Q_EMIT warning(u"Unable to write to "_s + m_store.fileName());
    return false;
}

void SettingsCommands::saveToChosenFile() {
    const QString fileName = m_files.chooseSettingsFile(SettingsFileChooser::FileUse::Save);
    if (!fileName.isEmpty())
        saveSettingsFile(fileName);
}

void SettingsCommands::loadFromChosenFile() {
    const QString fileName = m_files.chooseSettingsFile(SettingsFileChooser::FileUse::Load);
    if (!fileName.isEmpty())
        loadSettingsFile(fileName);
}

bool SettingsCommands::saveSettingsFile(const QString& fileName) {
    SettingsFile file(fileName);
    WriteStoredDisplayState(file, m_display.capture());
    const std::optional<SettingsFileError> error = file.save();
    if (error)
        Q_EMIT warning(error->message);
    else
        Q_EMIT saved(fileName);
    return !error;
}

void SettingsCommands::loadSettingsFile(const QString& fileName) {
    m_display.load(ReadStoredDisplayState(SettingsFile(fileName)));
    Q_EMIT loaded(fileName);
}
