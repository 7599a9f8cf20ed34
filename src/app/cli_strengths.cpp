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
#include "core/strings.h"

namespace tellurim {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

template <class... Parts>
void line(Parts&&... parts) {
    ((std::cout << parts), ...);
    std::cout << "\n";
}

// A strength cell: a leading blank where a negative value has its minus sign, so that
// columns line up; "ERROR" when undefined.
std::string cell(double v) {
    if (!std::isfinite(v)) return fmt::format(" {:>6}", "ERROR");
    return v >= 0 ? fmt::format(" {:06.2f}", v) : fmt::format("{:07.2f}", v);
}

std::string rupas(double virupas) {
    if (!std::isfinite(virupas)) return "ERROR";
    return fmt::format("{:05.2f}{}", virupas / 60.0, text(Str::StrengthRupas));
}

// Order of the rows, strongest first; equal values keep their order.
template <std::size_t N>
std::array<int, N> strongest_first(const std::array<double, N>& values) {
    std::array<int, N> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&values](int a, int b) {
        double va = std::isfinite(values[at(a)]) ? values[at(a)] : -kInfinity;
        double vb = std::isfinite(values[at(b)]) ? values[at(b)] : -kInfinity;
        return va > vb;
    });
    return order;
}

int ascendant_sign(const Horoscope& h) { return h.hindu.divisions[kAscendant][kRasi]; }

void print_planet_strengths(const Horoscope& h) {
    const PlanetStrengthTable& t = h.strengths.planets;
    std::array<double, kStrengthPlanets> totals{};
    double sum = 0.0;
    for (int p = 0; p < kStrengthPlanets; ++p) {
        totals[at(p)] = t[at(p)].total;
        if (std::isfinite(totals[at(p)])) sum += totals[at(p)];
    }
    line();
    line(text(Str::StrengthPlanetsTitle));
    for (int p : strongest_first(totals)) {
        double share = sum > 0.0 && std::isfinite(totals[at(p)]) ? 100.0 * totals[at(p)] / sum : kInfinity;
        line(fmt::format("{:<12}{} ({:06.2f}%)", planet_name(p), rupas(totals[at(p)]), share));
    }

    line();
    line(text(Str::StrengthDetailsTitle));
    std::string head = fmt::format("{:<48}", "");
    for (int p = 0; p < kStrengthPlanets; ++p) head += fmt::format(" {:>7}", planet_name(p, true));
    line(head);
    for (int c = 1; c <= kStrengthComponents + 1; ++c) {
        std::string row = fmt::format("{:<48}", text(strength_label(c)));
        for (int p = 0; p < kStrengthPlanets; ++p)
            row += " " + cell(c <= kStrengthComponents ? t[at(p)].components[at(c - 1)] : t[at(p)].total);
        line(row);
    }
}

void print_house_strengths(const Horoscope& h) {
    const HouseStrengthTable& t = h.strengths.houses;
    std::array<double, 12> totals{};
    for (int i = 0; i < 12; ++i) totals[at(i)] = t[at(i)].total;
    line();
    line(text(Str::StrengthHousesTitle));
    for (int i : strongest_first(totals)) line(fmt::format("{:<12}{}", house_roman(i + 1), rupas(totals[at(i)])));

    line();
    line(text(Str::StrengthHouseDetailsTitle));
    std::string head = fmt::format("{:<10}", "");
    for (int i = 0; i < 12; ++i) head += fmt::format(" {:>7}", house_roman(i + 1));
    line(head);
    const std::pair<Str, double HouseStrength::*> rows[] = {
        {Str::StrengthHouseLord, &HouseStrength::lord},
        {Str::StrengthHouseDigBala, &HouseStrength::direction},
        {Str::StrengthHouseAspects, &HouseStrength::aspects},
        {Str::StrengthHouseTotal, &HouseStrength::total},
    };
    for (const auto& [label, member] : rows) {
        std::string row = fmt::format("{:<10}", text(label));
        for (int i = 0; i < 12; ++i) row += " " + cell(t[at(i)].*member);
        line(row);
    }
}

std::string quality_cell(std::int8_t v) { return v == kNoQualityValue ? "-" : fmt::format("{:+d}", v); }

void print_quality(const Horoscope& h) {
    const PlanetQualityTable& q = h.strengths.quality;
    line();
    line(text(Str::QualityTitle));
    std::string head = fmt::format("{:<12}", "");
    for (int k = 0; k < kQualityCrossChecks; ++k) head += fmt::format("{:>6}", text(quality_cross_check_label(k)));
    line(head, fmt::format("{:>7}", text(Str::QualityAverage)));
    for (int p = 0; p < kPlanetRows; ++p) {
        if (!std::isfinite(q.average[at(p)])) continue;
        std::string row = fmt::format("{:<12}", planet_name(p));
        for (int k = 0; k < kQualityCrossChecks; ++k) row += fmt::format("{:>6}", quality_cell(q.values[at(p)][at(k)]));
        line(row, fmt::format("{:>7.2f}", q.average[at(p)]));
    }
}

void print_ashtakavarga(const Horoscope& h) {
    const BinduTable& t = h.bindus;
    line();
    line(text(Str::AshtakaTitle));
    line(text(Str::AshtakaBindusTitle));
    std::string head = fmt::format("{:<12}", "");
    for (int p = 0; p < kStrengthPlanets; ++p) head += fmt::format("{:>7}", planet_name(p, true));
    line(head, fmt::format("{:>8}", text(Str::AshtakaTotal)));
    for (int s = 0; s < 12; ++s) {
        std::string row = fmt::format("{:<12}", sign_name(s));
        for (int p = 0; p <= kStrengthPlanets; ++p) {
            const BinduCount& b = t[at(s)][at(p)];
            std::string pair = fmt::format("{}/{}", b.before, b.after);
            row += p == kStrengthPlanets ? fmt::format("{:>8}", pair) : fmt::format("{:>7}", pair);
        }
        line(row);
    }
    line(text(Str::AshtakaCheckLine), " ", bindus_total_before(t));
    line();
    const int asc = ascendant_sign(h);
    line(text(Str::AshtakaQualityTitle), " (", sign_name(asc), ")");
    for (int p = 0; p < kStrengthPlanets; ++p) {
        AshtakavargaQuality q = ashtakavarga_quality(p, asc);
        std::string words(quality_code_text(q.quality));
        std::string_view killer = killer_code_text(q.killer);
        if (!killer.empty()) words += (words.empty() ? "" : " ") + std::string(killer);
        line(words.empty() ? std::string(planet_name(p)) : fmt::format("{:<12}{}", planet_name(p), words));
    }
}

}  // namespace

void print_strengths_text(const Horoscope& h) {
    print_planet_strengths(h);
    print_house_strengths(h);
    print_quality(h);
    print_ashtakavarga(h);
}

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
