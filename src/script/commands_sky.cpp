#include "script/commands_sky.h"

#include <fmt/format.h>

#include <cmath>
#include <string>

#include "astro/chart_grids.h"
#include "astro/directions.h"
#include "astro/hindu_aspects.h"
#include "astro/lunations.h"
#include "astro/planets_signs.h"
#include "astro/strengths.h"
#include "base/text.h"
#include "sky/ayanamsa.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"

namespace tellurim::script_sky {
namespace {

Horoscope& chart(Call& c) { return *c.ctx.current_horoscope(); }

// Words from..objc-1 joined by one space, as Tcl_ConcatObj joins them.
std::string joined(const Call& c, int from) {
    std::string s;
    for (int i = from; i < c.objc; ++i) {
        if (i > from) s += ' ';
        s += c.word(i);
    }
    return std::string(trim(s));
}

// A date of the horoscope as its text, or the command's message when it is not a date.
int ok_date(Call& c, const DateHour& d) {
    if (!is_valid(d)) return c.fail(fmt::format(fmt::runtime(text(Str::SkyDateToStringFormat)), c.name()));
    return c.ok_text(format_date_hour(d));
}

// The Hindu aspect table of the application, or the default one when the run has none.
const HinduAspectTable& hindu_table(const Call& c) {
    static const HinduAspectTable defaults = default_hindu_aspects();
    return c.ctx.hindu_aspects ? *c.ctx.hindu_aspects : defaults;
}

// Quality values are kept for three cross-checks (As, Moon, Nav); the numbers up to 18 that
// scripts may pass read as not judged.
constexpr int kCrossCheckLimit = 19;
std::optional<int> read_cross_check(Call& c, int i) {
    const std::optional<int> n = c.integer(i);
    if (!n) {
        c.fail(Str::CmdNotNumber);
        return std::nullopt;
    }
    if (*n < 0 || *n >= kCrossCheckLimit) {
        c.fail(Str::SkyBadCrossCheck);
        return std::nullopt;
    }
    return n;
}

// "MM/DD/YYYY HHhMM'SS\"" (the time may be left out, or written "HH:MM:SS"): the date-hour
// in its calendar (Julian before the Gregorian reform), or nullopt.
std::optional<DateHour> parse_us_date(std::string_view s) {
    s = trim(s);
    const auto blank = s.find(' ');
    const std::string_view date = s.substr(0, blank);
    const std::string_view time = blank == std::string_view::npos ? std::string_view() : trim(s.substr(blank));
    const auto parts = split_tokens(date, "/");
    if (parts.size() != 3) return std::nullopt;
    std::string storage = fmt::format("{}-{}-{}", parts[2], parts[0], parts[1]);
    if (!time.empty()) {
        std::string t(time);
        for (char& ch : t)
            if (ch == 'h' || ch == '\'') ch = ':';
        if (!t.empty() && t.back() == '"') t.pop_back();
        if (t.find_first_not_of("0123456789:.") != std::string::npos) return std::nullopt;
        storage += ' ' + t;
    }
    DateParse p = parse_date_hour(storage);
    if (!p.ok || !is_valid(p.value)) return std::nullopt;
    return p.value;
}

int ok_lord(Call& c, std::int8_t lord) { return c.ok_int(lord); }

}  // namespace

// --- time, lunations and lords of time ------------------------------------------------------

int cmd_sunrise(Call& c) { return ok_date(c, chart(c).sun.sunrise); }
int cmd_sunset(Call& c) { return ok_date(c, chart(c).sun.sunset); }
int cmd_first_new_moon(Call& c) { return ok_date(c, chart(c).lunation.new_moon); }
int cmd_first_quarter(Call& c) { return ok_date(c, chart(c).lunation.first_quarter); }
int cmd_full_moon(Call& c) { return ok_date(c, chart(c).lunation.full_moon); }
int cmd_last_quarter(Call& c) { return ok_date(c, chart(c).lunation.last_quarter); }
int cmd_second_new_moon(Call& c) { return ok_date(c, chart(c).lunation.next_new_moon); }
int cmd_first_new_moon_eclipse(Call& c) { return c.ok_text(eclipse_text(chart(c).lunation.new_moon_eclipse)); }
int cmd_full_moon_eclipse(Call& c) { return c.ok_text(eclipse_text(chart(c).lunation.full_moon_eclipse)); }
int cmd_second_new_moon_eclipse(Call& c) { return c.ok_text(eclipse_text(chart(c).lunation.next_new_moon_eclipse)); }
int cmd_moon_day(Call& c) { return c.ok_int(chart(c).lunation.lunar_day); }
int cmd_year_lord(Call& c) { return ok_lord(c, chart(c).hindu.time_lords.year); }
int cmd_month_lord(Call& c) { return ok_lord(c, chart(c).hindu.time_lords.month); }
int cmd_day_lord(Call& c) { return ok_lord(c, chart(c).hindu.time_lords.day); }
int cmd_hour_lord(Call& c) { return ok_lord(c, chart(c).hindu.time_lords.hour); }

int cmd_date_to_jd(Call& c) {
    const bool et = c.word(1) == "-ET";
    if (et && c.objc < 3) return c.fail(Str::SkyDateUT2JDUsage);
    const std::optional<DateHour> d = parse_us_date(joined(c, et ? 2 : 1));
    if (!d) return c.fail(Str::SkyDateUT2JDNoDate);
    return c.ok_double(et ? d->jd_et : d->jd_ut);
}

int cmd_jd_to_date(Call& c) {
    const std::optional<double> jd = c.real(1);
    if (!jd) return c.fail(Str::SkyJD2UTDateBadJd);
    const std::string w = c.word(2);
    if (w != "-ET" && w != "-UT") return c.fail(Str::SkyJD2UTDateBadWord);
    return ok_date(c, w == "-ET" ? date_hour_from_et(*jd) : date_hour_from_ut(*jd));
}

// Without arguments: the current horoscope's date and the zero date it was computed with, so
// that the value is the distance between its movable and fixed longitudes.
int cmd_ayanamsa(Call& c) {
    double jd = 0, zero = 0;
    if (c.objc == 1) {
        const Horoscope* h = c.ctx.current_horoscope();
        if (!h) return c.fail(Str::CmdNoHoroscope);
        jd = h->birth_ut.jd_et;
        zero = h->options.astro.zero_date.jd_et;
    } else if (c.objc == 3) {
        const auto a = c.real(1), b = c.real(2);
        if (!a || !b) return c.fail(Str::CmdNotNumber);
        jd = *a;
        zero = *b;
    } else {
        return c.fail(Str::SkyAyanamsaUsage);
    }
    const AngleValue aya = ayanamsa(jd, zero);
    if (!aya.is_angle()) return c.fail(Str::SkyAyanamsaFailed);
    return c.ok_double(aya.to_radians());
}

int cmd_ayanamsa_to_jd(Call& c) {
    const std::optional<double> value = c.real(1);
    if (!value) return c.fail(Str::CmdNotNumber);
    DateHour zero = c.ctx.options.astro.zero_date;
    if (c.objc == 3) {
        const std::optional<double> jd = c.real(2);
        if (!jd) return c.fail(Str::CmdNotNumber);
        zero = date_hour_from_et(*jd);
    } else if (!is_valid(zero)) {
        return c.fail(Str::SkyAya2JDETNoZero);
    }
    const std::optional<DateHour> d = date_of_ayanamsa(AngleValue::radians(*value), zero);
    if (!d || !std::isfinite(d->jd_et)) return c.fail(Str::SkyAya2JDETFailed);
    return c.ok_double(d->jd_et);
}

int cmd_zero_jd(Call& c) {
    const double jd = c.ctx.options.astro.zero_date.jd_et;
    if (!std::isfinite(jd)) return c.fail(Str::SkyZeroJDETFailed);
    return c.ok_double(jd);
}

// Radians, as PrimaryDirection takes it: of the current horoscope, or of
// "YYYY-MM-DD HH:MM:SS -place_longitude HHhMM'SS\" E/W".
int cmd_sidereal_time(Call& c) {
    AngleValue lst;
    if (c.objc == 1) {
        const Horoscope* h = c.ctx.current_horoscope();
        if (!h) return c.fail(Str::CmdNoHoroscope);
        lst = h->local_sidereal_time;
    } else {
        const std::string all = joined(c, 1);
        const auto at = all.find("-place_longitude");
        if (at == std::string::npos) return c.fail(Str::SkySiderealTimeUsage);
        const DateParse date = parse_date_hour(trim(std::string_view(all).substr(0, at)));
        const auto lon = parse_angle(std::string_view(all).substr(at + std::string_view("-place_longitude").size()));
        if (!date.ok || !is_valid(date.value) || !lon || !lon->is_angle()) return c.fail(Str::SkySiderealTimeUsage);
        lst = local_sidereal_time(date.value, *lon);
    }
    if (!lst.is_angle()) return c.fail(Str::SkySiderealTimeUsage);
    return c.ok_double(lst.to_radians());
}

int cmd_epsilon(Call& c) {
    double jd = 0;
    if (c.objc == 1) {
        const Horoscope* h = c.ctx.current_horoscope();
        if (!h) return c.fail(Str::CmdNoHoroscope);
        jd = h->birth_ut.jd_et;
    } else {
        if (c.word(1) != "-date" || c.objc < 3) return c.fail(Str::SkyEpsilonMissingDate);
        const DateParse date = parse_date_hour(joined(c, 2));
        if (!date.ok || !is_valid(date.value)) return c.fail(Str::SkyEpsilonBadDate);
        jd = date.value.jd_et;
    }
    const double eps = mean_obliquity(jd, jd);
    if (!std::isfinite(eps)) return c.fail(Str::SkyEpsilonBadDate);
    return c.ok_double(eps);
}

// Radians of right ascension per year of life, the last argument of PrimaryDirection.
int cmd_mean_ra_sun_speed(Call& c) { return c.ok_double(degrees_to_radians(mean_sun_ra_speed_deg())); }

int cmd_primary_direction(Call& c) {
    double v[8];
    for (int i = 0; i < 8; ++i) {
        const std::optional<double> x = c.real(i + 1);
        if (!x) return c.fail(Str::CmdNotNumber);
        v[i] = *x;
    }
    const PrimaryDirectionResult r = primary_direction({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]});
    if (!r.ok) return c.fail(r.error);
    return c.ok_double(r.age);
}

