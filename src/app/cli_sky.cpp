#include "app/cli.h"

namespace tellurim {

void register_sky_commands(CLI::App& /*calc*/, CliContext& /*ctx*/) {}

}  // namespace tellurim
