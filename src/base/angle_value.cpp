#include "base/angle_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fmt/format.h>

#include "base/text.h"

namespace tellurim {

double AngleValue::to_degrees() const {
    switch (unit) {
        case kUnitRadians: return value * kDegreesPerRadian;
        case kUnitDegrees: return value;
        case kUnitHours: return value * 15.0;
        default: return kInfinity;
    }
}

double AngleValue::to_radians() const {
    if (unit == kUnitRadians) return value;
    double d = to_degrees();
    return d == kInfinity ? kInfinity : d / kDegreesPerRadian;
}

double AngleValue::to_hours() const {
    if (unit == kUnitHours) return value;
    double d = to_degrees();
    return d == kInfinity ? kInfinity : d / 15.0;
}

void write_angle(ByteWriter& out, const AngleValue& a) {
    out.i32(a.kind);
    out.pad(4);
    out.f64(a.value);
    out.i32(a.unit);
    out.i32(a.format);
}

AngleValue read_angle(ByteReader& in) {
    AngleValue a;
    a.kind = in.i32();
    in.skip(4);
    a.value = in.f64();
    a.unit = in.i32();
    a.format = in.i32();
    return a;
}

std::string format_sexagesimal(double value, bool hours, int decimals) {
    if (value == kInfinity || value != value) return "ERROR";
    if (value == -kInfinity) return "NA";
    decimals = std::clamp(decimals, 0, 9);
    bool negative = value < 0;
    double v = std::fabs(value);
    // Round once, at the requested decimals of a second, then split: 59.999" carries into
    // the minute instead of printing 60.00".
    double scale = std::pow(10.0, decimals);
    auto per_minute = static_cast<long long>(60 * scale);
    auto per_unit = 60 * per_minute;
    std::string units_text;
    long long rest = 0;  // minutes and seconds in units of the last decimal
    if (v * 3600.0 * scale < 0x1p53) {
        auto total = static_cast<long long>(std::llround(v * 3600.0 * scale));
        units_text = std::to_string(total / per_unit);
        rest = total % per_unit;
    } else {
        // Too large for the total to be counted in an integer: the whole units are printed
        // from the double itself and only the fraction is rounded. Beyond 2^52 a double has no
        // fraction, so such values print as whole units with 00'00.00".
        double whole = std::floor(v);
        rest = std::llround((v - whole) * 3600.0 * scale);
        if (rest >= per_unit) {
            whole += 1.0;
            rest -= per_unit;
        }
        units_text = fmt::format("{:.0f}", whole);
    }
    long long minutes = rest / per_minute;
    double seconds = static_cast<double>(rest % per_minute) / scale;
    int width = decimals > 0 ? decimals + 3 : 2;
    return fmt::format("{}{}{}{:02d}'{:0{}.{}f}\"", negative ? "-" : "", units_text, hours ? 'h' : 'd', minutes,
                       seconds, width, decimals);
}

std::string format_angle(const AngleValue& a, int decimals) {
    if (a.value == kInfinity || a.value != a.value) return "ERROR";
    if (a.value == -kInfinity) return "NA";
    if (a.unit != kUnitDegrees && a.unit != kUnitHours) {
        // The shortest plain decimal that reads back to the same number: never the exponent
        // form ("1e-05"), which the parser refuses. 1e308 needs 309 digits.
        char buffer[400];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, a.value, std::chars_format::fixed);
        return ec == std::errc() ? std::string(buffer, end) : std::string("ERROR");
    }
    bool hours = a.unit == kUnitHours;
    if (a.format == kFormatEastWest || a.format == kFormatNorthSouth) {
        char suffix = a.format == kFormatEastWest ? (a.value >= 0 ? 'E' : 'W') : (a.value >= 0 ? 'N' : 'S');
        return format_sexagesimal(std::fabs(a.value), hours, decimals) + suffix;
    }
    return format_sexagesimal(a.value, hours, decimals);
}