// --- angles ----------------------------------------------------------------------------------

namespace {
int angle(Call& c, double (*convert)(double)) {
    const std::optional<double> x = c.real(1);
    if (!x) return c.fail(Str::CmdNotNumber);
    return c.ok_double(convert(*x));
}
double to_z360(double x) {
    if (!std::isfinite(x)) return x;
    const double r = x - std::floor(x / 360.0) * 360.0;
    return r >= 360.0 ? 0.0 : r;
}
}  // namespace

int cmd_d2r(Call& c) { return angle(c, degrees_to_radians); }
int cmd_r2d(Call& c) { return angle(c, radians_to_degrees); }
int cmd_to_z360(Call& c) { return angle(c, to_z360); }

int cmd_format_sign_longitude(Call& c) {
    const std::optional<double> x = c.real(1);
    if (!x) return c.fail(Str::CmdNotNumber);
    return c.ok_text(format_sign_longitude(*x));
}

// --- Hindu analysis --------------------------------------------------------------------------

int cmd_h_aspected_by(Call& c) {
    const auto a = read_planet(c, 1, Str::CmdNotNumber, Str::SkyHAspectedByBadPlanet);
    if (!a) return TCL_ERROR;
    const auto b = read_planet(c, 2, Str::CmdNotNumber, Str::SkyHAspectedByBadPlanet);
    if (!b) return TCL_ERROR;
    const auto words = read_option_words(c, 3, kWordRasi | kWordNav);
    if (!words) return TCL_ERROR;
    return c.ok_int(hindu_aspected_by(hindu_table(c), chart(c).hindu.divisions, *a, *b, *words & kWordNav) ? 1 : 0);
}

