#include "base/date_hour.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fmt/format.h>

#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

// Delta T in seconds at 0h UT of 1 January of every even year 1620..2020, ten values a row
// (the comment gives the year of the first). 1900 is -2.7 s, 2020 is 86 s; from 1998 on the
// values are an extrapolation that runs about 2 s above the observed ones.
constexpr double kDeltaTFirstKey = 2312752.5;  // 1620-01-01
constexpr double kDeltaTLastKey = 2458849.5;   // 2020-01-01
constexpr std::array<double, 201> kDeltaT = {
    124, 115, 106, 98, 91, 85, 79, 74, 70, 65,                                 // 1620
    62, 58, 55, 53, 50, 48, 46, 44, 42, 40,                                    // 1640
    37, 35, 33, 31, 28, 26, 24, 22, 20, 18,                                    // 1660
    16, 14, 13, 12, 11, 10, 9, 9, 9, 9,                                        // 1680
    9, 9, 9, 9, 10, 10, 10, 10, 10, 11,                                        // 1700
    11, 11, 11, 11, 11, 11, 11, 12, 12, 12,                                    // 1720
    12, 12, 13, 13, 13, 13, 14, 14, 14, 15,                                    // 1740
    15, 15, 15, 16, 16, 16, 16, 16, 17, 17,                                    // 1760
    17, 17, 17, 17, 17, 17, 16, 16, 15, 14,                                    // 1780
    13.7, 13.1, 12.7, 12.5, 12.5, 12.5, 12.5, 12.5, 12.5, 12.3,                // 1800
    12, 11.4, 10.6, 9.6, 8.6, 7.5, 6.6, 6, 5.7, 5.6,                           // 1820
    5.7, 5.9, 6.2, 6.5, 6.8, 7.1, 7.3, 7.5, 7.7, 7.8,                          // 1840
    7.9, 7.5, 6.4, 5.4, 2.9, 1.6, -1, -2.7, -3.6, -4.7,                        // 1860
    -5.4, -5.2, -5.5, -5.6, -5.8, -5.9, -6.2, -6.4, -6.1, -4.7,                // 1880
    -2.7, 0, 2.6, 5.4, 7.7, 10.5, 13.4, 16, 18.2, 20.2,                        // 1900
    21.2, 22.4, 23.5, 23.9, 24.3, 24, 23.9, 23.9, 23.7, 24,                    // 1920
    24.3, 25.3, 26.2, 27.3, 28.2, 29.1, 30, 30.7, 31.4, 32.2,                  // 1940
    33.1, 34, 35, 36.5, 38.3, 40.2, 42.2, 44.5, 46.5, 48.5,                    // 1960
    50.5, 52.2, 53.8, 54.9, 55.8, 56.9, 58.3, 60, 62, 64,                      // 1980
    66, 68, 70, 72, 74, 76, 78, 80, 82, 84,                                    // 2000
    86,                                                                        // 2020
};

// The table's keys: 0h UT of 1 January of 1620, 1622, ... 2020 (Gregorian), 730 or 731 days apart.
const std::array<double, 201>& delta_t_keys() {
    static const std::array<double, 201> keys = [] {
        std::array<double, 201> k{};
        for (std::size_t i = 0; i < k.size(); ++i) k[i] = julian_day(1620 + 2 * static_cast<int>(i), 1, 1, 0.0, false);
        return k;
    }();
    return keys;
}

double floor_div(double a, double b) { return std::floor(a / b); }

void make_invalid(DateHour& d) {
    bool julian = d.is_julian;
    bool no_dt = d.no_delta_t;
    d = DateHour{};
    d.is_julian = julian;
    d.no_delta_t = no_dt;
}

struct Fields {
    int year, month, day;
    double day_fraction;
};

Fields calendar_of(double jd, bool julian) {
    double z, a, y, r;
    if (julian) {
        z = jd - 1721116.5;
        a = std::floor(z);
        y = std::floor((a - 0.25) / 365.25);
        r = a - std::floor(365.25 * y);
    } else {
        z = jd - 1721118.5;
        a = std::floor(z);
        double c = std::floor((a - 0.25) / 36524.25);
        double dd = std::floor(c / 4);
        y = std::floor((c - dd + a - 0.25) / 365.25);
        r = c - dd + a - std::floor(365.25 * y);
    }
    double m = std::trunc((5 * r + 456) / 153);
    double day = r - std::trunc((153 * m - 457) / 5) + (z - a);
    if (m > 12) {
        y += 1;
        m -= 12;
    }
    return Fields{static_cast<int>(std::trunc(y)), static_cast<int>(m), static_cast<int>(std::trunc(day)),
                  day - std::trunc(day)};
}

