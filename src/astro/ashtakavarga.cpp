#include "astro/ashtakavarga.h"

#include <algorithm>

#include "base/strings.h"

namespace tellurim {
namespace {

constexpr std::int8_t E = -1;  // end of a shorter list

// Places counted from the contributor's sign, 0 = its own sign (the classical tables count
// from 1: place 1 here is 0). Rows: the Ashtakavarga of Sun .. Saturn; columns: the
// contributors Sun, Moon, Mercury, Venus, Mars, Jupiter, Saturn, Ascendant.
// Totals per row: Sun 48, Moon 49, Mercury 54, Venus 52, Mars 39, Jupiter 56, Saturn 39.
constexpr std::array<std::array<BinduPlaces, kBinduContributors>, kStrengthPlanets> kPlaces{{
    // --- Sun ----------------------------------------------------------------------------
    {{{0, 1, 3, 6, 7, 8, 9, 10, E},
      {2, 5, 9, 10, E, E, E, E, E},
      {2, 4, 5, 8, 9, 10, 11, E, E},
      {5, 6, 11, E, E, E, E, E, E},
      {0, 1, 3, 6, 7, 8, 9, 10, E},
      {4, 5, 8, 10, E, E, E, E, E},
      {0, 1, 3, 6, 7, 8, 9, 10, E},
      {2, 3, 5, 9, 10, 11, E, E, E}}},
    // --- Moon ---------------------------------------------------------------------------
    {{{2, 5, 6, 7, 9, 10, E, E, E},
      {0, 2, 5, 6, 9, 10, E, E, E},
      {0, 2, 3, 4, 6, 7, 9, 10, E},
      {2, 3, 4, 6, 8, 9, 10, E, E},
      {1, 2, 4, 5, 8, 9, 10, E, E},
      {0, 3, 6, 7, 9, 10, 11, E, E},
      {2, 4, 5, 10, E, E, E, E, E},
      {2, 5, 9, 10, E, E, E, E, E}}},
    // --- Mercury ------------------------------------------------------------------------
    {{{4, 5, 8, 10, 11, E, E, E, E},
      {1, 3, 5, 7, 9, 10, E, E, E},
      {0, 2, 4, 5, 8, 9, 10, 11, E},
      {0, 1, 2, 3, 4, 7, 8, 10, E},
      {0, 1, 3, 6, 7, 8, 9, 10, E},
      {5, 7, 10, 11, E, E, E, E, E},
      {0, 1, 3, 6, 7, 8, 9, 10, E},
      {0, 1, 3, 5, 7, 9, 10, E, E}}},
    // --- Venus --------------------------------------------------------------------------
    {{{7, 10, 11, E, E, E, E, E, E},
      {0, 1, 2, 3, 4, 7, 8, 10, 11},
      {2, 4, 5, 8, 10, E, E, E, E},
      {0, 1, 2, 3, 4, 7, 8, 9, 10},
      {2, 4, 5, 8, 10, 11, E, E, E},
      {4, 7, 8, 9, 10, E, E, E, E},
      {2, 3, 4, 7, 8, 9, 10, E, E},
      {0, 1, 2, 3, 4, 7, 8, 10, E}}},
    // --- Mars ---------------------------------------------------------------------------
    {{{2, 4, 5, 9, 10, E, E, E, E},
      {2, 5, 10, E, E, E, E, E, E},
      {2, 4, 5, 10, E, E, E, E, E},
      {5, 7, 10, 11, E, E, E, E, E},
      {0, 1, 3, 6, 7, 9, 10, E, E},
      {5, 9, 10, 11, E, E, E, E, E},
      {0, 3, 6, 7, 8, 9, 10, E, E},
      {0, 2, 5, 9, 10, E, E, E, E}}},
    // --- Jupiter ------------------------------------------------------------------------
    {{{0, 1, 2, 3, 6, 7, 8, 9, 10},
      {1, 4, 6, 8, 10, E, E, E, E},
      {0, 1, 3, 4, 5, 8, 9, 10, E},
      {1, 4, 5, 8, 9, 10, E, E, E},
      {0, 1, 3, 6, 7, 9, 10, E, E},
      {0, 1, 2, 3, 6, 7, 9, 10, E},
      {2, 4, 5, 11, E, E, E, E, E},
      {0, 1, 3, 4, 5, 6, 8, 9, 10}}},
    // --- Saturn -------------------------------------------------------------------------
    {{{0, 1, 3, 6, 7, 9, 10, E, E},
      {2, 5, 10, E, E, E, E, E, E},
      {5, 7, 8, 9, 10, 11, E, E, E},
      {5, 10, 11, E, E, E, E, E, E},
      {2, 4, 5, 9, 10, 11, E, E, E},
      {4, 5, 10, 11, E, E, E, E, E},
      {2, 4, 5, 10, E, E, E, E, E},
      {0, 2, 3, 5, 9, 10, E, E, E}}},
}};

// Quality and killer codes by the Ascendant's rasi sign (rows Aries .. Pisces) and planet
// (columns Sun .. Saturn).
struct QualityCell {
    std::int8_t quality;
    std::int8_t killer;
};
constexpr std::array<std::array<QualityCell, kStrengthPlanets>, 12> kQualities{{
    {{{1, 0}, {0, 0}, {-1, 0}, {-1, -1}, {0, 0}, {1, 0}, {-1, 1}}},    // Aries
    {{{0, 0}, {-1, 0}, {0, 0}, {-1, 0}, {0, 0}, {-1, 0}, {2, 0}}},     // Taurus
    {{{-1, 0}, {0, -1}, {0, 0}, {2, 0}, {-1, 0}, {-1, 0}, {0, 0}}},    // Gemini
    {{{0, -1}, {0, 0}, {-1, 0}, {-1, 0}, {2, 0}, {1, 0}, {0, 0}}},     // Cancer
    {{{0, 0}, {0, 0}, {-1, 0}, {-1, 0}, {2, 0}, {0, 0}, {-1, -1}}},    // Leo
    {{{0, -1}, {-1, 0}, {0, 0}, {2, 0}, {-1, 0}, {0, 0}, {0, 0}}},     // Virgo
    {{{-1, 0}, {0, 0}, {1, 0}, {0, 0}, {-1, -1}, {-1, 0}, {2, 0}}},    // Libra
    {{{0, 0}, {0, 0}, {-1, 0}, {-1, 0}, {0, 0}, {1, -1}, {0, 0}}},     // Scorpio
    {{{1, 0}, {0, 0}, {0, 0}, {-1, 1}, {2, 0}, {1, 0}, {0, -1}}},      // Sagittarius
    {{{0, 0}, {-1, 0}, {1, 0}, {2, 0}, {-1, 0}, {-1, 0}, {0, 0}}},     // Capricornus
    {{{0, 0}, {-1, 0}, {0, 0}, {2, 0}, {1, 0}, {-1, 0}, {0, 0}}},      // Aquarius
    {{{-1, 0}, {1, 0}, {-1, 0}, {-1, 0}, {2, -1}, {1, 0}, {-1, 0}}},   // Pisces
}};

// Signs of one element: fire, earth, air, water.
constexpr std::array<std::array<int, 3>, 4> kTriplets{{{0, 4, 8}, {1, 5, 9}, {2, 6, 10}, {3, 7, 11}}};
// Signs that share a lord: Saturn, Jupiter, Mars, Venus, Mercury. The Sun and the Moon rule
// one sign each, so Leo and Cancer stay as they are.
constexpr std::array<std::array<int, 2>, 5> kSameLord{{{10, 9}, {11, 8}, {0, 7}, {1, 6}, {2, 5}}};

void sum_column(BinduTable& table, bool after) {
    for (auto& sign : table) {
        int sum = 0;
        for (int p = 0; p < kStrengthPlanets; ++p) sum += after ? sign[p].after : sign[p].before;
        auto& total = sign[kBinduSumColumn];
        (after ? total.after : total.before) = static_cast<std::uint8_t>(std::min(sum, 255));
    }
}

}  // namespace

const BinduPlaces& bindu_places(int planet, int contributor) {
    return kPlaces.at(static_cast<std::size_t>(planet)).at(static_cast<std::size_t>(contributor));
}

bool count_bindus(const ContributorSigns& signs, BinduTable& table) {
    table = BinduTable{};
    bool any = false;
    for (int p = 0; p < kStrengthPlanets; ++p) {
        for (int c = 0; c < kBinduContributors; ++c) {
            int r = signs[static_cast<std::size_t>(c)];
            if (r < 0 || r > 11) continue;
            any = true;
            for (std::int8_t k : bindu_places(p, c)) {
                if (k < 0) break;
                auto& n = table[static_cast<std::size_t>((r + k) % 12)][static_cast<std::size_t>(p)].before;
                if (n < 255) ++n;
            }
        }
    }
    if (!any) return false;
    sum_column(table, false);
    for (auto& sign : table)
        for (auto& cell : sign) cell.after = cell.before;
    return true;
}

void trikona_reduction(BinduTable& table) {
    for (int p = 0; p < kStrengthPlanets; ++p) {
        for (const auto& t : kTriplets) {
            std::uint8_t& a = table[static_cast<std::size_t>(t[0])][static_cast<std::size_t>(p)].after;
            std::uint8_t& b = table[static_cast<std::size_t>(t[1])][static_cast<std::size_t>(p)].after;
            std::uint8_t& c = table[static_cast<std::size_t>(t[2])][static_cast<std::size_t>(p)].after;
            int zeros = (a == 0) + (b == 0) + (c == 0);
            if ((a == b && b == c) || zeros >= 2) {
                a = b = c = 0;
            } else if (zeros == 0) {
                std::uint8_t m = std::min({a, b, c});
                a -= m;
                b -= m;
                c -= m;
            }
        }
    }
}

void ekadhipatya_reduction(BinduTable& table, const ContributorSigns& signs) {
    std::array<bool, 12> occupied{};
    for (int s : signs)
        if (s >= 0 && s <= 11) occupied[static_cast<std::size_t>(s)] = true;
    for (int p = 0; p < kStrengthPlanets; ++p) {
        for (const auto& pair : kSameLord) {
            std::uint8_t& a = table[static_cast<std::size_t>(pair[0])][static_cast<std::size_t>(p)].after;
            std::uint8_t& b = table[static_cast<std::size_t>(pair[1])][static_cast<std::size_t>(p)].after;
            if (a == 0 || b == 0) continue;
            bool oa = occupied[static_cast<std::size_t>(pair[0])];
            bool ob = occupied[static_cast<std::size_t>(pair[1])];
            if (!oa && !ob) {
                a = b = (a == b) ? std::uint8_t{0} : std::min(a, b);
            } else if (oa != ob) {
                std::uint8_t& free = oa ? b : a;
                std::uint8_t held = oa ? a : b;
                free = free <= held ? std::uint8_t{0} : held;
            }
        }
    }
    sum_column(table, true);
}

int bindus_total_before(const BinduTable& table) {
    int total = 0;
    for (const auto& sign : table)
        for (int p = 0; p < kStrengthPlanets; ++p) total += sign[static_cast<std::size_t>(p)].before;
    return total;
}

AshtakavargaQuality ashtakavarga_quality(int planet, int ascendant_sign) {
    if (planet < 0 || planet >= kStrengthPlanets || ascendant_sign < 0 || ascendant_sign > 11) return {};
    const QualityCell& c = kQualities[static_cast<std::size_t>(ascendant_sign)][static_cast<std::size_t>(planet)];
    return {c.quality, c.killer};
}

std::string_view quality_code_text(int quality) {
    switch (quality) {
        case 2: return text(Str::AshtakaVeryGood);
        case 1: return text(Str::AshtakaGood);
        case -1: return text(Str::AshtakaBad);
        default: return {};
    }
}

std::string_view killer_code_text(int killer) {
    switch (killer) {
        case 1: return text(Str::AshtakaKilling);
        case -1: return text(Str::AshtakaCannotKill);
        default: return {};
    }
}

}  // namespace tellurim
