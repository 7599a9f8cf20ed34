#include "core/birth_place.h"

namespace tellurim {

void write_birth_place(ByteWriter& out, const BirthPlace& p) {
    out.utf16_fixed_utf8(p.city, kCityUnits);
    out.utf16_fixed_utf8(p.county, kCityUnits);
    write_angle(out, p.longitude);
    write_angle(out, p.latitude);
    out.i32(p.time_zone);
    out.pad(4);
}

BirthPlace read_birth_place(ByteReader& in) {
    BirthPlace p;
    p.city = in.utf16_fixed_utf8(kCityUnits);
    p.county = in.utf16_fixed_utf8(kCityUnits);
    p.longitude = read_angle(in);
    p.latitude = read_angle(in);
    p.time_zone = in.i32();
    in.skip(4);
    return p;
}

}  // namespace tellurim
