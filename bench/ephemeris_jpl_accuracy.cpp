// Accuracy of libephjpl.so against Swiss Ephemeris reading the same JPL file
// (swe_set_jpl_file, SEFLG_JPLEPH), and of that file against Swiss Ephemeris' own
// compressed files (SEFLG_SWIEPH, DE431), for random instants of the file's span.
//
// Both programs reduce the file's positions to apparent geocentric ecliptic coordinates of
// date; they differ in the nutation model by design: libephjpl takes the nutation in the
// file (IAU 1980 in DE405), Swiss Ephemeris computes IAU 2000B. The nutation in longitude is
// a turn about the ecliptic pole, so the comparison that tests everything else (reading,
// Chebyshev evaluation, light-time, deflection, aberration, bias, precession) is the mean
// equinox of date: libephjpl's longitude minus the file's nutation against Swiss Ephemeris
// with SEFLG_NONUT. The direct difference of the true longitudes is printed too.
//
// usage: ephemeris_jpl_accuracy [SAMPLES]   (default 3000; TELLURIM_JPL_FILE chooses the file,
//        default the converted DE405 of data/ephemeris)
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/ephemeris_library.h"
#include "ephemeris/jpl/jpl_file.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace {

using namespace tellurim;

struct Stats {
    int hidden = 0;  // instants behind the Sun's disk, counted apart
    double max_lon = 0, max_lat = 0, sum_lon = 0, sum_lat = 0;
    int n = 0;
    void add(double dlon, double dlat) {
        max_lon = std::max(max_lon, std::fabs(dlon));
        max_lat = std::max(max_lat, std::fabs(dlat));
        sum_lon += dlon * dlon;
        sum_lat += dlat * dlat;
        ++n;
    }
    void print(const char* name) const {
        if (n == 0) {
            std::printf("  %-8s no comparable instants\n", name);
            return;
        }
        std::printf("  %-8s %10.5f %10.5f %10.5f %10.5f", name, max_lon, std::sqrt(sum_lon / n), max_lat,
                    std::sqrt(sum_lat / n));
        if (hidden) std::printf("   (%d instants behind the Sun's disk left out)", hidden);
        std::printf("\n");
    }
};

}  // namespace

