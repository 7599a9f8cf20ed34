#include "astro/chart_grids.h"

#include <cmath>

#include "astro/aspects.h"
#include "sky/sidereal.h"

namespace tellurim {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

GridValues undefined_grid() {
    GridValues g{};
    for (auto& row : g) row.fill(kInfinity);
    return g;
}

}  // namespace

AspectGrids aspect_grids(const Horoscope& h) {
    AspectGrids g{undefined_grid(), undefined_grid(), undefined_grid(), undefined_grid()};
    // Any row gives the separation; this one, with the widest orb, holds for every pair.
    AspectDef any;
    any.angle = AngleValue::degrees(0.0);
    any.orb = AngleValue::degrees(180.0);
    for (int a = 0; a < kGridPlanets; ++a) {
        const PlanetPosition& pa = h.geo_movable.at(a);
        for (int b = a + 1; b < kGridPlanets; ++b) {
            const PlanetPosition& pb = h.geo_movable.at(b);
            AspectTest t = test_aspect(any, pa.longitude, pa.latitude, pb.longitude, pb.latitude);
            if (!t.separation.is_angle()) continue;
            g.distance_deg[at(a)][at(b)] = g.distance_deg[at(b)][at(a)] = t.separation.to_degrees();
        }
    }
    for (const FoundAspect& x : h.aspects) {
        if (x.a < 0 || x.b < 0 || x.a >= kGridPlanets || x.b >= kGridPlanets || x.a == x.b) continue;
        // Both values lie in [0, 180], so the distance from exact is the plain difference.
        const double orb = std::fabs(x.separation_deg - x.angle_deg);
        if (std::isfinite(g.orb_deg[at(x.a)][at(x.b)]) && g.orb_deg[at(x.a)][at(x.b)] <= orb) continue;
        for (auto [i, j] : {std::pair{x.a, x.b}, std::pair{x.b, x.a}}) {
            g.angle_deg[at(i)][at(j)] = x.angle_deg;
            g.orb_deg[at(i)][at(j)] = orb;
            g.opacity[at(i)][at(j)] = x.opacity;
        }
    }
    return g;
}

std::int8_t hindu_aspect_quality(const HinduAspectTable& table, const Horoscope& h, int aspected, int aspecting,
                                 bool navamsa) {
    if (aspected < 0 || aspecting < 0 || aspected >= kPlanetRows || aspecting >= kPlanetRows) return kNoAspectQuality;
    if (aspected == aspecting) return kNoAspectQuality;
    if (!hindu_aspected_by(table, h.hindu.divisions, aspected, aspecting, navamsa)) return kNoAspectQuality;
    const Relationship& r = h.hindu.relationships[at(aspecting)][at(aspected)];
    const std::int8_t v = navamsa ? r.navamsa : r.rasi;
    return v >= -2 && v <= 2 ? v : kNoAspectQuality;
}

std::vector<StarHorizon> star_horizon(StarCatalogue& catalogue, const Horoscope& h) {
    std::vector<StarHorizon> rows;
    rows.reserve(catalogue.stars.size());
    for (std::size_t i = 0; i < catalogue.stars.size(); ++i) {
        StarHorizon row;
        row.star = static_cast<int>(i);
        row.azimuth = AngleValue::hours(kInfinity);
        row.elevation = AngleValue::degrees(kInfinity);
        if (auto p = star_position(catalogue.stars[i], h.birth_ut.jd_ut, h.birth_ut.jd_et))
            equatorial_to_horizontal(h.place.latitude, h.local_sidereal_time, p->ra, p->dec, row.azimuth,
                                     row.elevation);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace tellurim