int cmd_h_friendship(Call& c) {
    const auto a = read_planet(c, 1, Str::CmdNotNumber, Str::SkyHFriendShipBadPlanet);
    if (!a) return TCL_ERROR;
    const auto b = read_planet(c, 2, Str::CmdNotNumber, Str::SkyHFriendShipBadPlanet);
    if (!b) return TCL_ERROR;
    const auto words = read_option_words(c, 3, kWordRasi | kWordNav);
    if (!words) return TCL_ERROR;
    const Relationship& r = chart(c).hindu.relationships[static_cast<std::size_t>(*a)][static_cast<std::size_t>(*b)];
    return c.ok_int((*words & kWordNav) ? r.navamsa : r.rasi);
}

int cmd_h_quality_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    const auto cc = read_cross_check(c, 2);
    if (!cc) return TCL_ERROR;
    if (*cc >= kQualityCrossChecks) return c.ok_int(kNoQualityValue);
    return c.ok_int(chart(c).strengths.quality.values[static_cast<std::size_t>(*p)][static_cast<std::size_t>(*cc)]);
}

// The quality of the sign aspect in the chart of the cross-check: the rasi for the first two
// (from the Ascendant, from the Moon), the navamsa for the third.
int cmd_h_quality_of_aspect(Call& c) {
    const auto a = read_planet(c, 1);
    if (!a) return TCL_ERROR;
    const auto b = read_planet(c, 2);
    if (!b) return TCL_ERROR;
    const auto cc = read_cross_check(c, 3);
    if (!cc) return TCL_ERROR;
    if (*cc >= kQualityCrossChecks) return c.ok_int(kNoAspectQuality);
    return c.ok_int(hindu_aspect_quality(hindu_table(c), chart(c), *a, *b, *cc == 2));
}

