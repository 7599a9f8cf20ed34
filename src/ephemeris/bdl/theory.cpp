#include "ephemeris/bdl/theory.h"

#include <cstring>

#include "base/byte_io.h"

namespace tellurim::ephbdl {
namespace {

constexpr double kDaysPerMillennium = 365250.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kKmPerAuElp = 149597870.7;

// sum_k tau^k S_k(tau) of one VSOP87 coordinate; the short sincos (1.2e-10) costs under
// 1e-5" on the largest amplitudes.
double vsop_coordinate(const VsopSeries (&series)[6], double tau) {
    double v = 0.0;
    double tau_k = 1.0;
    for (int k = 0; k < 6; ++k, tau_k *= tau) {
        const VsopSeries& s = series[k];
        Double2 sum = {0.0, 0.0};
        for (std::size_t i = 0; i < s.a.size(); i += 2) {
            const SinCos2 sc = series_sincos2(load2(&s.b[i]) + load2(&s.c[i]) * tau);
            sum += load2(&s.a[i]) * sc.cos;
        }
        v += tau_k * (sum[0] + sum[1]);
    }
    return v;
}

double elp_coordinate(const ElpSeries (&series)[4], double t) {
    double v = 0.0;
    double t_k = 1.0;
    const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    for (int k = 0; k < 4; ++k, t_k *= t) {
        const ElpSeries& s = series[k];
        Double2 sum = {0.0, 0.0};
        for (std::size_t i = 0; i < s.a.size(); i += 2) {
            const Double2 phase = load2(&s.p[0][i]) + load2(&s.p[1][i]) * t + load2(&s.p[2][i]) * t2 +
                                  load2(&s.p[3][i]) * t3 + load2(&s.p[4][i]) * t4;
            sum += load2(&s.a[i]) * series_sincos2(phase).sin;
        }
        v += t_k * (sum[0] + sum[1]);
    }
    return v;
}

// n little-endian doubles into out, the bounds checked once: the file holds four million.
bool read_doubles(ByteReader& in, std::span<const std::uint8_t> bytes, double* out, std::size_t n) {
    const std::size_t at = in.position();
    if (n > in.remaining() / 8) return false;
    const std::uint8_t* p = bytes.data() + at;
    for (std::size_t i = 0; i < n; ++i, p += 8) {
        std::uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) bits = (bits << 8) | p[b];
        std::memcpy(out + i, &bits, 8);
    }
    in.skip(n * 8);
    return true;
}

double horner(const double* c, int n, double t) {
    double v = 0.0;
    for (int i = n - 1; i >= 0; --i) v = v * t + c[i];
    return v;
}

}  // namespace

State ChebyshevTable::state(double jd) const {
    int seg = static_cast<int>((jd - first_jd) / days);
    if (seg >= segments) seg = segments - 1;
    if (seg < 0) seg = 0;
    const double x = 2.0 * (jd - first_jd - seg * days) / days - 1.0;
    const double* base = c.data() + static_cast<std::size_t>(seg) * 3 * coefficients;
    // Clenshaw for the value; the derivative from T'_k = k U_{k-1}, with U by recurrence.
    double pos[3], vel[3];
    for (int axis = 0; axis < 3; ++axis) {
        const double* a = base + axis * coefficients;
        double b1 = 0, b2 = 0;
        for (int k = coefficients - 1; k >= 1; --k) {
            const double b0 = 2 * x * b1 - b2 + a[k];
            b2 = b1;
            b1 = b0;
        }
        pos[axis] = x * b1 - b2 + a[0];
        double u_prev = 1.0, u = 2 * x;  // U_0, U_1
        double d = coefficients > 1 ? a[1] : 0.0;
        for (int k = 2; k < coefficients; ++k) {
            d += k * a[k] * u;
            const double u_next = 2 * x * u - u_prev;
            u_prev = u;
            u = u_next;
        }
        vel[axis] = d * 2.0 / days;
    }
    return {{pos[0], pos[1], pos[2]}, {vel[0], vel[1], vel[2]}};
}

std::size_t Theories::bytes_held() const {
    std::size_t n = sources.size();
    for (const auto& t : tables) n += t.c.size() * sizeof(double);
    for (const auto& p : vsop)
        for (const auto& c : p)
            for (const auto& s : c) n += (s.a.size() + s.b.size() + s.c.size()) * sizeof(double);
    for (const auto& c : elp)
        for (const auto& s : c) n += s.a.size() * 6 * sizeof(double);
    return n + nutation.size() * sizeof(double) + sizeof(Theories);
}

