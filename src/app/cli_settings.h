#pragma once
// Settings for a command-line run: the private and horoscopes directories (stored values,
// or the --private-dir / --horoscopes-dir overrides) and the options file loaded from them.

#include <optional>
#include <string>

#include "app/cli.h"
#include "core/aspect_record.h"
#include "core/options.h"

namespace tellurim {

struct CliSettings {
    std::string private_dir;
    std::string horoscopes_dir;
    Options options;
    AspectTable aspects;  // "aspects.pra" of the private directory
};

// Establishes both directories, loads (or creates) the options file and then the aspect
// table (rebuilt with its defaults when its file gives none), telling the user
// through ctx.messages. nullopt when the private directory or the options file cannot be
// established; ctx.exit_code is then 1.
std::optional<CliSettings> load_cli_settings(CliContext& ctx);

}  // namespace tellurim
