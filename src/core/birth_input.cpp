#include "core/birth_input.h"

#include <fmt/format.h>

#include <cmath>

#include "base/text.h"

namespace tellurim {

Message BirthInputCheck::to_message() const {
    return Message{str(message), str(Str::CaptionBadInput), MessageIcon::Warning, MessageButtons::Ok,
                   MessageAnswer::Ok};
}

namespace {
// The upper bound keeps a seconds value that rounds to 60.00 in the two-decimal text out.
constexpr double kMaxBirthSecond = 59.9999;

std::optional<int> integer_in(std::string_view text, long long low, long long high) {
    auto v = parse_integer(trim(text));
    if (!v || *v < low || *v > high) return std::nullopt;
    return static_cast<int>(*v);
}
}  // namespace

BirthInputCheck check_birth_input(const BirthInputText& f) {
    BirthInputCheck r;
    auto fail = [&r](BirthField field, Str message) {
        r.failed = field;
        r.message = message;
        return r;
    };
    auto day = integer_in(f.day, 1, 31);
    if (!day) return fail(BirthField::Day, Str::DayNotValid);
    r.day = *day;
    auto month = integer_in(f.month, 1, 12);
    if (!month) return fail(BirthField::Month, Str::MonthNotValid);
    r.month = *month;
    // DateHour keeps the year in 16 bits.
    auto year = integer_in(f.year, 1, 32767);
    if (!year) return fail(BirthField::Year, Str::YearNotValid);
    r.year = *year;
    auto hour = integer_in(f.hour, 0, 23);
    if (!hour) return fail(BirthField::Hour, Str::HourNotValid);
    r.hour = *hour;
    auto minute = integer_in(f.minute, 0, 59);
    if (!minute) return fail(BirthField::Minute, Str::MinuteNotValid);
    r.minute = *minute;
    auto second = parse_decimal(trim(f.second));
    if (!second || !(*second >= 0.0 && *second < kMaxBirthSecond)) return fail(BirthField::Second, Str::SecondNotValid);
    r.second = *second;
    return r;
}

std::optional<DateHour> birth_date_hour(const BirthInputCheck& f, bool bce, bool julian) {
    if (!f.ok()) return std::nullopt;
    DateHour d;
    d.year = static_cast<std::int16_t>(bce ? -f.year : f.year);
    d.month = static_cast<std::int8_t>(f.month);
    d.day = static_cast<std::int8_t>(f.day);
    d.hour = static_cast<std::int8_t>(f.hour);
    d.minute = static_cast<std::int8_t>(f.minute);
    d.seconds = f.second;
    d.is_julian = julian ? 1 : 0;
    // 31 February would silently become 3 March: the month's length in days refuses it.
    if (!date_exists(d)) return std::nullopt;
    if (!compute_julian_days(d)) return std::nullopt;
    return d;
}

std::optional<Str> birth_date_fault(const DateHour& d) {
    if (!date_exists(d)) return Str::BirthNoSuchDay;
    if (!(d.seconds < kMaxBirthSecond)) return Str::SecondNotValid;
    return std::nullopt;
}

std::string birth_date_fault_message(Str fault, std::string_view text) {
    if (fault != Str::BirthNoSuchDay) return str(fault);
    return str(Str::NotAValidDate) + " " + std::string(text) + ": " + str(Str::BirthNoSuchDay);
}

bool is_place_longitude(const AngleValue& a) { return a.format == kFormatEastWest && is_place_longitude_value(a); }

bool is_place_latitude(const AngleValue& a) { return a.format == kFormatNorthSouth && is_place_latitude_value(a); }

bool is_place_longitude_value(const AngleValue& a) { return a.is_angle() && std::abs(a.to_degrees()) <= 180.0; }

bool is_place_latitude_value(const AngleValue& a) {
    return a.is_angle() && a.unit != kUnitHours && std::abs(a.to_degrees()) <= 90.0;
}

namespace {
std::optional<AngleValue> parse_place_angle(std::string_view text, std::int32_t format) {
    auto a = parse_angle(text);
    if (!a || !a->is_finite()) return std::nullopt;
    if (a->unit == kUnitNone) a = AngleValue::degrees(a->value, format);  // a plain number of degrees
    const bool ok = format == kFormatEastWest ? is_place_longitude(*a) : is_place_latitude(*a);
    if (!ok) return std::nullopt;
    return a;
}
}  // namespace

std::optional<AngleValue> parse_birth_longitude(std::string_view text) {
    return parse_place_angle(text, kFormatEastWest);
}

std::optional<AngleValue> parse_birth_latitude(std::string_view text) {
    return parse_place_angle(text, kFormatNorthSouth);
}

}  // namespace tellurim
