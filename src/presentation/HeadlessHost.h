#pragma once

#include "PresentationHost.h"

// A host with fixed settings that shows nothing and only remembers where the image lies and the
// window's alpha: what the caption tool and the benchmarks present captions into.
class HeadlessHost : public PresentationHost {
public:
    PresentationSettings presentationSettings;
    QString speed;
    bool transparent = false;
    QPoint position;
    int alpha = 255;

    PresentationSettings settings() const override { return presentationSettings; }
    QString stagetextSpeed() const override { return speed; }
    QPoint imagePosition() const override { return position; }
    void setImagePosition(QPoint newPosition) override { position = newPosition; }
    void setWindowAlpha(int newAlpha) override { alpha = newAlpha; }
    bool transparentMode() const override { return transparent; }
    void setStayOnTop() override {}
    void repaintNow() override {}
    bool borderHidingPending() const override { return false; }
    void hideBorderNow() override {}
};
