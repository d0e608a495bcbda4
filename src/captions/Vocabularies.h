#pragma once

#include <QStringView>

// The words, percentages and numbers of caption attribute values turned into the values the
// presentation works with. None of them fails: an unknown text gives the conversion's default.

// The display settings that a font size word is read against.
struct FontSizeSettings {
    int fontAdjustPercent = 100; // 10..1000, 100 leaves sizes unchanged
    bool fontOverride = false;
    int overrideFontSize = 0; // the size every caption takes while fontOverride is on

    bool operator==(const FontSizeSettings&) const = default;
};

// "Very small", "Small", "Medium", "Medium large", "Large", "NN%" of the base, or a size in points.
int FontSizeFromString(int baseFontSize, QStringView size, const FontSizeSettings& settings);

// "Bright", "Medium", "Dim" or "NN%": a brightness scale 2..255 where 255 leaves the picture as drawn.
int BrightnessFromString(QStringView brightness);

// The speed word with which a fade completes in one step.
inline constexpr QStringView InstantSpeed = u"Instant";

// An effect's whole course in steps: its progress runs from 0 to this, and colours blend over it.
inline constexpr int FullProgress = 1023;

// The steps out of FullProgress by which an effect advances per 10 ms tick: for scrolls, and for fades
// (where "Instant" completes in one tick).
int EffectSpeedFromString(QStringView speed);
int BrightEffectSpeedFromString(QStringView speed);
