#include "sky/equation_of_time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tellurim {
namespace {

TEST(EquationOfTime, AgainstPublishedValues) {
    // Mean minus apparent solar time, in minutes of time. Sources: J. Meeus, Astronomical
    // Algorithms, 2nd ed., example 28.a (1992 October 13.0 TD: apparent - mean = +13m 42.6s);
    // the Astronomical Almanac's yearly extremes (about +14m 14s near 11 February, -16m 25s
    // near 3 November). Tolerance 0.1 minute (6 s): the series and the mean obliquity.
    struct Row { const char* when; double jd; double minutes; };
    const Row rows[] = {
        {"1992-10-13 0h TD", 2448908.5, -13.71},
        {"2000-02-11 0h", 2451585.5, 14.22},
        {"2000-11-03 0h", 2451851.5, -16.42},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.when);
        EXPECT_NEAR(equation_of_time_deg(r.jd) * 4.0, r.minutes, 0.1);
    }
    EXPECT_EQ(equation_of_time_deg(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace tellurim
