// Speed of each ephemeris provider present, in body positions a second on one core,
// against Swiss Ephemeris measured in the same run, for random instants (1800-2200) and
// for sequential 6-hour steps, then for the Sun and Moon alone (the filter entry points
// of lunation searches).
//
// A provider's computePositions gives all its bodies at once, with the heliocentric and
// fixed-zodiac records and the retrograde flags; it is timed with the getPosition calls
// that read the 11 bodies Swiss Ephemeris computes here (Sun to Pluto and the mean node).
// Swiss Ephemeris runs with SEFLG_SPEED, the motion being what a retrograde flag needs;
// the rate without it is printed as well.
//
// Each rate is the best of five runs, to keep other work on the machine out of the ratios.
//
// usage: ephemeris_speed [INSTANTS]   (default 20000)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/ephemeris_library.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace {

using namespace tellurim;
using Clock = std::chrono::steady_clock;

const char* const kNames[] = {"SUN", "MOON", "MERCURY", "VENUS", "MARS", "JUPITER",
                              "SATURN", "URANUS", "NEPTUNE", "PLUTO", "RAHU"};
constexpr int kBodies = 11;
constexpr double kZeroJd = 1672027.0;  // -134-02-03 12:00 JD, the default zero date

std::vector<double> random_instants(int n, double from = 2378496.5, double to = 2524593.5) {  // 1800-2200
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> jd(from, to);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (auto& x : v) x = jd(rng);
    return v;
}

std::vector<double> sequential_instants(int n) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = 2451545.0 + 0.25 * i;
    return v;
}

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// The machine is shared: each rate is the best of a few runs, the one least disturbed.
constexpr int kRuns = 5;
template <typename Fn>
double best_rate(Fn fn) {
    double best = 0;
    for (int i = 0; i < kRuns; ++i) best = std::max(best, fn());
    return best;
}

// Body positions a second through the provider's full entry points.
double provider_rate(EphemerisLibrary& lib, const std::vector<double>& jds) {
    const auto t0 = Clock::now();
    long n = 0;
    for (double jd : jds) {
        if (!lib.compute(jd, kZeroJd)) continue;
        for (const char* name : kNames) {
            auto p = lib.position(name);
            benchmark::DoNotOptimize(p);
            ++n;
        }
    }
    return static_cast<double>(n) / seconds_since(t0);
}

double provider_sun_moon_rate(EphemerisLibrary& lib, const std::vector<double>& jds) {
    const auto t0 = Clock::now();
    long n = 0;
    for (double jd : jds) {
        if (!lib.compute_filtered(jd, kZeroJd, "SUN;MOON")) continue;
        auto s = lib.position_filtered("SUN");
        auto m = lib.position_filtered("MOON");
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(m);
        n += 2;
    }
    return static_cast<double>(n) / seconds_since(t0);
}

#ifdef TELLURIM_HAVE_SWE
const int kSweBodies[] = {SE_SUN, SE_MOON, SE_MERCURY, SE_VENUS, SE_MARS, SE_JUPITER,
                          SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO, SE_MEAN_NODE};

double swe_rate(const std::vector<double>& jds, const int* bodies, int count, int flags) {
    const auto t0 = Clock::now();
    long n = 0;
    double x[6];
    char err[AS_MAXCH];
    for (double jd : jds) {
        for (int i = 0; i < count; ++i) {
            swe_calc(jd, bodies[i], flags, x, err);
            benchmark::DoNotOptimize(x);
            ++n;
        }
    }
    return static_cast<double>(n) / seconds_since(t0);
}
#endif

