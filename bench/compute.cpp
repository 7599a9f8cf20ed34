// Time of one full chart computation (every step of the pipeline, fresh horoscope each time)
// for each ephemeris provider present, and Swiss Ephemeris computing the same bodies (twelve
// bodies, geocentric and heliocentric, tropical and sidereal) and the same two house tables
// in the same run. Prints the time per chart, the ratio, and where the time goes by step.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "astro/compute.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "core/messages.h"
#include "core/options.h"
#include "core/worker_threads.h"
#include "astro/lunations.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

using namespace tellurim;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCharts = 300;

struct Chart {
    double jd_ut;
    double lon;
    double lat;
};

std::vector<Chart> charts() {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> day(2433282.5, 2469807.5);  // 1950-2050
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    std::uniform_real_distribution<double> lat(-60.0, 60.0);
    std::vector<Chart> out;
    for (int i = 0; i < kCharts; ++i) out.push_back({day(rng), lon(rng), lat(rng)});
    return out;
}

BirthData birth(const Chart& c) {
    BirthData d;
    d.last_name = "Bench";
    d.place.longitude = AngleValue::degrees(c.lon, kFormatEastWest);
    d.place.latitude = AngleValue::degrees(c.lat, kFormatNorthSouth);
    d.ut = date_hour_from_ut(c.jd_ut);
    d.local = d.ut;
    return d;
}

const char* kStepNames[kComputeSteps] = {
    "obliquity", "sidereal time", "sunrise/sunset", "movable houses", "fixed houses", "positions (worker)",
    "equatorial", "horizontal", "lunation", "10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
    "cache keys",
};

// The machine may be shared: each time is the best of a few passes, the least disturbed.
constexpr int kPasses = 4;

// Microseconds per chart; -1 when the provider is missing.
double run_tellurim(int type, const char* name, const std::vector<Chart>& cs, const std::string& jpl_file = {}) {
    EphemerisLibrary library;
    if (auto st = library.load(type, jpl_file); !st) {
        std::printf("%-6s provider not present (%s)\n", name, st.message.c_str());
        return -1.0;
    }
    WorkerThreads workers;
    RecordingMessages messages;
    Options options;
    options.ephemeris.type = type;
    options.ephemeris.jpl_file = jpl_file;
    ComputeReport total, best_total;
    ComputeReport r;
    auto h = std::make_unique<Horoscope>();
    double best = -1.0;
    // One warm-up pass, then the timed ones.
    for (int pass = 0; pass <= kPasses; ++pass) {
        total = ComputeReport{};
        auto start = Clock::now();
        for (const Chart& c : cs) {
            if (!set_and_compute(*h, birth(c), true, options, messages, workers, library, nullptr, &r)) {
                std::printf("%s: computation failed at JD %.5f lon %.2f lat %.2f: %s\n", name, c.jd_ut, c.lon, c.lat,
                            messages.messages.empty() ? "birth data" : messages.messages.back().text.c_str());
                return -1.0;
            }
            for (int i = 0; i < kComputeSteps; ++i) total.seconds[static_cast<std::size_t>(i)] += r.seconds[static_cast<std::size_t>(i)];
        }
        double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / static_cast<double>(cs.size());
        if (pass == 0) continue;
        if (best < 0 || us < best) {
            best = us;
            best_total = total;
        }
    }
    std::printf("%-6s full compute: %8.1f us per chart\n", name, best);
    for (int i = 0; i < kComputeSteps; ++i) {
        double s = best_total.seconds[static_cast<std::size_t>(i)] * 1e6 / static_cast<double>(cs.size());
        if (s > 0.0) std::printf("         step %2d %-20s %8.1f us  (%4.1f%%)\n", i + 1, kStepNames[i], s, 100.0 * s / best);
    }
    return best;
}

#ifdef TELLURIM_HAVE_SWE
double run_swe(const std::vector<Chart>& cs, int flags, const char* name) {
    static const int kBodies[] = {SE_SUN,    SE_MOON,   SE_MERCURY, SE_VENUS,  SE_MARS,     SE_JUPITER,
                                  SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO,  SE_MEAN_NODE};
    char err[256];
    double x[6];
    double cusps[13];
    double ascmc[10];
    swe_set_sid_mode(SE_SIDM_FAGAN_BRADLEY, 0, 0);
    double sink = 0.0;
    double us = -1.0;
    for (int pass = 0; pass <= kPasses; ++pass) {
        auto start = Clock::now();
        for (const Chart& c : cs) {
            double jd = c.jd_ut;
            for (int body : kBodies) {
                for (int frame : {0, SEFLG_SIDEREAL}) {
                    swe_calc_ut(jd, body, flags | SEFLG_SPEED | frame, x, err);
                    sink += x[0];
                    if (body != SE_SUN && body != SE_MOON && body != SE_MEAN_NODE) {
                        swe_calc_ut(jd, body, flags | SEFLG_HELCTR | frame, x, err);
                        sink += x[0];
                    }
                }
            }
            swe_houses_ex(jd, 0, c.lat, c.lon, 'P', cusps, ascmc);
            swe_houses_ex(jd, SEFLG_SIDEREAL, c.lat, c.lon, 'P', cusps, ascmc);
            sink += cusps[1];
        }
        const double t = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / static_cast<double>(cs.size());
        if (pass > 0 && (us < 0 || t < us)) us = t;
    }
    std::printf("%-28s %8.1f us per chart (positions and houses only)%s\n", name, us, sink == 0.123 ? "!" : "");
    return us;
}
#endif

}  // namespace

int main() {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    auto cs = charts();
    std::printf("%d charts, 1950-2050, latitudes -60 to 60; goal: at most 1000 us per chart\n", kCharts);
    double low = run_tellurim(kEphemerisLow, "low", cs);
    double bdl = run_tellurim(kEphemerisBdl, "bdl", cs);
    // The JPL provider on the DE405 that setup converts (1960-2060): the charts of 1960 on.
    std::vector<Chart> cs_jpl;
    for (const Chart& c : cs)
        if (c.jd_ut > 2436935.0) cs_jpl.push_back(c);
    const char* jpl_env = std::getenv("TELLURIM_JPL_FILE");
    double jpl = run_tellurim(kEphemerisJpl, "jpl", cs_jpl,
                              jpl_env ? jpl_env : std::string(TELLURIM_SOURCE_DIR) + "/data/ephemeris/de405_1960_2060.eph");
#ifdef TELLURIM_HAVE_SWE
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    double swe_files = run_swe(cs, SEFLG_SWIEPH, "Swiss Ephemeris (DE431 files)");
    double swe_moshier = run_swe(cs, SEFLG_MOSEPH, "Swiss Ephemeris (Moshier)");
    for (auto [us, name] : {std::pair{low, "low"}, {bdl, "bdl"}, {jpl, "jpl"}}) {
        if (us < 0) continue;
        std::printf("ratio %s / SWE files: %.2f   %s / SWE Moshier: %.2f\n", name, us / swe_files, name, us / swe_moshier);
    }
    swe_close();
#else
    (void)low;
    (void)bdl;
    (void)jpl;
    std::puts("Swiss Ephemeris not found: no peer timing");
#endif
    return 0;
}
