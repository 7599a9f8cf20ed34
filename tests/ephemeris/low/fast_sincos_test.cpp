// The provider's own sine and cosine against the C library's, over the arguments the
// series produce (VSOP87 frequencies up to about 1e5 rad a millennium, times |tau| <= 4).
#include <gtest/gtest.h>

#include <array>
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

class FastSinCos : public ::testing::TestWithParam<SinCosRange> {
protected:
    // Largest error of f's two lanes against the library, over samples at irrational steps
    // so that they fall anywhere within the quadrants (the lanes take different quadrants).
    template <class F>
    static double worst_error(F f) {
        const SinCosRange r = GetParam();
        double worst = 0.0;
        for (int i = 0; i <= 20000; ++i) {
            const double x0 = r.from + (r.to - r.from) * std::fmod(i * 0.6180339887498949, 1.0);
            const double x1 = r.from + (r.to - r.from) * std::fmod(i * 0.4142135623730950, 1.0);
            const SinCos2 sc = f(x0, x1);
            worst = std::max({worst, std::fabs(sc.sin[0] - std::sin(x0)), std::fabs(sc.cos[0] - std::cos(x0)),
                              std::fabs(sc.sin[1] - std::sin(x1)), std::fabs(sc.cos[1] - std::cos(x1))});
        }
        return worst;
    }
};

TEST_P(FastSinCos, AgreesWithTheLibrary) {
    const double worst = worst_error([](double x0, double x1) {
        const SinCos a = fast_sincos(x0), b = fast_sincos(x1);
        return SinCos2{Double2{a.sin, b.sin}, Double2{a.cos, b.cos}};
    });
    EXPECT_LE(worst, GetParam().tolerance);
}

TEST_P(FastSinCos, TwoLanesAgreeWithTheLibrary) {
    EXPECT_LE(worst_error([](double x0, double x1) { return fast_sincos2(Double2{x0, x1}); }), GetParam().tolerance);
}

// The short polynomials of the series: 1.2e-10 at pi/4, plus the reduction's rounding.
TEST_P(FastSinCos, ShortPolynomialsWithinTheirBound) {
    EXPECT_LE(worst_error([](double x0, double x1) { return series_sincos2(Double2{x0, x1}); }),
              1.2e-10 + GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(Ranges, FastSinCos,
                         ::testing::Values(SinCosRange{-7.0, 7.0, 2e-15}, SinCosRange{-1e3, 1e3, 1e-12},
                                           SinCosRange{-1e5, 1e5, 1e-10}, SinCosRange{-6e5, 6e5, 5e-10}));

TEST(FastSinCosEdges, QuadrantBoundariesAndSigns) {
    const double pi = 3.14159265358979323846;
    for (int k = -8; k <= 8; ++k) {
        for (double eps : {-1e-9, 0.0, 1e-9}) {
            const double x = k * pi / 4 + eps;
            SCOPED_TRACE(x);
            const SinCos sc = fast_sincos(x);
            const SinCos2 sc2 = fast_sincos2(Double2{x, -x});
            using Lane = std::array<double, 3>;  // sine, cosine, expected sine
            for (auto [s, c, want_s] : {Lane{sc.sin, sc.cos, std::sin(x)}, Lane{sc2.sin[0], sc2.cos[0], std::sin(x)},
                                        Lane{sc2.sin[1], sc2.cos[1], -std::sin(x)}}) {
                EXPECT_NEAR(s, want_s, 2e-15);
                EXPECT_NEAR(c, std::cos(x), 2e-15);
            }
        }
    }
    const SinCos zero = fast_sincos(0.0);
    EXPECT_EQ(zero.sin, 0.0);
    EXPECT_EQ(zero.cos, 1.0);
}

// The two-lane atan2 against the library's, all around the circle and at a range of sizes.
TEST(FastAtan2, AgreesWithTheLibrary) {
    double worst = 0.0;
    for (int i = 0; i < 20000; ++i) {
        const double angle = 2 * kPi * std::fmod(i * 0.6180339887498949, 1.0) - kPi;
        const double radius = std::pow(10.0, 8.0 * std::fmod(i * 0.4142135623730950, 1.0) - 4.0);
        const double y = radius * std::sin(angle), x = radius * std::cos(angle);
        const Double2 a = fast_atan2(Double2{y, x}, Double2{x, y});
        worst = std::max({worst, std::fabs(a[0] - std::atan2(y, x)), std::fabs(a[1] - std::atan2(x, y))});
    }
    EXPECT_LE(worst, 1e-15);
}

TEST(FastAtan2, AxesOctantsAndZero) {
    const double values[] = {-2.0, -1.0, -0.5, -0.0, 0.0, 0.5, 1.0, 2.0};
    for (double y : values) {
        for (double x : values) {
            if (x == 0.0 && std::signbit(x)) continue;  // -0 counts as +0 here, unlike the library
            const Double2 a = fast_atan2(Double2{y, y}, Double2{x, x});
            EXPECT_NEAR(a[0], std::atan2(y, x), 1e-15) << y << " " << x;
            EXPECT_EQ(std::signbit(a[0]), std::signbit(std::atan2(y, x))) << y << " " << x;
        }
    }
}

}  // namespace
}  // namespace tellurim::ephlow
