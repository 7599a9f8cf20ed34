#include "base/date_hour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "base/strings.h"
#include "common/data_table.h"
#include "common/test_dates.h"

namespace tellurim {
namespace {

DateHour parsed(std::string_view text) { return test_date(text); }

// Julian days, storage texts, refusals, days of the month and display forms, from
// tests/data/core/dates.txt (Meeus, Astronomical Algorithms, ch. 7, for the Julian days).
TEST(DateHour, DatesOfTheTable) {
    for (const testing_data::DataRow& r : testing_data::data_rows("core/dates.txt")) {
        const std::size_t blank = r[0].find(' ');
        const std::string verb = r[0].substr(0, blank), text = blank == std::string::npos ? "" : r[0].substr(blank + 1);
        SCOPED_TRACE(r[0]);
        if (verb == "jd") {
            std::istringstream in(text);
            int year = 0, month = 0, day = 0;
            double hour = 0;
            std::string calendar;
            in >> year >> month >> day >> hour >> calendar;
            EXPECT_NEAR(julian_day(year, month, day, hour, calendar == "J"), r.num(1), 1e-6);
        } else if (verb == "storage") {
            EXPECT_EQ(format_date_hour(parsed(text)), r[1]);
            EXPECT_TRUE(parse_date_hour(r[1]).ok);
        } else if (verb == "refused") {
            const DateParse p = parse_date_hour(text);
            EXPECT_FALSE(p.ok);
            EXPECT_EQ(p.message, r[1]);
            EXPECT_FALSE(is_valid(p.value));
        } else if (verb == "exists") {
            EXPECT_EQ(date_exists(parsed(text)), r[1] == "yes");
        } else {
            EXPECT_EQ(display_date_hour(parsed(text)), r[1]);
            EXPECT_EQ(display_date_hour(parsed(text), Language::French), r[2]);
        }
    }
    EXPECT_EQ(format_date_hour(parsed("  1944-06-06 08:00:00  ")), "1944-06-06 08:00:00.00 GD");
    EXPECT_EQ(parse_date_hour("   ").message, "date hour string null or blank");
    EXPECT_EQ(display_date_hour(parsed("2000-12-31 23:59:59.999")), "Monday 1 January 2001, 00:00: 0.00");
    EXPECT_EQ(parsed("-134-02-03 12:00:00.00 JD").year, -134);
    EXPECT_EQ(format_date_hour(DateHour{}), "ERROR");
}

// Against the Julian days of the first of each month, over four Gregorian centuries.
TEST(DateHour, DaysInMonth) {
    for (bool julian : {false, true})
        for (int year = 1600; year < 2000; ++year)
            for (int month = 1; month <= 12; ++month) {
                const double length = julian_day(month == 12 ? year + 1 : year, month % 12 + 1, 1, 0.0, julian) -
                                      julian_day(year, month, 1, 0.0, julian);
                ASSERT_EQ(days_in_month(year, month, julian), static_cast<int>(length)) << year << "-" << month;
            }
}

TEST(DateHour, CalendarReformDays) {
    DateHour before = parsed("1582-10-04 12:00:00");
    DateHour after = parsed("1582-10-15 12:00:00");
    EXPECT_TRUE(before.is_julian);
    EXPECT_FALSE(after.is_julian);
    EXPECT_DOUBLE_EQ(before.jd_ut, 2299160.0);
    EXPECT_DOUBLE_EQ(after.jd_ut, 2299161.0);
    EXPECT_TRUE(parsed("1582-10-14 00:00:00").is_julian);
    EXPECT_FALSE(parsed("1582-10-04 12:00:00 GD").is_julian);  // an explicit marker wins
}

// date -> Julian day -> date, over +-10,000 years in both calendars, every 997.3 days (the
// step walks through every time of day and every day of the month over the span).
TEST(DateHour, RoundTripSweepBothCalendars) {
    for (int julian = 0; julian <= 1; ++julian) {
        SCOPED_TRACE(julian ? "Julian" : "Gregorian");
        int failures = 0;
        for (double jd = -1931000.5; jd < 5884000.0 && failures < 5; jd += 997.3) {
            DateHour d;
            d.is_julian = static_cast<std::uint8_t>(julian);
            ASSERT_TRUE(set_julian_day_ut(d, jd)) << jd;
            DateHour back = d;
            ASSERT_TRUE(compute_julian_days(back));
            if (std::fabs(back.jd_ut - jd) > 0.01 / 86400.0 + 1e-9 * std::fabs(jd)) {
                ++failures;
                ADD_FAILURE() << "jd " << jd << " -> " << format_date_hour(d) << " -> " << back.jd_ut;
            }
            // whole days come back exactly
            DateHour midnight;
            midnight.is_julian = static_cast<std::uint8_t>(julian);
            double j0 = std::floor(jd + 0.5) - 0.5;
            ASSERT_TRUE(set_julian_day_ut(midnight, j0));
            EXPECT_EQ(julian_day(midnight.year, midnight.month, midnight.day, 0.0, julian), j0);
        }
    }
}

TEST(DateHour, TimeOfDayRoundingCarriesIntoNextDay) {
    DateHour d;
    // 1999-12-31 23:59:59.999 rounds to 24:00:00.00: the date moves to 2000-01-01 00:00:00
    ASSERT_TRUE(set_julian_day_ut(d, 2451544.5 - 0.001 / 86400.0));
    EXPECT_EQ(format_date_hour(d), "2000-01-01 00:00:00.00 GD");
    EXPECT_EQ(d.day_of_week, 6);  // the weekday of the date shown: Saturday, not Friday
    EXPECT_EQ(display_date_hour(d), "Saturday 1 January 2000, 00:00: 0.00");
    // 59.996 seconds carry into the minute
    ASSERT_TRUE(set_julian_day_ut(d, 2451545.0 + (59.996) / 86400.0));
    EXPECT_EQ(format_date_hour(d), "2000-01-01 12:01:00.00 GD");
}

TEST(DateHour, DayOfWeek) {
    EXPECT_EQ(day_of_week(2451544.5), 6);  // 2000-01-01 was a Saturday
    EXPECT_EQ(day_of_week(2434923.5), 3);  // Meeus example 7.e: 1954-06-30, a Wednesday
    EXPECT_EQ(day_of_week(0.0), 1);        // -4712-01-01 12:00, a Monday
    EXPECT_EQ(day_of_week(-10.0), 5);      // negative days stay in 0..6
}

TEST(DateHour, DeltaT) {
    EXPECT_DOUBLE_EQ(delta_t_seconds(2458849.5), 86.0);  // last key
    EXPECT_DOUBLE_EQ(delta_t_seconds(2312752.5), 124.0); // first key
    EXPECT_DOUBLE_EQ(delta_t_seconds(2415020.5), -2.7);  // 1900-01-01, a key
    // halfway between the keys of 1900 (-2.7) and 1902 (0)
    double k1900 = julian_day(1900, 1, 1, 0, false), k1902 = julian_day(1902, 1, 1, 0, false);
    EXPECT_NEAR(delta_t_seconds((k1900 + k1902) / 2), -1.35, 1e-9);
    // one day after the table: the polynomial, about 100 s
    EXPECT_NEAR(delta_t_seconds(2458850.5), 100.0, 1.0);
    EXPECT_EQ(delta_t_seconds(2451545.0, true), 0.0);

    DateHour d = parsed("2000-01-01 12:00:00");
    EXPECT_NEAR((d.jd_et - d.jd_ut) * 86400.0, 66.0, 0.01);
    set_no_delta_t(d, true);
    EXPECT_EQ(d.jd_et, d.jd_ut);
}

TEST(DateHour, EmptyTimeFieldsWarnButParseToMidnight) {
    DateParse p = parse_date_hour("2000-01-01");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.message, " warning: hour is empty  warning: minute is empty  warning: second is empty ");
    EXPECT_DOUBLE_EQ(p.value.jd_ut, 2451544.5);
}

TEST(DateHour, ByteImage) {
    DateHour d = parsed("-134-02-03 12:00:00.00 JD");
    ByteWriter w;
    write_date_hour(w, d);
    ASSERT_EQ(w.size(), kDateHourSize);
    const auto& b = w.bytes();
    EXPECT_EQ(b[0] | (b[1] << 8), 0xFF7A);  // -134
    EXPECT_EQ(b[2], 2);
    EXPECT_EQ(b[3], 3);
    EXPECT_EQ(b[4], 12);
    EXPECT_EQ(b[17], 1);  // Julian calendar flag
    ByteReader r(b);
    EXPECT_EQ(read_date_hour(r), d);
    EXPECT_TRUE(r.ok());
}

TEST(DateHour, LocalToUniversal) {
    DateHour local = parsed("1944-06-06 08:00:00");
    auto ut = local_to_universal(local, -2.0);
    ASSERT_TRUE(ut);
    EXPECT_EQ(format_date_hour(*ut), "1944-06-06 06:00:00.00 GD");
    // crossing midnight backwards
    auto early = local_to_universal(parsed("2000-01-01 01:00:00"), -3.0);
    ASSERT_TRUE(early);
    EXPECT_EQ(format_date_hour(*early), "1999-12-31 22:00:00.00 GD");
    // local mean time at 15 degrees east: one hour behind
    EXPECT_DOUBLE_EQ(local_mean_time_correction(1.0), -1.0);
    EXPECT_FALSE(local_to_universal(DateHour{}, 1.0));
    // A correction from a damaged time-zone file (the fuzzer's 1.6e19 days) gives no date,
    // and neither does a Julian day whose year would overflow.
    EXPECT_FALSE(local_to_universal(local, -3.9e20));
    for (double jd : {1.7e19, -1.7e19, 2.1e7, -2.1e7}) {
        DateHour far;
        EXPECT_FALSE(set_julian_day_ut(far, jd)) << jd;
        EXPECT_FALSE(is_valid(far));
    }
    EXPECT_EQ(text(Str::CannotComputeUtNoLongitude),
              "Cannot compute UT time because longitude is not known and correction is local hour");
}

}  // namespace
}  // namespace tellurim