Vec3 vsop_position(const Theories& t, int planet, double jd) {
    const double tau = (jd - kJ2000) / kDaysPerMillennium;
    const double l = vsop_coordinate(t.vsop[planet][0], tau);
    const double b = vsop_coordinate(t.vsop[planet][1], tau);
    const double r = vsop_coordinate(t.vsop[planet][2], tau);
    const double cb = std::cos(b);
    return {r * cb * std::cos(l), r * cb * std::sin(l), r * std::sin(b)};
}

// ELP/MPP02 (Chapront & Francou 2003): longitude W1 + V, latitude U (arc-seconds), distance
// r (km) in the ecliptic of date and the departure point; Laskar's P and Q then turn the
// vector to the inertial ecliptic and equinox of J2000 (their notice, eqs. for P, Q).
Vec3 elp_position(const Theories& t, double jd) {
    const double big_t = (jd - kJ2000) / kDaysPerCentury;
    const double lon = horner(t.w1, 5, big_t) + elp_coordinate(t.elp[0], big_t) * kRadPerArcsec;
    const double lat = elp_coordinate(t.elp[1], big_t) * kRadPerArcsec;
    const double r = elp_coordinate(t.elp[2], big_t) / kKmPerAuElp;
    const double cb = std::cos(lat);
    const double x = r * cb * std::cos(lon), y = r * cb * std::sin(lon), z = r * std::sin(lat);
    const double p = horner(t.laskar_p, 6, big_t), q = horner(t.laskar_q, 6, big_t);
    const double sq = std::sqrt(1 - p * p - q * q);
    return {(1 - 2 * p * p) * x + 2 * p * q * y + 2 * p * sq * z,
            2 * p * q * x + (1 - 2 * q * q) * y - 2 * q * sq * z,
            -2 * p * sq * x + 2 * q * sq * y + (1 - 2 * p * p - 2 * q * q) * z};
}

// Meeus, ch. 22: the fundamental arguments (degrees) and the table's terms in 0.0001".
void nutation(const Theories& t, double jd, double& dpsi, double& deps) {
    const double c = (jd - kJ2000) / kDaysPerCentury;
    const double d = (297.85036 + c * (445267.111480 + c * (-0.0019142 + c / 189474))) * kRadPerDeg;
    const double m = (357.52772 + c * (35999.050340 + c * (-0.0001603 - c / 300000))) * kRadPerDeg;
    const double mp = (134.96298 + c * (477198.867398 + c * (0.0086972 + c / 56250))) * kRadPerDeg;
    const double f = (93.27191 + c * (483202.017538 + c * (-0.0036825 + c / 327270))) * kRadPerDeg;
    const double om = (125.04452 + c * (-1934.136261 + c * (0.0020708 + c / 450000))) * kRadPerDeg;
    // Two terms a time through the two-lane sine and cosine (the same results as one at a
    // time), the sums taken term by term in the table's order.
    const auto argument = [&](const double* n) { return n[0] * d + n[1] * m + n[2] * mp + n[3] * f + n[4] * om; };
    double sp = 0, se = 0;
    std::size_t i = 0;
    for (; i + 18 <= t.nutation.size(); i += 18) {
        const double* a = &t.nutation[i];
        const double* b = a + 9;
        const SinCos2 sc = fast_sincos2(Double2{argument(a), argument(b)});
        sp += (a[5] + a[6] * c) * sc.sin[0];
        se += (a[7] + a[8] * c) * sc.cos[0];
        sp += (b[5] + b[6] * c) * sc.sin[1];
        se += (b[7] + b[8] * c) * sc.cos[1];
    }
    for (; i + 9 <= t.nutation.size(); i += 9) {
        const double* n = &t.nutation[i];
        const SinCos sc = fast_sincos(argument(n));
        sp += (n[5] + n[6] * c) * sc.sin;
        se += (n[7] + n[8] * c) * sc.cos;
    }
    dpsi = sp * 1e-4 * kRadPerArcsec;
    deps = se * 1e-4 * kRadPerArcsec;
}

void add_term(VsopSeries& s, double a, double b, double c) {
    s.a.push_back(a);
    s.b.push_back(b);
    s.c.push_back(c);
}
void add_term(ElpSeries& s, double a, const double (&p)[5]) {
    s.a.push_back(a);
    for (int i = 0; i < 5; ++i) s.p[i].push_back(p[i]);
}
void pad_even(VsopSeries& s) {
    if (s.a.size() % 2) add_term(s, 0, 0, 0);
}
void pad_even(ElpSeries& s) {
    if (s.a.size() % 2) add_term(s, 0, {0, 0, 0, 0, 0});
}

