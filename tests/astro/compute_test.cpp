#include "astro/compute.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/lunations.h"
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

    // The Ascendant and Midheaven rows are the cusps of houses 1 and 10. (The tables' values
    // are checked against the almanacs end to end in tests/data/cli/almanac.txt, and whole in
    // the golden report.)
    EXPECT_EQ(h.geo_movable.at(kAscendant).longitude, h.houses_movable[0].longitude);
    EXPECT_EQ(h.geo_fixed.at(kMidheaven).longitude, h.houses_fixed[9].longitude);
    for (int p : {kGulika, kMandi, kArudha}) EXPECT_TRUE(h.geo_fixed.at(p).is_valid()) << "after the Hindu step";
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
    EXPECT_EQ(format_date_hour(h.birth_ut), "2000-03-02 00:10:00.00 GD");
    EXPECT_EQ(format_date_hour(h.birth_local), "2000-03-02 01:10:00.00 GD");
    EXPECT_NEAR(h.birth_ut.jd_et - h.birth_ut.jd_ut, delta_t_days(h.birth_ut.jd_ut), 1e-8);
    EXPECT_EQ(h.initial_ut, initial_ut);
    EXPECT_EQ(ran(), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21");
    // 20 minutes of the Sun's motion: about 0.014 degree.
    EXPECT_NEAR(h.geo_movable.at(kSun).longitude.to_degrees() - sun_before, 20.0 / 1440 * 0.9985, 2e-3);

    ASSERT_TRUE(shift_time(h, -30.0, messages, workers, library, &report));
    EXPECT_EQ(format_date_hour(h.birth_ut), "2000-03-01 23:40:00.00 GD");
    EXPECT_EQ(format_date_hour(h.birth_local), "2000-03-02 00:40:00.00 GD");

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

}  // namespace
}  // namespace tellurim