// The JPL provider against Swiss Ephemeris on the same instants of the file's span, both
// with its own files and reading the same JPL file (swe_set_jpl_file).
void jpl_rates(EphemerisLibrary& lib, const char* jpl_file, const std::vector<double>& random,
               const std::vector<double>& sequential) {
    provider_rate(lib, random);  // warm up
    const double r = best_rate([&] { return provider_rate(lib, random); });
    const double s = best_rate([&] { return provider_rate(lib, sequential); });
    const double sm = best_rate([&] { return provider_sun_moon_rate(lib, random); });
    std::printf("\nlibephjpl.so (%s)\n", jpl_file);
    std::printf("  libephjpl:  random %10.0f, sequential %10.0f, Sun and Moon filter %10.0f body positions/s\n", r, s,
                sm);
#ifdef TELLURIM_HAVE_SWE
    const std::string path(jpl_file);
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    for (const int eph : {SEFLG_SWIEPH, SEFLG_JPLEPH}) {
        swe_close();
        const std::string ephe = dir + ":/usr/share/libswe/ephe";
        swe_set_ephe_path(const_cast<char*>(ephe.c_str()));
        swe_set_jpl_file(const_cast<char*>(base.c_str()));
        const int flags = eph | SEFLG_SPEED;
        swe_rate(random, kSweBodies, kBodies, flags);  // warm the file cache
        const double wr = best_rate([&] { return swe_rate(random, kSweBodies, kBodies, flags); });
        const double ws = best_rate([&] { return swe_rate(sequential, kSweBodies, kBodies, flags); });
        const double wsm = best_rate([&] { return swe_rate(random, kSweBodies, 2, flags); });
        std::printf("  Swiss Ephemeris %s|SEFLG_SPEED: random %10.0f (%.2fx), sequential %10.0f (%.2fx), Sun and Moon "
                    "%10.0f (%.2fx)\n",
                    eph == SEFLG_SWIEPH ? "SEFLG_SWIEPH" : "SEFLG_JPLEPH", wr, ratio(r, wr), ws, ratio(s, ws), wsm,
                    ratio(sm, wsm));
    }
    swe_close();
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
#else
    (void)jpl_file;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    // The JPL provider reads TELLURIM_JPL_FILE, else the DE405 that setup converts.
    const char* jpl_env = std::getenv("TELLURIM_JPL_FILE");
    const std::string jpl_default = std::string(TELLURIM_SOURCE_DIR) + "/data/ephemeris/de405_1960_2060.eph";
    const char* jpl_file = jpl_env ? jpl_env : jpl_default.c_str();
    // JPL instants within 1961-2059, the span of the converted DE405.
    const std::vector<double> jpl_random = random_instants(count, 2437300.5, 2472700.5);
    const std::vector<double> random = random_instants(count);
    const std::vector<double> sequential = sequential_instants(count);

    double swe_random = 0, swe_sequential = 0, swe_random_nospeed = 0, swe_sequential_nospeed = 0, swe_sun_moon = 0;
#ifdef TELLURIM_HAVE_SWE
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    const int flags = SEFLG_SWIEPH | SEFLG_SPEED;
    swe_rate(random, kSweBodies, kBodies, flags);  // warm the file cache
    swe_random = best_rate([&] { return swe_rate(random, kSweBodies, kBodies, flags); });
    swe_sequential = best_rate([&] { return swe_rate(sequential, kSweBodies, kBodies, flags); });
    swe_random_nospeed = best_rate([&] { return swe_rate(random, kSweBodies, kBodies, SEFLG_SWIEPH); });
    swe_sequential_nospeed = best_rate([&] { return swe_rate(sequential, kSweBodies, kBodies, SEFLG_SWIEPH); });
    swe_sun_moon = best_rate([&] { return swe_rate(random, kSweBodies, 2, flags); });
    std::printf("Swiss Ephemeris (SEFLG_SWIEPH|SEFLG_SPEED): random %.0f, sequential %.0f body positions/s\n",
                swe_random, swe_sequential);
    std::printf("Swiss Ephemeris without SEFLG_SPEED:       random %.0f, sequential %.0f body positions/s\n",
                swe_random_nospeed, swe_sequential_nospeed);
    std::printf("Swiss Ephemeris Sun and Moon only:          random %.0f body positions/s\n", swe_sun_moon);
#else
    std::printf("Swiss Ephemeris not available: rates only, no ratios.\n");
#endif
    for (int type = 0; type <= 2; ++type) {
        const std::string file(ephemeris_file_name(type));
        EphemerisLibrary lib;
        if (auto st = lib.load(type, jpl_file); !st) {
            std::printf("\n%s: not measured (%s)\n", file.c_str(), st.message.c_str());
            continue;
        }
        if (type == 2) {
            jpl_rates(lib, jpl_file, jpl_random, sequential);
            continue;
        }
        provider_rate(lib, random);  // warm up
        const double r = best_rate([&] { return provider_rate(lib, random); });
        const double s = best_rate([&] { return provider_rate(lib, sequential); });
        const double sm = best_rate([&] { return provider_sun_moon_rate(lib, random); });
        std::printf("\n%s\n", file.c_str());
        auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("  random instants:     %10.0f body positions/s  %6.2fx Swiss Ephemeris (%.2fx without speed)\n", r,
                    ratio(r, swe_random), ratio(r, swe_random_nospeed));
        std::printf("  sequential 6 h:      %10.0f body positions/s  %6.2fx Swiss Ephemeris (%.2fx without speed)\n", s,
                    ratio(s, swe_sequential), ratio(s, swe_sequential_nospeed));
        std::printf("  Sun and Moon filter: %10.0f body positions/s  %6.2fx Swiss Ephemeris\n", sm,
                    ratio(sm, swe_sun_moon));
    }
#ifdef TELLURIM_HAVE_SWE
    swe_close();
#endif
    return 0;
}
