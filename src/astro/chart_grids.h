#pragma once
// Tables that the results report and the chart's JSON show side by side, read from a computed
// horoscope: the occidental aspect grids of the nine first points (Sun to Midheaven), the
// quality of the Hindu sign aspects, and the horizon position of every catalogue star at the
// birth moment. Pure computation; undefined cells are positive infinity (or kNoAspectQuality).

#include <array>
#include <cstdint>
#include <vector>

#include "astro/hindu_aspects.h"
#include "astro/stars.h"
#include "core/horoscope.h"

namespace tellurim {

// Planets 0 (Sun) to 8 (Midheaven) take part in the report's aspect grids.
inline constexpr int kGridPlanets = 9;
using GridValues = std::array<std::array<double, kGridPlanets>, kGridPlanets>;

// [a][b], symmetric; the diagonal and every pair without a value hold positive infinity.
struct AspectGrids {
    GridValues distance_deg;  // great-circle distance of the geocentric movable positions
    GridValues angle_deg;     // nominal angle of the closest aspect found for the pair
    GridValues orb_deg;       // how far that aspect is from exact
    GridValues opacity;       // its line opacity, 0 to 255
};
// From h.aspects (the aspects the pipeline found with the table and filters in force) and
// the geocentric movable positions. Of two aspects of one pair the closer to exact is shown.
AspectGrids aspect_grids(const Horoscope& h);

// The quality of the aspect that `aspecting` casts on `aspected` by whole signs: when the
// Hindu aspect table flags it in that chart, how the aspecting planet regards the aspected
// one there (-2 great enemy .. 2 great friend); kNoAspectQuality when there is no aspect or
// the relationship is not defined.
inline constexpr std::int8_t kNoAspectQuality = 99;
std::int8_t hindu_aspect_quality(const HinduAspectTable& table, const Horoscope& h, int aspected, int aspecting,
                                 bool navamsa);

// A star above or below the horizon of the birth place at the birth moment.
struct StarHorizon {
    int star = -1;          // number in the catalogue
    AngleValue azimuth;     // from the north through the east
    AngleValue elevation;
};
// Every star of the catalogue in catalogue order; a star whose position cannot be computed
// keeps undefined angles. Caches each star's position of date in the catalogue.
std::vector<StarHorizon> star_horizon(StarCatalogue& catalogue, const Horoscope& h);

}  // namespace tellurim
