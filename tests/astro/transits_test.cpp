// The exact transit search against a brute-force scan: the same events, none missed, none
// doubled, at the same moments. Both read Swiss Ephemeris, so that only the search differs.
#include "astro/transits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "base/planet_position.h"
#include "sky/spherical.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace tellurim {
namespace {

#ifdef TELLURIM_HAVE_SWE
int swe_body(int planet) {
    switch (planet) {
        case kUranus: return SE_URANUS;
        case kNeptune: return SE_NEPTUNE;
        case kPluto: return SE_PLUTO;
        case kRahu: return SE_TRUE_NODE;  // turns back every week or two
        default: return planet;  // Sun to Saturn share their numbers
    }
}

double swe_lon(int planet, double jd_et) {
    double x[6];
    char err[256] = {};
    if (swe_calc(jd_et, swe_body(planet), SEFLG_SWIEPH, x, err) < 0) ADD_FAILURE() << err;
    return x[0];
}

class SweLongitudes : public LongitudeSource {
public:
    bool longitudes(double jd_et, std::span<const int> planets, std::span<double> lon) override {
        for (std::size_t i = 0; i < planets.size(); ++i) lon[i] = swe_lon(planets[i], jd_et);
        ++calls;
        return true;
    }
    int calls = 0;
};

double signed_diff(double a, double b) {
    double d = reduce_degrees(a - b);
    return d > 180.0 ? d - 360.0 : d;
}

// Every sign change of (longitude - aspect point) between samples 10 minutes apart, then
// bisected to a millisecond.
std::vector<TransitEvent> brute_force(const TransitRequest& r) {
    constexpr double kStep = 10.0 / 1440.0;
    std::vector<TransitEvent> out;
    for (int body : r.bodies) {
        std::vector<double> lon;
        const int n = static_cast<int>(std::ceil((r.to_jd_et - r.from_jd_et) / kStep));
        for (int k = 0; k <= n; ++k) lon.push_back(swe_lon(body, std::min(r.from_jd_et + k * kStep, r.to_jd_et)));
        for (std::size_t p = 0; p < r.points.size(); ++p)
            for (std::size_t a = 0; a < r.aspects.size(); ++a) {
                const double angle = r.aspects[a].angle_deg;
                std::vector<double> aims{r.points[p].lon_deg + angle};
                if (angle > 0.0 && angle < 180.0) aims.push_back(r.points[p].lon_deg - angle);
                for (double aim : aims)
                    for (int k = 0; k < n; ++k) {
                        const double f0 = signed_diff(lon[k], aim);
                        const double f1 = signed_diff(lon[k + 1], aim);
                        if (std::fabs(f0 - f1) > 90.0 || (f0 < 0.0) == (f1 < 0.0)) continue;
                        double lo = r.from_jd_et + k * kStep;
                        double hi = std::min(lo + kStep, r.to_jd_et);
                        while (hi - lo > 1e-8) {
                            const double mid = 0.5 * (lo + hi);
                            ((signed_diff(swe_lon(body, mid), aim) < 0.0) == (f0 < 0.0) ? lo : hi) = mid;
                        }
                        out.push_back({0.5 * (lo + hi), body, a, r.points[p].planet, f1 < f0});
                    }
            }
    }
    std::sort(out.begin(), out.end(), [](const TransitEvent& x, const TransitEvent& y) { return x.jd_et < y.jd_et; });
    return out;
}

// March to June 2024, with Mercury retrograde from 1 to 25 April between 15.97 and 27.22
// degrees of Aries: a natal Sun at 20 Aries is passed three times. The true node, which
// turns back every week or two, is among the bodies.
TEST(Transits, SameEventsAsABruteForceScan) {
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    TransitRequest r;
    r.from_jd_et = 2460370.5;  // 2024-03-01
    r.to_jd_et = 2460491.5;    // 2024-06-30
    r.bodies = default_transiting_bodies();
    r.bodies.push_back(kRahu);
    std::mt19937 rng(23);
    r.points.push_back({kSun, 20.0});
    for (int p : {kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto, kAscendant, kMidheaven})
        r.points.push_back({p, 360.0 * (rng() / 4294967296.0)});
    // Points on the node's path, which its wobble of about 1.5 degrees crosses back and forth;
    // the second is its longitude at one of the search's sample moments.
    r.points.push_back({kFortune, swe_lon(kRahu, 0.5 * (r.from_jd_et + r.to_jd_et) + 0.123)});
    r.points.push_back({kGulika, swe_lon(kRahu, 0.5 * (r.from_jd_et + r.to_jd_et))});
    r.aspects = {{"Conjunction", 0}, {"Sextil", 60}, {"Square", 90}, {"Trine", 120}, {"Opposition", 180}};

    SweLongitudes swe;
    auto found = find_transits(swe, r);
    ASSERT_TRUE(found);
    const std::vector<TransitEvent> expected = brute_force(r);
    ASSERT_EQ(found->size(), expected.size());
    double worst_moon = 0, worst_other = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TransitEvent& e = expected[i];
        const TransitEvent& f = (*found)[i];
        SCOPED_TRACE(testing::Message() << i << ": JD " << e.jd_et << " body " << e.transiting << " natal " << e.natal
                                        << " aspect " << e.aspect);
        EXPECT_EQ(f.transiting, e.transiting);
        EXPECT_EQ(f.natal, e.natal);
        EXPECT_EQ(f.aspect, e.aspect);
        EXPECT_EQ(f.retrograde, e.retrograde);
        const double seconds = std::fabs(f.jd_et - e.jd_et) * 86400.0;
        (e.transiting == kMoon ? worst_moon : worst_other) = std::max(e.transiting == kMoon ? worst_moon : worst_other, seconds);
        EXPECT_LT(seconds, e.transiting == kMoon ? 1.0 : 10.0);
    }
    int mercury_on_sun = 0, node_on_point = 0;
    for (const TransitEvent& e : *found) {
        mercury_on_sun += e.transiting == kMercury && e.natal == kSun && e.aspect == 0;
        node_on_point += e.transiting == kRahu && e.natal == kFortune && e.aspect == 0;
    }
    EXPECT_EQ(mercury_on_sun, 3);
    EXPECT_GE(node_on_point, 3);
    std::printf("%zu events (%d of the node on its point); worst %.3f s (Moon), %.3f s (others); %d calls of the source\n",
                found->size(), node_on_point, worst_moon, worst_other, swe.calls);
    swe_close();
}
#endif

TEST(Transits, Refusals) {
    class Never : public LongitudeSource {
        bool longitudes(double, std::span<const int>, std::span<double>) override { return false; }
    } never;
    TransitRequest r{2460000.5, 2460010.5, {kSun}, {{kMoon, 10.0}}, {{"Conjunction", 0}}};
    EXPECT_FALSE(find_transits(never, r));
    TransitRequest backwards = r;
    std::swap(backwards.from_jd_et, backwards.to_jd_et);
    EXPECT_FALSE(find_transits(never, backwards));
    TransitRequest no_body = r;
    no_body.bodies = {kAscendant};
    EXPECT_FALSE(find_transits(never, no_body));
}

}  // namespace
}  // namespace tellurim
