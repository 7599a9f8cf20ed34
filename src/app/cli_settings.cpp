#include "app/cli_settings.h"

namespace tellurim {

// Provisional: the record's built-in defaults, until the options file is read.
std::optional<CliSettings> load_cli_settings(CliContext& ctx) {
    CliSettings s;
    s.private_dir = ctx.private_dir;
    s.horoscopes_dir = ctx.horoscopes_dir;
    return s;
}

}  // namespace tellurim
