#pragma once

#include "presentation/PresentationHost.h"

#include <QString>

// What the presentation window reads from its owner whenever the engine asks for it: the live
// display settings and the rate the last Stagetext caption set. Tests hand in fixed values.
class PresentationInputs {
public:
    virtual ~PresentationInputs() = default;

    // The display settings; the window fills in the base font height itself.
    virtual PresentationSettings presentationSettings() const = 0;
    virtual QString stagetextSpeed() const = 0;
};
