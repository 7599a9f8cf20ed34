#include "app/cli.h"

namespace tellurim {

void register_positions_commands(CLI::App& /*calc*/, CliContext& /*ctx*/) {}

}  // namespace tellurim
