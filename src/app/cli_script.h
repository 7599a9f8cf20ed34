#pragma once
// Script runs for the other commands of the command line.

#include "app/cli.h"
#include "core/horoscope.h"
#include "core/options.h"

namespace tellurim {

// The script of the Custom menu's first entry, a written interpretation of a horoscope.
inline constexpr const char* kInterpretationScript = "interpre.tcl";

// Runs the interpretation script on `h` with `options` (those `h` was computed with) and
// prints its run text, as `script interpre.tcl --horoscope FILE` does for a saved chart.
int run_interpretation(const Horoscope& h, const Options& options, CliContext& ctx);

}  // namespace tellurim
