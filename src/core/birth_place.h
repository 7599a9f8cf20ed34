#pragma once
// BirthPlace: city, county, longitude, latitude and time-zone number. Its 296-byte image is
// also the record of the city files and the "My city" block of the options.

#include <cstdint>
#include <string>

#include "base/angle_value.h"

namespace tellurim {

struct BirthPlace {
    std::string city;    // at most 59 UTF-16 units
    std::string county;  // at most 59 UTF-16 units
    AngleValue longitude;
    AngleValue latitude;
    std::int32_t time_zone = -1;  // -1 unknown; the low 16 bits name the correction file

    bool operator==(const BirthPlace&) const = default;
};

// 0 city u16[60] | 120 county u16[60] | 240 longitude AngleValue | 264 latitude AngleValue
// | 288 time-zone number i32 | 292 pad 4
inline constexpr std::size_t kBirthPlaceSize = 296;
inline constexpr std::size_t kCityUnits = 60;
void write_birth_place(ByteWriter& out, const BirthPlace& p);
BirthPlace read_birth_place(ByteReader& in);

}  // namespace tellurim
