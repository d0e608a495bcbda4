#pragma once

#include "StoredSettings.h"

class DisplaySettings;
class PresentationWindow;
class WindowGeometry;

// The running display as its stored values: the window's geometry and modes, the display settings,
// the caption colour, the background and the network as stored. Captured for a save; applied from
// the store at start-up and from a settings file the operator loads.
class LiveDisplayState {
public:
    LiveDisplayState(PresentationWindow& window, WindowGeometry& geometry, DisplaySettings& settings);

    // The stored values of the running display.
    StoredDisplayState capture() const;

    // At start-up, before the window first shows: the window takes the stored geometry and
    // transparency, and keeps the full-screen tick for its first placement (full screen wins over
    // transparency where both are stored). The dialog's size fields take the stored size.
    void restore(const StoredDisplayState& state);
    // While the display runs (a settings file loaded): the window leaves full screen, takes the
    // file's geometry, then each mode as a whole, so its tick never disagrees with the window.
    void load(const StoredDisplayState& state);

    // The network as the store gave it at start, or as a settings file loaded since. The running
    // display listens as it started: these are what a save writes.
    const StoredNetwork& storedNetwork() const { return m_network; }

private:
    // "Fix Top left" and the monitor, which full screen takes its monitor from.
    void applyMonitorChoice(const StoredDisplayState& state);
    // The other display settings, the caption colour and the background; the network as stored.
    void applySettings(const StoredDisplayState& state);

    PresentationWindow& m_window;
    WindowGeometry& m_geometry;
    DisplaySettings& m_settings;
    StoredNetwork m_network = StoredNetwork::of(StoreDefaults);
};
