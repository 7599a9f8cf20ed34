// The 729 antara periods of the Vimshottari cycle.
#include <gtest/gtest.h>

#include <numeric>

#include "astro/dasa_table.h"

namespace tellurim {
namespace {

DasaTable built(double year_length) {
    DasaTable t;
    build_dasa_table(t, DasaTable::default_zero_date(), year_length);
    return t;
}

// Lords of a few entries, (dasa, bhukti, antara) counted from the entry's position.
struct LordsCase { int position; int dasa, bhukti, antara; };

TEST(DasaTable, LordsFollowTheCycleOrder) {
    const LordsCase cases[] = {
        {0, kKethu, kKethu, kKethu},         // the cycle opens with Kethu
        {1, kKethu, kKethu, kVenus},
        {8, kKethu, kKethu, kMercury},
        {9, kKethu, kVenus, kVenus},         // bhukti 1 starts its antaras at its own lord
        {10, kKethu, kVenus, kSun},
        {81, kVenus, kVenus, kVenus},
        {80, kKethu, kMercury, kSaturn},     // (0, 8, 8): antara lord 16 mod 9 = 7
        {728, kMercury, kSaturn, kJupiter},  // (8, 8, 8): lords 8, 7, 6
    };
    DasaTable t = built(365.25);
    for (const LordsCase& c : cases) {
        SCOPED_TRACE(c.position);
        const DasaPeriod& p = t.periods[static_cast<std::size_t>(c.position)];
        EXPECT_EQ(p.dasa_lord, c.dasa);
        EXPECT_EQ(p.bhukti_lord, c.bhukti);
        EXPECT_EQ(p.antara_lord, c.antara);
    }
}

// Bhukti lengths in the published Vimshottari tables, with 360-day years and 30-day months
// (B. V. Raman, "Hindu Predictive Astrology", table of sub-periods): Kethu-Kethu 4 months 27
// days, Venus-Venus 3 years 4 months, Sun-Sun 3 months 18 days, Saturn-Mercury 2 years 8
// months 9 days.
TEST(DasaTable, BhuktiLengthsMatchThePublishedTables) {
    DasaTable t = built(360.0);
    auto bhukti_days = [&t](int dasa, int bhukti) {
        std::size_t first = static_cast<std::size_t>(81 * dasa + 9 * bhukti);
        double sum = 0.0;
        for (std::size_t k = 0; k < 9; ++k) sum += t.periods[first + k].duration_days;
        return sum;
    };
    EXPECT_NEAR(bhukti_days(0, 0), 4 * 30 + 27, 1e-9);
    EXPECT_NEAR(bhukti_days(1, 0), 3 * 360 + 4 * 30, 1e-9);
    EXPECT_NEAR(bhukti_days(2, 0), 3 * 30 + 18, 1e-9);
    EXPECT_NEAR(bhukti_days(7, 1), 2 * 360 + 8 * 30 + 9, 1e-9);
}

}  // namespace
}  // namespace tellurim
