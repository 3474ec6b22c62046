#pragma once

#include <string_view>

namespace core {

// Writes one diagnostic line to stderr when DSPTUNER_TRACE=1, and nothing
// otherwise. Safe to call from any thread; lines are never interleaved.
void Trace(std::string_view text);

// Whether trace output is on (read once from the environment).
bool TraceEnabled();

}  // namespace core
