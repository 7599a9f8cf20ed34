// The 729 antara periods of the Vimshottari cycle.
#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "astro/dasa_table.h"
#include "astro/planets_signs.h"
#include "common/data_table.h"

namespace tellurim {
namespace {

DasaTable built(double year_length) {
    DasaTable t;
    build_dasa_table(t, DasaTable::default_zero_date(), year_length);
    return t;
}

// The lords of a few entries, from tests/data/hindu/cases.txt.
TEST(DasaTable, LordsFollowTheCycleOrder) {
    DasaTable t = built(365.25);
    for (const testing_data::DataRow& r : testing_data::data_rows("hindu/cases.txt")) {
        if (r[0] != "dasa-lords") continue;
        const DasaPeriod& p = t.periods.at(static_cast<std::size_t>(r.integer(1)));
        EXPECT_EQ((std::array<int, 3>{p.dasa_lord, p.bhukti_lord, p.antara_lord}),
                  (std::array{planet_from_name(r[2]), planet_from_name(r[3]), planet_from_name(r[4])}))
            << "line " << r.line;
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
