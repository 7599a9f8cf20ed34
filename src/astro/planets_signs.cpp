#include "astro/planets_signs.h"

#include <cmath>

#include "sky/ayanamsa.h"
#include "sky/spherical.h"
#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

struct PlanetNames {
    Str full;
    Str short_name;
    std::string_view alternative;  // also accepted on input; "" when none
};

// Rows in planet-index order, 0 Sun .. 18 Earth. The alternatives are the French names the
// files and scripts of French users carry, plus "MC" for the midheaven.
constexpr std::array<PlanetNames, kPlanetNames> kPlanets{{
    {Str::PlanetSun, Str::ShortSun, "Soleil"},
    {Str::PlanetMoon, Str::ShortMoon, "Lune"},
    {Str::PlanetMercury, Str::ShortMercury, "Mercure"},
    {Str::PlanetVenus, Str::ShortVenus, "Vénus"},
    {Str::PlanetMars, Str::ShortMars, ""},
    {Str::PlanetJupiter, Str::ShortJupiter, ""},
    {Str::PlanetSaturn, Str::ShortSaturn, "Saturne"},
    {Str::PlanetAscendant, Str::ShortAscendant, ""},
    {Str::PlanetMidheaven, Str::ShortMidheaven, "MC"},
    {Str::PlanetRahu, Str::ShortRahu, ""},
    {Str::PlanetKethu, Str::ShortKethu, ""},
    {Str::PlanetUranus, Str::ShortUranus, ""},
    {Str::PlanetNeptune, Str::ShortNeptune, ""},
    {Str::PlanetPluto, Str::ShortPluto, "Pluton"},
    {Str::PlanetFortune, Str::ShortFortune, "Fortune"},
    {Str::PlanetGulika, Str::ShortGulika, ""},
    {Str::PlanetMandi, Str::ShortMandi, ""},
    {Str::PlanetArudha, Str::ShortArudha, ""},
    {Str::PlanetEarth, Str::ShortEarth, "Terre"},
}};

constexpr std::array<Str, kSignCount> kSigns{
    Str::SignAries, Str::SignTaurus, Str::SignGemini,     Str::SignCancer,      Str::SignLeo,      Str::SignVirgo,
    Str::SignLibra, Str::SignScorpio, Str::SignSagittarius, Str::SignCapricornus, Str::SignAquarius, Str::SignPisces,
};

// Lords by sign: first (the classical ruler, the only one the Hindu computations use),
// second (the modern co-ruler, or the node the Hindu tradition gives to Leo), third
// (Kethu for Aquarius).
constexpr std::array<std::array<std::int8_t, 3>, kSignCount> kLords{{
    {kMars, kPluto, kNoPlanet},        // Aries
    {kVenus, kNoPlanet, kNoPlanet},    // Taurus
    {kMercury, kNoPlanet, kNoPlanet},  // Gemini
    {kMoon, kNoPlanet, kNoPlanet},     // Cancer
    {kSun, kRahu, kNoPlanet},          // Leo
    {kMercury, kNoPlanet, kNoPlanet},  // Virgo
    {kVenus, kNoPlanet, kNoPlanet},    // Libra
    {kMars, kPluto, kNoPlanet},        // Scorpio
    {kJupiter, kNeptune, kNoPlanet},   // Sagittarius
    {kSaturn, kUranus, kNoPlanet},     // Capricornus
    {kSaturn, kUranus, kKethu},        // Aquarius
    {kJupiter, kNeptune, kNoPlanet},   // Pisces
}};

constexpr std::array<std::string_view, 12> kRoman{"I",   "II",   "III", "IV", "V",  "VI",
                                                 "VII", "VIII", "IX",  "X",  "XI", "XII"};

// Degrees typed in an exaltation field: an angle text, a plain number of degrees, or the
// editor's own "<angle> <sign>" form. nullopt when the text is none of these.
std::optional<double> parse_field_degrees(std::string_view text) {
    std::string_view t = trim(text);
    double base = 0.0;
    auto blank = t.find_last_of(' ');
    if (blank != std::string_view::npos) {
        int sign = sign_from_name(t.substr(blank + 1));
        if (sign >= 0) {
            base = 30.0 * sign;
            t = trim(t.substr(0, blank));
        }
    }
    auto angle = parse_angle(t);
    if (!angle || !angle->is_finite()) return std::nullopt;
    if (angle->unit == kUnitNone) return base + angle->value;
    if (angle->format != kFormatSigned) return std::nullopt;  // E/W or N/S is not a longitude
    return base + angle->to_degrees();
}

}  // namespace