std::vector<std::uint8_t> write_theories(const Theories& t) {
    ByteWriter w(t.bytes_held());
    w.raw({reinterpret_cast<const std::uint8_t*>(kDataMagic), 16});
    w.u32(static_cast<std::uint32_t>(t.sources.size()));
    w.raw({reinterpret_cast<const std::uint8_t*>(t.sources.data()), t.sources.size()});
    w.u32(kTableCount);
    for (int b = 0; b < kTableCount; ++b) {
        const ChebyshevTable& c = t.tables[b];
        w.i32(b);
        w.f64(c.first_jd);
        w.f64(c.days);
        w.i32(c.coefficients);
        w.i32(c.segments);
        for (double v : c.c) w.f64(v);
    }
    for (const auto& planet : t.vsop)
        for (const auto& coord : planet)
            for (const VsopSeries& s : coord) {
                w.u32(static_cast<std::uint32_t>(s.a.size()));
                for (std::size_t i = 0; i < s.a.size(); ++i) {
                    w.f64(s.a[i]);
                    w.f64(s.b[i]);
                    w.f64(s.c[i]);
                }
            }
    for (double v : t.w1) w.f64(v);
    for (double v : t.laskar_p) w.f64(v);
    for (double v : t.laskar_q) w.f64(v);
    for (const auto& coord : t.elp)
        for (const ElpSeries& s : coord) {
            w.u32(static_cast<std::uint32_t>(s.a.size()));
            for (std::size_t i = 0; i < s.a.size(); ++i) {
                w.f64(s.a[i]);
                for (int k = 0; k < 5; ++k) w.f64(s.p[k][i]);
            }
        }
    w.u32(static_cast<std::uint32_t>(t.nutation.size() / 9));
    for (double v : t.nutation) w.f64(v);
    w.u32(kDataEndMarker);
    return w.take();
}

bool parse_theories(std::span<const std::uint8_t> bytes, Theories& out, std::string& why) {
    out = Theories{};
    ByteReader in(bytes);
    const auto fail = [&why](const char* text) {
        why = text;
        return false;
    };
    if (bytes.size() < 16 || std::memcmp(bytes.data(), kDataMagic, 16) != 0)
        return fail("not an ephemeris data file of this version");
    in.skip(16);
    const std::uint32_t text = in.u32();
    if (text > in.remaining()) return fail("truncated");
    out.sources.resize(text);
    for (auto& ch : out.sources) ch = static_cast<char>(in.u8());
    // a count can claim no more numbers than the bytes left
    const auto fits = [&in](std::uint64_t numbers) { return numbers * 8 <= in.remaining(); };
    if (in.u32() != kTableCount) return fail("unexpected bodies");
    for (int b = 0; b < kTableCount; ++b) {
        ChebyshevTable& c = out.tables[b];
        if (in.i32() != b) return fail("unexpected body order");
        c.first_jd = in.f64();
        c.days = in.f64();
        c.coefficients = in.i32();
        c.segments = in.i32();
        if (c.coefficients < 2 || c.coefficients > 64 || c.segments < 0 || !(c.days > 0) || !std::isfinite(c.first_jd))
            return fail("bad Chebyshev table");
        const std::uint64_t n = std::uint64_t(c.segments) * 3 * std::uint64_t(c.coefficients);
        if (!fits(n)) return fail("truncated");
        c.c.resize(n);
        if (!read_doubles(in, bytes, c.c.data(), n)) return fail("truncated");
    }
    for (auto& planet : out.vsop)
        for (auto& coord : planet)
            for (VsopSeries& s : coord) {
                const std::uint32_t n = in.u32();
                if (!fits(3ull * n) || n % 2) return fail("truncated");
                s.a.resize(n);
                s.b.resize(n);
                s.c.resize(n);
                for (std::uint32_t i = 0; i < n; ++i) {
                    s.a[i] = in.f64();
                    s.b[i] = in.f64();
                    s.c[i] = in.f64();
                }
            }
    for (double& v : out.w1) v = in.f64();
    for (double& v : out.laskar_p) v = in.f64();
    for (double& v : out.laskar_q) v = in.f64();
    for (auto& coord : out.elp)
        for (ElpSeries& s : coord) {
            const std::uint32_t n = in.u32();
            if (!fits(6ull * n) || n % 2) return fail("truncated");
            s.a.resize(n);
            for (auto& p : s.p) p.resize(n);
            for (std::uint32_t i = 0; i < n; ++i) {
                s.a[i] = in.f64();
                for (int k = 0; k < 5; ++k) s.p[k][i] = in.f64();
            }
        }
    const std::uint32_t terms = in.u32();
    if (!fits(9ull * terms)) return fail("truncated");
    out.nutation.resize(9ull * terms);
    for (double& v : out.nutation) v = in.f64();
    if (in.u32() != kDataEndMarker || !in.ok() || in.remaining() != 0) return fail("truncated or corrupt");
    return true;
}

}  // namespace tellurim::ephbdl
