#pragma once
// The database connection of a command: the options' block, overridden by --dsn, --login,
// --password and --mapping; the default embedded database is registered and created on first
// use. Shared by export db, db test and chart --save-db.

#include <optional>
#include <string>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "files/db_export.h"

namespace tellurim {

// Empty when not given: the options' values then hold.
struct DbArgs {
    std::string dsn;
    std::string login;
    std::string password;
    std::string mapping;
};

// nullopt (with ctx.exit_code 1) when the default database cannot be set up.
std::optional<DbTarget> db_target(const DbArgs& args, const CliSettings& settings, CliContext& ctx);

}  // namespace tellurim
