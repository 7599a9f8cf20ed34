#pragma once
// Small pieces shared by the command groups.

#include "core/date_hour.h"

namespace tellurim {

// The present moment in universal time, to the hundredth of a second, Gregorian calendar.
DateHour now_ut();

}  // namespace tellurim
