// tellurim open: reads a horoscope file, computes it with the stored options (overridden per
// run like `chart`) and prints it exactly as `chart` prints the same birth data.
#include <memory>

#include "app/cli.h"
#include "app/cli_chart.h"
#include "app/cli_common.h"

namespace tellurim {
namespace {

struct OpenArgs {
    std::string path;
    ChartOverrides overrides;
    double star_orb = 1.0;
    bool json = false;
};

int run_open(const OpenArgs& a, CliContext& ctx) {
    auto chart = compute_file_chart(a.path, a.overrides, ctx);
    if (!chart) return ctx.exit_code;
    print_chart(*chart->horoscope, *chart->library, a.json, a.star_orb, *ctx.messages);
    return kExitOk;
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
    open->callback([args, &ctx] { ctx.exit_code = run_open(*args, ctx); });
}

}  // namespace tellurim
