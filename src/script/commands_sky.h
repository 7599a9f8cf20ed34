#pragma once
// The script commands on time, lunations, angles, Hindu analysis, fixed stars and the run's settings:
// their handlers, whose rows are in commands_sky.inc.

#include "script/command_call.h"

namespace tellurim::script_sky {

}  // namespace tellurim::script_sky
