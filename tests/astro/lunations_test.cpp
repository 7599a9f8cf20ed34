#include "astro/lunations.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/data_table.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

constexpr double kMinute = 1.0 / 1440.0;

// Sun and Moon moving uniformly: new moons exactly every 360 / rate days after `t0`.
class UniformSky : public SunMoonSource {
public:
    UniformSky(double t0, double relative_deg_per_day, double sun_deg_per_day = 0.9856)
        : m_t0(t0), m_rel(relative_deg_per_day), m_sun(sun_deg_per_day) {}
    bool sun_moon(double jd_et, SunMoon& out) override {
        ++calls;
        if (fail_after >= 0 && calls > fail_after) return false;
        double dt = jd_et - m_t0;
        out.sun_lon = reduce_radians(degrees_to_radians(280.0 + m_sun * dt));
        out.sun_lat = 0.0;
        out.moon_lon = reduce_radians(out.sun_lon + degrees_to_radians(m_rel * dt));
        out.moon_lat = 0.0;
        return true;
    }
    double period() const { return 360.0 / m_rel; }
    int calls = 0;
    int fail_after = -1;

private:
    double m_t0;
    double m_rel;
    double m_sun;
};

constexpr double kT0 = 2451550.0;  // a new moon of the stub sky

// The rows of tests/data/astro/lunation_cases.txt for one kind.
std::vector<testing_data::DataRow> cases(const std::string& kind) {
    std::vector<testing_data::DataRow> rows;
    for (testing_data::DataRow& r : testing_data::data_rows("astro/lunation_cases.txt"))
        if (r[0] == kind) rows.push_back(std::move(r));
    return rows;
}

TEST(Lunations, PreviousNewMoonWithinOneMinute) {
    for (const testing_data::DataRow& r : cases("new-moon")) {
        SCOPED_TRACE(r.line);
        UniformSky sky(kT0, r[1] == "mean" ? 360.0 / 29.530589 : r.num(1));
        double nm = 0.0;
        ASSERT_TRUE(previous_new_moon(sky, kT0 + r.num(2), nm));
        EXPECT_NEAR(nm, kT0, kMinute);
    }
}

TEST(Lunations, PhasesAfterTheNewMoon) {
    for (double rate : {10.9, 12.19, 14.3}) {
        SCOPED_TRACE(rate);
        UniformSky sky(kT0, rate);
        for (auto [phase, k] : {std::pair{LunarPhase::FirstQuarter, 1}, {LunarPhase::FullMoon, 2}, {LunarPhase::LastQuarter, 3}}) {
            SCOPED_TRACE(k);
            double t = 0.0;
            ASSERT_TRUE(phase_after_new_moon(sky, kT0, phase, t));
            EXPECT_NEAR(t, kT0 + 90.0 * k / rate, kMinute);
        }
    }
}

DateHour ut_at(double jd_ut) {
    DateHour d = date_hour_from_ut(jd_ut);
    EXPECT_TRUE(is_valid(d));
    return d;
}

// The lunar day at the edges of the lunation, and the record's five moments in order.
TEST(Lunations, LunarDayAndTheFiveMoments) {
    // In the stub the Julian days are ET; a birth moment is given in UT, so place the births
    // relative to the stub's new moons in ET.
    UniformSky sky(kT0, 360.0 / 29.530589);
    double period = sky.period();
    struct Row {
        const char* name;
        double offset_days;  // from the new moon, ET
        int lunar_day;
    };
    const Row rows[] = {
        {"exactly at the new moon", 0.0, 1},
        {"one minute before the next new moon", 29.530589 - kMinute, 30},
        {"middle of the lunation", period / 2 + 0.01, 16},
        {"just past day 8", period * 7.5 / 30, 8},
        {"ten days on", 10.0, 11},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        DateHour probe = ut_at(kT0);
        double delta_t = probe.jd_et - probe.jd_ut;
        DateHour birth = ut_at(kT0 + r.offset_days - delta_t);
        birth.jd_et = kT0 + r.offset_days;  // exact, so that "at the new moon" is exact
        LunationRecord rec;
        ASSERT_TRUE(compute_lunation(sky, birth, rec)) << rec.error;
        EXPECT_EQ(rec.lunar_day, r.lunar_day);
        EXPECT_EQ(rec.error, "");
        const DateHour* moments[] = {&rec.new_moon, &rec.first_quarter, &rec.full_moon, &rec.last_quarter,
                                     &rec.next_new_moon};
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(moments[k]->jd_et, kT0 + k * period / 4, 2 * kMinute) << k;
    }
}

