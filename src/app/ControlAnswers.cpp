#include "ControlAnswers.h"

#include "DisplaySettings.h"
#include "window/PresentationWindow.h"

ControlAnswers::ControlAnswers(const DisplaySettings& settings) : m_settings(settings) {}

DisplayStatus ControlAnswers::status() const {
    Q_ASSERT(m_window);
    const Presenter& presenter = m_window->presenter();
    const QSize size = presenter.displaySize();
    const CanvasFont& font = presenter.displayFont();
    return {size.width(),
            size.height(),
            font.name,
            font.colour,
            presenter.clearColour(),
            font.pointSize,
            m_settings.NumberOfLines()};
}

StagetextSettings ControlAnswers::stagetextSettings() const {
    Q_ASSERT(m_window);
    return {m_settings.FontOverride(), m_settings.FontSelector(), m_settings.FontAdjustSpin(),
            m_window->BaseFontHeight(), m_settings.FontColourSetting()};
}
