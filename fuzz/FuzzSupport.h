#pragma once

#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: a stop that libFuzzer reports as a crash when a property of the
// display breaks.

namespace FuzzSupport {

// A broken property is as much a finding as a sanitizer report: abort, so the input is kept.
inline void require(bool condition, const char* property) {
    if (condition)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

} // namespace FuzzSupport