TEST(Lunations, FailureTexts) {
    UniformSky sky(kT0, 12.19);
    double nm = 0.0;
    EXPECT_FALSE(previous_new_moon(sky, kInfinity, nm));
    EXPECT_EQ(nm, kInfinity);
    sky.fail_after = 2;  // the provider fails in the middle of the search
    EXPECT_FALSE(previous_new_moon(sky, kT0 + 10.0, nm));
    EXPECT_EQ(nm, kInfinity);
    LunationRecord rec;
    EXPECT_FALSE(compute_lunation(sky, DateHour{}, rec));
    EXPECT_EQ(rec.error, "bad julian days");

    struct Row { int fail_after; const char* text; };
    // Each search costs one call for the elongation that places it (the new moon searches)
    // and two or three secant steps on this uniform sky (3, 3, 2, 2 and 4 calls in all);
    // failing the provider at these points hits each search in turn.
    const Row rows[] = {
        {0, "previous new moon computation error"},
        {3, "first quarter lunation computation error"},
        {6, "full moon lunation computation error"},
        {8, "last quarter lunation computation error"},
        {10, "next new moon lunation computation error"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        UniformSky failing(kT0, 12.19);
        failing.fail_after = r.fail_after;
        EXPECT_FALSE(compute_lunation(failing, ut_at(kT0 + 3.0), rec));
        EXPECT_EQ(rec.error, r.text);
    }
}

TEST(Eclipses, TextsInTheirOrder) {
    for (const testing_data::DataRow& r : testing_data::data_rows("astro/eclipse_texts.txt")) {
        SCOPED_TRACE(r.line);
        const std::string flags = " " + r[0] + " ";
        auto has = [&flags](const char* w) { return flags.find(std::string(" ") + w + " ") != std::string::npos; };
        const EclipseRecord e{.present = has("present"), .solar = has("solar"), .magnitude = r.num(1),
                              .central = has("central"), .total = has("total"), .partial = has("partial"),
                              .annular = has("annular"), .north = has("north"), .near_equator = has("near-equator"),
                              .ascending_node = has("ascending"), .penumbral = has("penumbral")};
        EXPECT_EQ(eclipse_text(e), r.text(2));
    }
}

// The eclipses of tests/data/astro/eclipses.txt (NASA's canons) from the mean lunation series.
TEST(Eclipses, MeanLunationSeriesOnWellKnownEclipses) {
    for (const testing_data::DataRow& r : testing_data::data_rows("astro/eclipses.txt")) {
        SCOPED_TRACE(r[2]);
        const bool full = r[0].ends_with("lunar");
        const std::string flags = " " + r[1] + " ";
        auto has = [&flags](const char* w) { return flags.find(std::string(" ") + w + " ") != std::string::npos; };
        EclipseRecord e = eclipse_at(std::stod(r[0]), full);
        ASSERT_TRUE(e.present);
        EXPECT_EQ(e.solar, !full);
        EXPECT_EQ(e.total, has("total"));
        EXPECT_EQ(e.annular, has("annular"));
        EXPECT_EQ(e.partial, has("partial"));
        EXPECT_EQ(e.penumbral, has("penumbral"));
        if (!full) {
            EXPECT_EQ(e.north, has("north"));
            EXPECT_EQ(e.central, !has("non-central"));
        }
        EXPECT_NEAR(e.jd_max, std::stod(r[0]), 0.1);
    }
    // The new moon after the 1999 eclipse (1999-09-09) falls a lunation past the node.
    EXPECT_FALSE(eclipse_at(2451430.7, false).present);
    EXPECT_FALSE(eclipse_at(kInfinity, true).present);
}

// Solar elevation of the stub's Sun at jd_ut, for checking the rise and set moments.
double elevation_deg(SunMoonSource& sky, double jd_ut, const AngleValue& lon, const AngleValue& lat) {
    double jd_et = jd_ut + delta_t_days(jd_ut), slon = 0.0, slat = 0.0, ra = 0.0, dec = 0.0;
    EXPECT_TRUE(sky.sun(jd_et, slon, slat));
    EXPECT_TRUE(ecliptic_to_equatorial(slon, slat, mean_obliquity(jd_et, jd_et), ra, dec));
    DateHour at;
    at.jd_ut = jd_ut;
    AngleValue lst = local_sidereal_time(at, lon), az, el;
    EXPECT_TRUE(equatorial_to_horizontal(lat, lst, AngleValue::radians(ra), AngleValue::radians(dec), az, el));
    return el.to_degrees();
}

TEST(SunRiseSet, CentreOnTheHorizonAtTheFoundMoments) {
    UniformSky sky(kT0, 12.19);  // the Sun moves about a degree a day
    struct Row { double lon; double lat; };
    const Row rows[] = {{2.35, 48.85}, {-77.0, 38.9}, {151.2, -33.9}, {0.0, 0.0}, {25.0, 60.0}, {-150.0, -60.0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.lon << " " << r.lat);
        AngleValue lon = AngleValue::degrees(r.lon);
        AngleValue lat = AngleValue::degrees(r.lat);
        DateHour birth = ut_at(kT0 + 0.3);
        SunRecord rec;
        ASSERT_TRUE(compute_sun_record(sky, birth, lon, lat, rec));
        ASSERT_TRUE(is_valid(rec.sunrise));
        ASSERT_TRUE(is_valid(rec.sunset));
        EXPECT_LT(rec.sunrise.jd_ut, rec.sunset.jd_ut);
        // The centre moves about 0.25 degree a minute near the horizon at mid latitudes:
        // 0.01 degree is well under 10 seconds.
        EXPECT_NEAR(elevation_deg(sky, rec.sunrise.jd_ut, lon, lat), 0.0, 0.01);
        EXPECT_NEAR(elevation_deg(sky, rec.sunset.jd_ut, lon, lat), 0.0, 0.01);
        // Both on the local day of the birth.
        double lmt_birth = std::floor(birth.jd_ut + r.lon / 360.0 + 0.5);
        EXPECT_EQ(std::floor(rec.sunrise.jd_ut + r.lon / 360.0 + 0.5), lmt_birth);
        EXPECT_EQ(std::floor(rec.sunset.jd_ut + r.lon / 360.0 + 0.5), lmt_birth);
        EXPECT_GE(rec.planetary_hour, 1);
        EXPECT_LE(rec.planetary_hour, 24);
    }
}

TEST(SunRiseSet, PolarDaysHaveNoRiseOrSetInsteadOfOneWeeksAway) {
    // The stub Sun stands at 280 degrees (declination about -23) at kT0 and moves a degree a
    // day; frozen at 280 it never rises at 75 north nor sets at 75 south, while moving it
    // gives rises weeks away that must not be taken as the birth day's.
    UniformSky moving(kT0, 12.19);
    UniformSky frozen(kT0, 12.19, 0.0);
    struct Row { SunMoonSource* sky; double lat; SunPolar polar; };
    const Row rows[] = {
        {&moving, 75.0, SunPolar::PolarNight},  {&frozen, 75.0, SunPolar::PolarNight},
        {&moving, -75.0, SunPolar::PolarDay},   {&frozen, -75.0, SunPolar::PolarDay},
        {&moving, -89.9, SunPolar::PolarDay},   {&moving, 50.0, SunPolar::None},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.lat << " " << static_cast<int>(r.polar));
        SunRecord rec;
        bool ok = compute_sun_record(*r.sky, ut_at(kT0 + 0.3), AngleValue::degrees(20.0), AngleValue::degrees(r.lat), rec);
        EXPECT_EQ(ok, r.polar == SunPolar::None);
        EXPECT_EQ(rec.polar, r.polar);
        EXPECT_EQ(is_valid(rec.sunrise), r.polar == SunPolar::None);
        EXPECT_EQ(is_valid(rec.sunset), r.polar == SunPolar::None);
        if (r.polar != SunPolar::None) {
            EXPECT_EQ(rec.planetary_hour, 0);
        }
    }
}