std::string_view planet_name(int planet, bool short_name) {
    if (planet < 0 || planet >= kPlanetNames) return text(short_name ? Str::ShortUnknown : Str::PlanetUnknown);
    const auto& row = kPlanets[static_cast<std::size_t>(planet)];
    return text(short_name ? row.short_name : row.full);
}

std::string planet_name(int planet, std::size_t capacity, bool short_name) {
    if (capacity == 0) return {};
    return truncate_utf16_units(planet_name(planet, short_name), capacity);
}

int planet_from_name(std::string_view name) {
    for (int i = 0; i < kPlanetNames; ++i) {
        const auto& row = kPlanets[static_cast<std::size_t>(i)];
        if (name == text(row.full) || (!row.alternative.empty() && name == row.alternative)) return i;
    }
    return kNoPlanet;
}

std::string_view sign_name(int sign) {
    if (sign < 0 || sign >= kSignCount) return text(Str::SignUnknown);
    return text(kSigns[static_cast<std::size_t>(sign)]);
}

int sign_from_name(std::string_view name) {
    for (int i = 0; i < kSignCount; ++i)
        if (name == text(kSigns[static_cast<std::size_t>(i)])) return i;
    return kNoSign;
}

std::string sign_with_rulers(int sign) {
    if (sign < 0 || sign >= kSignCount) return std::string(text(Str::SignUnknown));
    std::string label(sign_name(sign));
    label += '(';
    bool first = true;
    for (std::int8_t lord : kLords[static_cast<std::size_t>(sign)]) {
        if (lord == kNoPlanet || lord == kRahu || lord == kKethu) continue;  // occidental rulers only
        if (!first) label += ',';
        label += planet_name(lord);
        first = false;
    }
    label += ')';
    return label;
}

int lord_of_sign(int sign, int position) {
    if (sign < 0 || sign >= kSignCount || position < 0 || position > 2) return kNoPlanet;
    return kLords[static_cast<std::size_t>(sign)][static_cast<std::size_t>(position)];
}

int sign_of_longitude(const AngleValue& longitude) {
    if (longitude.unit != kUnitRadians && longitude.unit != kUnitDegrees && longitude.unit != kUnitHours)
        return kNoSign;
    if (!longitude.is_finite()) return kNoSign;
    double deg = longitude.to_degrees();
    if (!(deg >= 0.0 && deg < 360.0)) return kNoSign;
    return static_cast<int>(deg / 30.0);
}

std::string format_sign_longitude(double longitude_deg, int decimals) {
    int sign = kNoSign;
    double within = longitude_deg;
    if (std::isfinite(longitude_deg)) {
        // Rounded once, at the printed precision, before the sign is chosen: 29d59'59.999"
        // of Aries prints as 0d00'00.00" Taurus, not as 30 degrees of Aries.
        const double per_degree = 3600.0 * std::pow(10.0, decimals);
        const auto per_sign = static_cast<long long>(std::llround(30.0 * per_degree));
        const long long total = std::llround(reduce_degrees(longitude_deg) * per_degree) % (12 * per_sign);
        sign = static_cast<int>(total / per_sign);
        within = static_cast<double>(total % per_sign) / per_degree;
    }
    std::string out = format_sexagesimal(within, false, decimals);
    out += ' ';
    out += sign_name(sign);
    return out;
}

std::string_view house_roman(int house) {
    if (house < 1 || house > 12) return text(Str::HouseLabelError);
    return kRoman[static_cast<std::size_t>(house - 1)];
}

std::string_view house_angle_label(int position, bool forward) {
    if (position < 0 || position >= 12) return text(Str::HouseLabelError);
    switch (position) {
        case 0: return text(Str::PlanetAscendant);
        case 3: return "IC";
        case 6: return "DS";
        case 9: return text(Str::PlanetMidheaven);
        default: break;
    }
    // Forward: position p is house p + 1. Backward the wheel turns the other way round, so
    // position p is house 13 - p (position 1 is "XII").
    return house_roman(forward ? position + 1 : 13 - position);
}

