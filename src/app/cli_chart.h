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

// --report FILE and --format NAME: the results report written to a file as well.
struct ReportRequest {
    std::string path;    // empty: no file
    std::string format;  // rtf, rtf-word, html, dos-txt, txt; empty: the file's extension decides
};
void add_report_options(CLI::App& command, ReportRequest& request);

// Prints a computed horoscope as `chart` does: the results report as UNIX text, or one JSON
// object with `json` holding every value of the report, with the star conjunctions within
// `star_orb` degrees (a catalogue that does not load is said through the messages and the
// chart goes on without). With a report request, writes the report to its file as well and
// says so on standard error. Returns the exit status.
int print_chart(const Horoscope& h, const EphemerisLibrary& library, bool json, double star_orb,
                const ReportRequest& request, const std::string& private_dir, CliContext& ctx);

}  // namespace tellurim
