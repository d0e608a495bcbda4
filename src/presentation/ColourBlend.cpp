#include "ColourBlend.h"

#include <algorithm>
#include <cstdlib>

namespace {

qint64 blendChannel(qint64 c1, qint64 c2, qint64 blend) {
    return std::max(c1, c2) - blend * std::abs(c1 - c2) / FullProgress;
}

} // namespace

ColourValue ColourBlend(ColourValue colour1, ColourValue colour2, int blend) {
    // Blue takes every bit above green, as the colour values carry them.
    const qint64 red = blendChannel(colour1 & 0xFF, colour2 & 0xFF, blend);
    const qint64 green = blendChannel((colour1 >> 8) & 0xFF, (colour2 >> 8) & 0xFF, blend);
    const qint64 blue = blendChannel(colour1 >> 16, colour2 >> 16, blend);
    return ColourValue(blue * 65536 + green * 256 + red);
}
