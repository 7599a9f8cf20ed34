#pragma once
// AngleValue: a number with its unit (0 none, 1 radians, 2 degrees, 3 hours) and a display
// format code. Positive infinity means "not computed" ("ERROR"), negative infinity "not
// available" ("NA"). Every consumer tests validity and converts through the unit code.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/byte_io.h"
#include "base/date_hour.h"

namespace tellurim {

enum AngleUnit : std::int32_t { kUnitNone = 0, kUnitRadians = 1, kUnitDegrees = 2, kUnitHours = 3 };
// Display format codes: 1 east/west suffix, 2 north/south suffix, anything else a sign.
enum AngleFormat : std::int32_t { kFormatSigned = 0, kFormatEastWest = 1, kFormatNorthSouth = 2 };

inline constexpr double kDegreesPerRadian = 57.29577951308232;

struct AngleValue {
    std::int32_t kind = 2;  // tag word: every value the system builds holds 2
    double value = kInfinity;
    std::int32_t unit = kUnitNone;
    std::int32_t format = kFormatSigned;

    static AngleValue radians(double v, std::int32_t fmt = 0) { return {2, v, kUnitRadians, fmt}; }
    static AngleValue degrees(double v, std::int32_t fmt = 0) { return {2, v, kUnitDegrees, fmt}; }
    static AngleValue hours(double v, std::int32_t fmt = 0) { return {2, v, kUnitHours, fmt}; }
    static AngleValue plain(double v) { return {2, v, kUnitNone, 0}; }
    static AngleValue not_available() { return {2, -kInfinity, kUnitNone, 0}; }

    bool is_finite() const { return value != kInfinity && value != -kInfinity && value == value; }
    // Finite and with a unit: usable as an angle.
    bool is_angle() const { return is_finite() && unit != kUnitNone; }

    // Conversions through the unit code; an angle of unit 0 converts to positive infinity.
    double to_degrees() const;
    double to_radians() const;
    double to_hours() const;

    bool operator==(const AngleValue& o) const {
        // bitwise-equal numbers, so that two "not computed" values compare equal
        return kind == o.kind && unit == o.unit && format == o.format &&
               (value == o.value || (value != value && o.value != o.value));
    }
};

// Byte image: 24 bytes. 0 kind i32 | 4 pad | 8 value f64 | 16 unit i32 | 20 format i32
inline constexpr std::size_t kAngleValueSize = 24;
void write_angle(ByteWriter& out, const AngleValue& a);
AngleValue read_angle(ByteReader& in);

// Text form. Degrees "38d54'00.01\"", hours "5h08'08.00\""; format 1 appends E or W, format 2
// N or S, other formats a leading minus for negative values. Units 0 and 1 are written as
// plain decimal numbers. "ERROR" for positive infinity, "NA" for negative infinity.
std::string format_angle(const AngleValue& a, int decimals = 2);
// The sexagesimal text of a number of degrees (or hours with `hours`), with a leading minus
// when negative. Any finite value is written, however large (decimals are clamped to 0..9).
std::string format_sexagesimal(double value, bool hours, int decimals = 2);
// An angle as signed sexagesimal degrees (or hours with `hours`), whatever its own format; a
// value that is not an angle keeps its text ("ERROR", "NA").
std::string format_signed_angle(const AngleValue& a, bool hours);

// Parses the text form. nullopt when the text is not an angle, or when its whole degrees (or
// hours) exceed kMaxAngleUnits: such a text is refused rather than rounded.
inline constexpr long long kMaxAngleUnits = 2147483647;
std::optional<AngleValue> parse_angle(std::string_view text);
// True when `text` is refused only because its whole degrees (or hours) exceed kMaxAngleUnits.
bool angle_units_too_large(std::string_view text);

}  // namespace tellurim
