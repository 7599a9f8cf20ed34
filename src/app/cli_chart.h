#pragma once
// What `chart` shares with the commands that compute a horoscope from elsewhere (`open`):
// the printer of a computed horoscope (the per-run overrides are in cli_common.h).

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "app/cli.h"
#include "app/cli_common.h"
#include "core/horoscope.h"
#include "report/results_report.h"

namespace tellurim {

class EphemerisLibrary;

// --report FILE and --format NAME: the results report written to a file as well.
struct ReportRequest {
    std::string path;    // empty: no file
    std::string format;  // rtf, rtf-word, html, dos-txt, txt; empty: the file's extension decides
};
void add_report_options(CLI::App& command, ReportRequest& request);

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

}  // namespace tellurim
