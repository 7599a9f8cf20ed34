#include "astro/planet_quality.h"

#include <fmt/format.h>
#include <cmath>

#include "astro/planets_signs.h"

namespace tellurim {

bool compute_planet_quality(const QualityInputs& in, PlanetQualityTable& out) {
    out = PlanetQualityTable{};
    if (in.ascendant_sign < 0 || in.ascendant_sign > 11) return false;
    struct CrossCheck {
        int sign;
        const RelationshipGrid* grid;
    };
    const std::array<CrossCheck, kQualityCrossChecks> checks{
        {{in.ascendant_sign, &in.rasi}, {in.moon_sign, &in.rasi}, {in.ascendant_navamsa_sign, &in.navamsa}}};
    for (int p = 0; p < kPlanetRows; ++p) {
        auto row = static_cast<std::size_t>(p);
        double sum = 0.0;
        int judged = 0;
        for (int k = 0; k < kQualityCrossChecks; ++k) {
            const CrossCheck& c = checks[static_cast<std::size_t>(k)];
            int lord = lord_of_sign(c.sign, 0);
            if (lord < 0) continue;
            int r = lord == p ? 2 : (*c.grid)[row][static_cast<std::size_t>(lord)];
            if (r == 3) r = 2;
            if (r < -2 || r > 2) continue;
            out.values[row][static_cast<std::size_t>(k)] = static_cast<std::int8_t>(r);
            sum += r;
            ++judged;
        }
        if (judged > 0) out.average[row] = sum / judged;
    }
    return true;
}

Str quality_cross_check_label(int cross_check) {
    switch (cross_check) {
        case 0: return Str::QualityFromAscendant;
        case 1: return Str::QualityFromMoon;
        default: return Str::QualityNavamsa;
    }
}

std::string quality_value_text(std::int8_t value) {
    return value == kNoQualityValue ? "-" : fmt::format("{:+d}", value);
}

double strength_share_percent(const PlanetStrengthTable& table, int planet) {
    if (planet < 0 || planet >= kStrengthPlanets) return kInfinity;
    double sum = 0.0;
    for (const PlanetStrength& p : table)
        if (std::isfinite(p.total)) sum += p.total;
    const double total = table[static_cast<std::size_t>(planet)].total;
    return sum > 0.0 && std::isfinite(total) ? 100.0 * total / sum : kInfinity;
}

}  // namespace tellurim
