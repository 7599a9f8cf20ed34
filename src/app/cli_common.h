#pragma once
// Small pieces shared by the command groups, and the one parser of the birth options
// (person, moment, place, per-run overrides) of every command that takes a birth, with the
// one computation of a chart from them (or from a horoscope file) that `chart`, `open`,
// `directions` and `dasa` share.

#include <CLI/CLI.hpp>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "base/date_hour.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "core/worker_threads.h"

namespace tellurim {

// The present moment in universal time, to the hundredth of a second, Gregorian calendar.
DateHour now_ut();

// A horoscope file as the user names it: a bare file name that is not in the current
// directory is looked for in the horoscopes directory, where `chart --save` writes.
std::string horoscope_file_path(const std::string& path, const std::string& horoscopes_dir);

// A planet given by name ("Sun", "AS", "Fortun", ...) or by number 0 to 17; -1 otherwise.
int planet_arg(std::string_view item);

// --house-system, --zodiac, --ephemeris, --node: empty when not given.
struct ChartOverrides {
    std::string house_system;
    std::string zodiac;
    std::string ephemeris;
    std::string node;  // "mean", "true" or "" for the options' choice
};
void add_chart_override_options(CLI::App& command, ChartOverrides& overrides);
// Applies the overrides to `options`; an unknown house system fails with exit status 2.
bool apply_chart_overrides(const ChartOverrides& overrides, Options& options, CliContext& ctx);

// Output files named on the command line (empty entries are skipped): each must name nothing
// yet or a regular file. A FIFO, a directory or a device is refused before anything is
// computed: "Not a regular file, nothing is written into it" with the path, exit status 2.
bool check_output_paths(std::initializer_list<std::string_view> paths, CliContext& ctx);

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
    bool geocode = false;  // the place, and the offset for --local, from the geocoding service
    ChartOverrides overrides;
};

// Adds --name, --first-name, --sex, --ut/--local/--correction/--now, --lon/--lat, --my-city,
// --city/--county/--state/--country and the overrides (--house-system, --zodiac, --ephemeris,
// --node) to `cmd`.
void add_birth_options(CLI::App* cmd, BirthArgs& args);

// A birth date-hour text in the storage form. Refused with exit status 2 and "Not a valid
// date." when it does not parse or names a day its month does not have ("2023-02-31"), and
// with "Second not valid" when the seconds are not below 59.9999 (the two-decimal text would
// show 60.00).
std::optional<DateHour> parse_birth_date(CliContext& ctx, const std::string& text);

// A zero date of the fixed zodiac: a preset's caption ("Fagan-Bradley", "Raman", "Tellurim
// Default") or a date-hour refused as parse_birth_date refuses it.
std::optional<DateHour> parse_zero_date_arg(CliContext& ctx, const std::string& text);

// A computed horoscope with everything it was computed with.
struct BirthChart {
    std::unique_ptr<CliSettings> settings;  // the horoscope points at settings->aspects
    std::unique_ptr<EphemerisLibrary> library;
    std::unique_ptr<WorkerThreads> workers;
    std::unique_ptr<Horoscope> horoscope;
    Options options;                 // the stored options with the per-run overrides
    BirthData data;                  // the birth data given to the computation
    double correction_hours = 0.0;   // universal = legal + correction
    bool valid = true;               // false: computed in part only (see keep_invalid below)
    std::string place_source;        // which source gave the place: "atlas", "geocoding service", ...
    std::string offset_source;       // ... and the universal time
};

// Loads the settings, applies the per-run overrides, builds the birth data (coordinates, "My
// city" or the atlas; universal, local with a correction, or now), checks them and computes
// with the user's aspect table. A day without sunrise or sunset (polar day or night) is
// accepted with a warning; a date outside the provider's stated range is warned about. nullopt
// after telling the failure; ctx.exit_code then holds the status (2 for bad input). With
// `keep_invalid`, a computation that failed after the birth data were stored (a date the
// ephemeris file does not cover, say) gives the chart with `valid` false and exit status 1.
std::optional<BirthChart> compute_birth_chart(const BirthArgs& args, CliContext& ctx, bool keep_invalid = false);
// The same for the birth data of a horoscope file (`open`), which keeps its own identifier.
std::optional<BirthChart> compute_file_chart(const std::string& path, const ChartOverrides& overrides,
                                             CliContext& ctx, bool keep_invalid = false);

// The span of dates over which the loaded provider states that its positions hold.
struct ProviderRange {
    double first_jd_et = kInfinity;
    double last_jd_et = kInfinity;
    std::string first;  // "-2000-01-01 JD"
    std::string last;
    bool contains(double jd_et) const { return jd_et >= first_jd_et && jd_et <= last_jd_et; }
};
std::optional<ProviderRange> provider_range(const EphemerisLibrary& library);
// The warning for a moment outside the range, naming the range; empty inside it or without one.
std::string provider_range_warning(const std::optional<ProviderRange>& range, double jd_et);

}  // namespace tellurim