bool in_range(const DateHour& d) {
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31 && d.hour >= 0 && d.hour <= 24 &&
           d.minute >= 0 && d.minute <= 59 && d.seconds >= 0 && d.seconds < 60 && d.day_of_week >= 0 &&
           d.day_of_week <= 6;
}

}  // namespace

void write_date_hour(ByteWriter& out, const DateHour& d) {
    out.i16(d.year);
    out.i8(d.month);
    out.i8(d.day);
    out.i8(d.hour);
    out.i8(d.minute);
    out.pad(2);
    out.f64(d.seconds);
    out.i8(d.day_of_week);
    out.u8(d.is_julian);
    out.u8(d.no_delta_t);
    out.pad(5);
    out.f64(d.jd_ut);
    out.f64(d.jd_et);
}

DateHour read_date_hour(ByteReader& in) {
    DateHour d;
    d.year = in.i16();
    d.month = in.i8();
    d.day = in.i8();
    d.hour = in.i8();
    d.minute = in.i8();
    in.skip(2);
    d.seconds = in.f64();
    d.day_of_week = in.i8();
    d.is_julian = in.u8();
    d.no_delta_t = in.u8();
    in.skip(5);
    d.jd_ut = in.f64();
    d.jd_et = in.f64();
    return d;
}

bool is_valid(const DateHour& d) {
    return in_range(d) && !std::isinf(d.jd_ut) && !std::isinf(d.jd_et) && !std::isnan(d.jd_ut) &&
           !std::isnan(d.jd_et);
}

double delta_t_seconds(double jd, bool no_delta_t) {
    if (no_delta_t) return 0.0;
    if (jd == kDeltaTLastKey) return kDeltaT.back();
    if (jd == kDeltaTFirstKey) return kDeltaT.front();
    if (jd > kDeltaTFirstKey && jd < kDeltaTLastKey) {
        const auto& keys = delta_t_keys();
        auto it = std::upper_bound(keys.begin(), keys.end(), jd);
        auto i = static_cast<std::size_t>(it - keys.begin()) - 1;
        return kDeltaT[i] + (kDeltaT[i + 1] - kDeltaT[i]) * (jd - keys[i]) / (keys[i + 1] - keys[i]);
    }
    double t = (jd - 2415020.0) / 36525.0;
    return 36.79 * t * t + 35.06 * t + 4.87;
}

double delta_t_days(double jd, bool no_delta_t) { return delta_t_seconds(jd, no_delta_t) / 86400.0; }

double julian_day(int year, int month, int day, double hour, bool julian) {
    double y = year, m = month;
    if (m < 3) {
        y -= 1;
        m += 12;
    }
    double f = std::floor((153 * m - 457) / 5);
    double j0 = julian ? f + day + 365 * y + floor_div(y, 4) + 1721116.5
                       : f + day + 365 * y + floor_div(y, 4) - floor_div(y, 100) + floor_div(y, 400) + 1721118.5;
    return j0 + hour / 24.0;
}

int days_in_month(int year, int month, bool julian) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month != 2) return kDays[static_cast<std::size_t>(month - 1)];
    const bool leap = year % 4 == 0 && (julian || year % 100 != 0 || year % 400 == 0);
    return leap ? 29 : 28;
}

bool date_exists(const DateHour& d) {
    return d.year != kNoYear && d.day >= 1 && d.day <= days_in_month(d.year, d.month, d.is_julian);
}

int day_of_week(double jd) {
    auto n = static_cast<long long>(std::floor(jd + 0.5)) + 1;
    int w = static_cast<int>(n % 7);
    return w < 0 ? w + 7 : w;
}

bool compute_julian_days(DateHour& d) {
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31 || d.hour < 0 || d.hour > 23 || d.minute < 0 ||
        d.minute > 59 || !(d.seconds >= 0 && d.seconds < 60) || d.year == kNoYear) {
        make_invalid(d);
        return false;
    }
    d.jd_ut = julian_day(d.year, d.month, d.day, d.hour + d.minute / 60.0 + d.seconds / 3600.0, d.is_julian);
    d.jd_et = d.jd_ut + delta_t_days(d.jd_ut, d.no_delta_t);
    d.day_of_week = static_cast<std::int8_t>(day_of_week(d.jd_ut));
    return true;
}

