// Accuracy of each ephemeris provider present against Swiss Ephemeris (its compressed JPL
// DE431 files, SEFLG_SWIEPH, for 1800-2400; before 1800, where swe-basic-data has no file,
// Swiss Ephemeris falls back to its Moshier theory, within about 1" of DE431 there), for the
// same instant in ephemeris time: apparent geocentric ecliptic longitude and latitude of the
// true equinox of date, and the distance. The lunar node is compared mean and true (the
// osculating node, SE_TRUE_NODE).
//
// Prints, per provider, body and range of years, the largest and the root-mean-square
// difference in arc-seconds for longitude and latitude, and for the distance the relative
// difference (|d - d_swe| / d_swe) in units of 1e-6. Swiss Ephemeris is the reference here
// only; it is not part of Tellurim.
//
// usage: ephemeris_accuracy [SAMPLES [FROM_YEAR TO_YEAR]]   (default 2000 random instants per
// range; the ranges 1600-2400, 1800-2200 and 1900-2100 unless one is given)
#include <cmath>
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

struct Range {
    const char* label;
    int from_year;
    int to_year;
};

struct Body {
    const char* name;  // provider body name
    int swe_body;
    bool pluto_range;  // for libephlow, compared over its Pluto's range only
};

#ifdef TELLURIM_HAVE_SWE
const Body kBodies[] = {
    {"SUN", SE_SUN, false},         {"MOON", SE_MOON, false},       {"MERCURY", SE_MERCURY, false},
    {"VENUS", SE_VENUS, false},     {"MARS", SE_MARS, false},       {"JUPITER", SE_JUPITER, false},
    {"SATURN", SE_SATURN, false},   {"URANUS", SE_URANUS, false},   {"NEPTUNE", SE_NEPTUNE, false},
    {"PLUTO", SE_PLUTO, true},      {"RAHU", SE_MEAN_NODE, false},  {"RAHU", SE_TRUE_NODE, false},
};
#endif

double jd_of_year(double year) { return 2451545.0 + (year - 2000.0) * 365.25; }

struct Stats {
    double max_lon = 0, sum_lon = 0, max_lat = 0, sum_lat = 0, max_dist = 0, sum_dist = 0;
    int n = 0;
    void add(double dlon, double dlat, double ddist) {
        max_lon = std::max(max_lon, std::fabs(dlon));
        max_lat = std::max(max_lat, std::fabs(dlat));
        max_dist = std::max(max_dist, std::fabs(ddist));
        sum_lon += dlon * dlon;
        sum_lat += dlat * dlat;
        sum_dist += ddist * ddist;
        ++n;
    }
};

}  // namespace

int main(int argc, char** argv) {
#ifndef TELLURIM_HAVE_SWE
    (void)argc;
    (void)argv;
    std::puts("ephemeris_accuracy: built without Swiss Ephemeris; nothing to compare with.");
    return 0;
#else
    const int samples = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));

    std::vector<Range> ranges = {{"1600-2400", 1600, 2400}, {"1800-2200", 1800, 2200}, {"1900-2100", 1900, 2100}};
    std::string custom_label;
    if (argc > 3) {
        custom_label = std::string(argv[2]) + "-" + argv[3];
        ranges = {{custom_label.c_str(), std::atoi(argv[2]), std::atoi(argv[3])}};
    }
    const Range pluto_range{"1885-2099", 1885, 2099};
    const char* jpl_file = std::getenv("TELLURIM_JPL_FILE");

    std::printf("Differences from Swiss Ephemeris (SEFLG_SWIEPH), apparent geocentric, true equinox of date.\n");
    std::printf("%d random instants per range; longitude and latitude in arc-seconds, distance relative (1e-6).\n",
                samples);
    for (int type = 0; type <= 2; ++type) {
        EphemerisLibrary lib;
        if (type == 2 && !jpl_file) {
            std::printf("\n%s: skipped (set TELLURIM_JPL_FILE to a JPL binary file)\n",
                        std::string(ephemeris_file_name(type)).c_str());
            continue;
        }
        if (auto st = lib.load(type, jpl_file ? jpl_file : ""); !st) {
            std::printf("\n%s: not compared (%s)\n", std::string(ephemeris_file_name(type)).c_str(), st.message.c_str());
            continue;
        }
        std::printf("\n%s\n", std::string(ephemeris_file_name(type)).c_str());
        std::printf("%-8s %-10s %10s %10s %10s %10s %10s %10s\n", "body", "years", "lon max", "lon rms", "lat max",
                    "lat rms", "dist max", "dist rms");
        for (const Body& body : kBodies) {
            std::vector<Range> rs;
            if (body.pluto_range && type == 0)
                rs.push_back(pluto_range);
            else
                rs = ranges;
            for (const Range& r : rs) {
                std::mt19937_64 rng(20240611);
                std::uniform_real_distribution<double> year(r.from_year, r.to_year);
                Stats s;
                for (int i = 0; i < samples; ++i) {
                    const double jd = jd_of_year(year(rng));
                    lib.set_true_node(body.swe_body == SE_TRUE_NODE);
                    if (!lib.compute(jd, jd)) continue;
                    auto p = lib.position(body.name);
                    if (!p) continue;
                    double x[6];
                    char err[AS_MAXCH];
                    if (swe_calc(jd, body.swe_body, SEFLG_SWIEPH, x, err) < 0) continue;
                    double dlon = std::remainder(p->geo_mov.longitude.to_degrees() - x[0], 360.0) * 3600.0;
                    double dlat = (p->geo_mov.latitude.to_degrees() - x[1]) * 3600.0;
                    // the node's distance is a convention of each program, not a measurement
                    const bool node = body.swe_body == SE_MEAN_NODE || body.swe_body == SE_TRUE_NODE;
                    double ddist = node ? 0.0 : (p->geo_mov.distance.value - x[2]) / x[2] * 1e6;
                    s.add(dlon, dlat, ddist);
                }
                const char* label = body.swe_body == SE_TRUE_NODE ? "TRUENODE" : body.name;
                if (s.n == 0) {
                    std::printf("%-8s %-10s no comparable instants\n", label, r.label);
                    continue;
                }
                std::printf("%-8s %-10s %10.2f %10.2f %10.2f %10.2f %10.2f %10.2f\n", label, r.label, s.max_lon,
                            std::sqrt(s.sum_lon / s.n), s.max_lat, std::sqrt(s.sum_lat / s.n), s.max_dist,
                            std::sqrt(s.sum_dist / s.n));
            }
        }
    }
    swe_close();
    return 0;
#endif
}
