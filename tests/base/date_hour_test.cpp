#include "base/date_hour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/strings.h"
#include "common/test_dates.h"

namespace tellurim {
namespace {

DateHour parsed(std::string_view text) { return test_date(text); }

// Julian days of Meeus, Astronomical Algorithms (2nd ed.), ch. 7, examples 7.a-7.b and the
// table after them.
TEST(DateHour, JulianDaysOfPublishedExamples) {
    struct Row { int year, month, day; double hour; bool julian; double jd; } rows[] = {
        {2000, 1, 1, 12.0, false, 2451545.0},  {1999, 1, 1, 0.0, false, 2451179.5},
        {1987, 1, 27, 0.0, false, 2446822.5},  {1987, 6, 19, 12.0, false, 2446966.0},
        {1988, 1, 27, 0.0, false, 2447187.5},  {1988, 6, 19, 12.0, false, 2447332.0},
        {1900, 1, 1, 0.0, false, 2415020.5},   {1600, 1, 1, 0.0, false, 2305447.5},
        {1600, 12, 31, 0.0, false, 2305812.5}, {837, 4, 10, 7.2, true, 2026871.8},
        {-123, 12, 31, 0.0, true, 1676496.5},  {-122, 1, 1, 0.0, true, 1676497.5},
        {-1000, 7, 12, 12.0, true, 1356001.0}, {-1000, 2, 29, 0.0, true, 1355866.5},
        {-1001, 8, 17, 21.6, true, 1355671.4}, {-4712, 1, 1, 12.0, true, 0.0},
        {1957, 10, 4, 19.44, false, 2436116.31}, {333, 1, 27, 12.0, true, 1842713.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.year << "-" << r.month << "-" << r.day);
        EXPECT_NEAR(julian_day(r.year, r.month, r.day, r.hour, r.julian), r.jd, 1e-6);
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

TEST(DateHour, StorageTextForm) {
    struct Row { const char* input; const char* formatted; } rows[] = {
        {"2000-01-01 00:00:00.00 GD", "2000-01-01 00:00:00.00 GD"},
        {"-134-02-03 12:00:00.00 JD", "-134-02-03 12:00:00.00 JD"},
        {"800-03-01 06:30:15.5", "0800-03-01 06:30:15.50 JD"},
        {"  1944-06-06 08:00:00  ", "1944-06-06 08:00:00.00 GD"},
        {"222-03-13 15:19:32.89 JD", "0222-03-13 15:19:32.89 JD"},
        {"390-03-21", "0390-03-21 00:00:00.00 JD"},
        {"-5-01-01 00:00:00", "-005-01-01 00:00:00.00 JD"},
        // seconds that round to 60.00 are written as the next minute, which reads back
        {"0800-12-31 23:59:59.998", "0801-01-01 00:00:00.00 JD"},
        {"2000-02-28 10:14:59.999 GD", "2000-02-28 10:15:00.00 GD"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.input);
        EXPECT_EQ(format_date_hour(parsed(r.input)), r.formatted);
        EXPECT_TRUE(parse_date_hour(format_date_hour(parsed(r.input))).ok);
    }
    EXPECT_EQ(display_date_hour(parsed("2000-12-31 23:59:59.999")), "Monday 1 January 2001, 00:00: 0.00");
    EXPECT_EQ(parsed("-134-02-03 12:00:00.00 JD").year, -134);
    EXPECT_EQ(format_date_hour(DateHour{}), "ERROR");
}

TEST(DateHour, ParseMessages) {
    struct Row { const char* input; const char* message; } rows[] = {
        {"", "date hour string null or blank"},
        {"   ", "date hour string null or blank"},
        {"2000-01-01 00:00:00:00", "bad token count"},
        {"x-01-01", "cannot get year int"},
        {"99999999999-01-01", "cannot get year int"},
        {"2000", "month is empty"},
        {"2000-x-01", "cannot get month int"},
        {"2000-13-01", "out of range month"},
        {"2000-01", "day is empty"},
        {"2000-01-x", "cannot get day int"},
        {"2000-01-32", "out of range day"},
        {"2000-01-01 x:00:00", "cannot get hour int"},
        {"2000-01-01 24:00:00", "out of range hour"},
        {"2000-01-01 00:x:00", "cannot get minute int"},
        {"2000-01-01 00:60:00", "out of range minute"},
        {"2000-01-01 00:00:x", "cannot get second"},
        {"2000-01-01 00:00:60", "out of range second"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.input);
        DateParse p = parse_date_hour(r.input);
        EXPECT_FALSE(p.ok);
        EXPECT_EQ(p.message, r.message);
        EXPECT_FALSE(is_valid(p.value));
    }
}

TEST(DateHour, EmptyTimeFieldsWarnButParseToMidnight) {
    DateParse p = parse_date_hour("2000-01-01");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.message, " warning: hour is empty  warning: minute is empty  warning: second is empty ");
    EXPECT_DOUBLE_EQ(p.value.jd_ut, 2451544.5);
}

// The parser takes any day 1 to 31; whether the month has it depends on the calendar. Meeus
// (ch. 7) dates -1000-02-29 in the Julian calendar, where every fourth year is a leap year in
// astronomical numbering (0 and -4 too, not -1); the Gregorian calendar drops 1900.
TEST(DateHour, DayExistsInItsMonth) {
    struct Row { const char* text; bool exists; } rows[] = {
        {"2023-02-28", true},     {"2023-02-29", false},     {"2023-02-31", false},     {"2023-04-31", false},
        {"2023-12-31", true},     {"2000-02-29", true},      {"1900-02-29 GD", false},  {"1900-02-29 JD", true},
        {"1500-02-29", true},     {"1582-02-29", false},     {"-1000-02-29 JD", true},  {"0000-02-29", true},
        {"-1-02-29", false},      {"-4-02-29", true},        {"-100-02-29 GD", false},  {"-400-02-29 GD", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        DateParse p = parse_date_hour(r.text);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(date_exists(p.value), r.exists);
    }
    // Against the Julian days of the first of each month, over four Gregorian centuries.
    for (bool julian : {false, true})
        for (int year = 1600; year < 2000; ++year)
            for (int month = 1; month <= 12; ++month) {
                const double length = julian_day(month == 12 ? year + 1 : year, month % 12 + 1, 1, 0.0, julian) -
                                      julian_day(year, month, 1, 0.0, julian);
                ASSERT_EQ(days_in_month(year, month, julian), static_cast<int>(length)) << year << "-" << month;
            }
}

// Seconds as "%5.2f" (space-padded), minutes as "%02"; a negative year as a positive number
// followed by "B.C." ("avant J.C."), year 0 as it is.
TEST(DateHour, DisplayForm) {
    struct Row { const char* date; const char* english; const char* french; } rows[] = {
        {"2000-01-01 00:00:00", "Saturday 1 January 2000, 00:00: 0.00", "Samedi 1 Janvier 2000, 00:00: 0.00"},
        {"1944-06-06 08:05:12.5", "Tuesday 6 June 1944, 08:05:12.50", "Mardi 6 Juin 1944, 08:05:12.50"},
        // weekdays from Meeus' Julian-calendar day numbers (ch. 7): JD 1672148.0 and 1721117.5
        {"-134-02-03 12:00:00.00 JD", "Wednesday 3 February 134 B.C., 12:00: 0.00",
         "Mercredi 3 Février 134 avant J.C., 12:00: 0.00"},
        {"0000-03-01 00:00:00 JD", "Monday 1 March 0, 00:00: 0.00", "Lundi 1 Mars 0, 00:00: 0.00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.date);
        DateHour d = parsed(r.date);
        EXPECT_EQ(display_date_hour(d), r.english);
        EXPECT_EQ(display_date_hour(d, Language::French), r.french);
    }
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
