#pragma once
// DateHour: a calendar date and time of day, Gregorian or Julian, with its Julian days in
// universal time (UT) and ephemeris time (ET = UT + Delta T).
//
// Invalid fields hold markers: year -32768, the 8-bit fields -128, seconds and Julian days
// positive infinity. A new value is entirely invalid.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/byte_io.h"

namespace tellurim {

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();
inline constexpr std::int16_t kNoYear = -32768;
inline constexpr std::int8_t kNoField = -128;

struct DateHour {
    std::int16_t year = kNoYear;
    std::int8_t month = kNoField;
    std::int8_t day = kNoField;
    std::int8_t hour = kNoField;
    std::int8_t minute = kNoField;
    double seconds = kInfinity;
    std::int8_t day_of_week = kNoField;  // 0 Sunday .. 6 Saturday
    std::uint8_t is_julian = 0;          // 1: Julian calendar
    std::uint8_t no_delta_t = 0;         // 1: Delta T is zero for this value
    double jd_ut = kInfinity;
    double jd_et = kInfinity;

    bool operator==(const DateHour&) const = default;
};

// Byte image of a DateHour inside the binary files: 40 bytes.
// 0 year i16 | 2 month i8 | 3 day i8 | 4 hour i8 | 5 minute i8 | 6 pad 2 | 8 seconds f64
// | 16 day of week i8 | 17 Julian flag u8 | 18 no-Delta-T flag u8 | 19 pad 5 | 24 JD UT f64 | 32 JD ET f64
inline constexpr std::size_t kDateHourSize = 40;
void write_date_hour(ByteWriter& out, const DateHour& d);
DateHour read_date_hour(ByteReader& in);

// Valid when month, day, hour (0..24), minute, seconds and day of week are in range and
// neither Julian day is infinite.
bool is_valid(const DateHour& d);

// Julian days from the calendar fields (and Delta T for ET). Failure makes `d` invalid.
bool compute_julian_days(DateHour& d);
// Calendar fields and day of week from d.jd_ut in the calendar d.is_julian names; jd_et is
// left as it is. A time of day that rounds to 24:00 moves to 00:00 of the next day.
bool compute_calendar(DateHour& d);
// Sets jd_ut, rebuilds the calendar fields and sets jd_et = jd_ut + Delta T.
bool set_julian_day_ut(DateHour& d, double jd_ut);
// Sets the no-Delta-T flag and, when `d` is valid, recomputes its Julian days.
void set_no_delta_t(DateHour& d, bool on);
// The same moment in the Gregorian calendar (or Julian when `julian`).
DateHour to_calendar(const DateHour& d, bool julian);

// Delta T in days for Julian day UT `jd` (zero when `no_delta_t`).
double delta_t_days(double jd, bool no_delta_t = false);
double delta_t_seconds(double jd, bool no_delta_t = false);

// Julian day at 0h UT of the pure calendar date (mathematical floor for negative years).
double julian_day(int year, int month, int day, double hour, bool julian);

// Number of days of `month` (1..12) in `year` of the Julian or the Gregorian calendar; 0 for
// a month outside 1..12. February has 29 days in a leap year: every fourth year in the Julian
// calendar (astronomical numbering, so year 0 and year -4 are leap years), and in the
// Gregorian calendar also, except the century years not divisible by 400.
int days_in_month(int year, int month, bool julian);
// True when the value's day exists in its month and year of its own calendar: "2023-02-31"
// parses (each field is within its range) but names no real day.
bool date_exists(const DateHour& d);

// Day of week for a Julian day: 0 Sunday .. 6 Saturday.
int day_of_week(double jd);

// Storage text form: "2000-01-01 00:00:00.00 GD", "-134-02-03 12:00:00.00 JD"; "ERROR"
// when not valid.
std::string format_date_hour(const DateHour& d);
// The fields as the text forms write them: seconds that round to 60.00 are carried into the
// minute, and so on up to the date and its weekday ("1999-12-31 23:59:59.999" is written
// "2000-01-01 00:00:00.00", a Saturday). Other values are returned as they are.
DateHour written_fields(const DateHour& d);

struct DateParse {
    bool ok = false;
    DateHour value;       // fields and calendar set; Julian days computed when ok
    std::string message;  // the failure message, or the warnings of an accepted text
};
// Parses the storage text form. On success the Julian days are computed.
DateParse parse_date_hour(std::string_view text);

enum class Language { English, French };
// Display form: "Saturday 1 January 2000, 00:00:00.00" (French: "Samedi 1 Janvier 2000, ...");
// years before year 1 as "134 B.C." / "134 avant J.C.".
std::string display_date_hour(const DateHour& d, Language lang = Language::English);
std::string_view month_name(int month, Language lang);
std::string_view weekday_name(int weekday, Language lang);

// Universal date-hour from a local (legal) one: U.T. = legal + correction (hours).
// The result keeps the local value's calendar and no-Delta-T flag.
std::optional<DateHour> local_to_universal(const DateHour& local, double correction_hours);
// The correction of local mean time at a longitude east-positive in hours: minus the longitude.
double local_mean_time_correction(double longitude_hours_east);

}  // namespace tellurim