bool compute_calendar(DateHour& d) {
    double jd = d.jd_ut;
    // Years run from -32767 to 32767, within Julian days -10.2 and +13.7 million: beyond
    // twenty million the date is refused before its year overflows the calendar's integers.
    constexpr double kFarthestJulianDay = 2.0e7;
    if (!std::isfinite(jd) || std::fabs(jd) > kFarthestJulianDay) {
        make_invalid(d);
        return false;
    }
    Fields f = calendar_of(jd, d.is_julian);
    // Time of day in hundredths of a second, so that 59.995 seconds carries into the minute.
    auto cs = static_cast<long long>(std::llround(f.day_fraction * 8640000.0));
    long long hour = cs / 360000;
    double weekday_jd = jd;
    if (hour >= 24) {
        // rounds up to the next midnight: take the date of the following day at 00:00:00,
        // and its weekday with it
        weekday_jd = jd + 0.25;
        f = calendar_of(weekday_jd, d.is_julian);
        cs = 0;
        hour = 0;
    }
    if (f.year < -32767 || f.year > 32767) {
        make_invalid(d);
        return false;
    }
    d.year = static_cast<std::int16_t>(f.year);
    d.month = static_cast<std::int8_t>(f.month);
    d.day = static_cast<std::int8_t>(f.day);
    d.hour = static_cast<std::int8_t>(hour);
    d.minute = static_cast<std::int8_t>((cs / 6000) % 60);
    d.seconds = static_cast<double>(cs % 6000) / 100.0;
    d.day_of_week = static_cast<std::int8_t>(day_of_week(weekday_jd));
    if (!in_range(d)) {
        make_invalid(d);
        return false;
    }
    return true;
}

bool set_julian_day_ut(DateHour& d, double jd_ut) {
    d.jd_ut = jd_ut;
    if (!compute_calendar(d)) return false;
    d.jd_et = jd_ut + delta_t_days(jd_ut, d.no_delta_t);
    return true;
}

void set_no_delta_t(DateHour& d, bool on) {
    bool valid = is_valid(d);
    d.no_delta_t = on ? 1 : 0;
    if (valid) d.jd_et = d.jd_ut + delta_t_days(d.jd_ut, d.no_delta_t);
}

DateHour to_calendar(const DateHour& d, bool julian) {
    if (!is_valid(d) || static_cast<bool>(d.is_julian) == julian) return d;
    DateHour out = d;
    out.is_julian = julian ? 1 : 0;
    if (!compute_calendar(out)) return out;
    out.jd_ut = d.jd_ut;
    out.jd_et = d.jd_et;
    return out;
}

// Seconds are written with two decimals: a value from 59.995 on would print as "60.00", which
// no parser takes back. Such a value is written as the next minute, from its Julian day,
// whose conversion rounds the seconds to hundredths with the carries into minute, hour, day
// (and weekday).
DateHour written_fields(const DateHour& d) {
    if (!(std::round(d.seconds * 100.0) >= 6000.0)) return d;
    DateHour c = d;
    if (!set_julian_day_ut(c, d.jd_ut)) return d;
    return c;
}

std::string format_date_hour(const DateHour& value) {
    if (!is_valid(value)) return std::string(text(Str::AngleError));
    const DateHour d = written_fields(value);
    return fmt::format("{:04d}-{:02d}-{:02d} {:02d}:{:02d}:{:05.2f} {}", d.year, d.month, d.day, d.hour, d.minute,
                       d.seconds, d.is_julian ? "JD" : "GD");
}

