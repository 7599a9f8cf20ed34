#pragma once
// What `chart` shares with the commands that compute a horoscope from elsewhere (`open`):
// the printer of a computed horoscope (the per-run overrides are in cli_common.h).

#include <CLI/CLI.hpp>
#include <string>

#include "app/cli.h"
#include "app/cli_common.h"
#include "core/horoscope.h"

namespace tellurim {

class EphemerisLibrary;

// Prints a computed horoscope as `chart` does: text, or one JSON object with `json`, with the
// star conjunctions within `star_orb` degrees (a catalogue that does not load is said through
// `messages` and the chart goes on without).
void print_chart(const Horoscope& h, const EphemerisLibrary& library, bool json, double star_orb,
                 MessageSink& messages);

}  // namespace tellurim
