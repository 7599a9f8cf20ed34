#include "files/exchange_line.h"

#include "base/text.h"

namespace tellurim {

std::optional<std::string> separator_from_typed(std::string_view typed) {
    if (typed.empty()) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != '\\') {
            out += typed[i];
            continue;
        }
        if (i + 1 >= typed.size() || typed[i + 1] != 't') return std::nullopt;
        out += '\t';
        ++i;
    }
    return out;
}

std::string_view sex_word(std::uint8_t sex) {
    switch (sex) {
        case kMan: return "Man";
        case kWoman: return "Woman";
        default: return "Neuter";
    }
}

std::uint8_t sex_from_word(std::string_view w) {
    if (w == "M" || w == "Male" || w == "Man" || w == "H" || w == "Homme") return kMan;
    if (w == "F" || w == "Female" || w == "Femme" || w == "Woman" || w == "W") return kWoman;
    return kNeuter;
}

std::string exchange_line(const Horoscope& h, std::string_view sep) {
    std::string line;
    line.reserve(200);
    auto field = [&](std::string_view v) {
        line += v;
        line += sep;
    };
    field(h.last_name);
    field(h.first_name);
    field(sex_word(h.sex));
    field(format_date_hour(h.birth_local));
    field(h.place.city);
    field(h.place.county);
    field(h.state);
    field(h.country);
    const AngleValue& lon = h.place.longitude;
    const AngleValue& lat = h.place.latitude;
    field(lon.is_angle() ? format_angle(AngleValue::hours(lon.to_hours(), kFormatEastWest)) : format_angle(lon));
    field(lat.is_angle() ? format_angle(AngleValue::degrees(lat.to_degrees(), kFormatNorthSouth)) : format_angle(lat));
    field(format_date_hour(h.birth_ut));
    line = truncate_utf16_units(line, kExchangeLineUnits + 1);
    line += "\r\n";
    return line;
}

// A byte that does not start a complete, well-formed sequence becomes U+FFFD, as a strict
// conversion to wide characters would make it.
std::string valid_utf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    auto cont = [&s](std::size_t i) { return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
        bool ok = len > 0;
        for (std::size_t k = 1; ok && k < len; ++k) ok = cont(i + k);
        if (ok && len == 3) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            ok = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);  // overlong, surrogate
        }
        if (ok && len == 4) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            ok = !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);  // overlong, above U+10FFFF
        }
        if (!ok) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(s.substr(i, len));
        i += len;
    }
    return out;
}


}  // namespace tellurim
