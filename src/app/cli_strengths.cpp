#include "app/cli_strengths.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
#include <iostream>
#include <numeric>

#include "app/json_util.h"
#include "astro/ashtakavarga.h"
#include "astro/planet_quality.h"
#include "astro/planets_signs.h"
#include "astro/strengths.h"
#include "base/strings.h"

namespace tellurim {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

int ascendant_sign(const Horoscope& h) { return h.hindu.divisions[kAscendant][kRasi]; }

}  // namespace

nlohmann::json strengths_json(const Horoscope& h) {
    nlohmann::json planets = nlohmann::json::array();
    for (const PlanetStrength& row : h.strengths.planets) {
        nlohmann::json components = nlohmann::json::array();
        for (double c : row.components) components.push_back(json_number(c));
        planets.push_back({{"body", std::string(planet_name(row.planet))},
                           {"components", components},
                           {"total", json_number(row.total)}});
    }
    nlohmann::json houses = nlohmann::json::array();
    for (int i = 0; i < 12; ++i) {
        const HouseStrength& row = h.strengths.houses[at(i)];
        houses.push_back({{"house", i + 1},
                          {"lord", json_number(row.lord)},
                          {"direction", json_number(row.direction)},
                          {"aspects", json_number(row.aspects)},
                          {"total", json_number(row.total)}});
    }
    const PlanetQualityTable& q = h.strengths.quality;
    nlohmann::json labels = nlohmann::json::array();
    for (int k = 0; k < kQualityCrossChecks; ++k) labels.push_back(std::string(text(quality_cross_check_label(k))));
    nlohmann::json rows = nlohmann::json::array();
    for (int p = 0; p < kPlanetRows; ++p) {
        nlohmann::json values = nlohmann::json::array();
        for (std::int8_t v : q.values[at(p)]) values.push_back(v == kNoQualityValue ? nlohmann::json(nullptr) : nlohmann::json(v));
        rows.push_back({{"body", std::string(planet_name(p))}, {"values", values}, {"average", json_number(q.average[at(p)])}});
    }
    return {{"planets", planets},
            {"houses", houses},
            {"quality", {{"cross_checks", labels}, {"planets", rows}}}};
}

nlohmann::json ashtakavarga_json(const Horoscope& h) {
    const BinduTable& t = h.bindus;
    nlohmann::json before = nlohmann::json::array();
    nlohmann::json after = nlohmann::json::array();
    for (int p = 0; p < kStrengthPlanets; ++p) {
        std::vector<int> b;
        std::vector<int> a;
        for (int s = 0; s < 12; ++s) {
            b.push_back(t[at(s)][at(p)].before);
            a.push_back(t[at(s)][at(p)].after);
        }
        before.push_back(b);
        after.push_back(a);
    }
    std::vector<int> sum_before;
    std::vector<int> sum_after;
    for (int s = 0; s < 12; ++s) {
        sum_before.push_back(t[at(s)][kBinduSumColumn].before);
        sum_after.push_back(t[at(s)][kBinduSumColumn].after);
    }
    nlohmann::json quality = nlohmann::json::array();
    const int asc = ascendant_sign(h);
    for (int p = 0; p < kStrengthPlanets; ++p) {
        AshtakavargaQuality q = ashtakavarga_quality(p, asc);
        quality.push_back({{"body", std::string(planet_name(p))},
                           {"quality", std::string(quality_code_text(q.quality))},
                           {"killer", std::string(killer_code_text(q.killer))}});
    }
    return {{"before", before},
            {"after", after},
            {"sum_before", sum_before},
            {"sum_after", sum_after},
            {"total_before", bindus_total_before(t)},
            {"ascendant_sign", std::string(sign_name(asc))},
            {"quality", quality}};
}

}  // namespace tellurim
