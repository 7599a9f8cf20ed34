#include "app/cli_common.h"

#include <chrono>
#include <cmath>

namespace tellurim {

DateHour now_ut() {
    using namespace std::chrono;
    double unix_seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    DateHour d;
    // 1970-01-01 00:00 UT is Julian day 2440587.5
    set_julian_day_ut(d, 2440587.5 + std::round(unix_seconds * 100.0) / 8640000.0);
    return d;
}

}  // namespace tellurim
