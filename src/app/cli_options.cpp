#include "app/cli.h"

namespace tellurim {

void register_options_commands(CLI::App& /*app*/, CliContext& /*ctx*/) {}

}  // namespace tellurim