int main(int argc, char** argv) {
#ifndef TELLURIM_HAVE_SWE
    (void)argc;
    (void)argv;
    std::puts("ephemeris_jpl_accuracy: built without Swiss Ephemeris; nothing to compare with.");
    return 0;
#else
    const int samples = argc > 1 ? std::max(10, std::atoi(argv[1])) : 3000;
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    const char* env = std::getenv("TELLURIM_JPL_FILE");
    const std::string path = env ? env : std::string(TELLURIM_SOURCE_DIR) + "/data/ephemeris/de405_1960_2060.eph";
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);

    ephjpl::JplFile file;
    std::string why;
    if (!file.open(path, why)) {
        std::printf("ephemeris_jpl_accuracy: %s\n", why.c_str());
        return 1;
    }
    EphemerisLibrary lib;
    if (auto st = lib.load(2, path); !st) {
        std::printf("ephemeris_jpl_accuracy: %s\n", st.message.c_str());
        return 1;
    }
    const std::string ephe_path = dir + ":/usr/share/libswe/ephe";
    swe_set_ephe_path(const_cast<char*>(ephe_path.c_str()));
    swe_set_jpl_file(const_cast<char*>(base.c_str()));

    struct Body {
        const char* name;
        int swe;
    };
    const Body bodies[] = {{"SUN", SE_SUN},         {"MOON", SE_MOON},       {"MERCURY", SE_MERCURY},
                           {"VENUS", SE_VENUS},     {"MARS", SE_MARS},       {"JUPITER", SE_JUPITER},
                           {"SATURN", SE_SATURN},   {"URANUS", SE_URANUS},   {"NEPTUNE", SE_NEPTUNE},
                           {"PLUTO", SE_PLUTO},     {"RAHU", SE_MEAN_NODE}};
    constexpr int kBodies = 11;
    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> pick(file.start_jd() + 2.0, file.end_jd() - 2.0);
    std::vector<double> jds(static_cast<std::size_t>(samples));
    for (double& jd : jds) jd = pick(rng);

    std::printf("File %s: %s, JD %.1f to %.1f, %d random instants (TT).\n", path.c_str(), file.title().c_str(),
                file.start_jd(), file.end_jd(), samples);
    std::printf("Arc-seconds:  lon max    lon rms    lat max    lat rms\n");

    // 1. libephjpl against Swiss Ephemeris reading the same file.
    Stats mean[kBodies], truth[kBodies];
    char err[AS_MAXCH];
    for (double jd : jds) {
        if (!lib.compute(jd, jd)) continue;
        ephjpl::JplState nut;
        ephjpl::JplFailure failure;
        if (!file.state(ephjpl::kJplNutations, jd, nut, failure, why)) continue;
        const double dpsi_deg = nut.pos[0] * 180.0 / 3.14159265358979323846;
        auto sun = lib.position("SUN");
        if (!sun) continue;
        for (int b = 0; b < kBodies; ++b) {
            auto p = lib.position(bodies[b].name);
            double x[6], y[6];
            if (!p || swe_calc(jd, bodies[b].swe, SEFLG_JPLEPH | SEFLG_NONUT, x, err) < 0 ||
                swe_calc(jd, bodies[b].swe, SEFLG_JPLEPH, y, err) < 0)
                continue;
            const double lon = p->geo_mov.longitude.to_degrees(), lat = p->geo_mov.latitude.to_degrees();
            // A body behind the Sun's disk is invisible; for its light, which would cross the
            // Sun, Swiss Ephemeris scales the deflection by the solar mass inside the ray.
            const double sep = std::hypot(std::remainder(lon - sun->geo_mov.longitude.to_degrees(), 360.0), lat);
            if (b >= 2 && b <= 9 && sep < 0.2666 / sun->geo_mov.distance.value &&
                p->geo_mov.distance.value > sun->geo_mov.distance.value) {
                ++mean[b].hidden;
                ++truth[b].hidden;
                continue;
            }
            mean[b].add(std::remainder(lon - dpsi_deg - x[0], 360.0) * 3600.0, (lat - x[1]) * 3600.0);
            truth[b].add(std::remainder(lon - y[0], 360.0) * 3600.0, (lat - y[1]) * 3600.0);
        }
    }
    std::printf("\nlibephjpl - Swiss Ephemeris on the same file, mean equinox of date (the file's nutation removed):\n");
    for (int b = 0; b < kBodies; ++b) mean[b].print(bodies[b].name);
    std::printf("(RAHU: the mean node is a theory of each program, not read from the file.)\n");
    std::printf("\nThe same, true equinox of date (nutation IAU 1980 from the file against IAU 2000B):\n");
    for (int b = 0; b < kBodies; ++b) truth[b].print(bodies[b].name);

    // 2. The file against Swiss Ephemeris' own files (DE431), both through Swiss Ephemeris.
    std::vector<std::array<double, 2>> jpl(static_cast<std::size_t>(samples) * kBodies);
    for (std::size_t i = 0; i < jds.size(); ++i)
        for (int b = 0; b < kBodies - 1; ++b) {
            double x[6];
            if (swe_calc(jds[i], bodies[b].swe, SEFLG_JPLEPH, x, err) < 0) x[0] = x[1] = NAN;
            jpl[i * kBodies + static_cast<std::size_t>(b)] = {x[0], x[1]};
        }
    Stats own[kBodies];
    for (std::size_t i = 0; i < jds.size(); ++i)
        for (int b = 0; b < kBodies - 1; ++b) {
            double x[6];
            if (swe_calc(jds[i], bodies[b].swe, SEFLG_SWIEPH, x, err) < 0) continue;
            const auto& j = jpl[i * kBodies + static_cast<std::size_t>(b)];
            if (std::isnan(j[0])) continue;
            own[b].add(std::remainder(j[0] - x[0], 360.0) * 3600.0, (j[1] - x[1]) * 3600.0);
        }
    std::printf("\nThe file (Swiss Ephemeris, SEFLG_JPLEPH) - Swiss Ephemeris' own files (SEFLG_SWIEPH):\n");
    for (int b = 0; b < kBodies - 1; ++b) own[b].print(bodies[b].name);
    swe_close();
    std::printf("\nMemory the reader holds (its record cache and the constants): %zu bytes.\n", file.memory_bytes());
    return 0;
#endif
}
