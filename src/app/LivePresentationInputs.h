#pragma once

#include "window/PresentationInputs.h"

class ControlListener;
class DisplaySettings;

// The presentation window's inputs as they stand at the moment it asks: the live display settings,
// and the rate the control port's last Stagetext caption set.
class LivePresentationInputs : public PresentationInputs {
public:
    LivePresentationInputs(const DisplaySettings& settings, const ControlListener& control);

    PresentationSettings presentationSettings() const override;
    QString stagetextSpeed() const override;

private:
    const DisplaySettings& m_settings;
    const ControlListener& m_control;
};
