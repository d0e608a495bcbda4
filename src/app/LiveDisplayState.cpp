#include "LiveDisplayState.h"

#include "DisplaySettings.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <algorithm>

LiveDisplayState::LiveDisplayState(PresentationWindow& window, WindowGeometry& geometry, DisplaySettings& settings)
    : m_window(window), m_geometry(geometry), m_settings(settings) {}

StoredDisplayState LiveDisplayState::capture() const {
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

void LiveDisplayState::restore(const StoredDisplayState& state) {
    const QRect geometry(state.formLeft, state.formTop, state.formWidth, state.formHeight);
    m_window.applyGeometry(geometry);
    m_geometry.setDisplaySize(geometry.size());
    m_settings.setSignWidth(geometry.width());
    m_settings.setSignHeight(geometry.height());
    applyMonitorChoice(state);
    m_geometry.restoreFullScreenTick(state.fullScreen);
    if (state.transparent && !state.fullScreen)
        m_geometry.toggleTransparent();
    applySettings(state);
}

void LiveDisplayState::load(const StoredDisplayState& state) {
    // The file's geometry is the window's own, also when the file asks for full screen.
    if (m_geometry.fullScreen())
        m_geometry.toggleFullScreen();
    m_window.applyGeometry(
        QRect(state.formLeft, state.formTop, std::max(1, state.formWidth), std::max(1, state.formHeight)));
    applyMonitorChoice(state);
    // Full screen, taken last, wins over transparency where a file asks for both.
    if (state.transparent != m_window.transparentMode())
        m_geometry.toggleTransparent();
    if (state.fullScreen)
        m_geometry.toggleFullScreen();
    applySettings(state);
}

void LiveDisplayState::applyMonitorChoice(const StoredDisplayState& state) {
    m_settings.setFixTopLeft(state.fixTopLeft);
    m_settings.setMonitorNumber(state.monitor);
    m_settings.setMonitorName(state.monitorName);
}

void LiveDisplayState::applySettings(const StoredDisplayState& state) {
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
}
