#include "files/my_city.h"

#include <ctime>

#include "base/strings.h"

namespace tellurim {

SystemTimeZone system_time_zone_now() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    SystemTimeZone z;
    if (!localtime_r(&t, &local)) return z;
    z.state = local.tm_isdst > 0 ? kTzDaylight : local.tm_isdst == 0 ? kTzStandard : kTzUnknown;
    z.utc_offset_seconds = local.tm_gmtoff;
    return z;
}

bool check_my_city(MyCity& city, const SystemTimeZone& now, MessageSink& messages) {
    if (city.tz_state == now.state) return false;
    city.correction_hours = now.correction_hours();
    city.tz_state = now.state;
    messages.tell(str(Str::PlaceOfficialTimeChanged), str(Str::PlaceCaptionWarning), MessageIcon::Information);
    return true;
}

}  // namespace tellurim
