#pragma once
// The horoscope computation pipeline (Compute) and the two operations that run it after
// changing the birth data (SetAndCompute, ShiftTime).
//
// Compute fills every table of a Horoscope from its birth data and options, in a fixed order:
//   1 mean obliquity of date                         always
//   2 local sidereal time                            unless same moment and place
//   3 sunrise, sunset, planetary hour                unless same moment and place
//   4 movable house cusps                            unless same moment and place and same house system
//   5 fixed house cusps                              ... and same zero date
//   6 planet positions (worker thread), Ascendant, Midheaven, Part of Fortune
//                                                    unless same moment and place, zero date and
//                                                    Fortune day/night option
//   7 equatorial coordinates, 8 horizontal coordinates
//                                                    unless same moment and place and same Fortune option
//   9 lunation and eclipses                          always
//  10-20 the analyses of the chart (kAnalysisSteps in compute.cpp)
//  21 cache keys stored, needs-computation flag cleared
// "Same moment and place" also requires the needs-computation flag to be 0, so a failed or
// new record recomputes everything. Steps 3 to 5 report a failure and go on; from step 6 on a
// failure ends the computation. Every report has the caption "Computation error" and a
// warning icon. With TELLURIM_DEBUG set the entry is traced on standard error.

#include <array>
#include <string>

#include "core/horoscope.h"
#include "core/messages.h"

namespace tellurim {

class EphemerisLibrary;
class WorkerThreads;

inline constexpr int kComputeSteps = 21;

// What a computation did, step by step (index 0 is step 1): whether the step ran, and the
// wall-clock time it took. For tests and the benchmark; the pipeline itself ignores it.
struct ComputeReport {
    std::array<bool, kComputeSteps> ran{};
    std::array<double, kComputeSteps> seconds{};
    bool ran_step(int step) const { return step >= 1 && step <= kComputeSteps && ran[static_cast<std::size_t>(step - 1)]; }
};

// Runs the pipeline on `h`. True on success: the cache keys then hold the place, universal
// date-hour and options just computed, and h.needs_computation is 0. On failure the cache
// keys are left as they were, h.needs_computation is 1 and h.error is true.
bool compute(Horoscope& h, MessageSink& messages, WorkerThreads& workers, EphemerisLibrary& library,
             ComputeReport* report = nullptr);

// Stores new birth data and options and computes, unless they equal what the record holds
// (names and sex, place, state and country, Julian days of the universal date-hour, local
// date-hour, options) and the record needs no computation: then nothing is stored and the
// result is true. A failing set_birth_data leaves needs_computation at 1 and gives false.
bool set_and_compute(Horoscope& h, const BirthData& data, bool keep_initial, const Options& options,
                     MessageSink& messages, WorkerThreads& workers, EphemerisLibrary& library,
                     const HostIdentity* host = nullptr, ComputeReport* report = nullptr);

// True when a computation that failed still gave a usable chart: the Sun does not rise or set
// on the birth day there (polar day or night), and every later step ran. `chart` prints such
// a chart with a warning, and the import and the exports keep it with a warning.
bool polar_sun_only_failure(bool computed, const Horoscope& h, const ComputeReport& report);

// Moves the birth moment by `minutes` (either sign) in both the universal and the local
// date-hour, rebuilding their calendar fields and Julian days ET, and computes. A date-hour
// that is not valid is left alone and the computation is not run (false). The initial
// date-hours keep the first-entered moment.
bool shift_time(Horoscope& h, double minutes, MessageSink& messages, WorkerThreads& workers,
                EphemerisLibrary& library, ComputeReport* report = nullptr);

}  // namespace tellurim
