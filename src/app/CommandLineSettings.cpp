#include "CommandLineSettings.h"

#include "CommandLine.h"
#include "DisplaySettings.h"

#include <QWidget>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

void ReadParamString(const CommandLine& commandLine, QWidget& window, DisplaySettings& settings,
                     CommandLineFlags& flags) {
    // Positions are those of the window's content area, as everywhere in its geometry.
    if (commandLine.FindCmdLineSwitch(u"xpos")) {
        settings.setFixTopLeft(false);
        window.setGeometry(
            window.geometry().translated(commandLine.ReturnParamInt(u"xpos") - window.geometry().x(), 0));
        flags.positionFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"ypos")) {
        settings.setFixTopLeft(false);
        window.setGeometry(
            window.geometry().translated(0, commandLine.ReturnParamInt(u"ypos") - window.geometry().y()));
        flags.positionFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"width")) {
        const int width = commandLine.ReturnParamInt(u"width");
        window.resize(std::max(1, width), window.height());
        settings.setSignWidth(width);
        flags.sizeFromCommandLine = true;
    }
    if (commandLine.FindCmdLineSwitch(u"height")) {
        const int height = commandLine.ReturnParamInt(u"height");
        window.resize(window.width(), std::max(1, height));
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
        settings.setMonitorNumber(commandLine.ReturnParamInt(u"monitor"));
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
