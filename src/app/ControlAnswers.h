#pragma once

#include "net/ControlListener.h"

class DisplaySettings;
class PresentationWindow;

// What the control port (and the web monitor) learn of the display as they ask: its status, read
// off the presenter, and the settings a Stagetext caption is converted with. The listener exists
// before the window it asks about: until the window is attached, nobody can have asked.
class ControlAnswers : public ControlQueries {
public:
    explicit ControlAnswers(const DisplaySettings& settings);

    void attachWindow(const PresentationWindow& window) { m_window = &window; }

    DisplayStatus status() const override;
    StagetextSettings stagetextSettings() const override;

private:
    const DisplaySettings& m_settings;
    const PresentationWindow* m_window = nullptr;
};
