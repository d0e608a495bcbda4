#pragma once

#include "captions/Captions.h"

#include <QString>

// The caption the audience last saw entering the display, as the presentation draws it: enough to
// draw the same picture again after the display was restarted.
struct ShownCaption {
    TCaptions caption; // LanguageIndex is the column shown
    QString overallBrightness;
    friend bool operator==(const ShownCaption&, const ShownCaption&) = default;
};

// Told of each caption that enters the display; captions that leave the picture as it was ("{EMPTY}",
// an unknown entry effect) are not told.
class ShownCaptionObserver {
public:
    virtual ~ShownCaptionObserver() = default;
    virtual void captionShown(const ShownCaption& shown) = 0;
};
