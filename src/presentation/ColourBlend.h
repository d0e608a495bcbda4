#pragma once

#include "captions/Colours.h"
#include "captions/Vocabularies.h"

// A colour part way between two: per channel from the larger value (blend 0) to the smaller
// (blend FullProgress). With black as the second colour it fades the first to black.
ColourValue ColourBlend(ColourValue colour1, ColourValue colour2, int blend);