std::optional<AngleValue> parse_angle(std::string_view input) {
    std::string t(trim(input));
    if (t.empty()) return std::nullopt;
    if (t == "NA") return AngleValue::not_available();
    if (t == "ERROR") return AngleValue::plain(kInfinity);

    std::int32_t unit = kUnitNone;
    char unit_letter = 0;
    if (t.find('h') != std::string::npos) {
        unit = kUnitHours;
        unit_letter = 'h';
    } else if (t.find('d') != std::string::npos) {
        unit = kUnitDegrees;
        unit_letter = 'd';
    }
    if (unit == kUnitNone) {
        std::string plain;
        for (char c : t)
            if (c != ' ') plain.push_back(c);
        auto v = parse_decimal(plain);
        if (!v) return std::nullopt;
        return AngleValue::plain(*v);
    }

    std::int32_t format = kFormatSigned;
    bool negative = false;
    switch (t.back()) {
        case 'N': format = kFormatNorthSouth; break;
        case 'S': format = kFormatNorthSouth; negative = true; break;
        case 'E': format = kFormatEastWest; break;
        case 'W': format = kFormatEastWest; negative = true; break;
        default: break;
    }
    std::string s;
    for (char c : t)
        if (c != ' ' && c != 'E' && c != 'W' && c != 'N' && c != 'S') s.push_back(c);
    if (!s.empty() && s.front() == '-') {
        if (format != kFormatSigned) return std::nullopt;
        negative = !negative;
        s.erase(0, 1);
    }

    auto u = s.find(unit_letter);
    std::string_view whole(s);
    std::string_view units_text = whole.substr(0, u);
    std::string_view rest = whole.substr(u + 1);
    std::string_view minutes_text, seconds_text;
    if (auto q = rest.find('\''); q != std::string_view::npos) {
        minutes_text = rest.substr(0, q);
        rest = rest.substr(q + 1);
        auto dq = rest.find('"');
        seconds_text = rest.substr(0, dq);
        if (dq != std::string_view::npos && dq + 1 != rest.size()) return std::nullopt;
    } else if (auto dq = rest.find('"'); dq != std::string_view::npos) {
        seconds_text = rest.substr(0, dq);
        if (dq + 1 != rest.size()) return std::nullopt;
    } else {
        minutes_text = rest;
    }
    if (units_text.empty()) return std::nullopt;
    // The whole units must hold in 32 bits, like the year of a date: up to there every
    // hundredth of a second is exact in a double, so the text reads back as it was given.
    auto units = parse_integer(units_text);
    if (!units || *units < 0 || *units > kMaxAngleUnits) return std::nullopt;
    long long minutes = 0;
    if (!minutes_text.empty()) {
        auto m = parse_integer(minutes_text);
        if (!m || *m < 0 || *m > 59) return std::nullopt;
        minutes = *m;
    }
    double seconds = 0;
    if (!seconds_text.empty()) {
        auto sec = parse_decimal(seconds_text);
        if (!sec || *sec < 0 || *sec >= 60) return std::nullopt;
        seconds = *sec;
    }
    double value = static_cast<double>(*units) + static_cast<double>(minutes) / 60.0 + seconds / 3600.0;
    if (format == kFormatEastWest && value > (unit == kUnitHours ? 12.0 : 180.0)) return std::nullopt;
    return AngleValue{2, negative ? -value : value, unit, format};
}

bool angle_units_too_large(std::string_view text) {
    std::string t(text);
    const auto letter = t.find_first_of("hd");
    if (letter == std::string::npos) return false;
    auto first = t.find_last_not_of("0123456789", letter == 0 ? std::string::npos : letter - 1);
    first = first == std::string::npos ? 0 : first + 1;
    if (first >= letter) return false;
    const std::string_view digits(t.data() + first, letter - first);
    const auto units = parse_integer(digits);
    if (units && *units <= kMaxAngleUnits) return false;
    return parse_angle(t.substr(0, first) + "0" + t.substr(letter)).has_value();
}

std::string format_signed_angle(const AngleValue& a, bool hours) {
    if (!a.is_angle()) return format_angle(a);
    return format_sexagesimal(hours ? a.to_hours() : a.to_degrees(), hours);
}

}  // namespace tellurim
