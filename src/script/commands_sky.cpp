#include "script/commands_sky.h"

namespace tellurim::script_sky {

}  // namespace tellurim::script_sky
