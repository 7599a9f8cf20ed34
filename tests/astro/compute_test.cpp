#include "astro/compute.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/lunations.h"
#include "sky/ayanamsa.h"
#include "core/ephemeris_library.h"
#include "sky/spherical.h"
#include "core/worker_threads.h"
#include "common/test_birth.h"

namespace tellurim {
namespace {

BirthData paris(const char* ut, const char* local) { return test_birth(ut, 2.3508, 48.8567, local); }

class ComputeTest : public testing::Test {
protected:
    void SetUp() override {
        // The provider is part of the build: its absence is a failure, not a reason to skip.
        ASSERT_TRUE(library.load(kEphemerisLow)) << "libephlow.so must be built beside the tests";
    }
    // A first computation of `data` with `opts`; asserts success.
    void first(const BirthData& data, const Options& opts) {
        ASSERT_TRUE(h.set_birth_data(data, true, opts));
        ASSERT_TRUE(compute(h, messages, workers, library, &report));
        ASSERT_TRUE(messages.messages.empty()) << messages.messages.front().text;
    }
    // The steps that ran, as "1 2 3 ...".
    std::string ran() const {
        std::string s;
        for (int i = 1; i <= kComputeSteps; ++i)
            if (report.ran_step(i)) s += (s.empty() ? "" : " ") + std::to_string(i);
        return s;
    }

