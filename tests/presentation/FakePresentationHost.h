#pragma once

#include "presentation/HeadlessHost.h"

#include <vector>

// A headless window that also remembers what the engine asked of it.
class FakePresentationHost : public HeadlessHost {
public:
    FakePresentationHost() { presentationSettings.baseFontHeight = 34; }

    bool borderPending = false;
    int repaints = 0;
    int borderHidings = 0;
    std::vector<QPoint> positions; // every position set, in order

    void setImagePosition(QPoint newPosition) override {
        HeadlessHost::setImagePosition(newPosition);
        positions.push_back(newPosition);
    }
    void repaintNow() override { ++repaints; }
    bool borderHidingPending() const override { return borderPending; }
    void hideBorderNow() override {
        borderPending = false;
        ++borderHidings;
    }
};
