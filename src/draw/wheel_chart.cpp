#include "draw/wheel_chart.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

#include "astro/aspects.h"
#include "astro/chart_grids.h"
#include "astro/planet_quality.h"
#include "astro/planets_signs.h"
#include "base/angle_value.h"
#include "base/date_hour.h"
#include "sky/ayanamsa.h"
#include "sky/houses.h"

namespace tellurim {
namespace {

// Bits of the "Aspects on Planets" mode word.
constexpr std::uint32_t kModeOutside = 1u << 0;
constexpr std::uint32_t kModeInside = 1u << 2;
constexpr std::uint32_t kModeOutsideOnInside = 1u << 3;
constexpr std::uint32_t kModeInsideOnOutside = 1u << 4;

bool passes(const std::array<std::uint32_t, 2>& masks, int planet) {
    const std::uint32_t bit = 1u << planet;
    return (masks[0] & bit) != 0 && (masks[1] & bit) != 0;
}

}  // namespace

WheelChart wheel_chart(const Horoscope& h) {
    WheelChart c;
    const bool movable = h.options.astro.zodiac_movable != 0;
    const PositionTable& table = h.positions(movable ? PositionFrame::GeoMovable : PositionFrame::GeoFixed);
    const HouseTable& houses = movable ? h.houses_movable : h.houses_fixed;
    for (int p = 0; p < kPlanetRows; ++p) {
        const auto i = static_cast<std::size_t>(p);
        const PlanetPosition& row = table.at(p);
        c.longitudes[i] = row.longitude.is_angle() ? row.longitude.to_radians() : kInfinity;
        c.retrograde[i] = row.retrograde != 0;
        // The house the planet stands in on the wheel, houses following the cusps.
        c.houses[i] = std::max(0, house_of_point(false, h.options.astro.house_cusp_center != 0, houses, row.longitude));
    }
    // The nakshatras are sidereal: in the movable zodiac they start at the ayanamsa.
    if (movable) {
        const AngleValue aya = ayanamsa(h.birth_ut.jd_et, h.options.astro.zero_date.jd_et);
        if (aya.is_angle()) c.nakshatra_origin = aya.to_radians();
    }
    for (std::size_t i = 0; i < c.cusps.size(); ++i) {
        const HouseCusp& cusp = houses[i];
        c.cusps[i] = cusp.index >= 0 && cusp.longitude.is_angle() ? cusp.longitude.to_radians() : kInfinity;
    }
    return c;
}

std::vector<AspectStroke> wheel_aspects(const Horoscope& a, const std::array<std::uint32_t, 2>& masks_a,
                                        const Horoscope& b, const std::array<std::uint32_t, 2>& masks_b,
                                        const std::vector<AspectDef>& rows) {
    std::vector<AspectStroke> out;
    const bool same = &a == &b;
    for (int pa = 0; pa < kPlanetRows; ++pa) {
        const PlanetPosition& A = a.geo_movable.at(pa);
        if (A.index < 0 || !passes(masks_a, pa)) continue;
        for (int pb = same ? pa + 1 : 0; pb < kPlanetRows; ++pb) {
            const PlanetPosition& B = b.geo_movable.at(pb);
            if (B.index < 0 || !passes(masks_b, pb)) continue;
            for (const AspectDef& r : rows) {
                if (!r.draw) continue;
                const AspectTest t = test_aspect(r, A.longitude, A.latitude, B.longitude, B.latitude);
                if (!t.holds) continue;
                // The test's opacity already starts from the colour's alpha byte.
                out.push_back({pa, pb, r.colour | 0xFF000000u, r.pen_size, r.pen_type, t.opacity / 255.0,
                               r.show_information, 1.5 * r.hot_spot_size, r.name});
            }
        }
    }
    return out;
}

std::vector<AspectStroke> wheel_hindu_aspects(const Horoscope& aspecting, const std::array<std::uint32_t, 2>& masks_from,
                                              const Horoscope& aspected, const std::array<std::uint32_t, 2>& masks_to,
                                              const HinduAspectTable& table, int pen, bool aspecting_first) {
    std::vector<AspectStroke> out;
    const bool same = &aspecting == &aspected;
    constexpr auto kRasiColumn = static_cast<std::size_t>(kRasi);
    for (int p = 0; p < kPlanetRows; ++p) {
        const HinduAspectRow& row = table.rows[static_cast<std::size_t>(p)];
        const int from = aspecting.hindu.divisions[static_cast<std::size_t>(p)][kRasiColumn];
        if (row.planet < 0 || from < 0 || !passes(masks_from, p)) continue;
        for (int q = 0; q < kPlanetRows; ++q) {
            const int to = aspected.hindu.divisions[static_cast<std::size_t>(q)][kRasiColumn];
            if ((same && q == p) || to < 0 || !passes(masks_to, q)) continue;
            const auto offset = static_cast<std::size_t>(((to - from) % 12 + 12) % 12);
            if (!row.offsets[offset]) continue;
            const HinduPen& hp = row.pens[offset][static_cast<std::size_t>(pen)];
            if (hp.colour == 0xFFFFFFFFu) continue;  // an empty pen
            AspectStroke s{aspecting_first ? p : q, aspecting_first ? q : p, hp.colour, hp.width, hp.style, 1.0};
            out.push_back(s);
        }
    }
    return out;
}

WheelInput wheel_input(const Horoscope& inside, const Horoscope* outside, const AspectTable* table,
                       const HinduAspectTable* hindu) {
    WheelInput input;
    input.inside = wheel_chart(inside);
    input.informations = wheel_informations(inside);
    const std::vector<AspectDef> rows = table ? table->rows : default_aspect_rows();
    const DrawingOptions& d = inside.options.drawing;
    const std::uint32_t mode = d.planets_mode;
    if (inside.options.astro.zodiac_movable != 0) hindu = nullptr;
    const auto& in_masks = d.planets_masks_1;
    const auto& out_masks = d.planets_masks_2;
    if (!outside) {
        if (mode & kModeOutside) {
            input.inside.aspects = wheel_aspects(inside, in_masks, inside, in_masks, rows);
            if (hindu) input.inside.hindu_aspects = wheel_hindu_aspects(inside, in_masks, inside, in_masks, *hindu, 0, true);
        }
        return input;
    }
    input.outside = wheel_chart(*outside);
    if (mode & kModeInside) {
        input.inside.aspects = wheel_aspects(inside, in_masks, inside, in_masks, rows);
        if (hindu) input.inside.hindu_aspects = wheel_hindu_aspects(inside, in_masks, inside, in_masks, *hindu, 0, true);
    }
    if (mode & kModeOutside) {
        input.outside->aspects = wheel_aspects(*outside, out_masks, *outside, out_masks, rows);
        if (hindu)
            input.outside->hindu_aspects = wheel_hindu_aspects(*outside, out_masks, *outside, out_masks, *hindu, 1, true);
    }
    if (mode & (kModeOutsideOnInside | kModeInsideOnOutside))
        input.across = wheel_aspects(*outside, out_masks, inside, in_masks, rows);
    if (hindu && (mode & kModeInsideOnOutside))
        input.hindu_across = wheel_hindu_aspects(inside, in_masks, *outside, out_masks, *hindu, 2, false);
    if (hindu && (mode & kModeOutsideOnInside)) {
        auto lines = wheel_hindu_aspects(*outside, out_masks, inside, in_masks, *hindu, 3, true);
        input.hindu_across.insert(input.hindu_across.end(), lines.begin(), lines.end());
    }
    // The outside chart's lines after an empty one.
    input.informations.emplace_back();
    for (std::string& line : wheel_informations(*outside)) input.informations.push_back(std::move(line));
    return input;
}

std::vector<std::string> wheel_informations(const Horoscope& h) {
    std::vector<std::string> lines;
    lines.push_back(h.first_name.empty() ? h.last_name : h.last_name + " " + h.first_name);
    lines.push_back(format_date_hour(h.birth_local));
    lines.push_back(format_date_hour(h.birth_ut));
    std::string place = h.place.city;
    if (!h.country.empty()) place += (place.empty() ? "" : ", ") + h.country;
    if (!place.empty()) lines.push_back(place);
    lines.push_back(format_angle(h.place.longitude) + "  " + format_angle(h.place.latitude));
    return lines;
}

std::string wheel_tooltip(const WheelHotSpot& spot, const Horoscope& inside, const Horoscope* outside,
                          const HinduAspectTable* hindu) {
    const Horoscope& own = spot.outside_chart && outside ? *outside : inside;
    if (!spot.aspect) {
        if (spot.planet < 0 || spot.planet >= kPlanetRows) return {};
        const bool movable = own.options.astro.zodiac_movable != 0;
        const PlanetPosition& row =
            own.positions(movable ? PositionFrame::GeoMovable : PositionFrame::GeoFixed).at(spot.planet);
        std::string t(planet_name(spot.planet));
        if (row.longitude.is_angle()) t += " " + format_sign_longitude(row.longitude.to_degrees());
        if (row.retrograde) t += " (R)";
        const auto& quality = own.strengths.quality.values[static_cast<std::size_t>(spot.planet)];
        if (std::any_of(quality.begin(), quality.end(), [](std::int8_t v) { return v != kNoQualityValue; }))
            t += "\r\n" + str(Str::ToolTipQuality) + quality_value_text(quality[0]) + str(Str::ToolTipQualityMoon) +
                 quality_value_text(quality[1]) + str(Str::ToolTipQualityNav) + quality_value_text(quality[2]);
        if (spot.planet < kStrengthPlanets) {
            const PlanetStrengthTable& strengths = own.strengths.planets;
            const double total = strengths[static_cast<std::size_t>(spot.planet)].total;
            const double share = strength_share_percent(strengths, spot.planet);
            if (std::isfinite(total)) {
                // "\r\nStrength: %05.2Lf rupas (%06.2LF%%)"
                std::string line = str(Str::StrengthToolTip);
                auto put = [&line](std::string_view spec, const std::string& value) {
                    if (auto at = line.find(spec); at != std::string::npos) line.replace(at, spec.size(), value);
                };
                put("%05.2Lf", fmt::format("{:05.2f}", total / 60.0));
                put("%06.2LF", std::isfinite(share) ? fmt::format("{:06.2f}", share) : "ERROR");
                put("%%", "%");
                t += line;
            }
        }
        return t;
    }
    // Across the charts, the first planet is the outside chart's.
    std::string t = std::string(planet_name(spot.aspect->a)) + " - " + std::string(planet_name(spot.aspect->b));
    if (!spot.aspect->name.empty()) {
        t += " " + spot.aspect->name;
    } else if (hindu && !spot.across) {
        // A Hindu aspect: a is the aspecting planet, b the aspected one.
        const std::int8_t q = hindu_aspect_quality(*hindu, own, spot.aspect->b, spot.aspect->a, false);
        if (q != kNoAspectQuality) t += str(Str::ToolTipAspectQuality) + fmt::format("{:+d}", q);
    }
    return t;
}

}  // namespace tellurim
