#include "DisplaySetup.h"

#include "CommandLine.h"
#include "DisplaySettings.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <algorithm>

DisplaySetup::DisplaySetup(PresentationWindow& window, WindowGeometry& geometry, DisplaySettings& settings,
                           const CommandLine& commandLine)
    : m_window(window), m_geometry(geometry), m_settings(settings), m_commandLine(commandLine) {}

void DisplaySetup::setDisplayFont() {
    m_window.presenter().setDisplayFont(m_settings.FontSelector(), m_settings.FontHeight());
}

void DisplaySetup::apply() {
    setDisplayFont();
    m_geometry.setDisplaySize(QSize(m_settings.SignWidth(), m_settings.SignHeight()));
    if (m_commandLine.FindCmdLineSwitch(u"height")) {
        m_window.applySize(QSize(m_window.deviceSize().width(), std::max(1, m_commandLine.ReturnParamInt(u"height"))));
        m_geometry.setDisplayHeight(m_window.deviceSize().height());
    }
    m_geometry.SetPosition();
}

void DisplaySetup::setSizeFromLines(int height) {
    setDisplayFont();
    m_window.applySize(QSize(m_window.deviceSize().width(), height));
    m_geometry.setDisplayHeight(m_window.deviceSize().height());
    m_settings.setSignHeight(m_window.deviceSize().height());
}

QSize DisplaySetup::windowSize() const {
    return m_window.deviceSize();
}

int DisplaySetup::lineHeight(const QString& fontName, int pointSize) const {
    // Measured in the display's font with the name and size changed, without drawing in it yet.
    CanvasFont font = m_window.presenter().displayFont();
    font.name = fontName;
    font.pointSize = pointSize;
    return Canvas::textHeight(font);
}
