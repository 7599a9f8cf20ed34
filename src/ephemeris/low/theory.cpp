#include "ephemeris/low/theory.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "ephemeris/low/series_tables.h"

namespace tellurim::ephlow {
namespace {

constexpr double kDaysPerMillennium = 365250.0;
constexpr double kDaysPerCentury = 36525.0;

const VsopBody& vsop_body(VsopPlanet p) {
    switch (p) {
        case VsopPlanet::Mercury: return kVsopMercury;
        case VsopPlanet::Venus: return kVsopVenus;
        case VsopPlanet::Earth: return kVsopEarth;
        case VsopPlanet::Mars: return kVsopMars;
        case VsopPlanet::Jupiter: return kVsopJupiter;
        case VsopPlanet::Saturn: return kVsopSaturn;
        case VsopPlanet::Uranus: return kVsopUranus;
        case VsopPlanet::Neptune: return kVsopNeptune;
    }
    return kVsopEarth;
}

// One VSOP87 coordinate sum_k tau^k S_k(tau) and its derivative by tau. The derivative
// costs no extra trigonometry: sin and cos of the same argument come from one sincos.
void vsop_coordinate(const VsopSeries (&series)[6], double tau, double& value, double& rate) {
    double v = 0.0;
    double r = 0.0;
    double tau_k = 1.0;      // tau^k
    double tau_k_1 = 0.0;    // k tau^(k-1)
    for (int k = 0; k < 6; ++k) {
        const VsopSeries& s = series[k];
        if (s.count > 0) {
            Double2 sum2 = {0.0, 0.0};
            Double2 dsum2 = {0.0, 0.0};
            for (int i = 0; i < s.count; ++i) {
                const VsopPair& p = s.pairs[i];
                const Double2 a = load2(p.a);
                const Double2 c = load2(p.c);
                const SinCos2 sc = series_sincos2(load2(p.b) + c * tau);
                sum2 += a * sc.cos;
                dsum2 -= a * c * sc.sin;
            }
            const double sum = sum2[0] + sum2[1];
            const double dsum = dsum2[0] + dsum2[1];
            v += tau_k * sum;
            r += tau_k * dsum + tau_k_1 * sum;
        }
        tau_k_1 = (k + 1) * tau_k;
        tau_k *= tau;
    }
    value = v;
    rate = r;
}

// Rectangular state from spherical coordinates and their rates.
State spherical_state(double l, double b, double r, double dl, double db, double dr) {
    const SinCos lsc = fast_sincos(l);
    const SinCos bsc = fast_sincos(b);
    const double cl = lsc.cos, sl = lsc.sin, cb = bsc.cos, sb = bsc.sin;
    State s;
    s.pos = {r * cb * cl, r * cb * sl, r * sb};
    s.vel = {dr * cb * cl - r * sb * db * cl - r * cb * sl * dl,
             dr * cb * sl - r * sb * db * sl + r * cb * cl * dl,
             dr * sb + r * cb * db};
    return s;
}

// Meeus (37.1): rates of J, S and P, degrees a century.
constexpr double kJRate = 3034.9057, kSRate = 1222.1138, kPRate = 144.96;

// Meeus's tables 37.A, 47.A and 47.B column by column, padded to an even count with terms
// of amplitude 0, so that the vector sincos takes the terms two at a time.
constexpr std::size_t even(std::size_t n) { return n + n % 2; }

struct PlutoColumns {
    static constexpr std::size_t size = even(std::size(kPluto));
    double i[size]{}, j[size]{}, k[size]{}, rate[size]{};
    double lon_a[size]{}, lon_b[size]{}, lat_a[size]{}, lat_b[size]{}, r_a[size]{}, r_b[size]{};
};
constexpr PlutoColumns pluto_columns() {
    PlutoColumns c;
    for (std::size_t n = 0; n < std::size(kPluto); ++n) {
        const PlutoTerm& t = kPluto[n];
        c.i[n] = t.i;
        c.j[n] = t.j;
        c.k[n] = t.k;
        c.rate[n] = (t.i * kJRate + t.j * kSRate + t.k * kPRate) * kRadPerDeg;
        c.lon_a[n] = t.lon_a;
        c.lon_b[n] = t.lon_b;
        c.lat_a[n] = t.lat_a;
        c.lat_b[n] = t.lat_b;
        c.r_a[n] = t.r_a;
        c.r_b[n] = t.r_b;
    }
    return c;
}
constexpr PlutoColumns kPlutoColumns = pluto_columns();

// A lunar term's multiples of D, M, M', F; e1 and e2 are 1 when |multiple of M| is 1 or 2,
// which selects the factor E or E^2 of (47.6); s and r are its sine and cosine amplitudes.
template <std::size_t N>
struct MoonColumns {
    static constexpr std::size_t size = even(N);
    double d[size]{}, m[size]{}, mp[size]{}, f[size]{}, e1[size]{}, e2[size]{}, s[size]{}, r[size]{};
};
template <typename Term, std::size_t N, typename Amplitudes>
constexpr MoonColumns<N> moon_columns(const Term (&terms)[N], Amplitudes amplitudes) {
    MoonColumns<N> c;
    for (std::size_t n = 0; n < N; ++n) {
        const Term& t = terms[n];
        c.d[n] = t.d;
        c.m[n] = t.m;
        c.mp[n] = t.mp;
        c.f[n] = t.f;
        c.e1[n] = (t.m == 1 || t.m == -1) ? 1.0 : 0.0;
        c.e2[n] = (t.m == 2 || t.m == -2) ? 1.0 : 0.0;
        amplitudes(t, c.s[n], c.r[n]);
    }
    return c;
}
constexpr auto kMoonLrColumns = moon_columns(kMoonLr, [](const MoonLrTerm& t, double& s, double& r) {
    s = t.sl;
    r = t.sr;
});
constexpr auto kMoonBColumns = moon_columns(kMoonB, [](const MoonBTerm& t, double& s, double& r) {
    s = t.sb;
    r = 0.0;
});

// The arguments and the eccentricity factors of terms i and i + 1.
struct MoonArguments {
    double d, m, mp, f, e1, e2;  // e1 = E - 1, e2 = E^2 - 1
};
template <std::size_t N>
inline void moon_pair(const MoonColumns<N>& c, std::size_t i, const MoonArguments& a, Double2& arg, Double2& k) {
    arg = load2(c.d + i) * a.d + load2(c.m + i) * a.m + load2(c.mp + i) * a.mp + load2(c.f + i) * a.f;
    k = 1.0 + load2(c.e1 + i) * a.e1 + load2(c.e2 + i) * a.e2;
}

}  // namespace

State vsop_state(VsopPlanet planet, double jd_et) {
    const VsopBody& body = vsop_body(planet);
    const double tau = (jd_et - kJ2000) / kDaysPerMillennium;
    double l, b, r, dl, db, dr;
    vsop_coordinate(body.lbr[0], tau, l, dl);
    vsop_coordinate(body.lbr[1], tau, b, db);
    vsop_coordinate(body.lbr[2], tau, r, dr);
    constexpr double kPerDay = 1.0 / kDaysPerMillennium;
    return spherical_state(l, b, r, dl * kPerDay, db * kPerDay, dr * kPerDay);
}

// Meeus (37.1): the arguments J, S, P are mean longitudes of Jupiter, Saturn and Pluto in
// degrees; the series is a fit to DE200 valid 1885-2099 (0.5" in longitude there).
State pluto_state_j2000(double jd_et) {
    const double t = (jd_et - kJ2000) / kDaysPerCentury;
    const double j = 34.35 + kJRate * t;
    const double s = 50.08 + kSRate * t;
    const double pp = 238.96 + kPRate * t;
    Double2 l2 = {0, 0}, b2 = {0, 0}, r2 = {0, 0}, dl2 = {0, 0}, db2 = {0, 0}, dr2 = {0, 0};
    const PlutoColumns& p = kPlutoColumns;
    for (std::size_t i = 0; i < p.size; i += 2) {
        const Double2 arg = (load2(p.i + i) * j + load2(p.j + i) * s + load2(p.k + i) * pp) * kRadPerDeg;
        const Double2 rate = load2(p.rate + i);  // rad/century
        const SinCos2 sc = series_sincos2(arg);
        const Double2 lon_a = load2(p.lon_a + i), lon_b = load2(p.lon_b + i);
        const Double2 lat_a = load2(p.lat_a + i), lat_b = load2(p.lat_b + i);
        const Double2 r_a = load2(p.r_a + i), r_b = load2(p.r_b + i);
        l2 += lon_a * sc.sin + lon_b * sc.cos;
        b2 += lat_a * sc.sin + lat_b * sc.cos;
        r2 += r_a * sc.sin + r_b * sc.cos;
        dl2 += (lon_a * sc.cos - lon_b * sc.sin) * rate;
        db2 += (lat_a * sc.cos - lat_b * sc.sin) * rate;
        dr2 += (r_a * sc.cos - r_b * sc.sin) * rate;
    }
    double l = l2[0] + l2[1], b = b2[0] + b2[1], r = r2[0] + r2[1];
    double dl = dl2[0] + dl2[1], db = db2[0] + db2[1], dr = dr2[0] + dr2[1];
    l = (l + 238.958116 + kPRate * t) * kRadPerDeg;
    b = (b - 3.908239) * kRadPerDeg;
    r += 40.7241346;
    dl = (dl * kRadPerDeg + kPRate * kRadPerDeg) / kDaysPerCentury;
    db = db * kRadPerDeg / kDaysPerCentury;
    dr = dr / kDaysPerCentury;
    return spherical_state(l, b, r, dl, db, dr);
}

// Meeus ch. 47. The full ELP-2000/82 has thousands of terms; these 60 + 60 of the largest,
// with the additive terms A1..A3 (Venus, Jupiter and the flattening of the Earth), give
// about 10" in longitude and 4" in latitude over several centuries around 2000.
MoonPosition moon_position(double jd_et) {
    const double t = (jd_et - kJ2000) / kDaysPerCentury;
    // mean longitude L', elongation D, anomalies M (Sun) and M' (Moon), argument of latitude F:
    // (47.1) to (47.5), degrees
    const double lp = horner_poly(t, {218.3164477, 481267.88123421, -0.0015786, 1.0 / 538841, -1.0 / 65194000}) * kRadPerDeg;
    const double d = horner_poly(t, {297.8501921, 445267.1114034, -0.0018819, 1.0 / 545868, -1.0 / 113065000}) * kRadPerDeg;
    const double m = horner_poly(t, {357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000}) * kRadPerDeg;
    const double mp = horner_poly(t, {134.9633964, 477198.8675055, 0.0087414, 1.0 / 69699, -1.0 / 14712000}) * kRadPerDeg;
    const double f = horner_poly(t, {93.2720950, 483202.0175233, -0.0036539, -1.0 / 3526000, 1.0 / 863310000}) * kRadPerDeg;
    const double a1 = (119.75 + 131.849 * t) * kRadPerDeg;
    const double a2 = (53.09 + 479264.290 * t) * kRadPerDeg;
    const double a3 = (313.45 + 481266.484 * t) * kRadPerDeg;
    // (47.6): the decreasing eccentricity of the Earth's orbit scales the terms in M.
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t * t;

    const auto sin = [](double x) { return fast_sincos(x).sin; };
    double sl = 3958 * sin(a1) + 1962 * sin(lp - f) + 318 * sin(a2);
    const MoonArguments args{d, m, mp, f, e - 1.0, e * e - 1.0};
    Double2 sl2 = {0, 0}, sr2 = {0, 0}, sb2 = {0, 0};
    for (std::size_t i = 0; i < kMoonLrColumns.size; i += 2) {
        Double2 arg, k;
        moon_pair(kMoonLrColumns, i, args, arg, k);
        const SinCos2 sc = series_sincos2(arg);
        sl2 += load2(kMoonLrColumns.s + i) * k * sc.sin;
        sr2 += load2(kMoonLrColumns.r + i) * k * sc.cos;
    }
    for (std::size_t i = 0; i < kMoonBColumns.size; i += 2) {
        Double2 arg, k;
        moon_pair(kMoonBColumns, i, args, arg, k);
        sb2 += load2(kMoonBColumns.s + i) * k * series_sincos2(arg).sin;
    }
    sl += sl2[0] + sl2[1];
    const double sr = sr2[0] + sr2[1];
    double sb = -2235 * sin(lp) + 382 * sin(a3) + 175 * sin(a1 - f) + 175 * sin(a1 + f) + 127 * sin(lp - mp) -
                115 * sin(lp + mp) + (sb2[0] + sb2[1]);
    MoonPosition pos;
    pos.lon = lp + sl * 1e-6 * kRadPerDeg;
    pos.lat = sb * 1e-6 * kRadPerDeg;
    pos.distance_km = 385000.56 + sr * 1e-3;
    return pos;
}

}  // namespace tellurim::ephlow
