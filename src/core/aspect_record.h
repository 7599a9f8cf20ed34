#pragma once
// The occidental aspect table (one AspectDef per aspect kind) and the aspects that the
// pipeline finds in a horoscope with it. The table itself belongs to the application (loaded
// from "aspects.pra" at start-up, see files/aspects_file.h); a horoscope only points at it.

#include <cstdint>
#include <string>
#include <vector>

#include "base/angle_value.h"

namespace tellurim {

// Dash styles of the aspect lines; any other name parses to kPenUnknown.
enum PenType : std::int32_t {
    kPenUnknown = -1, kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3, kPenDashDotDot = 4,
};

inline constexpr std::size_t kAspectNameUnits = 30;  // 29 UTF-16 units and the terminator

struct AspectDef {
    bool draw = false;                 // "D&raw the aspect": the wheel draws its lines
    std::string name;                  // at most 29 UTF-16 units
    AngleValue angle;                  // nominal angle, 0 to 180 degrees
    AngleValue orb;                    // tolerance, above 0 and at most 180 degrees
    std::uint32_t colour = 0xFF000000; // ARGB; the alpha byte is the base opacity of the line
    float pen_size = 1.5f;             // above 0
    std::int32_t pen_type = kPenSolid;
    bool more_opaque = true;           // "&More opaque if close-up"
    bool show_information = false;     // "&Show informations" at the hot spot
    float hot_spot_size = 2.0f;        // above 0
    bool operator==(const AspectDef&) const = default;
};

// The rows, sorted by ascending nominal angle after loading and before saving, and the file
// they came from.
struct AspectTable {
    std::vector<AspectDef> rows;
    std::string path;
    bool operator==(const AspectTable&) const = default;
};

// One aspect between two planets of a chart (a < b): the table row's name, nominal angle and
// orb, the great-circle separation and the line opacity.
struct FoundAspect {
    int a = -1;
    int b = -1;
    std::string name;
    double angle_deg = 0.0;
    double orb_deg = 0.0;
    double separation_deg = 0.0;
    int opacity = 0;
    bool operator==(const FoundAspect&) const = default;
};

// One aspect between a planet and a house cusp (house 1 to 12).
struct FoundHouseAspect {
    int planet = -1;
    int house = 0;
    std::string name;
    double angle_deg = 0.0;
    double orb_deg = 0.0;
    double separation_deg = 0.0;
    bool operator==(const FoundHouseAspect&) const = default;
};

}  // namespace tellurim
