#include "files/db_values.h"

#include <cmath>
#include <fmt/format.h>
#include <unordered_map>

#include "astro/ashtakavarga.h"
#include "astro/planets_signs.h"
#include "sky/houses.h"

namespace tellurim {
namespace {

enum class Field {
    Id, Name, FirstName, Year, Month, Hour, Minute, Second, DateHourUtEncode, DateUtEncode, HourUtEncode,
    DateLocalEncode, DateHourLocalEncode, HourUtDecimal, SiderealTime, IsJulian, JdUt, JdEt, City, County, State,
    Country, LonHoursAbs, LonHoursEncodeAbs, LonDegreesAbs, LonIsWest, LatIsSouth, LatDegreesAbs, ZeroJdEt,
    ZeroDateEncode, ZeroDateHourEncode, HouseCusp, HouseSystem, Position, PlanetStrength, HouseStrength, LunarDay,
    SolarHour, Lord, Bindus, PlanetHouse, Angle,
};

struct FieldRule {
    Field field;
    int a = 0;  // planet, or house 1..12
    int b = 0;  // second planet, frame, direction or zodiac
    int c = 0;
};

constexpr int kNamedPlanets = 18;  // 0 Sun .. 17 Arudha
// Bindus are read for a sign, or for the rasi sign of a body: `a` is the body, or
// kSignBase + the sign.
constexpr int kSignBase = 100;

// Every field name, built once: the fixed names and each pattern expanded over planet names
// and house numbers.
const std::unordered_map<std::string, FieldRule>& field_table() {
    static const std::unordered_map<std::string, FieldRule> table = [] {
        std::unordered_map<std::string, FieldRule> t;
        const std::pair<const char*, Field> fixed[] = {
            {"Id Field", Field::Id}, {"Name", Field::Name}, {"First Name", Field::FirstName},
            {"Year", Field::Year}, {"Month", Field::Month}, {"Hour", Field::Hour}, {"Minute", Field::Minute},
            {"Second", Field::Second}, {"Date/Hour UT Encode", Field::DateHourUtEncode},
            {"Date UT Encode", Field::DateUtEncode}, {"Hour UT Encode", Field::HourUtEncode},
            {"Date Local Encode", Field::DateLocalEncode}, {"Date/Hour Local Encode", Field::DateHourLocalEncode},
            {"Hour UT Decimal", Field::HourUtDecimal}, {"Sidereal Time Decimal Hours", Field::SiderealTime},
            {"Is Julian Date", Field::IsJulian}, {"Julian Day UT", Field::JdUt}, {"Julian Day ET", Field::JdEt},
            {"City Name", Field::City}, {"County Name", Field::County}, {"State Name", Field::State},
            {"Country Name", Field::Country}, {"City Longitude Decimal Hours Abs", Field::LonHoursAbs},
            {"City Longitude Hours Encode Abs", Field::LonHoursEncodeAbs},
            {"City Longitude Decimal Degrees Abs", Field::LonDegreesAbs},
            {"City Longitude Is West", Field::LonIsWest}, {"City Latitude Is South", Field::LatIsSouth},
            {"City Latitude Decimal Degrees Abs", Field::LatDegreesAbs}, {"Zero JD ET", Field::ZeroJdEt},
            {"Zero Date UT Encode", Field::ZeroDateEncode}, {"Zero Date/Hour UT Encode", Field::ZeroDateHourEncode},
            {"House division type", Field::HouseSystem}, {"Lunar Day", Field::LunarDay},
            {"Solar Hour", Field::SolarHour},
        };
        for (const auto& [name, f] : fixed) t.emplace(name, FieldRule{f});
        const char* lords[] = {"Year Lord", "Month Lord", "Day Lord", "Hour Lord"};
        for (int i = 0; i < 4; ++i) t.emplace(lords[i], FieldRule{Field::Lord, i});
        for (int house = 1; house <= kHouseCount; ++house) {
            for (int zodiac = 0; zodiac < 2; ++zodiac)
                for (int opposite = 0; opposite < 2; ++opposite)
                    t.emplace(fmt::format("{} Longitude degrees House {} {}", zodiac == 0 ? "Mov" : "Fix", house,
                                          opposite ? "SHOD" : "SHSD"),
                              FieldRule{Field::HouseCusp, house, zodiac, opposite});
            t.emplace(fmt::format("House {} Strength SHSD", house), FieldRule{Field::HouseStrength, house});
        }
        const char* frames[] = {"Helio Mov", "Helio Fix", "Geo Mov", "Geo Fix"};  // PositionFrame order
        for (int p = 0; p < kNamedPlanets; ++p) {
            const std::string name(planet_name(p));
            for (int frame = 0; frame < 4; ++frame)
                for (int latitude = 0; latitude < 2; ++latitude)
                    t.emplace(fmt::format("{} {} {} Degrees", name, frames[frame], latitude ? "Latitude" : "Longitude"),
                              FieldRule{Field::Position, p, frame, latitude});
            t.emplace(name + " Strength", FieldRule{Field::PlanetStrength, p});
            t.emplace("H_" + name + "_SHSD", FieldRule{Field::PlanetHouse, p, 0});
            t.emplace("H_" + name + "_SHOD", FieldRule{Field::PlanetHouse, p, 1});
            for (int q = 0; q < kNamedPlanets; ++q)
                t.emplace(fmt::format("Angle_{}_{}", name, planet_name(q)), FieldRule{Field::Angle, p, q});
        }
        // "<where> Bindus in <planet> Ashtakavarga Before|After Reduction": <where> is a body
        // (the count in its rasi sign) or a sign; the Ashtakavargas are those of Sun .. Saturn.
        for (int where = 0; where < kNamedPlanets + 12; ++where) {
            const bool is_sign = where >= kNamedPlanets;
            const int a = is_sign ? kSignBase + where - kNamedPlanets : where;
            const std::string name(is_sign ? sign_name(where - kNamedPlanets) : planet_name(where));
            for (int q = 0; q < kStrengthPlanets; ++q)
                for (int after = 0; after < 2; ++after)
                    t.emplace(fmt::format("{} Bindus in {} Ashtakavarga {}", name, planet_name(q),
                                          after ? "After Reduction" : "Before Reduction"),
                              FieldRule{Field::Bindus, a, q, after});
        }
        return t;
    }();
    return table;
}

DbValue null_of(DbKind kind) {
    DbValue v;
    v.kind = kind;
    v.is_null = true;
    return v;
}
DbValue text_value(std::string s) {
    DbValue v;
    v.text = std::move(s);
    return v;
}
DbValue integer_value(long long i) {
    DbValue v;
    v.kind = DbKind::Integer;
    v.integer = i;
    return v;
}
DbValue real_value(double r) {
    if (!std::isfinite(r)) return null_of(DbKind::Real);
    DbValue v;
    v.kind = DbKind::Real;
    v.real = r;
    return v;
}

// A date-hour as a database date, time or date-time; NULL when invalid or outside 1..9999.
DbValue moment_value(const DateHour& d, DbKind kind) {
    if (!is_valid(d)) return null_of(kind);
    if (kind != DbKind::Time && (d.year < 1 || d.year > 9999)) return null_of(kind);
    DbValue v;
    v.kind = kind;
    v.when = {d.year, d.month, d.day, d.hour, d.minute, d.seconds};
    return v;
}

DbValue time_of_hours(double hours) {
    if (!std::isfinite(hours)) return null_of(DbKind::Time);
    double total = std::round(std::fabs(hours) * 360000.0) / 100.0;  // seconds, two decimals
    DbValue v;
    v.kind = DbKind::Time;
    const long whole = static_cast<long>(total);
    v.when.hour = static_cast<int>(whole / 3600);
    v.when.minute = static_cast<int>((whole / 60) % 60);
    v.when.second = total - static_cast<double>(whole - whole % 60);
    return v;
}

double degrees_or_inf(const AngleValue& a) { return a.is_angle() ? a.to_degrees() : kInfinity; }

// A planet name, NULL text for none.
DbValue lord_value(int planet) {
    if (planet < 0 || planet >= kNamedPlanets) return null_of(DbKind::Text);
    return text_value(std::string(planet_name(planet)));
}

// The Ashtakavarga count of planet `owner` (Sun .. Saturn) in sign `where - kSignBase`, or in
// the rasi sign of body `where`; NULL when the counts were not computed (a computed table
// always holds 337 bindus before reduction) or the body has no sign.
DbValue bindus_value(const Horoscope& h, int where, int owner, bool after) {
    if (bindus_total_before(h.bindus) == 0) return null_of(DbKind::Integer);
    const int sign = where >= kSignBase ? where - kSignBase : h.hindu.divisions[static_cast<std::size_t>(where)][0];
    if (sign < 0 || sign > 11) return null_of(DbKind::Integer);
    const BinduCount& n = h.bindus[static_cast<std::size_t>(sign)][static_cast<std::size_t>(owner)];
    return integer_value(after ? n.after : n.before);
}

}  // namespace

bool is_known_field(std::string_view field) { return field_table().count(std::string(field)) != 0; }

std::optional<DbField> find_db_field(std::string_view field) {
    const auto& table = field_table();
    auto it = table.find(std::string(field));
    if (it == table.end()) return std::nullopt;
    const FieldRule& r = it->second;
    return DbField{static_cast<int>(r.field), r.a, r.b, r.c};
}

std::optional<DbValue> db_value(const Horoscope& h, std::string_view field) {
    auto f = find_db_field(field);
    if (!f) return std::nullopt;
    return db_value(h, *f);
}

DbValue db_value(const Horoscope& h, const DbField& field) {
    const FieldRule s{static_cast<Field>(field.field), field.a, field.b, field.c};
    const DateHour& ut = h.birth_ut;
    const AngleValue& lon = h.place.longitude;
    const AngleValue& lat = h.place.latitude;
    switch (s.field) {
        case Field::Id: return text_value(h.identifier);
        case Field::Name: return text_value(h.last_name);
        case Field::FirstName: return text_value(h.first_name);
        case Field::Year: return is_valid(ut) ? integer_value(ut.year) : null_of(DbKind::Integer);
        case Field::Month: return is_valid(ut) ? integer_value(ut.month) : null_of(DbKind::Integer);
        case Field::Hour: return is_valid(ut) ? integer_value(ut.hour) : null_of(DbKind::Integer);
        case Field::Minute: return is_valid(ut) ? integer_value(ut.minute) : null_of(DbKind::Integer);
        case Field::Second:
            return is_valid(ut) ? integer_value(static_cast<long long>(ut.seconds)) : null_of(DbKind::Integer);
        case Field::DateHourUtEncode: return moment_value(ut, DbKind::DateTime);
        case Field::DateUtEncode: return moment_value(ut, DbKind::Date);
        case Field::HourUtEncode: return moment_value(ut, DbKind::Time);
        case Field::DateLocalEncode: return moment_value(h.birth_local, DbKind::Date);
        case Field::DateHourLocalEncode: return moment_value(h.birth_local, DbKind::DateTime);
        case Field::HourUtDecimal:
            return is_valid(ut) ? real_value(ut.hour + ut.minute / 60.0 + ut.seconds / 3600.0) : null_of(DbKind::Real);
        case Field::SiderealTime:
            return real_value(h.local_sidereal_time.is_angle() ? h.local_sidereal_time.to_hours() : kInfinity);
        case Field::IsJulian: return integer_value(ut.is_julian ? 1 : 0);
        case Field::JdUt: return real_value(ut.jd_ut);
        case Field::JdEt: return real_value(ut.jd_et);
        case Field::City: return text_value(h.place.city);
        case Field::County: return text_value(h.place.county);
        case Field::State: return text_value(h.state);
        case Field::Country: return text_value(h.country);
        case Field::LonHoursAbs: return real_value(lon.is_angle() ? std::fabs(lon.to_hours()) : kInfinity);
        case Field::LonHoursEncodeAbs: return time_of_hours(lon.is_angle() ? lon.to_hours() : kInfinity);
        case Field::LonDegreesAbs: return real_value(std::fabs(degrees_or_inf(lon)));
        case Field::LonIsWest: return integer_value(lon.is_angle() && lon.value < 0 ? 1 : 0);
        case Field::LatIsSouth: return integer_value(lat.is_angle() && lat.value < 0 ? 1 : 0);
        case Field::LatDegreesAbs: return real_value(std::fabs(degrees_or_inf(lat)));
        case Field::ZeroJdEt: return real_value(h.options.astro.zero_date.jd_et);
        case Field::ZeroDateEncode: return moment_value(h.options.astro.zero_date, DbKind::Date);
        case Field::ZeroDateHourEncode: return moment_value(h.options.astro.zero_date, DbKind::DateTime);
        case Field::HouseCusp: {
            const HouseTable& houses = s.b == 0 ? h.houses_movable : h.houses_fixed;
            const int row = s.c == 0 ? s.a - 1 : (13 - s.a) % kHouseCount;
            const HouseCusp& cusp = houses[static_cast<std::size_t>(row)];
            return real_value(cusp.index >= 0 ? degrees_or_inf(cusp.longitude) : kInfinity);
        }
        case Field::HouseSystem: return text_value(std::string(house_system_name(h.options.astro.house_system)));
        case Field::Position: {
            const PlanetPosition p = h.position(static_cast<PositionFrame>(s.b), s.a);
            if (p.index < 0) return null_of(DbKind::Real);
            return real_value(degrees_or_inf(s.c ? p.latitude : p.longitude));
        }
        case Field::PlanetStrength:
            // Only Sun .. Saturn have a six-fold strength.
            if (s.a >= kStrengthPlanets) return null_of(DbKind::Real);
            return real_value(h.strengths.planets[static_cast<std::size_t>(s.a)].total);
        case Field::HouseStrength: return real_value(h.strengths.houses[static_cast<std::size_t>(s.a - 1)].total);
        case Field::LunarDay: return h.lunation.lunar_day > 0 ? integer_value(h.lunation.lunar_day) : null_of(DbKind::Integer);
        case Field::SolarHour:
            return h.sun.planetary_hour > 0 ? integer_value(h.sun.planetary_hour) : null_of(DbKind::Integer);
        case Field::Lord: {
            const TimeLords& l = h.hindu.time_lords;
            const std::int8_t lords[] = {l.year, l.month, l.day, l.hour};
            return lord_value(lords[s.a]);
        }
        case Field::Bindus: return bindus_value(h, s.a, s.b, s.c != 0);
        case Field::PlanetHouse: {
            const int house = house_of_point(s.b == 1, h.options.astro.house_cusp_center != 0, h.houses_fixed,
                                             h.geo_fixed.get(s.a).longitude);
            return house > 0 ? integer_value(house) : null_of(DbKind::Integer);
        }
        case Field::Angle: {
            const PositionTable& t = h.options.astro.zodiac_movable ? h.geo_movable : h.geo_fixed;
            const double a = degrees_or_inf(t.get(s.a).longitude);
            const double b = degrees_or_inf(t.get(s.b).longitude);
            if (!std::isfinite(a) || !std::isfinite(b)) return null_of(DbKind::Real);
            double d = std::fmod(std::fabs(a - b), 360.0);
            return real_value(d > 180.0 ? 360.0 - d : d);
        }
    }
    return null_of(DbKind::Text);
}

}  // namespace tellurim
