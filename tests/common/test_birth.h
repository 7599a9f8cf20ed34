#pragma once
// Birth data for the computation tests: a name, a place in degrees (east and north positive)
// and the birth's universal date-hour, the local one the same unless given.

#include <string_view>

#include "common/test_dates.h"
#include "core/horoscope.h"

namespace tellurim {

inline BirthData test_birth(const DateHour& ut, double lon_deg, double lat_deg, const DateHour* local = nullptr) {
    BirthData d;
    d.last_name = "Test";
    d.place.longitude = AngleValue::degrees(lon_deg, kFormatEastWest);
    d.place.latitude = AngleValue::degrees(lat_deg, kFormatNorthSouth);
    d.ut = ut;
    d.local = local ? *local : ut;
    return d;
}

inline BirthData test_birth(std::string_view ut, double lon_deg, double lat_deg, std::string_view local = {}) {
    const DateHour l = local.empty() ? test_date(ut) : test_date(local);
    return test_birth(test_date(ut), lon_deg, lat_deg, &l);
}

}  // namespace tellurim
