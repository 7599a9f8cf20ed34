#include "files/exchange_line.h"

#include "base/text.h"
#include <array>
#include "core/birth_input.h"
#include "files/horoscope_file.h"

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

namespace {

enum LineField { kLast, kFirst, kSex, kLocal, kCity, kCounty, kState, kCountry, kLon, kLat, kUt, kLineFields };

// The eleven fields of the line, as written.
std::array<std::string, kLineFields> line_fields(const Horoscope& h) {
    const AngleValue& lon = h.place.longitude;
    const AngleValue& lat = h.place.latitude;
    return {h.last_name,
            h.first_name,
            std::string(sex_word(h.sex)),
            format_date_hour(h.birth_local),
            h.place.city,
            h.place.county,
            h.state,
            h.country,
            lon.is_angle() ? format_angle(AngleValue::hours(lon.to_hours(), kFormatEastWest)) : format_angle(lon),
            lat.is_angle() ? format_angle(AngleValue::degrees(lat.to_degrees(), kFormatNorthSouth))
                           : format_angle(lat),
            format_date_hour(h.birth_ut)};
}

// The label of a text field in messages; Count for the fields the line writes itself.
Str field_label(int i) {
    switch (i) {
        case kLast: return Str::FieldLastName;
        case kFirst: return Str::FieldFirstName;
        case kCity: return Str::FieldCity;
        case kCounty: return Str::FieldCounty;
        case kState: return Str::FieldState;
        case kCountry: return Str::FieldCountry;
        default: return Str::Count;
    }
}

// Every character that a sex word, a date-hour or an angle of a line may hold.
constexpr std::string_view kFixedFieldCharacters = "0123456789 -:.'\"GDJdhEWNSNeuterManWoman";

}  // namespace

std::string exchange_line(const Horoscope& h, std::string_view sep) {
    std::string line;
    line.reserve(200);
    for (const std::string& field : line_fields(h)) {
        line += field;
        line += sep;
    }
    line = truncate_utf16_units(line, kExchangeLineUnits + 1);
    line += "\r\n";
    return line;
}

std::optional<Str> export_separator_fault(std::string_view sep) {
    if (sep.empty()) return Str::ExportSeparatorEmpty;
    if (valid_utf8(sep) != sep) return Str::ExportSeparatorNotUtf8;
    if (sep.find_first_of("\r\n") != std::string_view::npos || sep.front() == ' ' || sep.back() == ' ')
        return Str::ExportSeparatorBreakOrSpace;
    if (sep.find_first_not_of(kFixedFieldCharacters) == std::string_view::npos)
        return Str::ExportSeparatorOnlyFieldCharacters;
    return std::nullopt;
}

std::optional<std::string> exchange_line_fault(const Horoscope& h, std::string_view sep) {
    if (auto fault = export_separator_fault(sep); fault && *fault != Str::ExportSeparatorOnlyFieldCharacters)
        return str(*fault);
    // The values the import checks, as the birth options check them.
    for (const DateHour* d : {&h.birth_local, &h.birth_ut}) {
        if (!is_valid(*d)) return str(Str::NotAValidDate);
        if (auto fault = birth_date_fault(*d)) return birth_date_fault_message(*fault, format_date_hour(*d));
    }
    if (!is_place_longitude_value(h.place.longitude)) return str(Str::NotAValidLongitude);
    if (!is_place_latitude_value(h.place.latitude)) return str(Str::NotAValidLatitude);
    BirthData texts;
    texts.last_name = h.last_name;
    texts.first_name = h.first_name;
    texts.place.city = h.place.city;
    texts.place.county = h.place.county;
    texts.state = h.state;
    texts.country = h.country;
    if (auto fault = birth_text_fault(texts)) return fault;

    const auto fields = line_fields(h);
    std::size_t units = 0;
    for (int i = 0; i < kLineFields; ++i) {
        const std::string& f = fields[static_cast<std::size_t>(i)];
        const Str label = field_label(i);
        // The import finds the first separator from the start of the field.
        if ((f + std::string(sep)).find(sep) != f.size()) {
            if (label == Str::Count) return str(Str::ExportSeparatorInFixedField) + " " + std::string(sep);
            return str(label) + " " + str(Str::ExportFieldHoldsSeparator) + " " + std::string(sep);
        }
        if (label != Str::Count && f.find_first_of("\r\n\t") != std::string::npos)
            return str(label) + " " + str(Str::ExportFieldHoldsBreak);
        if (label != Str::Count && !f.empty() && (f.front() == ' ' || f.back() == ' '))
            return str(label) + " " + str(Str::ExportFieldSpaces);
        units += utf8_to_utf16(f).size() + utf8_to_utf16(sep).size();
    }
    if (units > kExchangeLineUnits) return str(Str::ExportLineTooLong);
    return std::nullopt;
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
