#pragma once
// What `chart` takes from the movings: --step and --count, which compute the outside chart of
// --outside-ut again and again, one step further on each time.

#include <CLI/CLI.hpp>
#include <string>

#include "app/cli.h"
#include "app/cli_common.h"
#include "app/cli_wheel.h"

namespace tellurim {

struct ChartSteps {
    std::string step;  // "15 MN": empty without --step
    int count = 1;
};
// --step (which needs `outside_ut`) and --count.
void add_step_options(CLI::App& chart, ChartSteps& steps, CLI::Option* outside_ut);

// The outside chart of `outside_ut` at the birth place, then moved `steps.count - 1` times by
// the step: for each, its positions and its aspects to the inside chart, as text or as one
// JSON object a line; with a wheel request, one wheel a step into `wheel.file`, whose "%d" (or
// "%03d") takes the step's number from 0. Returns the exit status.
int run_chart_steps(const ChartSteps& steps, const std::string& outside_ut, const WheelArgs& wheel_args,
                    const std::optional<WheelRequest>& wheel, BirthChart& chart, bool json, CliContext& ctx);

}  // namespace tellurim
