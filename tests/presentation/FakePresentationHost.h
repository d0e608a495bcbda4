#pragma once

#include "presentation/PresentationHost.h"

#include <vector>

// A window that remembers what the engine asked of it.
class FakePresentationHost : public PresentationHost {
public:
    PresentationSettings presentationSettings{34, 100, false, {}, 0, false, false};
    QString speed;
    bool transparent = false;
    bool borderPending = false;
    QPoint position;
    int alpha = 255;
    int repaints = 0;
    int borderHidings = 0;
    std::vector<QPoint> positions; // every position set, in order

    PresentationSettings settings() const override { return presentationSettings; }
    QString stagetextSpeed() const override { return speed; }
    QPoint imagePosition() const override { return position; }
    void setImagePosition(QPoint newPosition) override {
        position = newPosition;
        positions.push_back(newPosition);
    }
    void setWindowAlpha(int newAlpha) override { alpha = newAlpha; }
    bool transparentMode() const override { return transparent; }
    void setStayOnTop() override {}
    void repaintNow() override { ++repaints; }
    bool borderHidingPending() const override { return borderPending; }
    void hideBorderNow() override {
        borderPending = false;
        ++borderHidings;
    }
};
