#pragma once
// The Hindu part of the command line: the "Hindu" section of `chart` (text and the JSON key
// `hindu`), `dasa`, `calc subdivision`, `calc nakshatra`, the Hindu aspect table
// `hindu-aspects` and the nakshatra table `nakshatras show`.

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "core/horoscope.h"

namespace tellurim {

// The "Hindu" section of the chart text, on standard output.
void print_hindu_text(const Horoscope& h);
// The value of the chart's JSON key `hindu`.
nlohmann::json hindu_json(const Horoscope& h);

void register_hindu_commands(CLI::App& app, CLI::App& calc, CliContext& ctx);

}  // namespace tellurim
