#pragma once
// Random charts for the benchmarks that time work done on a computed chart (the report, the
// wheel) against the computation itself: births between 1950 and 2050 at random places
// within 60 degrees of the equator, computed with libephlow.so.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "astro/compute.h"
#include "astro/lunations.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"

namespace tellurim::bench {

using Clock = std::chrono::steady_clock;

inline double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

class RandomCharts {
public:
    RandomCharts() {
        setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
        m_loaded = static_cast<bool>(m_library.load(kEphemerisLow));
        if (!m_loaded) std::printf("libephlow.so does not load; nothing measured\n");
        m_options.ephemeris.type = kEphemerisLow;
    }
    bool loaded() const { return m_loaded; }
    const Options& options() const { return m_options; }

    BirthData next_birth() {
        BirthData d;
        d.last_name = "Bench";
        d.place.longitude = AngleValue::degrees(m_lon(m_rng), kFormatEastWest);
        d.place.latitude = AngleValue::degrees(m_lat(m_rng), kFormatNorthSouth);
        d.ut = date_hour_from_ut(m_day(m_rng));
        d.local = d.ut;
        return d;
    }
    // Computes `d` into `h`, adding the time taken to `compute_ms`. A polar day or night
    // (which fails only the Sun's step) counts as computed.
    bool compute(Horoscope& h, const BirthData& d, double* compute_ms = nullptr) {
        const auto t0 = Clock::now();
        const bool ok = set_and_compute(h, d, true, m_options, m_silent, m_workers, m_library);
        if (compute_ms) *compute_ms += ms_since(t0);
        return ok || h.sun.polar != SunPolar::None;
    }

private:
    EphemerisLibrary m_library;
    bool m_loaded = false;
    Options m_options;
    WorkerThreads m_workers;
    SilentMessages m_silent;
    std::mt19937 m_rng{2024};
    std::uniform_real_distribution<double> m_day{2433282.5, 2469807.5};
    std::uniform_real_distribution<double> m_lon{-180.0, 180.0};
    std::uniform_real_distribution<double> m_lat{-60.0, 60.0};
};

}  // namespace tellurim::bench
