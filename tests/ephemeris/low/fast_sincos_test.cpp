// The provider's own sine and cosine against the C library's, over the arguments the
// series produce (VSOP87 frequencies up to about 1e5 rad a millennium, times |tau| <= 4).
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "ephemeris/low/theory.h"

namespace tellurim::ephlow {
namespace {

struct SinCosRange {
    double from, to;
    double tolerance;  // absolute; the reduction loses about 1e-16 per unit of |x|
};

void PrintTo(const SinCosRange& r, std::ostream* os) { *os << "[" << r.from << ", " << r.to << "]"; }

class FastSinCos : public ::testing::TestWithParam<SinCosRange> {};

TEST_P(FastSinCos, AgreesWithTheLibrary) {
    const SinCosRange r = GetParam();
    constexpr int kSteps = 20000;
    double worst = 0.0;
    for (int i = 0; i <= kSteps; ++i) {
        // an irrational step so that the samples fall anywhere within the quadrants
        const double x = r.from + (r.to - r.from) * std::fmod(i * 0.6180339887498949, 1.0);
        const SinCos sc = fast_sincos(x);
        worst = std::max({worst, std::fabs(sc.sin - std::sin(x)), std::fabs(sc.cos - std::cos(x))});
    }
    EXPECT_LE(worst, r.tolerance) << "over [" << r.from << ", " << r.to << "]";
}

INSTANTIATE_TEST_SUITE_P(Ranges, FastSinCos,
                         ::testing::Values(SinCosRange{-7.0, 7.0, 2e-15}, SinCosRange{-1e3, 1e3, 1e-12},
                                           SinCosRange{-1e5, 1e5, 1e-10}, SinCosRange{-6e5, 6e5, 5e-10}));

TEST(FastSinCosEdges, QuadrantBoundariesAndSigns) {
    const double pi = 3.14159265358979323846;
    for (int k = -8; k <= 8; ++k) {
        for (double eps : {-1e-9, 0.0, 1e-9}) {
            const double x = k * pi / 4 + eps;
            const SinCos sc = fast_sincos(x);
            EXPECT_NEAR(sc.sin, std::sin(x), 2e-15) << x;
            EXPECT_NEAR(sc.cos, std::cos(x), 2e-15) << x;
        }
    }
    const SinCos zero = fast_sincos(0.0);
    EXPECT_EQ(zero.sin, 0.0);
    EXPECT_EQ(zero.cos, 1.0);
}

}  // namespace
}  // namespace tellurim::ephlow
