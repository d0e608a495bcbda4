#include "LivePresentationInputs.h"

#include "DisplaySettings.h"
#include "net/ControlListener.h"

LivePresentationInputs::LivePresentationInputs(const DisplaySettings& settings, const ControlListener& control)
    : m_settings(settings), m_control(control) {}

PresentationSettings LivePresentationInputs::presentationSettings() const {
    PresentationSettings settings;
    settings.fontAdjustPercent = m_settings.FontAdjustSpin();
    settings.fontOverride = m_settings.FontOverride();
    settings.overrideFontName = m_settings.OverrideFontName();
    settings.overrideFontSize = m_settings.OverrideFontSize();
    settings.antiAliased = m_settings.AntiAliased();
    settings.wordWrap = m_settings.EnableWordWrap();
    return settings;
}

QString LivePresentationInputs::stagetextSpeed() const {
    return m_control.StagetextSpeed();
}
