#pragma once

#include <QPoint>
#include <QString>

// The display settings the presentation reads at the moment it needs them.
struct PresentationSettings {
    int baseFontHeight = 0;
    int fontAdjustPercent = 100;
    bool fontOverride = false;
    QString overrideFontName;
    int overrideFontSize = 0;
    bool antiAliased = false;
    bool wordWrap = false;
};

// What the presentation engine needs of the window that shows its picture. The window implements it;
// tests and the caption tool replace it with a plain object.
class PresentationHost {
public:
    virtual ~PresentationHost() = default;

    virtual PresentationSettings settings() const = 0;
    // The rate the last Stagetext caption set, which a "{CLEAR}" caption scrolls at.
    virtual QString stagetextSpeed() const = 0;

    // Where the display image lies in the window: (0, 0) shows its upper-left quarter.
    virtual QPoint imagePosition() const = 0;
    virtual void setImagePosition(QPoint position) = 0;

    // Whole-window alpha, 0..255; it shows only in transparent mode.
    virtual void setWindowAlpha(int alpha) = 0;
    virtual bool transparentMode() const = 0;

    virtual void setStayOnTop() = 0;
    virtual void repaintNow() = 0;

    // The border-hiding step runs at once when its timer is pending as a caption is presented. It
    // leaves a running effect alone: the caption still waits for it.
    virtual bool borderHidingPending() const = 0;
    virtual void hideBorderNow() = 0;
};