TEST(SunRiseSet, PolarNightMovesOutwardUntilASunrise) {
    // The stub Sun stands at 280 degrees (declination about -23) at kT0 and moves a degree a
    // day: at 75 degrees north it stays below the horizon for weeks around kT0.
    UniformSky sky(kT0, 12.19);
    AngleValue lon = AngleValue::degrees(20.0);
    AngleValue lat = AngleValue::degrees(75.0);
    double rise = 0.0;
    ASSERT_TRUE(sun_rise_or_set(sky, kT0, lon, lat, true, rise));
    EXPECT_GT(std::fabs(rise - kT0), 5.0);
    EXPECT_NEAR(elevation_deg(sky, rise, lon, lat), 0.0, 0.02);

    // A Sun that never moves from 270 degrees never rises at 80 degrees north: the 1000
    // steps are spent.
    UniformSky frozen(kT0, 12.19, 0.0);
    EXPECT_FALSE(sun_rise_or_set(frozen, kT0, lon, AngleValue::degrees(80.0), true, rise));
    EXPECT_EQ(rise, kInfinity);
}

TEST(SunRiseSet, PlanetaryHours) {
    for (const testing_data::DataRow& r : cases("planetary-hour"))
        EXPECT_EQ(planetary_hour(r.num(1), 99.75, 100.25, 100.75, 101.25), r.integer(2)) << "line " << r.line;
    EXPECT_EQ(planetary_hour(100.5, 99.75, kInfinity, 100.75, 101.25), 0);
}

TEST(SunRiseSet, CalendarOfTheResults) {
    EXPECT_EQ(format_date_hour(date_hour_from_ut(2299160.25)), "1582-10-04 18:00:00.00 JD");
    EXPECT_EQ(format_date_hour(date_hour_from_ut(2299160.5)), "1582-10-15 00:00:00.00 GD");
    EXPECT_FALSE(is_valid(date_hour_from_ut(kInfinity)));
}

}  // namespace
}  // namespace tellurim
