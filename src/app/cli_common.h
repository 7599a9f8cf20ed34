#pragma once
// Small pieces shared by the command groups, and the one parser of the birth options
// (person, moment, place, per-run overrides) of every command that takes a birth.

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "core/date_hour.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"

namespace tellurim {

// The present moment in universal time, to the hundredth of a second, Gregorian calendar.
DateHour now_ut();

// The birth options as typed.
struct BirthArgs {
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
};

// Adds --name, --first-name, --sex, --ut/--local/--correction/--now, --lon/--lat, --my-city,
// --city/--county/--state/--country, --house-system, --zodiac and --ephemeris to `cmd`.
void add_birth_options(CLI::App* cmd, BirthArgs& args);

// A horoscope computed from the birth options with the stored settings.
struct BirthChart {
    std::unique_ptr<CliSettings> settings;    // the horoscope points at settings->aspects
    std::unique_ptr<EphemerisLibrary> library;
    std::unique_ptr<Horoscope> horoscope;
};

// Loads the settings, applies the per-run overrides, builds the birth data (coordinates, "My
// city" or the atlas; universal, local with a correction, or now) and computes. nullopt after
// telling the failure; ctx.exit_code then holds the status.
std::optional<BirthChart> compute_birth_chart(const BirthArgs& args, CliContext& ctx);

}  // namespace tellurim
