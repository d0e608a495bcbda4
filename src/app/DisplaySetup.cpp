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
    CanvasFont& font = m_window.presenter().displayCanvas().font;
    font.pointSize = m_settings.FontHeight();
    font.name = m_settings.FontSelector();
}

void DisplaySetup::apply() {
    setDisplayFont();
    m_geometry.displaySize = QSize(m_settings.SignWidth(), m_settings.SignHeight());
    if (m_commandLine.FindCmdLineSwitch(u"height")) {
        m_window.applySize(QSize(m_window.width(), std::max(1, m_commandLine.ReturnParamInt(u"height"))));
        m_geometry.displaySize.setHeight(m_window.height());
    }
    m_geometry.SetPosition();
}

void DisplaySetup::setSizeFromLines(int height) {
    setDisplayFont();
    m_window.applySize(QSize(m_window.width(), height));
    m_geometry.displaySize.setHeight(m_window.height());
    m_settings.setSignHeight(m_window.height());
}

QSize DisplaySetup::windowSize() const {
    return m_window.size();
}

int DisplaySetup::lineHeight(const QString& fontName, int pointSize) const {
    // Measured in the display image's font with the name and size changed, without drawing in it yet.
    Canvas probe;
    probe.font = m_window.presenter().displayCanvas().font;
    probe.font.name = fontName;
    probe.font.pointSize = pointSize;
    return probe.textHeight();
}
