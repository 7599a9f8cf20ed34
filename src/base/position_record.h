#pragma once
// The PositionRecord that an ephemeris provider fills for one body (layout in
// ephemeris/ephemeris_abi.h), its decoded form, and the providers' body names. Both sides of
// the provider interface use it: the providers to write records, the program to read them.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/planet_position.h"
#include "ephemeris/ephemeris_abi.h"

namespace tellurim {

// One body's record. Each frame is a PlanetPosition whose index is the body's planet index;
// the distance is a unit-0 value in astronomical units. The retrograde flag is set in the
// two geocentric frames only.
struct BodyPositions {
    PlanetPosition helio_mov;
    PlanetPosition helio_fix;
    PlanetPosition geo_mov;
    PlanetPosition geo_fix;
    bool retrograde = false;
    bool operator==(const BodyPositions&) const = default;
};

// Body names of the providers and their planet indices.
struct EphemerisBody {
    const char* name;
    int planet;
};
inline constexpr std::array<EphemerisBody, 12> kEphemerisBodies{{
    {"SUN", kSun}, {"MOON", kMoon}, {"MERCURY", kMercury}, {"VENUS", kVenus},
    {"MARS", kMars}, {"JUPITER", kJupiter}, {"SATURN", kSaturn}, {"RAHU", kRahu},
    {"KETHU", kKethu}, {"URANUS", kUranus}, {"NEPTUNE", kNeptune}, {"PLUTO", kPluto},
}};
// Planet index of a body name; -1 when the name is not a provider body.
int planet_of_body(std::string_view name);
// Body name of a planet index; "" when the planet is not a provider body.
std::string_view body_of_planet(int planet);

// Mirrored PositionRecord writer and reader, field by field in little-endian order. The
// writer fills all kPositionRecordSize bytes (zeros where the layout lists nothing); the
// reader takes a buffer of at least that size and sets every frame's index to `planet`.
// They run for every body of every chart and search step, so they store bytes directly
// instead of going through a growing ByteWriter.
using PositionRecordBytes = std::array<std::uint8_t, kPositionRecordSize>;
void write_position_record(PositionRecordBytes& out, const BodyPositions& p);
std::optional<BodyPositions> read_position_record(std::span<const std::uint8_t> bytes, int planet);

}  // namespace tellurim
