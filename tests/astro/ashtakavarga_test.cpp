#include "astro/ashtakavarga.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "astro/planets_signs.h"
#include "common/data_table.h"

namespace tellurim {
namespace {

// A table whose after-reduction counts of one planet are given by sign, the others 0.
BinduTable table_for(int planet, const std::array<int, 12>& counts) {
    BinduTable t{};
    for (int s = 0; s < 12; ++s) t[s][planet].after = static_cast<std::uint8_t>(counts[s]);
    return t;
}

std::array<int, 12> after_counts(const BinduTable& t, int planet) {
    std::array<int, 12> a{};
    for (int s = 0; s < 12; ++s) a[s] = t[s][planet].after;
    return a;
}

// The published contribution table, by planet and contributor: the places of each list
// (counted from 1 in the table, from 0 in the code).
std::array<std::array<std::vector<int>, kBinduContributors>, kStrengthPlanets> published_places() {
    const std::vector<std::string> names = {"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Ascendant"};
    auto index = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    std::array<std::array<std::vector<int>, kBinduContributors>, kStrengthPlanets> places{};
    for (const testing_data::DataRow& row : testing_data::data_rows("hindu/ashtakavarga_places.txt"))
        for (std::size_t i = 2; i < row.size(); ++i) places.at(index(row[0])).at(index(row[1])).push_back(row.integer(i) - 1);
    return places;
}

TEST(Ashtakavarga, ContributionTableCellByCell) {
    const auto published = published_places();
    for (int p = 0; p < kStrengthPlanets; ++p) {
        for (int c = 0; c < kBinduContributors; ++c) {
            SCOPED_TRACE(::testing::Message() << "planet " << p << ", contributor " << c);
            std::vector<int> places;
            for (std::int8_t k : bindu_places(p, c))
                if (k >= 0) places.push_back(k);
            EXPECT_EQ(places, published[p][c]);
        }
    }
}

// Each contributor gives its places counted from its own sign (none when the sign is
// undefined): random signs against the published table counted here; column 7 sums the
// planets, 337 in all when every sign is defined.
TEST(Ashtakavarga, BindusCountFromEachContributorsSign) {
    const auto published = published_places();
    std::mt19937 rng(13);
    std::uniform_int_distribution<int> sign(-1, 11);
    for (int trial = 0; trial < 200; ++trial) {
        ContributorSigns signs{};
        for (int& s : signs) s = sign(rng);
        BinduTable t;
        ASSERT_TRUE(count_bindus(signs, t));
        std::array<std::array<int, kStrengthPlanets>, 12> want{};
        for (int p = 0; p < kStrengthPlanets; ++p)
            for (int c = 0; c < kBinduContributors; ++c)
                for (int k : published[p][c])
                    if (signs[c] >= 0) ++want[(signs[c] + k) % 12][p];
        int total = 0;
        for (int s = 0; s < 12; ++s) {
            int sum = 0;
            for (int p = 0; p < kStrengthPlanets; ++p) {
                ASSERT_EQ(t[s][p].before, want[s][p]) << "sign " << s << ", planet " << p;
                ASSERT_EQ(t[s][p].after, want[s][p]);
                sum += want[s][p];
            }
            ASSERT_EQ(t[s][kBinduSumColumn].before, sum);
            total += sum;
        }
        EXPECT_EQ(bindus_total_before(t), total);
        EXPECT_TRUE(total == kBinduGrandTotal || std::count(signs.begin(), signs.end(), -1) > 0) << total;
    }
    ContributorSigns none;
    none.fill(-1);
    BinduTable t;
    EXPECT_FALSE(count_bindus(none, t));
}

TEST(Ashtakavarga, TrikonaReductionOnHandMadeTriplets) {
    struct Row { std::array<int, 3> in; std::array<int, 3> out; };
    const Row rows[] = {
        {{4, 4, 4}, {0, 0, 0}}, {{5, 0, 3}, {5, 0, 3}}, {{5, 2, 3}, {3, 0, 1}},
        {{0, 0, 6}, {0, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}, {{7, 8, 7}, {0, 1, 0}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.in[0] << " " << r.in[1] << " " << r.in[2]);
        // Fire triplet (Aries, Leo, Sagittarius) of Mars; the earth triplet holds 1 2 3.
        std::array<int, 12> counts{};
        counts[kAries] = r.in[0];
        counts[kLeo] = r.in[1];
        counts[kSagittarius] = r.in[2];
        counts[kTaurus] = 1;
        counts[kVirgo] = 2;
        counts[kCapricornus] = 3;
        BinduTable t = table_for(kMars, counts);
        trikona_reduction(t);
        auto a = after_counts(t, kMars);
        EXPECT_EQ(a[kAries], r.out[0]);
        EXPECT_EQ(a[kLeo], r.out[1]);
        EXPECT_EQ(a[kSagittarius], r.out[2]);
        EXPECT_EQ(a[kTaurus], 0);
        EXPECT_EQ(a[kVirgo], 1);
        EXPECT_EQ(a[kCapricornus], 2);
    }
}

TEST(Ashtakavarga, EkadhipatyaReductionOnHandMadePairs) {
    struct Row {
        const char* what;
        int aries, scorpio;
        bool aries_occupied, scorpio_occupied;
        int aries_after, scorpio_after;
    };
    const Row rows[] = {
        {"occupied Aries keeps, Scorpio takes its count", 3, 5, true, false, 3, 3},
        {"Scorpio at most the occupied count becomes 0", 3, 2, true, false, 3, 0},
        {"equal counts, Scorpio occupied", 4, 4, false, true, 0, 4},
        {"neither occupied, unequal: both the smaller", 3, 5, false, false, 3, 3},
        {"neither occupied, equal: both 0", 4, 4, false, false, 0, 0},
        {"both occupied: unchanged", 3, 5, true, true, 3, 5},
        {"a zero count: unchanged", 0, 5, false, false, 0, 5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        std::array<int, 12> counts{};
        counts[kAries] = r.aries;
        counts[kScorpio] = r.scorpio;
        counts[kCancer] = 6;
        counts[kLeo] = 2;
        BinduTable t = table_for(kJupiter, counts);
        ContributorSigns signs;
        signs.fill(kCancer);  // Cancer occupied, Leo empty: neither may change
        if (r.aries_occupied) signs[0] = kAries;
        if (r.scorpio_occupied) signs[7] = kScorpio;
        ekadhipatya_reduction(t, signs);
        auto a = after_counts(t, kJupiter);
        EXPECT_EQ(a[kAries], r.aries_after);
        EXPECT_EQ(a[kScorpio], r.scorpio_after);
        EXPECT_EQ(a[kCancer], 6);
        EXPECT_EQ(a[kLeo], 2);
        EXPECT_EQ(t[kScorpio][kBinduSumColumn].after, r.scorpio_after);
    }
}

TEST(Ashtakavarga, PerAscendantQualityAndTexts) {
    struct Row { int planet, sign, quality, killer; const char* q; const char* k; };
    const Row rows[] = {
        {kVenus, kAries, -1, -1, "Bad", "Cannot kill even if Maraka"},
        {kSaturn, kAries, -1, 1, "Bad", "Killing power planet especially if Maraka"},
        {kSaturn, kTaurus, 2, 0, "Very good", ""},
        {kMoon, kPisces, 1, 0, "Good", ""},
        {kMoon, kAries, 0, 0, "", ""},
        {kVenus, kSagittarius, -1, 1, "Bad", "Killing power planet especially if Maraka"},
        {kSun, 12, 0, 0, "", ""},
        {7, kAries, 0, 0, "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.planet << " in " << r.sign);
        AshtakavargaQuality q = ashtakavarga_quality(r.planet, r.sign);
        EXPECT_EQ(q.quality, r.quality);
        EXPECT_EQ(q.killer, r.killer);
        EXPECT_EQ(quality_code_text(q.quality), r.q);
        EXPECT_EQ(killer_code_text(q.killer), r.k);
    }
}

}  // namespace
}  // namespace tellurim
