#pragma once
// The Hindu part of the command line: the JSON key `hindu` of `chart`, `dasa`, `calc
// subdivision`, `calc nakshatra`, the Hindu aspect table `hindu-aspects` and the nakshatra
// table `nakshatras show`.

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "core/horoscope.h"

namespace tellurim {

// The value of the chart's JSON key `hindu`.
nlohmann::json hindu_json(const Horoscope& h);

void register_hindu_commands(CLI::App& app, CLI::App& calc, CliContext& ctx);

}  // namespace tellurim