DateParse parse_date_hour(std::string_view input) {
    DateParse r;
    auto fail = [&r](Str s) {
        r.ok = false;
        r.message += text(s);
        r.value = DateHour{};
        return r;
    };
    std::string work(trim(input));
    if (work.empty()) return fail(Str::DateBlank);

    int calendar = -1;  // -1 decided by the date, 0 Gregorian, 1 Julian
    if (auto p = work.find("JD"); p != std::string::npos) {
        calendar = 1;
        work.erase(p, 2);
    } else if (auto q = work.find("GD"); q != std::string::npos) {
        calendar = 0;
        work.erase(q, 2);
    }
    work = std::string(trim(work));
    bool negative = false;
    if (!work.empty() && work.front() == '-') {
        negative = true;
        work.erase(0, 1);
    }
    auto tokens = split_tokens(work, "- :");
    if (tokens.size() >= 7) return fail(Str::DateBadTokenCount);
    auto field = [&tokens](std::size_t i) { return i < tokens.size() ? tokens[i] : std::string_view(); };

    if (field(0).empty()) return fail(Str::DateYearEmpty);
    auto year = parse_integer(field(0));
    if (!year || *year < INT32_MIN || *year > INT32_MAX) return fail(Str::DateYearNotInt);
    if (*year < 0 || *year > 32767) return fail(Str::DateYearRange);

    if (field(1).empty()) return fail(Str::DateMonthEmpty);
    auto month = parse_integer(field(1));
    if (!month) return fail(Str::DateMonthNotInt);
    if (*month < 1 || *month > 12) return fail(Str::DateMonthRange);

    if (field(2).empty()) return fail(Str::DateDayEmpty);
    auto day = parse_integer(field(2));
    if (!day) return fail(Str::DateDayNotInt);
    if (*day < 1 || *day > 31) return fail(Str::DateDayRange);

    long long hour = 0, minute = 0;
    double seconds = 0;
    if (field(3).empty()) {
        r.message += text(Str::DateWarnHourEmpty);
    } else {
        auto h = parse_integer(field(3));
        if (!h) return fail(Str::DateHourNotInt);
        if (*h < 0 || *h >= 24) return fail(Str::DateHourRange);
        hour = *h;
    }
    if (field(4).empty()) {
        r.message += text(Str::DateWarnMinuteEmpty);
    } else {
        auto m = parse_integer(field(4));
        if (!m) return fail(Str::DateMinuteNotInt);
        if (*m < 0 || *m >= 60) return fail(Str::DateMinuteRange);
        minute = *m;
    }
    if (field(5).empty()) {
        r.message += text(Str::DateWarnSecondEmpty);
    } else {
        auto s = parse_decimal(field(5));
        if (!s) return fail(Str::DateSecondNotNumber);
        if (*s < 0 || *s >= 60) return fail(Str::DateSecondRange);
        seconds = *s;
    }

    if (calendar < 0) {
        // 15 October 1582 is the first Gregorian day; compared on integers to stay exact.
        calendar = (negative || *year * 10000 + *month * 100 + *day < 15821015) ? 1 : 0;
    }
    DateHour& d = r.value;
    d.year = static_cast<std::int16_t>(negative ? -*year : *year);
    d.month = static_cast<std::int8_t>(*month);
    d.day = static_cast<std::int8_t>(*day);
    d.hour = static_cast<std::int8_t>(hour);
    d.minute = static_cast<std::int8_t>(minute);
    d.seconds = seconds;
    d.is_julian = static_cast<std::uint8_t>(calendar);
    if (!compute_julian_days(d)) return fail(Str::DateDayRange);
    r.ok = true;
    return r;
}

std::string_view month_name(int month, Language lang) {
    static constexpr std::array<std::string_view, 12> en = {"January", "February", "March",     "April",
                                                             "May",     "June",     "July",      "August",
                                                             "September", "October", "November", "December"};
    static constexpr std::array<std::string_view, 12> fr = {"Janvier", "Février", "Mars",      "Avril",
                                                             "Mai",     "Juin",    "Juillet",   "Août",
                                                             "Septembre", "Octobre", "Novembre", "Décembre"};
    if (month < 1 || month > 12) return "?";
    return (lang == Language::French ? fr : en)[static_cast<std::size_t>(month - 1)];
}

std::string_view weekday_name(int weekday, Language lang) {
    static constexpr std::array<std::string_view, 7> en = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                            "Thursday", "Friday", "Saturday"};
    static constexpr std::array<std::string_view, 7> fr = {"Dimanche", "Lundi",    "Mardi", "Mercredi",
                                                            "Jeudi",    "Vendredi", "Samedi"};
    if (weekday < 0 || weekday > 6) return "?";
    return (lang == Language::French ? fr : en)[static_cast<std::size_t>(weekday)];
}

std::string display_date_hour(const DateHour& value, Language lang) {
    if (!is_valid(value)) return std::string(text(Str::AngleError));
    const DateHour d = written_fields(value);
    // A negative (astronomical) year is shown as a positive number followed by "B.C."; the
    // seconds as C's "%5.2f", padded with a space.
    std::string year = d.year >= 0 ? fmt::format("{}", d.year)
                                   : fmt::format("{} {}", -d.year, lang == Language::French ? "avant J.C." : "B.C.");
    return fmt::format("{} {} {} {}, {:02d}:{:02d}:{:5.2f}", weekday_name(d.day_of_week, lang), d.day,
                       month_name(d.month, lang), year, d.hour, d.minute, d.seconds);
}

std::optional<DateHour> local_to_universal(const DateHour& local, double correction_hours) {
    if (!is_valid(local) || !std::isfinite(correction_hours)) return std::nullopt;
    DateHour ut = local;
    if (!set_julian_day_ut(ut, local.jd_ut + correction_hours / 24.0)) return std::nullopt;
    return ut;
}

double local_mean_time_correction(double longitude_hours_east) { return -longitude_hours_east; }

}  // namespace tellurim
