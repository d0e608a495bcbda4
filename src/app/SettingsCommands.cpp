#include "SettingsCommands.h"

#include "DisplaySettings.h"
#include "SettingsFile.h"
#include "SettingsStore.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

SettingsCommands::SettingsCommands(SettingsStore& store, PresentationWindow& window, WindowGeometry& geometry,
                                   DisplaySettings& settings, SettingsFileChooser& files, QObject* parent)
    : QObject(parent), m_store(store), m_window(window), m_geometry(geometry), m_settings(settings), m_files(files) {}

StoredDisplayState SettingsCommands::liveState() const {
    StoredDisplayState state;
    // The window's content area, which is the whole window once the border has hidden: the same
    // rectangle whether the border shows or not, and under any window manager's frame. While full
    // screen, the window's own geometry, so a restart comes back to it when full screen ends.
    const QRect geometry = m_geometry.normalGeometry();
    state.formTop = geometry.top();
    state.formLeft = geometry.left();
    state.formHeight = geometry.height();
    state.formWidth = geometry.width();
    state.fixTopLeft = m_settings.FixTopLeft();
    state.monitor = m_settings.MonitorNumber();
    state.monitorName = m_settings.MonitorName();
    state.fullScreen = m_geometry.fullScreen();
    state.transparent = m_window.transparentMode();
    state.fontOverride = m_settings.FontOverride();
    state.wordWrap = m_settings.EnableWordWrap();
    state.displayLines = m_settings.NumberOfLines();
    state.fontHeight = m_settings.FontHeight();
    state.fontAdjust = m_settings.FontAdjustSpin();
    state.antiAliased = m_settings.AntiAliased();
    state.fontColour = m_settings.FontColourSetting();
    state.fontName = m_settings.FontSelector();
    // A picture chosen and then cleared is not stored.
    state.backgroundImage = m_window.HasBackgroundImage() ? m_window.backgroundFileName() : QString();
    m_network.applyTo(state);
    return state;
}

bool SettingsCommands::saveToStore() {
    WriteStoredDisplayState(m_store, liveState());
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
    WriteStoredDisplayState(file, liveState());
    const std::optional<SettingsFileError> error = file.save();
    if (error)
        Q_EMIT warning(error->message);
    else
        Q_EMIT saved(fileName);
    return !error;
}

void SettingsCommands::loadSettingsFile(const QString& fileName) {
    const StoredDisplayState state = ReadStoredDisplayState(SettingsFile(fileName));
    // The file's geometry is the window's own, also when the file asks for full screen.
    if (m_geometry.fullScreen())
        m_geometry.toggleFullScreen();
    m_window.applyGeometry(
        QRect(state.formLeft, state.formTop, std::max(1, state.formWidth), std::max(1, state.formHeight)));
    m_settings.setFixTopLeft(state.fixTopLeft);
    m_settings.setMonitorNumber(state.monitor);
    m_settings.setMonitorName(state.monitorName);
    // Each mode is taken as a whole, so its tick never disagrees with the window; full screen,
    // taken last, wins over transparency where a file asks for both.
    if (state.transparent != m_window.transparentMode())
        m_geometry.toggleTransparent();
    if (state.fullScreen)
        m_geometry.toggleFullScreen();
    m_settings.setFontOverride(state.fontOverride);
    m_settings.setEnableWordWrap(state.wordWrap);
    m_settings.setNumberOfLines(state.displayLines);
    m_settings.setFontHeight(state.fontHeight);
    m_settings.setFontAdjustSpin(state.fontAdjust);
    m_settings.setAntiAliased(state.antiAliased);
    m_settings.setFontColourSetting(state.fontColour);
    m_settings.setCaptionColour(StringToColour(state.fontColour, Colour::Yellow));
    m_settings.setFontSelector(state.fontName);
    // A picture that is no longer there, or no longer a bitmap, leaves the background as it was.
    m_window.loadBackgroundImage(state.backgroundImage);
    m_network = StoredNetwork::of(state);
    Q_EMIT loaded(fileName);
}
