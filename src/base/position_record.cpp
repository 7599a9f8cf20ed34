#include "base/position_record.h"

#include <cstring>

namespace tellurim {
namespace {

void put_u32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put_f64(std::uint8_t* at, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}
std::uint32_t get_u32(const std::uint8_t* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(at[i]) << (8 * i);
    return v;
}
double get_f64(const std::uint8_t* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t(at[i]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// The AngleValue image of base/angle_value.h: 0 kind i32 | 4 pad | 8 value f64 | 16 unit i32 | 20 format i32
void put_angle(std::uint8_t* at, const AngleValue& a) {
    put_u32(at, static_cast<std::uint32_t>(a.kind));
    put_f64(at + 8, a.value);
    put_u32(at + 16, static_cast<std::uint32_t>(a.unit));
    put_u32(at + 20, static_cast<std::uint32_t>(a.format));
}
AngleValue get_angle(const std::uint8_t* at) {
    AngleValue a;
    a.kind = static_cast<std::int32_t>(get_u32(at));
    a.value = get_f64(at + 8);
    a.unit = static_cast<std::int32_t>(get_u32(at + 16));
    a.format = static_cast<std::int32_t>(get_u32(at + 20));
    return a;
}
static_assert(kAngleValueSize == 24);

}  // namespace

int planet_of_body(std::string_view name) {
    for (const auto& b : kEphemerisBodies)
        if (name == b.name) return b.planet;
    return -1;
}

std::string_view body_of_planet(int planet) {
    for (const auto& b : kEphemerisBodies)
        if (planet == b.planet) return b.name;
    return {};
}

void write_position_record(PositionRecordBytes& out, const BodyPositions& p) {
    out.fill(0);
    std::uint8_t* r = out.data();
    put_angle(r + kRecHelioMovLon, p.helio_mov.longitude);
    put_angle(r + kRecHelioMovLat, p.helio_mov.latitude);
    put_f64(r + kRecHelioMovDist, p.helio_mov.distance.value);
    put_angle(r + kRecHelioFixLon, p.helio_fix.longitude);
    put_angle(r + kRecHelioFixLat, p.helio_fix.latitude);
    put_f64(r + kRecHelioFixDist, p.helio_fix.distance.value);
    put_angle(r + kRecGeoMovLon, p.geo_mov.longitude);
    put_angle(r + kRecGeoMovLat, p.geo_mov.latitude);
    put_f64(r + kRecGeoDist, p.geo_mov.distance.value);
    put_angle(r + kRecGeoFixLon, p.geo_fix.longitude);
    put_angle(r + kRecGeoFixLat, p.geo_fix.latitude);
    r[kRecRetrograde] = p.retrograde ? 1 : 0;
}

std::optional<BodyPositions> read_position_record(std::span<const std::uint8_t> bytes, int planet) {
    if (bytes.size() < kPositionRecordSize) return std::nullopt;
    const std::uint8_t* r = bytes.data();
    BodyPositions p;
    auto frame = [&](PlanetPosition& f, std::size_t lon, std::size_t lat) {
        f.index = planet;
        f.longitude = get_angle(r + lon);
        f.latitude = get_angle(r + lat);
    };
    frame(p.helio_mov, kRecHelioMovLon, kRecHelioMovLat);
    p.helio_mov.distance = AngleValue::plain(get_f64(r + kRecHelioMovDist));
    frame(p.helio_fix, kRecHelioFixLon, kRecHelioFixLat);
    p.helio_fix.distance = AngleValue::plain(get_f64(r + kRecHelioFixDist));
    frame(p.geo_mov, kRecGeoMovLon, kRecGeoMovLat);
    p.geo_mov.distance = AngleValue::plain(get_f64(r + kRecGeoDist));
    frame(p.geo_fix, kRecGeoFixLon, kRecGeoFixLat);
    p.geo_fix.distance = p.geo_mov.distance;
    p.retrograde = r[kRecRetrograde] != 0;
    p.geo_mov.retrograde = p.geo_fix.retrograde = p.retrograde ? 1 : 0;
    return p;
}

}  // namespace tellurim
