#pragma once

#include "net/ControlListener.h"

// A display whose status and Stagetext settings hold still, as a test gives them.
struct FixedControlQueries : ControlQueries {
    FixedControlQueries(DisplayStatus status, StagetextSettings settings = {})
        : shownStatus(std::move(status)), settings(std::move(settings)) {}

    DisplayStatus status() const override { return shownStatus; }
    StagetextSettings stagetextSettings() const override { return settings; }

    DisplayStatus shownStatus;
    StagetextSettings settings;
};
