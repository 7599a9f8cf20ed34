#include "app/cli.h"

namespace tellurim {

void register_place_commands(CLI::App& /*app*/, CliContext& /*ctx*/) {}

}  // namespace tellurim
