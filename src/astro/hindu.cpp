#include "astro/hindu.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "astro/dasa_table.h"
#include "astro/lunations.h"
#include "astro/planets_signs.h"
#include "sky/ayanamsa.h"
#include "sky/houses.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

int mod12(long long n) { return static_cast<int>(((n % 12) + 12) % 12); }

int floor_int(double x) { return static_cast<int>(std::floor(x)); }

bool finite(double x) { return std::isfinite(x); }

// The fixed longitude of a row in degrees, positive infinity when undefined.
double longitude_deg(const PlanetPosition& p) {
    return p.longitude.is_angle() ? reduce_degrees(p.longitude.to_degrees()) : kInfinity;
}

}  // namespace

// --- sub-divisions --------------------------------------------------------------------------

std::string_view subdivision_label(int sub) {
    static constexpr std::array<std::string_view, kSubDivisions> kLabels = {
        "1/1", "1/2", "1/3", "1/7", "1/9", "1/12", "1/30", "1/4", "1/5", "1/10", "1/11", "1/16", "1/60"};
    if (sub < 0 || sub >= kSubDivisions) return "?";
    return kLabels[static_cast<std::size_t>(sub)];
}

std::string_view subdivision_long_label(int sub) {
    static constexpr std::array<Str, 7> kLong = {Str::SubLong0, Str::SubLong1, Str::SubLong2, Str::SubLong3,
                                                 Str::SubLong4, Str::SubLong5, Str::SubLong6};
    if (sub >= 0 && sub < 7) return text(kLong[static_cast<std::size_t>(sub)]);
    return subdivision_label(sub);
}

