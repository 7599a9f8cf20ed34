#pragma once
// What `chart` shares with the commands that compute a horoscope from elsewhere (`open`):
// the printer of a computed horoscope (the per-run overrides are in cli_common.h).

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/cli.h"
#include "app/cli_common.h"
#include "core/horoscope.h"
#include "report/report_file.h"
#include "report/results_report.h"

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

// --sections LIST, --no-stars and --print, as typed.
struct SectionArgs {
    std::string sections;  // section names separated by commas, or "all"; empty: every section
    bool no_stars = false;
    bool print = false;
};
void add_section_options(CLI::App& command, SectionArgs& args);

// What a chart command prints and writes.
struct ChartOutput {
    bool json = false;
    bool print = true;  // the chart on standard output; false when only files are written
    double star_orb = 1.0;
    ReportSections sections = kAllReportSections;
    ReportRequest report;
    std::string place_source;   // where the place came from (atlas, geocoding), for the provenance
    std::string offset_source;  // where the offset to universal time came from
};
// The output of `chart` and `open`. A command that writes files (`writes_files`: --save,
// --wheel, --report ...) prints the chart only with --print, --json, --sections or --no-stars;
// otherwise it says in one line what it wrote. An unknown section name is refused with exit
// status 2 (nullopt).
std::optional<ChartOutput> chart_output(bool json, double star_orb, const ReportRequest& report,
                                        const SectionArgs& sections, bool writes_files, CliContext& ctx);

// Prints a computed horoscope as `chart` does: the chosen sections of the results report as
// UNIX text, or one JSON object holding every value of those sections, with the star
// conjunctions within the orb (a catalogue that does not load is said through the messages
// and the chart goes on without). With a report request, writes the same sections to its
// file as well and says so. Returns the exit status.
int print_chart(const Horoscope& h, const EphemerisLibrary& library, const ChartOutput& output,
                const std::string& private_dir, CliContext& ctx);
// The JSON object that `chart --json` prints, with the chosen sections.
nlohmann::json chart_json(const Horoscope& h, const EphemerisLibrary& library, const ChartOutput& output,
                          const std::string& private_dir, CliContext& ctx);
// A chart whose computation failed after its birth data were stored (BirthChart::valid false):
// its short report (birth data, time scales, precession, then "Horoscope is invali, ...") on
// standard output or, with a report request, in the file; nothing with `json` alone. The
// failure stands: exit status 1.
int print_invalid_chart(const BirthChart& chart, bool json, const ReportRequest& request, CliContext& ctx);

}  // namespace tellurim