AngleValue exaltation_point(const ExaltationTable& table, int planet, const DateHour& chart_date) {
    if (planet < 0 || planet >= kPlanetRows) return AngleValue{};
    const ExaltationRow& row = table.rows[static_cast<std::size_t>(planet)];
    if (row.planet < 0 || !row.point.is_angle()) return AngleValue{};
    if (table.absolute_longitudes) return row.point;
    if (!is_valid(table.zero_date) || !is_valid(chart_date)) return AngleValue{};
    // The points were fixed in the tropical zodiac of the zero date; carried to the chart's
    // date they move with the equinox, about 1.4 degrees per century.
    double lon = 0.0;
    double lat = 0.0;
    ecliptic_precession(row.point.to_radians(), 0.0, table.zero_date.jd_et, chart_date.jd_et, lon, lat);
    if (!std::isfinite(lon)) return AngleValue{};
    return AngleValue::radians(lon);
}

double exaltation_longitude_deg(const ExaltationTable& table, int planet, const DateHour& chart_date) {
    AngleValue p = exaltation_point(table, planet, chart_date);
    if (!p.is_angle()) return kInfinity;
    return reduce_degrees(p.to_degrees() + 180.0);
}

std::string exaltation_field_text(const ExaltationRow& row) {
    if (row.planet < 0 || !row.point.is_angle()) return {};
    return format_sign_longitude(reduce_degrees(row.point.to_degrees() + 180.0));
}

ExaltationEditResult apply_exaltation_edit(const ExaltationEdit& edit, ExaltationTable& table) {
    auto fail = [](Str message, int field) {
        return ExaltationEditResult{false, str(message), str(Str::ExaltationCaption), field};
    };
    auto has_field = [](int p) { return (p >= kSun && p <= kSaturn) || (p >= kRahu && p <= kPluto); };

    auto rows = table.rows;
    for (int p = 0; p < kPlanetRows; ++p) {
        auto& row = rows[static_cast<std::size_t>(p)];
        std::string_view field = has_field(p) ? trim(edit.fields[static_cast<std::size_t>(p)]) : std::string_view{};
        if (field.empty()) {
            if (p < kVisiblePlanets) return fail(Str::ExaltationSevenPlanets, p);
            row.planet = kNoPlanet;
            row.point = AngleValue{};
            continue;
        }
        auto deg = parse_field_degrees(field);
        if (!deg || !(*deg >= 0.0 && *deg < 360.0)) return fail(Str::ExaltationBadAngle, p);
        row.planet = static_cast<std::int8_t>(p);
        row.point = AngleValue::degrees(reduce_degrees(*deg + 180.0));
    }
    DateHour zero = table.zero_date;
    if (!edit.absolute_longitudes) {
        DateParse parsed = parse_date_hour(edit.zero_date_text);
        if (!parsed.ok) return fail(Str::ExaltationBadZeroDate, -1);
        zero = parsed.value;
    }
    table.rows = rows;
    table.absolute_longitudes = edit.absolute_longitudes ? 1 : 0;
    table.zero_date = zero;
    return ExaltationEditResult{true, {}, {}, -1};
}

ExaltationEdit exaltation_dialog_fields(const ExaltationTable& table) {
    ExaltationEdit edit;
    for (std::size_t p = 0; p < table.rows.size(); ++p) edit.fields[p] = exaltation_field_text(table.rows[p]);
    edit.absolute_longitudes = table.absolute_longitudes != 0;
    edit.zero_date_text = format_date_hour(table.zero_date);
    return edit;
}

ExaltationEditResult apply_exaltation_dialog(const ExaltationEdit& edit, ExaltationTable& table) {
    const ExaltationEdit before = exaltation_dialog_fields(table);
    const ExaltationTable old = table;
    ExaltationEditResult r = apply_exaltation_edit(edit, table);
    if (!r.ok) return r;
    for (std::size_t p = 0; p < table.rows.size(); ++p)
        if (edit.fields[p] == before.fields[p]) table.rows[p] = old.rows[p];
    if (edit.zero_date_text == before.zero_date_text) table.zero_date = old.zero_date;
    return r;
}

int natural_quality_of_moon(int lunar_day) {
    if (lunar_day >= 8 && lunar_day <= 22) return kQualityBenefic;
    if ((lunar_day >= 1 && lunar_day <= 7) || (lunar_day >= 23 && lunar_day <= 30)) return kQualityMalefic;
    return kQualityError;
}

}  // namespace tellurim