    EphemerisLibrary library;
    WorkerThreads workers;
    RecordingMessages messages;
    Horoscope h;
    ComputeReport report;
    Options options;
};

TEST_F(ComputeTest, FirstComputationRunsEveryStepAndFillsTheTables) {
    first(paris("2000-01-01 12:00:00.00 GD", "2000-01-01 13:00:00.00 GD"), options);
    EXPECT_EQ(ran(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21");
    EXPECT_EQ(h.needs_computation, 0);
    EXPECT_FALSE(h.error);
    EXPECT_EQ(h.last_ut, h.birth_ut);
    EXPECT_EQ(h.last_place, h.place);
    EXPECT_TRUE(h.last_options == h.options);

    for (int p : {kSun, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kAscendant, kMidheaven, kRahu, kKethu,
                  kUranus, kNeptune, kPluto, kFortune}) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(h.geo_movable.at(p).is_valid());
        EXPECT_TRUE(h.geo_fixed.at(p).is_valid());
        EXPECT_TRUE(h.equatorial[p].right_ascension.is_angle());
        EXPECT_TRUE(h.horizontal[p].elevation.is_angle());
    }
    // Gulika, Mandi and Arudha come from the Hindu step, after the coordinates.
    for (int p : {kGulika, kMandi, kArudha}) EXPECT_TRUE(h.geo_fixed.at(p).is_valid());
    // The Ascendant and Midheaven rows are the cusps of houses 1 and 10.
    EXPECT_EQ(h.geo_movable.at(kAscendant).longitude, h.houses_movable[0].longitude);
    EXPECT_EQ(h.geo_fixed.at(kMidheaven).longitude, h.houses_fixed[9].longitude);
    // Steps 7 and 8 on the angles, by their definitions: the Midheaven is the ecliptic point
    // on the meridian, so its right ascension is the sidereal time and it stands due south
    // (azimuth 180 degrees) from Paris; the Ascendant is on the horizon (elevation 0).
    const double lst_deg = h.local_sidereal_time.to_degrees();
    EXPECT_NEAR(reduce_degrees(h.equatorial[kMidheaven].right_ascension.to_degrees() - lst_deg + 180.0), 180.0, 1e-9);
    EXPECT_NEAR(h.horizontal[kMidheaven].azimuth.to_degrees(), 180.0, 1e-9);
    EXPECT_NEAR(h.horizontal[kAscendant].elevation.to_degrees(), 0.0, 1e-9);
    // Sun at 280.37 degrees on 2000-01-01 12h TT (Astronomical Almanac 2000, apparent
    // longitude 280d22'); the low-precision provider and the series agree to well under 0.01.
    EXPECT_NEAR(h.geo_movable.at(kSun).longitude.to_degrees(), 280.37, 0.02);
    // The fixed Sun is the movable one less the ayanamsa.
    double aya = ayanamsa(h.birth_ut.jd_et, options.astro.zero_date.jd_et).to_degrees();
    EXPECT_NEAR(reduce_degrees(h.geo_movable.at(kSun).longitude.to_degrees() - h.geo_fixed.at(kSun).longitude.to_degrees()),
                aya, 0.01);
    // Sunrise and sunset of 2000-01-01 at Paris: the almanac's 07:44 and 16:04 UT count the
    // upper limb with 34' of refraction (0.833 degree); the centre on the true horizon comes
    // about 6.5 minutes later in the morning and earlier in the evening (the Sun climbs about
    // 7.7 degrees an hour there): 07:50.5 and 15:57.5 UT.
    EXPECT_EQ(h.sun.sunrise.day, 1);
    EXPECT_NEAR(std::fmod(h.sun.sunrise.jd_ut + 0.5, 1.0) * 24.0, 7.842, 0.05);
    EXPECT_NEAR(std::fmod(h.sun.sunset.jd_ut + 0.5, 1.0) * 24.0, 15.958, 0.05);
    EXPECT_EQ(h.sun.planetary_hour, 7);
    // New moon 1999-12-07 22:32 UT, full moon 1999-12-22 17:31 UT, new moon 2000-01-06 18:14 UT
    // (USNO phases of the Moon).
    EXPECT_NEAR(h.lunation.new_moon.jd_ut, 2451520.439, 2.0 / 1440);
    EXPECT_NEAR(h.lunation.full_moon.jd_ut, 2451535.230, 2.0 / 1440);
    EXPECT_NEAR(h.lunation.next_new_moon.jd_ut, 2451550.260, 2.0 / 1440);
    EXPECT_EQ(h.lunation.lunar_day, 25);
}

TEST_F(ComputeTest, GuardsSkipWhatDidNotChange) {
    first(paris("2000-01-01 12:00:00.00 GD", "2000-01-01 13:00:00.00 GD"), options);
    struct Row {
        const char* name;
        void (*change)(Options&);
        const char* steps;
    };
    const Row rows[] = {
        {"nothing", [](Options&) {}, "1 9 10 11 12 13 14 15 16 17 18 19 20 21"},
        {"to Modus Aequalis", [](Options& o) { o.astro.house_system = kModusAequalis; }, "1 4 5 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21"},
        {"from Modus Aequalis", [](Options& o) { o.astro.house_system = kPlacidus; }, "1 4 5 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21"},
        {"Fortune day/night", [](Options& o) { o.astro.fortune_day_night = 1; }, "1 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21"},
        {"zero date", [](Options& o) { o.astro.zero_date = test_date("222-03-13 15:19:32.89 JD"); }, "1 5 6 9 10 11 12 13 14 15 16 17 18 19 20 21"},
        {"unrelated option", [](Options& o) { o.astro.same_direction = 1; }, "1 9 10 11 12 13 14 15 16 17 18 19 20 21"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        r.change(h.options);
        auto houses_before = h.houses_movable;
        ASSERT_TRUE(compute(h, messages, workers, library, &report));
        EXPECT_EQ(ran(), r.steps);
        EXPECT_TRUE(h.last_options == h.options);
        if (ran().find(" 4 ") == std::string::npos) {
            EXPECT_EQ(h.houses_movable, houses_before);
        }
        // Whatever changed, the angle rows follow houses 1 and 10, with their coordinates.
        EXPECT_EQ(h.geo_movable.at(kMidheaven).longitude, h.houses_movable[9].longitude);
        EXPECT_EQ(h.geo_fixed.at(kMidheaven).longitude, h.houses_fixed[9].longitude);
        EXPECT_NEAR(h.equatorial[kMidheaven].right_ascension.to_degrees(),
                    h.geo_movable.at(kMidheaven).longitude.to_degrees(), 2.6);  // within the RA-longitude gap
    }
    // A different house system gives different intermediate cusps.
    Horoscope other;
    Options hindu;
    ASSERT_TRUE(other.set_birth_data(paris("2000-01-01 12:00:00.00 GD", "2000-01-01 13:00:00.00 GD"), true, hindu));
    ASSERT_TRUE(compute(other, messages, workers, library));
    EXPECT_NE(other.houses_movable[1].longitude, h.houses_movable[1].longitude);
    EXPECT_EQ(other.houses_movable[0].longitude, h.houses_movable[0].longitude);
}

TEST_F(ComputeTest, WithoutALibraryTheComputationFailsAndTheNextOneRunsEverything) {
    EphemerisLibrary none;
    ASSERT_TRUE(h.set_birth_data(paris("2000-01-01 12:00:00.00 GD", "2000-01-01 13:00:00.00 GD"), true, options));
    EXPECT_FALSE(compute(h, messages, workers, none, &report));
    EXPECT_EQ(messages.messages,
              (std::vector<Message>{{"Cannot compute Sun rise and set", "Computation error", MessageIcon::Warning},
                                    {"Cannot compute planets positions\ncomputePositions function not found.",
                                     "Computation error", MessageIcon::Warning}}));
    EXPECT_EQ(h.needs_computation, 1);
    EXPECT_TRUE(h.error);
    EXPECT_FALSE(is_valid(h.last_ut));  // cache keys untouched
    EXPECT_EQ(ran(), "1 2 3 4 5 6");

    messages.messages.clear();
    ASSERT_TRUE(compute(h, messages, workers, library, &report));
    EXPECT_EQ(ran(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21");
    EXPECT_TRUE(messages.messages.empty());

    // Once computed, a failing provider is not asked again for what did not change.
    EXPECT_TRUE(compute(h, messages, workers, library, &report));
    EXPECT_EQ(ran(), "1 9 10 11 12 13 14 15 16 17 18 19 20 21");
}

TEST_F(ComputeTest, FortuneByDayAndByNight) {
    struct Row { const char* name; const char* ut; std::uint8_t option; bool night_formula; };
    const Row rows[] = {
        {"day birth, option on", "2000-06-21 10:00:00.00 GD", 1, false},
        {"night birth, option on", "2000-06-21 23:00:00.00 GD", 1, true},
        {"night birth, option off", "2000-06-21 23:00:00.00 GD", 0, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Options o;
        o.astro.fortune_day_night = r.option;
        Horoscope chart;
        ASSERT_TRUE(chart.set_birth_data(paris(r.ut, r.ut), true, o));
        ASSERT_TRUE(compute(chart, messages, workers, library));
        EXPECT_EQ(chart.sun.planetary_hour >= 13, std::string(r.name).starts_with("night"));
        for (const PositionTable* t : {&chart.geo_movable, &chart.geo_fixed}) {
            double asc = t->at(kAscendant).longitude.to_degrees();
            double sun = t->at(kSun).longitude.to_degrees();
            double moon = t->at(kMoon).longitude.to_degrees();
            double expected = reduce_degrees(r.night_formula ? asc + sun - moon : asc + moon - sun);
            const PlanetPosition& f = t->at(kFortune);
            ASSERT_TRUE(f.is_valid());
            EXPECT_NEAR(f.longitude.to_degrees(), expected, 1e-9);
            EXPECT_EQ(f.latitude.to_degrees(), 0.0);
            EXPECT_EQ(f.index, kFortune);
        }
    }
}

TEST_F(ComputeTest, SetAndComputeDoesNotRecomputeIdenticalData) {
    BirthData data = paris("1980-05-17 08:30:00.00 GD", "1980-05-17 10:30:00.00 GD");
    ASSERT_TRUE(set_and_compute(h, data, true, options, messages, workers, library, nullptr, &report));
    EXPECT_EQ(ran(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21");
    ASSERT_TRUE(set_and_compute(h, data, true, options, messages, workers, library, nullptr, &report));
    EXPECT_EQ(ran(), "");

    data.ut = test_date("1980-05-17 08:30:01.00 GD");  // one second later
    ASSERT_TRUE(set_and_compute(h, data, true, options, messages, workers, library, nullptr, &report));
    EXPECT_EQ(ran(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21");

    BirthData bad = data;
    bad.place.longitude = AngleValue::not_available();
    EXPECT_FALSE(set_and_compute(h, bad, true, options, messages, workers, library, nullptr, &report));
    EXPECT_EQ(h.needs_computation, 1);
    EXPECT_EQ(ran(), "");
}

TEST_F(ComputeTest, ShiftTimeAcrossMidnight) {
    first(paris("2000-03-01 23:50:00.00 GD", "2000-03-02 00:50:00.00 GD"), options);
    DateHour initial_ut = h.initial_ut;
    double sun_before = h.geo_movable.at(kSun).longitude.to_degrees();
    ASSERT_TRUE(shift_time(h, 20.0, messages, workers, library, &report));
    EXPECT_EQ(h.birth_ut.day, 2);
    EXPECT_EQ(h.birth_ut.hour, 0);
    EXPECT_EQ(h.birth_ut.minute, 10);
    EXPECT_EQ(h.birth_local.day, 2);
    EXPECT_EQ(h.birth_local.hour, 1);
    EXPECT_NEAR(h.birth_ut.jd_et - h.birth_ut.jd_ut, delta_t_days(h.birth_ut.jd_ut), 1e-8);
    EXPECT_EQ(h.initial_ut, initial_ut);
    EXPECT_EQ(ran(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21");
    // 20 minutes of the Sun's motion: about 0.014 degree.
    EXPECT_NEAR(h.geo_movable.at(kSun).longitude.to_degrees() - sun_before, 20.0 / 1440 * 0.9985, 2e-3);

    ASSERT_TRUE(shift_time(h, -30.0, messages, workers, library, &report));
    EXPECT_EQ(h.birth_ut.day, 1);
    EXPECT_EQ(h.birth_ut.hour, 23);
    EXPECT_EQ(h.birth_ut.minute, 40);
    EXPECT_EQ(h.birth_local.day, 2);
    EXPECT_EQ(h.birth_local.minute, 40);

    Horoscope empty;
    EXPECT_FALSE(shift_time(empty, 10.0, messages, workers, library, &report));
    // An invalid universal date-hour does not stop the valid local one from moving; nothing
    // is computed then.
    DateHour local_before = h.birth_local;
    h.birth_ut = DateHour{};
    report = ComputeReport{};
    EXPECT_FALSE(shift_time(h, 60.0, messages, workers, library, &report));
    EXPECT_EQ(h.birth_local.hour, local_before.hour + 1);
    EXPECT_EQ(ran(), "");
}

TEST_F(ComputeTest, LowProviderLunationsAgainstPublishedMoments) {
    // USNO phases of the Moon, UT; the searches stop at one minute.
    struct Row {
        const char* birth;
        double new_moon;
        double full_moon;
        const char* new_moon_eclipse;
        const char* full_moon_eclipse_start;
    };
    const Row rows[] = {
        // 1999-08-11 11:08 total solar eclipse; 1999-08-26 23:48 full moon, no eclipse
        {"1999-08-20 00:00:00.00 GD", 2451401.964, 2451417.492, "Solar eclipse, central, total, north hemisphere", ""},
        // 2000-01-06 18:14 new moon; 2000-01-21 04:40 full moon, total lunar eclipse
        {"2000-01-10 00:00:00.00 GD", 2451550.260, 2451564.694, "", "Lunar eclipse, total"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.birth);
        Horoscope chart;
        ASSERT_TRUE(chart.set_birth_data(paris(r.birth, r.birth), true, options));
        ASSERT_TRUE(compute(chart, messages, workers, library));
        EXPECT_NEAR(chart.lunation.new_moon.jd_ut, r.new_moon, 2.0 / 1440);
        EXPECT_NEAR(chart.lunation.full_moon.jd_ut, r.full_moon, 2.0 / 1440);
        EXPECT_TRUE(eclipse_text(chart.lunation.new_moon_eclipse).starts_with(r.new_moon_eclipse));
        std::string full = eclipse_text(chart.lunation.full_moon_eclipse);
        EXPECT_TRUE(full.starts_with(r.full_moon_eclipse_start)) << full;
        if (*r.full_moon_eclipse_start == 0) {
            EXPECT_EQ(full, "");
        }
    }
}

}  // namespace
}  // namespace tellurim
