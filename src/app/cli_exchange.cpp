// tellurim import, export db, export text, db test, db setup.
#include "app/cli.h"

namespace tellurim {

void register_exchange_commands(CLI::App&, CliContext&) {}

}  // namespace tellurim