int subdivision_sign(int sub, double lon_deg) {
    if (sub < 0 || sub >= kSubDivisions || !finite(lon_deg)) return -1;
    const double l = reduce_degrees(lon_deg);
    const int s = std::clamp(floor_int(l / 30.0), 0, 11);
    const double d = l - 30.0 * s;
    const bool even = s % 2 == 0;
    switch (sub) {
        case kRasi: return s;
        case kHora: {
            const int h = floor_int(std::fmod(l + 15.0, 360.0) / 30.0);
            return h % 2 == 0 ? kLeo : kCancer;
        }
        case kDrekkana: return mod12(s + 4 * floor_int(d / 10.0));
        case kSaptamsa: return mod12(floor_int(l / 4.285714285714286));
        case kNavamsa: return mod12(floor_int(l * 0.3));
        case kDwadasamsa: return mod12(s + floor_int(d * 0.4));
        case kTrimsamsa:
            // The bands are "below" their bound: 5 degrees exactly is already the second band.
            if (even) {
                if (d < 5) return kAries;
                if (d < 10) return kAquarius;
                if (d < 18) return kSagittarius;
                if (d < 25) return kGemini;
                return kTaurus;
            }
            if (d < 5) return kTaurus;
            if (d < 12) return kGemini;
            if (d < 20) return kSagittarius;
            if (d < 25) return kAquarius;
            return kAries;
        case kChaturthamsa: return mod12(s + 3 * floor_int(d * 0.13333333333333333));
        case kPanchamsa: {
            static constexpr std::array<int, 5> kEven = {kAries, kCapricornus, kSagittarius, kGemini, kTaurus};
            static constexpr std::array<int, 5> kOdd = {kTaurus, kGemini, kSagittarius, kCapricornus, kAries};
            const auto k = static_cast<std::size_t>(std::clamp(floor_int(d / 6.0), 0, 4));
            return even ? kEven[k] : kOdd[k];
        }
        case kDasamsa: return mod12(s + floor_int(d / 3.0) + (even ? 0 : 9));
        case kEkadasamsa: return mod12(s - 1 - floor_int(d * 0.36666666666666664));
        case kShodasamsa: {
            static constexpr std::array<int, 4> kEvenTail = {9, 2, 0, 4};
            static constexpr std::array<int, 16> kOdd = {4, 0, 2, 9, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
            const int k = std::clamp(floor_int(d * 0.5333333333333333), 0, 15);
            if (!even) return kOdd[static_cast<std::size_t>(k)];
            return k < 12 ? k : kEvenTail[static_cast<std::size_t>(k - 12)];
        }
        case kShashtiamsa: {
            const int k = std::clamp(floor_int(2.0 * d), 0, 59);
            return even ? mod12(k + s + 1) : mod12(s + 60 - k);
        }
        default: return -1;
    }
}

std::array<std::int8_t, kSubDivisions> subdivision_signs(double lon_deg) {
    std::array<std::int8_t, kSubDivisions> signs{};
    for (int i = 0; i < kSubDivisions; ++i) signs[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(subdivision_sign(i, lon_deg));
    return signs;
}

// --- nakshatras -----------------------------------------------------------------------------

int nakshatra_of(double lon_deg) {
    if (!finite(lon_deg) || lon_deg < 0.0 || lon_deg >= 360.0) return -1;
    return std::min(floor_int(lon_deg / kNakshatraSpan), 26);
}

bool apply_nakshatra_edit(const NakshatraEdit& edit, NakshatraTable& table) {
    if (edit.index < 0 || edit.index >= kNakshatraCount) return false;
    Nakshatra& row = table[static_cast<std::size_t>(edit.index)];
    if (edit.name) row.name = truncate_utf16_units(*edit.name, kNakshatraNameUnits);
    if (edit.meaning) row.meaning = truncate_utf16_units(*edit.meaning, kNakshatraMeaningUnits);
    if (edit.colour) row.colour = *edit.colour;
    return true;
}

// --- dasa periods ---------------------------------------------------------------------------

namespace {

double cycle_days(const DasaTable& t) { return t.total_years * t.year_length; }

bool table_built(const DasaTable& t) {
    return t.periods[kDasaPeriods - 1].duration_days > 0.0 && t.year_length > 0.0 && t.total_years > 0.0;
}

// The antara at `position` of the cycle that began at `t0`.
DasaPeriodAt period_record(const DasaTable& t, double t0, int position) {
    const auto i = static_cast<std::size_t>(position);
    DasaPeriodAt r;
    r.position = position;
    r.start_jd_et = t0 + t.start_offsets[i];
    r.end_jd_et = r.start_jd_et + t.periods[i].duration_days;
    r.start = date_hour_from_et(r.start_jd_et);
    r.end = date_hour_from_et(r.end_jd_et);
    r.dasa = t.periods[i].dasa_lord;
    r.bhukti = t.periods[i].bhukti_lord;
    r.antara = t.periods[i].antara_lord;
    return r;
}

// The start of the cycle that contains `jd` (whole cycles from `cycle_start`), and the
// position of the antara inside it; false when none.
bool locate(const DasaTable& t, double cycle_start, double jd, double& t0, int& position) {
    if (!table_built(t) || !finite(cycle_start) || !finite(jd)) return false;
    const double c = cycle_days(t);
    t0 = cycle_start + std::floor((jd - cycle_start) / c) * c;
    // Whole-cycle steps by division can land one cycle off by rounding; settle it by hand.
    while (t0 > jd) t0 -= c;
    while (t0 + c <= jd) t0 += c;
    const double offset = jd - t0;
    if (offset < 0.0 || offset > c) return false;
    const auto* first = t.start_offsets.data();
    const auto* last = first + kDasaPeriods;
    const auto* it = std::upper_bound(first, last, offset);  // first start after the offset
    position = static_cast<int>(it - first) - 1;
    return position >= 0;
}

}  // namespace

double dasa_cycle_start(const DasaTable& table, double moon_lon, double moon_lat, double birth_jd_et,
                        double* moon_fixed_deg) {
    if (moon_fixed_deg) *moon_fixed_deg = kInfinity;
    double lon = kInfinity;
    double lat = kInfinity;
    if (!finite(moon_lon) || !finite(moon_lat) || !finite(birth_jd_et)) return kInfinity;
    if (!to_fixed_zodiac(moon_lon, moon_lat, birth_jd_et, table.zero_date.jd_et, lon, lat)) return kInfinity;
    const double l = reduce_degrees(radians_to_degrees(lon));
    if (moon_fixed_deg) *moon_fixed_deg = l;
    const int n = nakshatra_of(l);
    if (n < 0) return kInfinity;
    auto dasa_days = [&table](int x) { return table.lords[static_cast<std::size_t>(x % kDasaLords)].years * table.year_length; };
    double elapsed = dasa_days(n) * (l - n * kNakshatraSpan) / kNakshatraSpan;
    for (int x = 0; x < n; ++x) elapsed += dasa_days(x);
    return birth_jd_et - elapsed;
}

DasaPeriodAt dasa_period_at(const DasaTable& table, double cycle_start, double jd_et) {
    double t0 = kInfinity;
    int position = -1;
    if (!locate(table, cycle_start, jd_et, t0, position)) return DasaPeriodAt{};
    return period_record(table, t0, position);
}

std::vector<DasaPeriodAt> dasa_periods_between(const DasaTable& table, double cycle_start, double from_jd_et,
                                               double to_jd_et, std::size_t limit) {
    std::vector<DasaPeriodAt> out;
    double t0 = kInfinity;
    int position = -1;
    if (!finite(to_jd_et) || to_jd_et < from_jd_et) return out;
    if (!locate(table, cycle_start, from_jd_et, t0, position)) return out;
    const double c = cycle_days(table);
    while (out.size() < limit) {
        DasaPeriodAt p = period_record(table, t0, position);
        const bool last = p.end_jd_et > to_jd_et;
        out.push_back(std::move(p));
        if (last) break;
        if (++position == kDasaPeriods) {
            position = 0;
            t0 += c;
        }
    }
    return out;
}

DasaSettingsResult apply_dasa_settings(DasaTable& table, std::string_view zero_date_text,
                                       std::string_view year_length_text) {
    DasaSettingsResult r;
    DateParse zero = parse_date_hour(zero_date_text);
    if (!zero.ok) {
        r.message = str(Str::DasaBadZeroDate);
        return r;
    }
    const std::string_view y = trim(year_length_text);
    double year = 0.0;
    auto [end, ec] = std::from_chars(y.data(), y.data() + y.size(), year);
    if (ec != std::errc{} || end != y.data() + y.size() || y.empty() || !finite(year) || !(year > 100.0)) {
        r.message = str(Str::DasaBadYearLength);
        return r;
    }
    build_dasa_table(table, zero.value, year);
    r.ok = true;
    return r;
}

// --- time lords -----------------------------------------------------------------------------

int weekday_lord(int weekday) {
    static constexpr std::array<int, 7> kLords = {kSun, kMoon, kMars, kMercury, kJupiter, kVenus, kSaturn};
    if (weekday < 0 || weekday > 6) return -1;
    return kLords[static_cast<std::size_t>(weekday)];
}

bool compute_time_lords(const DateHour& day, const AngleValue& time_of_day, int planetary_hour, TimeLords& lords) {
    lords = TimeLords{};
    if (!is_valid(day) || !time_of_day.is_angle() || planetary_hour < 1 || planetary_hour > 24) return false;
    const bool julian = day.is_julian != 0;
    const double hours = time_of_day.to_hours();
    const int day_lord = weekday_lord(day_of_week(julian_day(day.year, day.month, day.day, 0.0, julian) + hours / 24.0));
    const int month_lord = weekday_lord(day_of_week(julian_day(day.year, day.month, 1, 0.0, julian)));
    const int year_lord = weekday_lord(day_of_week(julian_day(day.year, 1, 1, 0.0, julian)));
    // The hours follow the planets from the slowest: Saturn, Jupiter, Mars, Sun, Venus, Mercury,
    // Moon; the first hour of a day belongs to its lord.
    static constexpr std::array<int, 7> kHourOrder = {kSaturn, kJupiter, kMars, kSun, kVenus, kMercury, kMoon};
    const auto* p = std::find(kHourOrder.begin(), kHourOrder.end(), day_lord);
    if (day_lord < 0 || month_lord < 0 || year_lord < 0 || p == kHourOrder.end()) return false;
    const auto pos = static_cast<std::size_t>(p - kHourOrder.begin());
    lords.year = static_cast<std::int8_t>(year_lord);
    lords.month = static_cast<std::int8_t>(month_lord);
    lords.day = static_cast<std::int8_t>(day_lord);
    lords.hour = static_cast<std::int8_t>(kHourOrder[(pos + static_cast<std::size_t>(planetary_hour) - 1) % 7]);
    return true;
}

// --- relationships and Hindu aspects ---------------------------------------------------------

void compute_relationships(const NaturalRelationships& natural, const DivisionTable& divisions,
                           RelationshipTable& table) {
    for (std::size_t a = 0; a < kPlanetRows; ++a) {
        for (std::size_t b = 0; b < kPlanetRows; ++b) {
            const std::int8_t base = natural[a][b];
            Relationship& cell = table[a][b];
            cell.rasi = cell.navamsa = base;
            if (a == b || base == kRelationshipUndefined) continue;
            // The 2nd, 3rd, 4th, 10th, 11th and 12th signs from a are its temporary friends.
            auto temporary = [&](int chart) -> int {
                const int sa = divisions[a][static_cast<std::size_t>(chart)];
                const int sb = divisions[b][static_cast<std::size_t>(chart)];
                if (sa < 0 || sb < 0) return 0;
                const int n = mod12(sb - sa);
                return (n >= 1 && n <= 3) || n >= 9 ? 1 : -1;
            };
            cell.rasi = static_cast<std::int8_t>(base + temporary(kRasi));
            cell.navamsa = static_cast<std::int8_t>(base + temporary(kNavamsa));
        }
    }
}

int relationship(const RelationshipTable& table, int a, int b, bool navamsa) {
    if (a < 0 || b < 0 || a >= kPlanetRows || b >= kPlanetRows) return kRelationshipUndefined;
    const Relationship& r = table[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
    return navamsa ? r.navamsa : r.rasi;
}

namespace {

// The strength for a forward distance already in [0, 360]. The curve is straight between 30,
// 60, 90, 120, 150, 180 and 300 degrees, and 0 up to 30 and past 300: (d - 30) / 2, d - 45,
// 90 - d / 2, 150 - d, 2d - 300, 150 - d / 2. Its piece is the number of those bounds that d
// passes, found without a branch (the pipeline calls this 540 times a chart, on distances
// that no predictor guesses); every slope multiplies exactly, so slope x d + offset rounds as
// each form does.
double strength_of_distance(int aspecting, double d) {
    static constexpr double kSlope[] = {0.0, 0.5, 1.0, -0.5, -1.0, 2.0, -0.5, 0.0};
    static constexpr double kOffset[] = {0.0, -15.0, -45.0, 90.0, 150.0, -300.0, 150.0, 0.0};
    const int piece = int{d > 30.0} + int{d > 60.0} + int{d > 90.0} + int{d > 120.0} + int{d > 150.0} +
                      int{d > 180.0} + int{d > 300.0};
    double v = kSlope[piece] * d + kOffset[piece];
    auto in = [d](double lo, double hi) { return d >= lo && d <= hi; };
    if (aspecting == kMars && (in(90, 120) || in(210, 240))) v += 15.0;
    if (aspecting == kJupiter && (in(120, 150) || in(240, 270))) v += 30.0;
    if (aspecting == kSaturn && (in(60, 90) || in(270, 300))) v += 45.0;
    return v;
}

}  // namespace

double hindu_aspect_strength(int aspecting, double d) {
    if (!finite(d)) return kInfinity;
    if (d < 0.0 || d > 360.0) d = reduce_degrees(d);
    return strength_of_distance(aspecting, d);
}

namespace {

// The fixed longitudes of the 18 rows in degrees [0, 360), positive infinity when undefined.
std::array<double, kPlanetRows> fixed_longitudes(const PositionTable& fixed) {
    std::array<double, kPlanetRows> lon{};
    for (int p = 0; p < kPlanetRows; ++p) lon[static_cast<std::size_t>(p)] = longitude_deg(fixed.at(p));
    return lon;
}

// The strengths of every planet on a point of longitude `target` (degrees in [0, 360)).
void strengths_on(double target, const std::array<double, kPlanetRows>& lon, std::array<double, kPlanetRows>& out) {
    for (std::size_t a = 0; a < kPlanetRows; ++a) {
        if (!finite(target) || !finite(lon[a])) {
            out[a] = kInfinity;
            continue;
        }
        // Both in [0, 360): one turn at most brings the difference into range.
        double d = target - lon[a];
        if (d < 0.0) d += 360.0;
        out[a] = strength_of_distance(static_cast<int>(a), d);
    }
}

}  // namespace

void compute_planet_aspect_strengths(const PositionTable& fixed, PlanetAspectStrengths& out) {
    const auto lon = fixed_longitudes(fixed);
    for (std::size_t b = 0; b < kPlanetRows; ++b) strengths_on(lon[b], lon, out[b]);
}

void compute_house_aspect_strengths(const PositionTable& fixed, const HouseTable& houses, HouseAspectStrengths& out) {
    const auto lon = fixed_longitudes(fixed);
    for (std::size_t c = 0; c < kHouseCount; ++c) {
        const HouseCusp& cusp = houses[c];
        const double lc = cusp.index >= 0 && cusp.longitude.is_angle() ? reduce_degrees(cusp.longitude.to_degrees()) : kInfinity;
        strengths_on(lc, lon, out[c]);
    }
}

// --- lords and houses ----------------------------------------------------------------------

int sign_of_house(const Horoscope& h, int house, bool reverse, bool fixed) {
    if (house < 1 || house > 12) return -1;
    const int index = reverse ? (13 - house) % 12 : house - 1;
    const HouseCusp& cusp = (fixed ? h.houses_fixed : h.houses_movable)[static_cast<std::size_t>(index)];
    if (cusp.index < 0 || !cusp.longitude.is_angle()) return -1;
    return sign_of_longitude(AngleValue::degrees(reduce_degrees(cusp.longitude.to_degrees())));
}

int sign_from_number_or_name(std::string_view text_) {
    const std::string_view t = trim(text_);
    int n = -1;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (ec == std::errc{} && end == t.data() + t.size() && !t.empty()) return n >= 0 && n <= 11 ? n : -1;
    return sign_from_name(t);
}

int lord_of_house(const Horoscope& h, int house, int position, bool reverse, bool fixed) {
    const int sign = sign_of_house(h, house, reverse, fixed);
    return sign < 0 ? -1 : lord_of_sign(sign, position);
}

int lord_of_planet(const Horoscope& h, int planet, int position, bool fixed) {
    if (planet < 0 || planet >= kPlanetRows) return -1;
    const PlanetPosition& p = (fixed ? h.geo_fixed : h.geo_movable).at(planet);
    const int sign = sign_of_longitude(AngleValue::degrees(longitude_deg(p)));
    return sign < 0 ? -1 : lord_of_sign(sign, position);
}

int house_of_planet(const Horoscope& h, int planet, bool opposite_direction, bool cusp_center) {
    if (planet < 0 || planet >= kPlanetRows) return -1;
    return house_of_point(opposite_direction, cusp_center, h.houses_fixed, h.geo_fixed.at(planet).longitude);
}

// --- natural quality of Mercury ------------------------------------------------------------

MercuryQuality natural_quality_of_mercury(int moon_quality, const HinduData& data) {
    MercuryQuality q;
    if (moon_quality == kQualityError) {
        q.quality = 0;
        q.note = str(Str::MoonQualityErrorNote);
        return q;
    }
    const double distance = data.mercury_sun_distance;
    if (!finite(distance) || distance > 365.0 || distance < 5.0) {
        q.quality = kQualityMalefic;
        q.note = str(Str::MercuryCombustNote);
        return q;
    }
    auto w = [&data](int p) {
        const double v = data.mercury_association[static_cast<std::size_t>(p)];
        return finite(v) ? v : 0.0;
    };
    const double s = moon_quality * w(kMoon) - w(kSun) + w(kVenus) - w(kMars) + w(kJupiter) - w(kSaturn);
    q.quality = s >= 0.0 ? kQualityBenefic : kQualityMalefic;
    return q;
}

std::string_view quality_text(int quality) { return text(quality >= 0 ? Str::QualityGood : Str::QualityBad); }

// --- the Hindu points -------------------------------------------------------------------------

namespace {

// Weekday (0 Sunday) of the local mean date at a Julian day UT.
int local_weekday(double jd_ut, double longitude_deg) { return day_of_week(jd_ut + longitude_deg / 360.0); }

// The Ascendant (movable, radians) rising at `jd_ut` at the place.
double ascendant_at(double jd_ut, const AngleValue& longitude, const AngleValue& latitude) {
    DateHour d;
    d.jd_ut = jd_ut;
    const AngleValue lst = local_sidereal_time(d, longitude);
    if (!lst.is_angle() || !latitude.is_angle()) return kInfinity;
    const double jd_et = jd_ut + delta_t_days(jd_ut);
    return rising_point(lst.to_radians(), latitude.to_radians(), mean_obliquity(jd_et, jd_et));
}

PlanetPosition point_row(int planet, double lon_deg) {
    PlanetPosition p;
    p.index = planet;
    p.longitude = AngleValue::degrees(reduce_degrees(lon_deg));
    p.latitude = AngleValue::degrees(0.0);
    p.distance = AngleValue::not_available();
    p.retrograde = 0;
    return p;
}

// Gulika (start of the Saturn part) and Mandi (its middle) as the Ascendants of those moments.
void store_gulika_mandi(Horoscope& h) {
    const double lon = h.place.longitude.is_angle() ? h.place.longitude.to_degrees() : kInfinity;
    const SaturnPart part = saturn_part(h.birth_ut.jd_ut, h.sun.sunrise.jd_ut, h.sun.sunset.jd_ut, lon);
    if (!finite(part.start_ut)) return;
    const std::pair<int, double> points[] = {{kGulika, part.start_ut}, {kMandi, part.start_ut + part.length / 2.0}};
    for (const auto& [planet, jd_ut] : points) {
        const double asc = ascendant_at(jd_ut, h.place.longitude, h.place.latitude);
        if (!finite(asc)) continue;
        const double jd_et = jd_ut + delta_t_days(jd_ut);
        double fix_lon = kInfinity;
        double fix_lat = kInfinity;
        if (!to_fixed_zodiac(asc, 0.0, jd_et, h.options.astro.zero_date.jd_et, fix_lon, fix_lat)) continue;
        h.geo_movable.at(planet) = point_row(planet, radians_to_degrees(asc));
        h.geo_fixed.at(planet) = point_row(planet, radians_to_degrees(fix_lon));
    }
}

// The Arudha lagna: its sign, at the Ascendant's degrees within the sign; the movable row keeps
// the same distance from the movable Ascendant.
void store_arudha(Horoscope& h) {
    const double asc_fix = longitude_deg(h.geo_fixed.at(kAscendant));
    const double asc_mov = longitude_deg(h.geo_movable.at(kAscendant));
    if (!finite(asc_fix) || !finite(asc_mov)) return;
    const int asc_sign = subdivision_sign(kRasi, asc_fix);
    const int lord = lord_of_sign(asc_sign, 0);
    if (lord < 0) return;
    const int sign = arudha_sign(asc_sign, subdivision_sign(kRasi, longitude_deg(h.geo_fixed.at(lord))));
    if (sign < 0) return;
    const double fix = 30.0 * sign + (asc_fix - 30.0 * asc_sign);
    h.geo_fixed.at(kArudha) = point_row(kArudha, fix);
    h.geo_movable.at(kArudha) = point_row(kArudha, fix + (asc_mov - asc_fix));
}

double separation(double a, double b) {
    if (!finite(a) || !finite(b)) return kInfinity;
    const double d = reduce_degrees(a - b);
    return d > 180.0 ? 360.0 - d : d;
}

}  // namespace

SaturnPart saturn_part(double birth_ut, double sunrise_ut, double sunset_ut, double longitude_deg) {
    SaturnPart part;
    if (!finite(birth_ut) || !finite(sunrise_ut) || !finite(sunset_ut) || !finite(longitude_deg)) return part;
    if (sunset_ut <= sunrise_ut) return part;
    const int weekday = local_weekday(sunrise_ut, longitude_deg);
    double start = kInfinity;
    double end = kInfinity;
    int first_lord = 0;  // weekday number of the lord of the first part
    if (birth_ut >= sunrise_ut && birth_ut < sunset_ut) {
        start = sunrise_ut;
        end = sunset_ut;
        first_lord = weekday;
    } else {
        // The night after the day's sunset, or the night before its sunrise (which belongs to
        // the previous weekday). The other end of the night is taken one day from the known
        // sunrise or sunset: a few minutes off at middle latitudes.
        const bool after = birth_ut >= sunset_ut;
        start = after ? sunset_ut : sunset_ut - 1.0;
        end = after ? sunrise_ut + 1.0 : sunrise_ut;
        const int night_weekday = after ? weekday : (weekday + 6) % 7;
        first_lord = (night_weekday + 4) % 7;  // the fifth lord from the lord of the day
    }
    if (!(end > start) || birth_ut < start || birth_ut >= end) return part;
    const int saturn = 6;  // Saturday's lord
    const int k = (saturn - first_lord + 7) % 7;
    part.length = (end - start) / 8.0;
    part.start_ut = start + k * part.length;
    return part;
}

int arudha_sign(int ascendant_sign, int lord_sign) {
    if (ascendant_sign < 0 || ascendant_sign > 11 || lord_sign < 0 || lord_sign > 11) return -1;
    int sign = mod12(lord_sign + (lord_sign - ascendant_sign));
    if (sign == ascendant_sign || sign == mod12(ascendant_sign + 6)) sign = mod12(sign + 9);
    return sign;
}

// --- pipeline steps ------------------------------------------------------------------------

bool hindu_data_step(Horoscope& h) {
    HinduData& data = h.hindu;
    data = HinduData{};
    for (int p : {kGulika, kMandi, kArudha}) {
        h.geo_movable.at(p).clear();
        h.geo_fixed.at(p).clear();
    }
    store_gulika_mandi(h);
    store_arudha(h);

    for (int p = 0; p < kPlanetRows; ++p)
        data.nakshatras[static_cast<std::size_t>(p)] = static_cast<std::int8_t>(nakshatra_of(longitude_deg(h.geo_fixed.at(p))));

    const PlanetPosition& moon = h.geo_movable.at(kMoon);
    if (moon.longitude.is_angle() && moon.latitude.is_angle())
        data.dasa_cycle_start_jd_et = dasa_cycle_start(h.options.dasas, moon.longitude.to_radians(),
                                                       moon.latitude.to_radians(), h.birth_ut.jd_et,
                                                       &data.dasa_moon_longitude);

    const DateHour& local = h.birth_local;
    if (is_valid(local)) {
        const double hours = local.hour + local.minute / 60.0 + local.seconds / 3600.0;
        compute_time_lords(local, AngleValue::hours(hours), h.sun.planetary_hour, data.time_lords);
    }

    const double mercury = longitude_deg(h.geo_fixed.at(kMercury));
    data.mercury_sun_distance = separation(mercury, longitude_deg(h.geo_fixed.at(kSun)));
    for (int p = 0; p < kPlanetRows; ++p) {
        const double d = separation(mercury, longitude_deg(h.geo_fixed.at(p)));
        data.mercury_association[static_cast<std::size_t>(p)] = finite(d) ? 1.0 - d / 180.0 : kInfinity;
    }
    data.moon_quality = natural_quality_of_moon(h.lunation.lunar_day);
    data.mercury_quality = natural_quality_of_mercury(data.moon_quality, data).quality;
    return true;
}

bool hindu_subs_step(Horoscope& h) {
    for (int p = 0; p < kPlanetRows; ++p)
        h.hindu.divisions[static_cast<std::size_t>(p)] = subdivision_signs(longitude_deg(h.geo_fixed.at(p)));
    return true;
}

bool friendships_step(Horoscope& h) {
    compute_relationships(h.options.natural_relationships, h.hindu.divisions, h.hindu.relationships);
    return true;
}

bool hindu_planet_aspects_step(Horoscope& h) {
    compute_planet_aspect_strengths(h.geo_fixed, h.hindu.aspect_strengths);
    return true;
}

bool hindu_house_aspects_step(Horoscope& h) {
    compute_house_aspect_strengths(h.geo_fixed, h.houses_fixed, h.hindu.house_aspect_strengths);
    return true;
}

}  // namespace tellurim
