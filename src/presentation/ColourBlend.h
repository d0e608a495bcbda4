#pragma once

#include "captions/Colours.h"

// A colour part way between two: per channel from the larger value (blend 0) to the smaller
// (blend 1023). With black as the second colour it fades the first to black.
ColourValue ColourBlend(ColourValue colour1, ColourValue colour2, int blend);
