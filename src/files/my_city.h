#pragma once
// "My city" at start-up: when the system's time-zone state (standard or daylight) differs
// from the one stored with the user's default place, the stored correction is out of date:
// it is recomputed from the system, the user is told, and the options must be saved.

#include <cstdint>

#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

// Time-zone state of the system: 0 unknown, 1 standard time, 2 daylight time.
enum TimeZoneState : std::int32_t { kTzUnknown = 0, kTzStandard = 1, kTzDaylight = 2 };

struct SystemTimeZone {
    std::int32_t state = kTzUnknown;
    long utc_offset_seconds = 0;  // east of UTC, daylight time included
    // universal = legal + correction
    double correction_hours() const { return static_cast<double>(-utc_offset_seconds) / 3600.0; }  // never -0.0
};

// The C library's local time now (tm_isdst > 0 daylight, 0 standard, < 0 unknown; tm_gmtoff).
SystemTimeZone system_time_zone_now();

// Compares and updates `city`; true when it changed (the options must then be saved). The
// user is told through `messages`.
bool check_my_city(MyCity& city, const SystemTimeZone& now, MessageSink& messages);

}  // namespace tellurim
