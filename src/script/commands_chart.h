#pragma once
// The script commands on the horoscope list, the birth data, signs, houses, lords, longitudes and aspects:
// their handlers, whose rows are in commands_chart.inc.

#include "script/command_call.h"

namespace tellurim::script_chart {

}  // namespace tellurim::script_chart
