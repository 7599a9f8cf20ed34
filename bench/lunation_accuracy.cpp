// Accuracy of the lunation, eclipse and sunrise searches with each ephemeris provider that is
// present, against Swiss Ephemeris (DE431 files) in the same run:
//   - every new and full moon 1900-2100: max and RMS error of the moment (ET), seconds;
//   - every solar and lunar eclipse 1900-2100 of Swiss Ephemeris' canon: found or not by the
//     mean-lunation series at the syzygies the searches give, and classified alike;
//   - sunrise and sunset, centre of the disc, no refraction, latitudes -60 to 60 degrees.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "astro/lunations.h"
#include "base/date_hour.h"
#include "core/ephemeris_library.h"
#include "core/options.h"
#include "sky/spherical.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

using namespace tellurim;

#ifndef TELLURIM_HAVE_SWE
int main() {
    std::puts("lunation_accuracy: Swiss Ephemeris not found, nothing to compare with");
    return 0;
}
#else

namespace {

constexpr double kJd1900 = 2415020.5;  // 1900-01-01 0h
constexpr double kJd2100 = 2488069.5;  // 2100-01-01 0h
constexpr int kSweFlags = SEFLG_SWIEPH;

double swe_elongation_et(double jd_et) {
    double xs[6], xm[6];
    char err[256];
    swe_calc(jd_et, SE_SUN, kSweFlags | SEFLG_SPEED, xs, err);
    swe_calc(jd_et, SE_MOON, kSweFlags | SEFLG_SPEED, xm, err);
    return reduce_degrees(xm[0] - xs[0]);
}

// The moment (ET) at which Swiss Ephemeris puts the elongation at `target` degrees, by
// Newton steps from an estimate within a few hours.
double swe_phase_et(double estimate, double target) {
    double t = estimate;
    for (int i = 0; i < 20; ++i) {
        double d = swe_elongation_et(t) - target;
        d = d - 360.0 * std::floor((d + 180.0) / 360.0);
        double step = d / 12.19;  // degrees a day, mean rate is enough for Newton here
        t -= step;
        if (std::fabs(step) < 1e-8) break;
    }
    return t;
}

struct Stats {
    double max = 0.0;
    double sum2 = 0.0;
    int n = 0;
    void add(double x) {
        max = std::max(max, std::fabs(x));
        sum2 += x * x;
        ++n;
    }
    double rms() const { return n ? std::sqrt(sum2 / n) : 0.0; }
};

std::string solar_type(int swe) {
    if (swe & SE_ECL_ANNULAR_TOTAL) return "hybrid";
    if (swe & SE_ECL_TOTAL) return "total";
    if (swe & SE_ECL_ANNULAR) return "annular";
    if (swe & SE_ECL_PARTIAL) return "partial";
    return "?";
}
std::string solar_type(const EclipseRecord& e) {
    if (e.total && e.annular) return "hybrid";
    if (e.total) return "total";
    if (e.annular) return "annular";
    if (e.partial) return "partial";
    return "?";
}
std::string lunar_type(int swe) {
    if (swe & SE_ECL_TOTAL) return "total";
    if (swe & SE_ECL_PARTIAL) return "partial";
    if (swe & SE_ECL_PENUMBRAL) return "penumbral";
    return "?";
}
std::string lunar_type(const EclipseRecord& e) {
    if (e.total) return "total";
    if (e.partial) return "partial";
    if (e.penumbral) return "penumbral";
    return "?";
}

struct Syzygy {
    double jd_et;
    bool full;
    EclipseRecord eclipse;
};

void run_provider(int type, const char* name) {
    EphemerisLibrary library;
    if (!library.load(type)) {
        std::printf("\n== %s: not present\n", name);
        return;
    }
    std::printf("\n== %s provider vs Swiss Ephemeris\n", name);
    LibrarySunMoon source(library, 1672148.17);

    // --- lunations 1900-2100 ----------------------------------------------------------------
    std::vector<Syzygy> syzygies;
    Stats new_moon_err, full_moon_err, quarter_err;
    double last_new_moon = 0.0;
    int failures = 0;
    for (double t = kJd1900 + 1.0; t < kJd2100; t += 29.530589) {
        DateHour birth = date_hour_from_ut(t);
        LunationRecord rec;
        if (!compute_lunation(source, birth, rec)) {
            ++failures;
            continue;
        }
        if (rec.new_moon.jd_et <= last_new_moon + 1.0) continue;  // the same lunation twice
        last_new_moon = rec.new_moon.jd_et;
        // The record's ET moments went through UT and back; the ET of the search itself is
        // UT + Delta T of the same model, so the round trip is exact to the microsecond.
        struct Event {
            double jd_et;
            double target;
            Stats* stats;
        };
        for (const Event& e : {Event{rec.new_moon.jd_et, 0.0, &new_moon_err}, Event{rec.first_quarter.jd_et, 90.0, &quarter_err},
                               Event{rec.full_moon.jd_et, 180.0, &full_moon_err},
                               Event{rec.last_quarter.jd_et, 270.0, &quarter_err}}) {
            e.stats->add((e.jd_et - swe_phase_et(e.jd_et, e.target)) * 86400.0);
        }
        syzygies.push_back({rec.new_moon.jd_et, false, rec.new_moon_eclipse});
        syzygies.push_back({rec.full_moon.jd_et, true, rec.full_moon_eclipse});
    }
    std::printf("lunations 1900-2100: %d new moons, %d full moons, %d failed searches\n", new_moon_err.n,
                full_moon_err.n, failures);
    std::printf("  new moon error   max %6.1f s  rms %6.1f s\n", new_moon_err.max, new_moon_err.rms());
    std::printf("  full moon error  max %6.1f s  rms %6.1f s\n", full_moon_err.max, full_moon_err.rms());
    std::printf("  quarters error   max %6.1f s  rms %6.1f s\n", quarter_err.max, quarter_err.rms());

    // --- eclipses 1900-2100 -----------------------------------------------------------------
    char err[256];
    for (bool solar : {true, false}) {
        int canon = 0, found = 0, same_type = 0, same_central = 0, extra = 0;
        std::vector<std::string> mismatches;
        std::map<long, bool> matched;  // syzygy index -> matched
        double t = kJd1900;
        while (true) {
            double tret[10] = {};
            int type = solar ? swe_sol_eclipse_when_glob(t, kSweFlags, 0, tret, 0, err)
                             : swe_lun_eclipse_when(t, kSweFlags, 0, tret, 0, err);
            if (type <= 0 || tret[0] >= kJd2100) break;
            t = tret[0] + 10.0;
            ++canon;
            double max_et = tret[0] + swe_deltat(tret[0]);
            // The syzygy of our searches within two days of the maximum.
            long best = -1;
            for (std::size_t i = 0; i < syzygies.size(); ++i)
                if (syzygies[i].full == !solar && std::fabs(syzygies[i].jd_et - max_et) < 2.0) best = static_cast<long>(i);
            char date[32];
            int y, m, d;
            double h;
            swe_revjul(tret[0], SE_GREG_CAL, &y, &m, &d, &h);
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
            std::string swe_kind = solar ? solar_type(type) : lunar_type(type);
            if (best < 0 || !syzygies[static_cast<std::size_t>(best)].eclipse.present) {
                mismatches.push_back(std::string(date) + " " + swe_kind + " missed");
                continue;
            }
            matched[best] = true;
            ++found;
            const EclipseRecord& e = syzygies[static_cast<std::size_t>(best)].eclipse;
            std::string ours = solar ? solar_type(e) : lunar_type(e);
            if (ours == swe_kind)
                ++same_type;
            else
                mismatches.push_back(std::string(date) + " " + swe_kind + " given as " + ours);
            if (solar && e.central == ((type & SE_ECL_CENTRAL) != 0)) ++same_central;
        }
        for (std::size_t i = 0; i < syzygies.size(); ++i) {
            if (syzygies[i].full == solar || !syzygies[i].eclipse.present || matched.count(static_cast<long>(i))) continue;
            ++extra;
            int y, m, d;
            double h;
            swe_revjul(syzygies[i].jd_et, SE_GREG_CAL, &y, &m, &d, &h);
            char date[32];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
            mismatches.push_back(std::string(date) + " " + (solar ? solar_type(syzygies[i].eclipse) : lunar_type(syzygies[i].eclipse)) +
                                 " not in the canon");
        }
        std::printf("%s eclipses 1900-2100: canon %d, found %d, same type %d%s, extra %d\n", solar ? "solar" : "lunar",
                    canon, found, same_type,
                    solar ? (", same central flag " + std::to_string(same_central)).c_str() : "", extra);
        for (const auto& s : mismatches) std::printf("    %s\n", s.c_str());
    }

    // --- sunrise and sunset -----------------------------------------------------------------
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> day(kJd1900, kJd2100);
    std::uniform_real_distribution<double> lon_deg(-180.0, 180.0);
    std::printf("sunrise/sunset, centre of the disc, no refraction (200 dates x 2 events per latitude):\n");
    for (int lat = -60; lat <= 60; lat += 20) {
        Stats s;
        int no_event = 0;
        for (int i = 0; i < 200; ++i) {
            double jd = std::floor(day(rng)) + 0.5;
            double lon = lon_deg(rng);
            AngleValue longitude = AngleValue::degrees(lon);
            AngleValue latitude = AngleValue::degrees(lat);
            double noon = jd + 0.5 - lon / 360.0;
            for (bool rise : {true, false}) {
                double ours = 0.0;
                if (!sun_rise_or_set(source, noon, longitude, latitude, rise, ours)) {
                    ++no_event;
                    continue;
                }
                double geopos[3] = {lon, static_cast<double>(lat), 0.0};
                double tret[10] = {};
                int flags = (rise ? SE_CALC_RISE : SE_CALC_SET) | SE_BIT_DISC_CENTER | SE_BIT_NO_REFRACTION;
                if (swe_rise_trans(ours - 0.25, SE_SUN, nullptr, kSweFlags, flags, geopos, 0, 0, tret, err) != 0) {
                    ++no_event;
                    continue;
                }
                s.add((ours - tret[0]) * 86400.0);
            }
        }
        std::printf("  latitude %+3d: max %5.1f s  rms %5.1f s  (%d events, %d without)\n", lat, s.max, s.rms(), s.n,
                    no_event);
    }
}

}  // namespace

int main() {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    run_provider(kEphemerisLow, "low");
    run_provider(kEphemerisBdl, "bdl");
    swe_close();
    return 0;
}

#endif
