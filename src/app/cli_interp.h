#pragma once
// The interpretation file list of a command-line run, shared by `interp` and `script`.

#include <optional>
#include <string>

#include "app/cli.h"
#include "files/interp_texts.h"

namespace tellurim {

// Loads the settings and then the interpretation list of their private directory (built
// with its defaults when missing, indexes brought up to date). nullopt when the settings
// cannot be established; ctx.exit_code is then set.
std::optional<InterpList> load_cli_interp_list(CliContext& ctx, std::string* private_dir = nullptr);

}  // namespace tellurim