// Strengths exist for Sun to Saturn; an undefined one is positive infinity ("Inf").
int cmd_strength_of_planet(Call& c) {
    const auto p = read_planet(c, 1, Str::CmdNotNumber, Str::CmdBadPlanet, kStrengthPlanets);
    if (!p) return TCL_ERROR;
    return c.ok_double(strength_row(chart(c).strengths.planets, *p).total);
}

int cmd_strength_of_house(Call& c) {
    const auto n = read_house(c, 1);
    if (!n) return TCL_ERROR;
    return c.ok_double(chart(c).strengths.houses[static_cast<std::size_t>(*n - 1)].total);
}

int cmd_kala_bala(Call& c) {
    const auto p = read_planet(c, 1, Str::CmdNotNumber, Str::CmdBadPlanet, kStrengthPlanets);
    if (!p) return TCL_ERROR;
    return c.ok_double(kala_bala(strength_row(chart(c).strengths.planets, *p)));
}

int cmd_number_of_bindus(Call& c) {
    const auto sign = c.integer(1);
    if (!sign || *sign < 0 || *sign > 11) return c.fail(Str::SkyBindusBadSign);
    const auto planet = c.integer(2);
    if (!planet || *planet < 0 || *planet >= kStrengthPlanets) return c.fail(Str::SkyBindusBadPlanet);
    const std::string w = c.word(3);
    if (w != "-BR" && w != "-AR") return c.fail(Str::SkyBindusBadWord);
    const BinduCount& n = chart(c).bindus[static_cast<std::size_t>(*sign)][static_cast<std::size_t>(*planet)];
    return c.ok_int(w == "-BR" ? n.before : n.after);
}

}  // namespace tellurim::script_sky
