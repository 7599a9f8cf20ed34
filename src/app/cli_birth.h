#pragma once
// The birth options shared by every command that computes a chart (chart, dasa): one parser
// for the name, sex, time (--ut, --local with --correction, --now), place (--lon/--lat,
// --my-city, or the atlas by --city/--county/--state/--country) and the per-run overrides of
// the stored options (--house-system, --zodiac, --ephemeris).

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"

namespace tellurim {

struct ChartArgs {
    std::string name;
    std::string first_name;
    std::string sex = "N";
    std::string ut;
    std::string local;
    std::optional<double> correction;
    bool now = false;
    std::string lon;
    std::string lat;
    bool my_city = false;
    std::string city;
    std::string county;
    std::string state;
    std::string country;
    std::string house_system;
    std::string zodiac;
    std::string ephemeris;
    double star_orb = 1.0;  // chart only: orb of the star conjunctions, degrees
    bool json = false;
};

// Adds the birth options (all but --json) to `cmd`, stored in `args`.
void add_birth_options(CLI::App& cmd, ChartArgs& args);

// Loads the settings, applies the overrides, builds the birth data, loads the ephemeris
// library into `library` and computes. nullptr on failure, ctx.exit_code set and the user
// told. `settings_out` receives the settings as loaded.
std::unique_ptr<Horoscope> compute_birth_chart(const ChartArgs& args, CliContext& ctx, EphemerisLibrary& library,
                                               CliSettings* settings_out = nullptr);

}  // namespace tellurim
