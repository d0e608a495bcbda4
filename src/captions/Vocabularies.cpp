#include "Vocabularies.h"

#include "IntegerPrefix.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

struct SpeedWord {
    QStringView word;
    int scroll;
    int fade;
};

constexpr int DefaultSpeed = 7;

constexpr std::array<SpeedWord, 6> SpeedWords = {{
    {u"Very slow", 15, 15},
    {u"Slow", 25, 25},
    {u"Medium", 32, 32},
    {u"Medium fast", 50, 50},
    {u"Fast", 64, 64},
    {InstantSpeed, DefaultSpeed, FullProgress},
}};

// The number in a percentage text, every "%" removed, limited to 1..100.
int percentage(QStringView text) {
    const QString digits = text.toString().remove(u'%');
    return std::clamp(IntegerPrefix(digits), 1, 100);
}

qint32 clampToInt32(qint64 value) {
    return static_cast<qint32>(
        std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

enum class SpeedScale { Scroll, Fade };

int speedFromString(QStringView speed, SpeedScale scale) {
    int result = DefaultSpeed;
    for (const SpeedWord& entry : SpeedWords) {
        if (speed == entry.word)
            result = scale == SpeedScale::Scroll ? entry.scroll : entry.fade;
    }
    if (speed.contains(u'%'))
        result = std::clamp(percentage(speed) * 64 / 100, 1, FullProgress);
    return result;
}

} // namespace

int FontSizeFromString(int baseFontSize, QStringView size, const FontSizeSettings& settings) {
    if (settings.fontOverride)
        return settings.overrideFontSize;

    const qint64 base = baseFontSize;
    qint64 value = base;
    if (size == u"Very small")
        value = base * 3 / 5;
    else if (size == u"Small")
        value = base * 3 / 4;
    else if (size == u"Medium large")
        value = base * 3 / 2;
    else if (size == u"Large")
        value = base * 3;

    if (size.contains(u'%')) {
        value = base * IntegerPrefix(size.toString().remove(u'%')) / 100;
    } else if (const qint32 points = IntegerPrefix(size); points != 0) {
        value = points;
    }

    const double adjusted = settings.fontAdjustPercent / 100.0 * double(clampToInt32(value));
    return clampToInt32(static_cast<qint64>(std::trunc(adjusted)));
}

int BrightnessFromString(QStringView brightness) {
    if (brightness == u"Bright")
        return 255;
    if (brightness == u"Medium")
        return 127;
    if (brightness == u"Dim")
        return 31;
    if (brightness.contains(u'%'))
        return percentage(brightness) * 255 / 100;
    return 255;
}

int EffectSpeedFromString(QStringView speed) {
    return speedFromString(speed, SpeedScale::Scroll);
}

int BrightEffectSpeedFromString(QStringView speed) {
    return speedFromString(speed, SpeedScale::Fade);
}
