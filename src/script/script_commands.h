#pragma once
// The system's own Tcl commands. Each is a row of one table (name, whether it needs a current
// horoscope, its word counts, its usage message and its handler) and one dispatcher checks
// the horoscope and the count before the handler runs, so a new command is one row and a
// few lines of handler.

#include <string_view>
#include <vector>

#include "base/strings.h"
#include "script/script_context.h"

struct Tcl_Interp;

namespace tellurim {

// Registers every command in `interp` with `context` as its client data.
void register_script_commands(Tcl_Interp* interp, ScriptContext& context);
// Removes them again.
void unregister_script_commands(Tcl_Interp* interp);

// The command reference, from the same table: name, usage message, whether a horoscope is needed.
struct ScriptCommandInfo {
    std::string_view name;
    std::string_view usage;
    bool needs_horoscope;
};
std::vector<ScriptCommandInfo> script_command_reference();

}  // namespace tellurim
