#include "script/commands_chart.h"

namespace tellurim::script_chart {

}  // namespace tellurim::script_chart
