#pragma once
// What `chart` shares with the commands that compute a horoscope from elsewhere (`open`):
// the per-run overrides of the options and the printer of a computed horoscope.

#include <CLI/CLI.hpp>
#include <string>

#include "app/cli.h"
#include "core/horoscope.h"

namespace tellurim {

class EphemerisLibrary;

// --house-system, --zodiac, --ephemeris: empty when not given.
struct ChartOverrides {
    std::string house_system;
    std::string zodiac;
    std::string ephemeris;
};
void add_chart_override_options(CLI::App& command, ChartOverrides& overrides);
// Applies the overrides to `options`; an unknown house system fails with exit status 2.
bool apply_chart_overrides(const ChartOverrides& overrides, Options& options, CliContext& ctx);

// Prints a computed horoscope as `chart` does: text, or one JSON object with `json`, with the
// star conjunctions within `star_orb` degrees (a catalogue that does not load is said through
// `messages` and the chart goes on without).
void print_chart(const Horoscope& h, const EphemerisLibrary& library, bool json, double star_orb,
                 MessageSink& messages);

}  // namespace tellurim
