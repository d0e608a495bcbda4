#include "CommandLineSettings.h"

#include "CommandLine.h"
#include "DisplaySettings.h"
#include "window/PresentationWindow.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

void ReadParamString(const CommandLine& commandLine, PresentationWindow& window, DisplaySettings& settings,
                     CommandLineFlags& flags) {
    // Positions are those of the window's content area, as everywhere in its geometry.
    if (commandLine.FindCmdLineSwitch(u"xpos")) {
        settings.setFixTopLeft(false);
        const QRect geometry = window.deviceGeometry();
        window.applyGeometry(geometry.translated(commandLine.ReturnParamInt(u"xpos") - geometry.x(), 0));
        flags.positionFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"ypos")) {
        settings.setFixTopLeft(false);
        const QRect geometry = window.deviceGeometry();
        window.applyGeometry(geometry.translated(0, commandLine.ReturnParamInt(u"ypos") - geometry.y()));
        flags.positionFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"width")) {
        const int width = commandLine.ReturnParamInt(u"width");
        window.applySize(QSize(std::max(1, width), window.deviceSize().height()));
        settings.setSignWidth(width);
        flags.sizeFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"height")) {
        const int height = commandLine.ReturnParamInt(u"height");
        window.applySize(QSize(window.deviceSize().width(), std::max(1, height)));
        settings.setSignHeight(height);
        flags.sizeFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"adjust")) {
        settings.setFontAdjustSpin(commandLine.ReturnParamInt(u"adjust"));
        flags.sizeFromCommandLine = true;
    }
}

void applyFontSwitches(const CommandLine& commandLine, DisplaySettings& settings) {
    if (commandLine.FindCmdLineSwitch(u"monitor")) {
        settings.setFontOverride(true);
        // Output names begin with a letter (HDMI-1, DP-2, eDP-1); anything else is a monitor number,
        // which then chooses alone.
        const QString monitor = commandLine.ReturnParamStr(u"monitor");
        if (!monitor.isEmpty() && monitor.front().isLetter()) {
            settings.setMonitorName(monitor);
        } else {
            settings.setMonitorNumber(commandLine.ReturnParamInt(u"monitor"));
            settings.setMonitorName(QString());
        }
    }
    if (commandLine.FindCmdLineSwitch(u"fontsize")) {
        settings.setFontOverride(true);
        settings.setFontHeight(commandLine.ReturnParamInt(u"fontsize"));
    }
    if (commandLine.FindCmdLineSwitch(u"fontname")) {
        settings.setFontOverride(true);
        settings.setFontSelector(commandLine.ReturnParamStr(u"fontname"));
    }
}
