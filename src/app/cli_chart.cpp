#include "app/cli.h"

namespace tellurim {

void register_chart_commands(CLI::App& /*app*/, CliContext& /*ctx*/) {}

}  // namespace tellurim
