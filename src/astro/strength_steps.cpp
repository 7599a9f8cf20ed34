#include "astro/strength_steps.h"

#include <cmath>

#include "astro/ashtakavarga.h"
#include "astro/planet_quality.h"
#include "astro/planets_signs.h"
#include "sky/equation_of_time.h"

namespace tellurim {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

double degrees_or_none(const AngleValue& a) { return a.is_angle() ? a.to_degrees() : kNoValue; }

double longitude_deg(const PositionTable& t, int p) {
    const PlanetPosition& r = t.at(p);
    return r.index >= 0 ? degrees_or_none(r.longitude) : kNoValue;
}

ContributorSigns contributor_signs(const Horoscope& h) {
    ContributorSigns signs{};
    for (int c = 0; c < kBinduContributors; ++c) signs[at(c)] = h.hindu.divisions[at(c)][kRasi];
    return signs;
}

}  // namespace

StrengthInputs strength_inputs(const Horoscope& h) {
    StrengthInputs in;
    for (int p = 0; p < 9; ++p) in.fixed_lon_deg[at(p)] = longitude_deg(h.geo_fixed, p);
    for (int p = 0; p < kStrengthPlanets; ++p) {
        const PlanetPosition& fixed = h.geo_fixed.at(p);
        in.latitude_deg[at(p)] = fixed.index >= 0 ? degrees_or_none(fixed.latitude) : kNoValue;
        in.retrograde[at(p)] = fixed.retrograde != 0;
        in.declination_deg[at(p)] = degrees_or_none(h.equatorial[at(p)].declination);
        in.helio_lon_deg[at(p)] = longitude_deg(h.helio_movable, p);
        in.debilitation_deg[at(p)] = degrees_or_none(exaltation_point(h.options.exaltations, p, h.birth_ut));
        for (int d = 0; d < 7; ++d) in.division_signs[at(p)][at(d)] = h.hindu.divisions[at(p)][at(d)];
        for (int q = 0; q < kStrengthPlanets; ++q) {
            in.relationships[at(p)][at(q)] = h.hindu.relationships[at(p)][at(q)].rasi;
            in.aspects_received[at(p)][at(q)] = h.hindu.aspect_strengths[at(p)][at(q)];
        }
    }
    in.sun_movable_lon_deg = longitude_deg(h.geo_movable, kSun);
    in.moon_movable_lon_deg = longitude_deg(h.geo_movable, kMoon);
    const DateHour& ut = h.birth_ut;
    if (is_valid(ut) && ut.hour >= 0 && ut.minute >= 0 && std::isfinite(ut.seconds))
        in.ut_hours = ut.hour + ut.minute / 60.0 + ut.seconds / 3600.0;
    in.place_lon_deg = degrees_or_none(h.place.longitude);
    in.equation_of_time_deg = equation_of_time_deg(ut.jd_et);
    in.jd_ut = std::isfinite(ut.jd_ut) ? ut.jd_ut : kNoValue;
    in.planetary_hour = h.sun.planetary_hour;
    in.polar = h.sun.polar != SunPolar::None;
    in.moon_quality = h.hindu.moon_quality;
    in.mercury_quality = h.hindu.mercury_quality;
    in.year_lord = h.hindu.time_lords.year;
    in.month_lord = h.hindu.time_lords.month;
    in.day_lord = h.hindu.time_lords.day;
    in.hour_lord = h.hindu.time_lords.hour;
    return in;
}

HouseStrengthInputs house_strength_inputs(const Horoscope& h) {
    HouseStrengthInputs in;
    for (int i = 0; i < 12; ++i) {
        const HouseCusp& f = h.houses_fixed[at(i)];
        const HouseCusp& m = h.houses_movable[at(i)];
        in.cusp_fixed_deg[at(i)] = f.index >= 0 ? degrees_or_none(f.longitude) : kNoValue;
        in.cusp_movable_deg[at(i)] = m.index >= 0 ? degrees_or_none(m.longitude) : kNoValue;
        for (int q = 0; q < kStrengthPlanets; ++q)
            in.aspects_received[at(i)][at(q)] = h.hindu.house_aspect_strengths[at(i)][at(q)];
    }
    in.moon_quality = h.hindu.moon_quality;
    in.mercury_quality = h.hindu.mercury_quality;
    return in;
}

bool planet_quality_step(Horoscope& h) {
    QualityInputs in;
    in.ascendant_sign = h.hindu.divisions[kAscendant][kRasi];
    in.moon_sign = h.hindu.divisions[kMoon][kRasi];
    in.ascendant_navamsa_sign = h.hindu.divisions[kAscendant][kNavamsa];
    for (int a = 0; a < kPlanetRows; ++a)
        for (int b = 0; b < kPlanetRows; ++b) {
            in.rasi[at(a)][at(b)] = h.hindu.relationships[at(a)][at(b)].rasi;
            in.navamsa[at(a)][at(b)] = h.hindu.relationships[at(a)][at(b)].navamsa;
        }
    return compute_planet_quality(in, h.strengths.quality);
}

bool planet_strengths_step(Horoscope& h) {
    h.strengths.failed_component = compute_planet_strengths(strength_inputs(h), h.strengths.planets);
    return h.strengths.failed_component == 0;
}

bool house_strengths_step(Horoscope& h) {
    return compute_house_strengths(house_strength_inputs(h), h.strengths.planets, h.strengths.houses);
}

bool bindus_step(Horoscope& h) { return count_bindus(contributor_signs(h), h.bindus); }

bool trikona_step(Horoscope& h) {
    trikona_reduction(h.bindus);
    return true;
}

bool ekadhi_step(Horoscope& h) {
    ekadhipatya_reduction(h.bindus, contributor_signs(h));
    return true;
}

}  // namespace tellurim
