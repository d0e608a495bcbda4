#pragma once

#include "presentation/PresentationHost.h"

#include <QString>
#include <functional>
#include <vector>

// Absurd caption documents on the display's own path, each with what presenting it must come to:
// shared by the test that presents them and the benchmark that times their steps.
namespace AbsurdInputs {

enum class Outcome {
    Refused, // the document is not read: nothing is presented
    Drawn,   // the caption shows in the view
    Undrawn, // the caption is presented but nothing of it can be drawn: the view is its background
};

struct Case {
    const char* name;
    std::function<QString()> document;
    Outcome outcome;
    std::function<void(PresentationSettings&)> settings = [](PresentationSettings&) {};
};

// The table: structure, long values, references, pictures, font sizes and lines out of all proportion.
const std::vector<Case>& Cases();

} // namespace AbsurdInputs
