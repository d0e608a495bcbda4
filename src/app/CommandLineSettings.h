#pragma once

class CommandLine;
class DisplaySettings;
class PresentationWindow;

// How the start-up switches apply to the window and the display settings.

// What ReadParamString has seen so far: a position keeps "Fix Top left" from moving the window, a
// size (or font adjustment) turns the start-up font override off.
struct CommandLineFlags {
    bool positionFromCommandLine = false;
    bool sizeFromCommandLine = false;
};

// "xpos", "ypos", "width", "height" and "adjust": the window's content area, in device pixels, and the
// settings. A position unticks "Fix Top left".
void ReadParamString(const CommandLine& commandLine, PresentationWindow& window, DisplaySettings& settings,
                     CommandLineFlags& flags);

// "monitor" (a number, or an output name such as HDMI-1), "fontsize" and "fontname", each of which
// turns Font Override on.
void applyFontSwitches(const CommandLine& commandLine, DisplaySettings& settings);
