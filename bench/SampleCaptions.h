#pragma once

#include "captions/Captions.h"

#include <QString>

// Caption material for the benchmarks: a cue as an opera production would show it, with all ten
// language columns in use.

// The caption for the given cue number.
TCaptions SampleCaption(int cue);

// A caption document as a controller sends it: all ten Stream/StrName columns, Font, Effects,
// Comment and Language, with line breaks in the column texts written as character references.
QString SampleCaptionDocument(int cue);
