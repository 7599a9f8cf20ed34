#pragma once
// The named values of a horoscope that the database export maps to columns ("Id Field",
// "Sun Geo Mov Longitude Degrees", "House 3 Strength SHSD", ...), each with its kind.
//
// Definitions where the names alone do not settle them:
// - "... House %d SHSD": the cusp of house %d (row %d - 1 of the house table). "... SHOD": the
//   houses numbered against the signs, so house 1 still begins at the Ascendant and house k
//   begins at cusp row (13 - k) mod 12 (house 2 at the cusp of house 12, and so on), the same
//   numbering as the house of a point with the opposite-direction flag.
// - "H_%s_SHSD", "H_%s_SHOD": the house (1 to 12) holding the planet's geocentric fixed
//   longitude among the fixed cusps, in the same or the opposite direction, with the options'
//   cusp-centre setting (the planet variant of the house of a point); NULL when none holds it.
// - "Angle_%s_%s": the shorter arc in degrees (0 to 180) between the two planets' geocentric
//   longitudes in the zodiac the options select (movable or fixed).
// - "Hour UT Decimal": hour + minute / 60 + seconds / 3600 of the universal date-hour.
// - "City Longitude Hours Encode Abs": the absolute longitude in hours as a time of day.
// - Dates and date-times outside the years 1 to 9999 (a database's range) are NULL, as are
//   every value that is not computed (positive or negative infinity).
// - "%s Strength": the total six-fold strength of Sun .. Saturn in virupas (NULL for the other
//   bodies); "House %d Strength SHSD": the total strength of house %d (row %d - 1), virupas.
// - "Year Lord", "Month Lord", "Day Lord", "Hour Lord": the planet's name.
// - "%s Bindus in %s Ashtakavarga Before|After Reduction": the first name is a body (the count
//   in the body's rasi sign) or a sign name ("Aries" ... "Pisces", the count in that sign); the
//   second is the planet of the Ashtakavarga, Sun .. Saturn.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/horoscope.h"

namespace tellurim {

enum class DbKind { Text, Integer, Real, Date, Time, DateTime };

struct DbTimestamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
};

struct DbValue {
    DbKind kind = DbKind::Text;
    bool is_null = false;
    std::string text;
    long long integer = 0;
    double real = 0.0;
    DbTimestamp when;
};

// A field name looked up once: a bulk export computes the same fields for every horoscope.
struct DbField {
    int field = -1;  // the field's rule, and its planet, house, frame or direction
    int a = 0, b = 0, c = 0;
};

// True when `field` is one of the system's field names.
bool is_known_field(std::string_view field);
// The field of a name; nullopt for an unknown field name.
std::optional<DbField> find_db_field(std::string_view field);
// The value of a field for a computed horoscope. Each field always gives the same kind (a
// NULL value included).
DbValue db_value(const Horoscope& h, const DbField& field);
// The same by name; nullopt for an unknown field name.
std::optional<DbValue> db_value(const Horoscope& h, std::string_view field);

}  // namespace tellurim
