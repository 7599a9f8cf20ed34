#pragma once
// What `chart` shares with the commands that compute a horoscope from elsewhere (`open`):
// the printer of a computed horoscope (the per-run overrides are in cli_common.h).

#include <CLI/CLI.hpp>
#include <string>

#include "app/cli.h"
#include "app/cli_common.h"
#include "core/horoscope.h"
#include "report/report_file.h"

namespace tellurim {

class EphemerisLibrary;

// The ephemeris provider's name as the results report shows it.
std::string_view ephemeris_display_name(int type);

// --report FILE and --format NAME: the results report written to a file as well.
struct ReportRequest {
    std::string path;    // empty: no file
    std::string format;  // rtf, rtf-word, html, dos-txt, txt; empty: the file's extension decides
};
void add_report_options(CLI::App& command, ReportRequest& request);
// The file and format of a report request: the extension that the chosen entry adds to a name
// without one, and the format that the extension then gives.
ConvertTarget report_target(const ReportRequest& request);

// Prints a computed horoscope as `chart` does: the results report as UNIX text, or one JSON
// object with `json` holding every value of the report, with the star conjunctions within
// `star_orb` degrees (a catalogue that does not load is said through the messages and the
// chart goes on without). With a report request, the report goes to its file instead of
// standard output (the JSON object is still printed with `json`), and standard error says
// where. Returns the exit status.
int print_chart(const Horoscope& h, const EphemerisLibrary& library, bool json, double star_orb,
                const ReportRequest& request, const std::string& private_dir, CliContext& ctx);
// A chart whose computation failed after its birth data were stored (BirthChart::valid false):
// its short report (birth data, time scales, precession, then "Horoscope is invali, ...") on
// standard output or, with a report request, in the file; nothing with `json` alone. The
// failure stands: exit status 1.
int print_invalid_chart(const BirthChart& chart, bool json, const ReportRequest& request, CliContext& ctx);

}  // namespace tellurim
