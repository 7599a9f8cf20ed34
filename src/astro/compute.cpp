#include "astro/compute.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/hindu.h"
#include "astro/aspects.h"
#include "astro/lunations.h"
#include "astro/strength_steps.h"
#include "sky/ayanamsa.h"
#include "core/ephemeris_library.h"
#include "sky/houses.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "base/strings.h"
#include "base/text.h"
#include "core/worker_threads.h"

namespace tellurim {
namespace {

// --- steps 10 to 20 -------------------------------------------------------------------------
// The analyses of the chart join the pipeline here, in this order: Hindu data (10), Hindu
// sub-divisions (11), planetary friendships (12), aspects of planets on planets (13) and on
// houses (14), quality of planets (15), planet strengths (16), house strengths (17),
// Ashtakavarga bindus (18), trikona (19) and ekadhi (20) reductions. Each row names its step
// and the text reported when it fails; a failing step ends the computation.
struct AnalysisStep {
    int step;
    bool (*run)(Horoscope& h);
    Str failure;
};

// 13. Aspects of planets on planets: the occidental aspects of the table in force, then the
// Hindu aspect strengths in virupas.
bool planet_aspects_step(Horoscope& h) { return find_planet_aspects(h) && hindu_planet_aspects_step(h); }

// 14. Aspects of planets on houses: occidental aspects to the movable cusps, then the Hindu
// strengths on the fixed cusps.
bool house_aspects_step(Horoscope& h) { return find_house_aspects(h) && hindu_house_aspects_step(h); }

constexpr std::array<AnalysisStep, 11> kAnalysisSteps{{
    {10, &hindu_data_step, Str::Count},  // never fails: undefined inputs leave the tables empty
    {11, &hindu_subs_step, Str::ComputeHinduSubs},
    {12, &friendships_step, Str::ComputeFriendships},
    {13, &planet_aspects_step, Str::ComputeAspectsPlanets},
    {14, &house_aspects_step, Str::ComputeAspectsHouses},
    {15, &planet_quality_step, Str::ComputeQuality},
    {16, &planet_strengths_step, Str::ComputeStrength},
    {17, &house_strengths_step, Str::ComputeHousesStrength},
    {18, &bindus_step, Str::ComputeBindus},
    {19, &trikona_step, Str::ComputeTrikona},
    {20, &ekadhi_step, Str::ComputeEkadhi},
}};

using Clock = std::chrono::steady_clock;

// Times one step into the report, and marks it as run.
class StepTimer {
public:
    StepTimer(ComputeReport* report, int step) : m_report(report), m_step(step), m_start(Clock::now()) {}
    ~StepTimer() {
        if (!m_report) return;
        auto i = static_cast<std::size_t>(m_step - 1);
        m_report->ran[i] = true;
        m_report->seconds[i] += std::chrono::duration<double>(Clock::now() - m_start).count();
    }
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

private:
    ComputeReport* m_report;
    int m_step;
    Clock::time_point m_start;
};

void report_failure(MessageSink& messages, const std::string& text_) {
    messages.tell(text_, str(Str::ComputeCaption), MessageIcon::Warning);
}

bool same_julian_days(const DateHour& a, const DateHour& b) { return a.jd_ut == b.jd_ut && a.jd_et == b.jd_et; }

// The position step's worker: its inputs, and the failure it hands back to the waiting
// pipeline. Nothing else touches the horoscope while it runs.
struct PositionJob {
    Horoscope* h = nullptr;
    EphemerisLibrary* library = nullptr;
    double jd_et = kInfinity;
    double zero_jd_et = kInfinity;
    bool ok = false;
    std::string message;
};

void store_body(Horoscope& h, int planet, const BodyPositions& p) {
    h.helio_movable.at(planet) = p.helio_mov;
    h.helio_fixed.at(planet) = p.helio_fix;
    h.geo_movable.at(planet) = p.geo_mov;
    h.geo_fixed.at(planet) = p.geo_fix;
    for (PositionTable* t : {&h.helio_movable, &h.helio_fixed, &h.geo_movable, &h.geo_fixed}) {
        t->at(planet).index = planet;
        t->at(planet).retrograde = 0;
    }
    h.geo_movable.at(planet).retrograde = p.retrograde ? 1 : 0;
    h.geo_fixed.at(planet).retrograde = p.retrograde ? 1 : 0;
}

void position_routine(void* context) {
    auto& job = *static_cast<PositionJob*>(context);
    job.library->set_true_node(job.h->options.ephemeris.true_node != 0);
    EphemerisStatus status = job.library->compute(job.jd_et, job.zero_jd_et);
    if (!status) {
        job.message = status.message;
        return;
    }
    for (const EphemerisBody& body : kEphemerisBodies) {
        auto p = job.library->position(body.name);
        if (!p) {
            job.message = str(Str::ComputePositionsError);
            return;
        }
        store_body(*job.h, body.planet, *p);
    }
    job.ok = true;
}

// A point of the chart (Ascendant, Midheaven, Fortune) as a position row: no distance.
PlanetPosition point_row(int planet, const AngleValue& lon, const AngleValue& lat) {
    PlanetPosition p;
    p.index = planet;
    p.longitude = lon;
    p.latitude = lat;
    p.distance = AngleValue::not_available();
    p.retrograde = 0;
    return p;
}

void store_angles(PositionTable& table, const HouseTable& houses) {
    const HouseCusp& asc = houses[0];
    const HouseCusp& mc = houses[9];
    if (asc.index >= 0 && asc.longitude.is_angle()) table.at(kAscendant) = point_row(kAscendant, asc.longitude, asc.latitude);
    if (mc.index >= 0 && mc.longitude.is_angle()) table.at(kMidheaven) = point_row(kMidheaven, mc.longitude, mc.latitude);
}

// Part of Fortune: the Ascendant plus the Moon's distance from the Sun (Ptolemy,
// Tetrabiblos III.10); reversed for a night birth when the option asks for it, after the
// later practice of the Arabic authors.
void store_fortune(PositionTable& table, bool night_formula) {
    const PlanetPosition& asc = table.at(kAscendant);
    const PlanetPosition& sun = table.at(kSun);
    const PlanetPosition& moon = table.at(kMoon);
    if (!asc.is_valid() || !sun.is_valid() || !moon.is_valid()) return;
    double a = asc.longitude.to_degrees();
    double s = sun.longitude.to_degrees();
    double m = moon.longitude.to_degrees();
    double f = night_formula ? a + s - m : a + m - s;
    table.at(kFortune) = point_row(kFortune, AngleValue::degrees(reduce_degrees(f)), AngleValue::degrees(0.0));
}

bool is_night_hour(int planetary_hour) { return planetary_hour >= 13 && planetary_hour <= 24; }

}  // namespace

bool compute(Horoscope& h, MessageSink& messages, WorkerThreads& workers, EphemerisLibrary& library,
             ComputeReport* report) {
    if (std::getenv("TELLURIM_DEBUG")) {
        std::fputs(std::string(text(Str::ComputeTrace)).c_str(), stderr);
    }
    if (report) *report = ComputeReport{};

    const AstroSettings& astro = h.options.astro;
    const AstroSettings& last_astro = h.last_options.astro;
    const bool same_moment_place =
        same_julian_days(h.birth_ut, h.last_ut) && h.place == h.last_place && h.needs_computation == 0;
    const bool same_zero_date = same_julian_days(astro.zero_date, last_astro.zero_date);
    const bool same_house_system = astro.house_system == last_astro.house_system;
    const bool same_fortune_option = astro.fortune_day_night == last_astro.fortune_day_night;
    // the provider and the lunar node decide every position
    const bool same_ephemeris = h.options.ephemeris == h.last_options.ephemeris;
    const double zero_jd_et = astro.zero_date.jd_et;
    bool error = false;

    auto fail = [&h] {
        h.needs_computation = 1;
        h.error = true;
        return false;
    };

    // 1. Mean obliquity of the ecliptic of date.
    double eps = kInfinity;
    {
        StepTimer timer(report, 1);
        eps = mean_obliquity(h.birth_ut.jd_et, h.birth_ut.jd_et);
    }

    // 2. Local sidereal time.
    if (!same_moment_place) {
        StepTimer timer(report, 2);
        h.local_sidereal_time = local_sidereal_time(h.birth_ut, h.place.longitude);
    }

    // 3. Sunrise, sunset and the planetary hour of birth.
    if (!same_moment_place) {
        StepTimer timer(report, 3);
        LibrarySunMoon source(library, zero_jd_et);
        if (!compute_sun_record(source, h.birth_ut, h.place.longitude, h.place.latitude, h.sun)) {
            // A polar day or night is the sky as it is, not a failed computation: every later
            // step still runs, so it is told as a warning with its reason.
            if (h.sun.polar != SunPolar::None)
                messages.tell(str(Str::ComputeSunRiseSet) + " (" +
                                  str(h.sun.polar == SunPolar::PolarDay ? Str::SunPolarDay : Str::SunPolarNight) + ")",
                              str(Str::WarningCaption), MessageIcon::Warning);
            else
                report_failure(messages, str(Str::ComputeSunRiseSet));
            error = true;
        }
    }

    // 4. Movable house cusps.
    if (!same_moment_place || !same_house_system) {
        StepTimer timer(report, 4);
        if (!compute_house_cusps(astro.house_system, h.local_sidereal_time, h.place.latitude, AngleValue::radians(eps),
                                 h.houses_movable)) {
            report_failure(messages, str(Str::ComputeHousesMovable));
            error = true;
        }
    }

    // 5. Fixed house cusps.
    if (!same_moment_place || !same_zero_date || !same_house_system) {
        StepTimer timer(report, 5);
        if (!compute_fixed_house_cusps(h.houses_movable, h.birth_ut, astro.zero_date, h.houses_fixed)) {
            report_failure(messages, str(Str::ComputeHousesFixed));
            error = true;
        }
    }

    // 6. Planet positions on a worker of the thread table; this thread waits for it.
    const bool positions_stale = !same_moment_place || !same_zero_date || !same_fortune_option || !same_ephemeris;
    if (positions_stale) {
        StepTimer timer(report, 6);
        h.helio_movable.clear();
        h.helio_fixed.clear();
        h.geo_movable.clear();
        h.geo_fixed.clear();
        PositionJob job;
        job.h = &h;
        job.library = &library;
        job.jd_et = h.birth_ut.jd_et;
        job.zero_jd_et = zero_jd_et;
        int slot = workers.start(WorkerThreads::kKeepThread, &position_routine, &job);
        if (slot < 0) {
            job.message = str(Str::ComputePositionsError);
        } else {
            workers.wait(slot);
        }
        if (!job.ok) {
            report_failure(messages, str(Str::ComputePlanets) + "\n" + job.message);
            return fail();
        }
        store_angles(h.geo_movable, h.houses_movable);
        store_angles(h.geo_fixed, h.houses_fixed);
        bool night = astro.fortune_day_night != 0 && is_night_hour(h.sun.planetary_hour);
        store_fortune(h.geo_movable, night);
        store_fortune(h.geo_fixed, night);
    }

    // The Ascendant and Midheaven rows are houses 1 and 10, and house 10 depends on the system
    // (Modus Aequalis puts it at Ascendant + 270 degrees): a change of system alone renews
    // them, Fortune (from the Ascendant) and their coordinates.
    if (!positions_stale && !same_house_system) {
        store_angles(h.geo_movable, h.houses_movable);
        store_angles(h.geo_fixed, h.houses_fixed);
        bool night = astro.fortune_day_night != 0 && is_night_hour(h.sun.planetary_hour);
        store_fortune(h.geo_movable, night);
        store_fortune(h.geo_fixed, night);
    }

    // 7. Equatorial coordinates of date from the movable geocentric positions.
    const bool coordinates_stale =
        !same_moment_place || !same_fortune_option || !same_ephemeris || !same_house_system;
    if (coordinates_stale) {
        StepTimer timer(report, 7);
        for (int i = 0; i < kPlanetRows; ++i) {
            auto& row = h.equatorial[static_cast<std::size_t>(i)];
            row = EquatorialPosition{};
            const PlanetPosition& p = h.geo_movable.at(i);
            if (!p.longitude.is_angle() || !p.latitude.is_angle()) continue;
            double ra = kInfinity;
            double dec = kInfinity;
            if (ecliptic_to_equatorial(p.longitude.to_radians(), p.latitude.to_radians(), eps, ra, dec)) {
                row.right_ascension = AngleValue::radians(ra);
                row.declination = AngleValue::radians(dec);
            }
        }
    }

    // 8. Horizontal coordinates.
    if (coordinates_stale) {
        StepTimer timer(report, 8);
        for (int i = 0; i < kPlanetRows; ++i) {
            const auto& eq = h.equatorial[static_cast<std::size_t>(i)];
            auto& row = h.horizontal[static_cast<std::size_t>(i)];
            row = HorizontalPosition{};
            if (!eq.right_ascension.is_angle()) continue;
            equatorial_to_horizontal(h.place.latitude, h.local_sidereal_time, eq.right_ascension, eq.declination,
                                     row.azimuth, row.elevation);
        }
    }

    // 9. The lunation around the birth and its eclipses.
    {
        StepTimer timer(report, 9);
        LibrarySunMoon source(library, zero_jd_et);
        if (!compute_lunation(source, h.birth_ut, h.lunation)) {
            report_failure(messages, str(Str::ComputeLunation));
            return fail();
        }
    }

    // 10 to 20. The analyses.
    for (const AnalysisStep& a : kAnalysisSteps) {
        StepTimer timer(report, a.step);
        if (!a.run(h)) {
            // The strength step names the component that stopped it before its own text.
            if (a.step == 16 && h.strengths.failed_component > 0)
                report_failure(messages, str(strength_failure(h.strengths.failed_component)));
            report_failure(messages, str(a.failure));
            return fail();
        }
    }

    // 21. Store the cache keys.
    StepTimer timer(report, 21);
    if (error) return fail();
    h.last_place = h.place;
    h.last_ut = h.birth_ut;
    h.last_options = h.options;
    h.needs_computation = 0;
    h.error = false;
    return true;
}

bool set_and_compute(Horoscope& h, const BirthData& data, bool keep_initial, const Options& options,
                     MessageSink& messages, WorkerThreads& workers, EphemerisLibrary& library, const HostIdentity* host,
                     ComputeReport* report) {
    if (report) *report = ComputeReport{};
    const bool unchanged = h.needs_computation == 0 &&
                           truncate_utf16_units(data.last_name, kPersonNameUnits) == h.last_name &&
                           truncate_utf16_units(data.first_name, kPersonNameUnits) == h.first_name &&
                           data.sex == h.sex && data.place == h.place &&
                           truncate_utf16_units(data.state, kRegionNameUnits) == h.state &&
                           truncate_utf16_units(data.country, kRegionNameUnits) == h.country &&
                           same_julian_days(data.ut, h.birth_ut) && data.local == h.birth_local && options == h.options;
    if (unchanged) return true;
    if (!h.set_birth_data(data, keep_initial, options, host)) {
        h.needs_computation = 1;
        return false;
    }
    return compute(h, messages, workers, library, report);
}

bool polar_sun_only_failure(bool computed, const Horoscope& h, const ComputeReport& report) {
    return !computed && h.sun.polar != SunPolar::None && report.ran_step(kComputeSteps);
}

namespace {

// Moves a valid date-hour by `days`, keeping its calendar; an invalid result empties it.
void shift_date_hour(DateHour& d, double days) {
    if (!set_julian_day_ut(d, d.jd_ut + days)) d = DateHour{};
}

}  // namespace

bool shift_time(Horoscope& h, double minutes, MessageSink& messages, WorkerThreads& workers,
                EphemerisLibrary& library, ComputeReport* report) {
    const double days = minutes / 1440.0;
    // Each valid date-hour moves, even when the other one cannot; only a pair that is valid
    // before and after is computed.
    const bool ut_valid = is_valid(h.birth_ut);
    if (ut_valid) shift_date_hour(h.birth_ut, days);
    const bool local_valid = is_valid(h.birth_local);
    if (local_valid) shift_date_hour(h.birth_local, days);
    if (!ut_valid || !local_valid || !is_valid(h.birth_ut) || !is_valid(h.birth_local)) return false;
    return compute(h, messages, workers, library, report);
}

}  // namespace tellurim
