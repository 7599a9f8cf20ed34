// tellurim open: reads a horoscope file, computes it with the stored options (overridden per
// run like `chart`) and prints it exactly as `chart` prints the same birth data; with --wheel
// it also draws the chart wheel, another file superposed outside with --outside.
#include <memory>

#include "app/cli.h"
#include "app/cli_chart.h"
#include "app/cli_common.h"
#include "app/cli_wheel.h"

namespace tellurim {
namespace {

struct OpenArgs {
    std::string path;
    ChartOverrides overrides;
    double star_orb = 1.0;
    bool json = false;
    SectionArgs sections;
    WheelArgs wheel;
    ReportRequest report;
};

int run_open(const OpenArgs& a, CliContext& ctx) {
    const std::optional<WheelRequest> wheel = check_wheel_args(a.wheel, ctx);
    if (ctx.exit_code != kExitOk) return ctx.exit_code;
    if (!check_output_paths({a.report.path.empty() ? "" : report_target(a.report).path}, ctx)) return ctx.exit_code;
    const std::optional<ChartOutput> output =
        chart_output(a.json, a.star_orb, a.report, a.sections, wheel || !a.report.path.empty(), ctx);
    if (!output) return ctx.exit_code;
    auto chart = compute_file_chart(a.path, a.overrides, ctx, true);
    if (!chart) return ctx.exit_code;
    if (!chart->valid) return print_invalid_chart(*chart, a.json, a.report, ctx);
    const Horoscope& h = *chart->horoscope;
    if (int code = print_chart(h, *chart->library, *output, chart->settings->private_dir, ctx); code != kExitOk)
        return code;
    if (!wheel) return kExitOk;
    std::unique_ptr<Horoscope> outside;
    if (!a.wheel.outside.empty()) {
        outside = read_outside_horoscope(horoscope_file_path(a.wheel.outside, chart->settings->horoscopes_dir), h,
                                         *chart->library, *chart->workers, ctx);
        if (!outside) return ctx.exit_code;
    }
    return write_wheel(a.wheel.file, *wheel, h, outside.get(), chart->settings->aspects, chart->settings->private_dir,
                       ctx);
}

}  // namespace

void register_open_command(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<OpenArgs>();
    CLI::App* open = app.add_subcommand("open", "Read a horoscope file, compute it and print it as chart does");
    open->add_option("FILE", args->path, "Horoscope file (.xml)")->required();
    add_chart_override_options(*open, args->overrides);
    open->add_option("--star-orb", args->star_orb, "Orb of the star conjunctions in degrees (default 1)")
        ->check(CLI::Range(0.0, 180.0));
    open->add_flag("--json", args->json, "JSON output");
    add_section_options(*open, args->sections);
    add_wheel_options(*open, args->wheel);
    add_report_options(*open, args->report);
    open->callback([args, &ctx] { ctx.exit_code = run_open(*args, ctx); });
}

}  // namespace tellurim
