#include "files/horoscope_file.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "astro/compute.h"
#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"
#include "core/output_file.h"
#include "core/birth_input.h"
#include "files/exchange_line.h"

namespace tellurim {
namespace {

// The names of the file's elements: a birth text holding one of them as a tag is refused.
constexpr std::array<std::string_view, 22> kElementNames{
    "horoscope", "version", "major", "minor", "release", "id", "person", "lastname", "firstname", "sex",
    "birthdatehourut", "initialebirthdatehourut", "birthdatehourlocale", "initialebirthdatehourlocale",
    "birthplace", "county", "city", "longitude", "latitude", "timezone", "state", "country"};

bool only_spaces(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

// A date-hour element; one that parses must also pass the checks of the birth options, else
// `fault` gets their message.
std::optional<DateHour> date_element(std::string_view text, std::string_view tag, std::string& fault) {
    auto content = element_content(text, tag);
    if (!content) return std::nullopt;
    DateParse p = parse_date_hour(*content);
    if (!p.ok) return std::nullopt;
    if (auto f = birth_date_fault(p.value)) {
        fault = birth_date_fault_message(*f, trim(*content));
        return std::nullopt;
    }
    return p.value;
}

// A longitude or latitude element, in the range the birth options accept (a latitude in
// degrees, not hours; E/W and N/S may be left out, as the import allows); else `fault` gets
// their message.
std::optional<AngleValue> place_element(std::string_view text, std::string_view tag, bool longitude,
                                        std::string& fault) {
    auto content = element_content(text, tag);
    if (!content) return std::nullopt;
    auto a = parse_angle(trim(*content));
    if (!a) return std::nullopt;
    if (!(longitude ? is_place_longitude_value(*a) : is_place_latitude_value(*a))) {
        fault = str(longitude ? Str::NotAValidLongitude : Str::NotAValidLatitude);
        return std::nullopt;
    }
    return a;
}

}  // namespace

std::optional<std::string_view> element_content(std::string_view text, std::string_view open_tag) {
    std::size_t start = text.find(open_tag);
    if (start == std::string_view::npos || open_tag.empty()) return std::nullopt;
    std::string close_tag(open_tag);
    close_tag.insert(1, "/");
    std::size_t content_start = start + open_tag.size();
    std::size_t end = text.find(close_tag, content_start);
    if (end == std::string_view::npos) return std::nullopt;
    return text.substr(content_start, end - content_start);
}

std::optional<std::string_view> file_tag_in(std::string_view text) {
    for (std::size_t p = text.find('<'); p != std::string_view::npos; p = text.find('<', p + 1)) {
        std::size_t name = p + 1;
        if (name < text.size() && text[name] == '/') ++name;
        std::size_t end = name;
        while (end < text.size() && text[end] >= 'a' && text[end] <= 'z') ++end;
        if (end == name || end >= text.size() || text[end] != '>') continue;
        const std::string_view n = text.substr(name, end - name);
        for (std::string_view e : kElementNames)
            if (n == e) return text.substr(p, end + 1 - p);
    }
    return std::nullopt;
}

// "County cannot hold a tag of the horoscope file: <latitude>", "County is not UTF-8 text".
std::optional<std::string> birth_text_fault(Str field, std::string_view text) {
    if (valid_utf8(text) != text) return str(field) + " " + str(Str::TextNotUtf8);
    if (auto tag = file_tag_in(text)) return str(field) + " " + str(Str::TextHoldsFileTag) + " " + std::string(*tag);
    return std::nullopt;
}

std::optional<std::string> birth_text_fault(const BirthData& b) {
    const std::pair<Str, const std::string*> texts[] = {
        {Str::FieldLastName, &b.last_name},  {Str::FieldFirstName, &b.first_name}, {Str::FieldCity, &b.place.city},
        {Str::FieldCounty, &b.place.county}, {Str::FieldState, &b.state},          {Str::FieldCountry, &b.country}};
    for (const auto& [field, t] : texts)
        if (auto fault = birth_text_fault(field, *t)) return fault;
    return std::nullopt;
}

std::string horoscope_file_text(const Horoscope& h) {
    std::string s;
    s.reserve(1024);
    auto line = [&s](std::string_view a, std::string_view value = {}, std::string_view b = {}) {
        s += a;
        s += value;
        s += b;
        s += "\r\n";
    };
    line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    line("<horoscope>");
    line("<version>");
    line("<major>", "2", "</major>");
    line("<minor>", "4", "</minor>");
    line("<release>", "7", "</release>");
    line("</version>");
    line("<id>", h.identifier, "</id>");
    line("<person>");
    line("<lastname>", h.last_name, "</lastname>");
    line("<firstname>", h.first_name, "</firstname>");
    line("<sex>", std::to_string(h.sex), "</sex>");
    line("</person>");
    line("<birthdatehourut>", format_date_hour(h.birth_ut), "</birthdatehourut>");
    line("<initialebirthdatehourut>", format_date_hour(h.initial_ut), "</initialebirthdatehourut>");
    line("<birthdatehourlocale>", format_date_hour(h.birth_local), "</birthdatehourlocale>");
    line("<initialebirthdatehourlocale>", format_date_hour(h.initial_local), "</initialebirthdatehourlocale>");
    line("<birthplace>");
    line("<county>", h.place.county, "</county>");
    line("<city>", h.place.city, "</city>");
    line("<longitude>", format_angle(h.place.longitude), "</longitude>");
    line("<latitude>", format_angle(h.place.latitude), "</latitude>");
    line("<timezone>", std::to_string(h.place.time_zone), "</timezone>");
    line("</birthplace>");
    line("<state>", h.state, "</state>");
    line("<country>", h.country, "</country>");
    line("</horoscope>");
    return s;
}

bool write_horoscope_file(Horoscope& h, const std::string& path) {
    if (replace_output_file(path, horoscope_file_text(h)) != OutputStatus::Written) return false;
    h.initial_ut = h.birth_ut;
    h.initial_local = h.birth_local;
    return true;
}

std::optional<HoroscopeFileData> parse_horoscope_text(std::string_view utf8, std::string* fault) {
    std::string refused;  // the message of a value the birth options refuse
    auto result = [&](std::optional<HoroscopeFileData> d) {
        if (fault) *fault = d ? std::string() : refused;
        return d;
    };
    // The file is read as wide characters: invalid sequences become U+FFFD, and every later
    // cut is on character boundaries.
    const std::string text = valid_utf8(utf8);
    if (only_spaces(text)) return result(std::nullopt);

    auto version = element_content(text, "<version>");
    if (!version || !element_content(*version, "<major>") || !element_content(*version, "<minor>") ||
        !element_content(*version, "<release>"))
        return result(std::nullopt);

    HoroscopeFileData d;
    if (auto id = element_content(text, "<id>")) d.identifier = truncate_utf16_units(*id, kIdentifierUnits - 1);

    auto person = element_content(text, "<person>");
    if (!person) return result(std::nullopt);
    auto last = element_content(*person, "<lastname>");
    auto first = element_content(*person, "<firstname>");
    auto sex = element_content(*person, "<sex>");
    if (!last || !first || !sex) return result(std::nullopt);
    d.birth.last_name = truncate_utf16_units(*last, kPersonNameUnits);
    d.birth.first_name = truncate_utf16_units(*first, kPersonNameUnits);
    auto sex_value = parse_decimal(trim(*sex));
    if (!sex_value || !(*sex_value > -2147483648.0 && *sex_value < 2147483647.0)) return result(std::nullopt);
    const double sex_whole = std::trunc(*sex_value);
    if (sex_whole != 0.0 && sex_whole != 1.0 && sex_whole != 2.0) return result(std::nullopt);
    d.birth.sex = static_cast<std::uint8_t>(sex_whole);

    auto ut = date_element(text, "<birthdatehourut>", refused);
    auto initial_ut = ut ? date_element(text, "<initialebirthdatehourut>", refused) : std::nullopt;
    auto local = initial_ut ? date_element(text, "<birthdatehourlocale>", refused) : std::nullopt;
    auto initial_local = local ? date_element(text, "<initialebirthdatehourlocale>", refused) : std::nullopt;
    if (!initial_local) return result(std::nullopt);
    d.birth.ut = *ut;
    d.birth.local = *local;
    d.initial_ut = *initial_ut;
    d.initial_local = *initial_local;

    auto place = element_content(text, "<birthplace>");
    if (!place) return result(std::nullopt);
    auto county = element_content(*place, "<county>");
    auto city = element_content(*place, "<city>");
    if (!county || !city) return result(std::nullopt);
    d.birth.place.county = truncate_utf16_units(*county, kCityUnits);
    d.birth.place.city = truncate_utf16_units(*city, kCityUnits);
    auto lon = place_element(*place, "<longitude>", true, refused);
    auto lat = lon ? place_element(*place, "<latitude>", false, refused) : std::nullopt;
    if (!lat) return result(std::nullopt);
    d.birth.place.longitude = *lon;
    d.birth.place.latitude = *lat;
    // A whole number in 32 bits: "abc", "nan" or "1e20" is refused rather than read as 0.
    auto tz = element_content(*place, "<timezone>");
    if (!tz) return result(std::nullopt);
    auto zone = parse_integer(trim(*tz));
    if (!zone || *zone < INT32_MIN || *zone > INT32_MAX) {
        refused = str(Str::NotAValidTimeZone) + " " + std::string(trim(*tz));
        return result(std::nullopt);
    }
    d.birth.place.time_zone = static_cast<std::int32_t>(*zone);

    if (auto state = element_content(text, "<state>")) d.birth.state = truncate_utf16_units(*state, kRegionNameUnits);
    if (auto country = element_content(text, "<country>"))
        d.birth.country = truncate_utf16_units(*country, kRegionNameUnits);

    // A text holding a tag of the file was either written before such texts were refused or
    // edited by hand: its elements cannot be told apart, so the file is refused.
    if (auto bad = birth_text_fault(d.birth)) {
        refused = std::move(*bad);
        return result(std::nullopt);
    }
    if (auto bad = birth_text_fault(Str::FieldIdentifier, d.identifier)) {
        refused = std::move(*bad);
        return result(std::nullopt);
    }
    return result(std::move(d));
}

HoroscopeFileStatus load_horoscope_file(const std::string& path, HoroscopeFileData& out, MessageSink& messages) {
    auto fail = [&](Str caption, HoroscopeFileStatus status) {
        messages.tell(path.empty() ? str(Str::HoroFileNoPath) : path, str(caption), MessageIcon::Warning);
        return status;
    };
    auto bytes = read_regular_text(path);
    if (!bytes) return fail(Str::HoroFileCannotOpen, HoroscopeFileStatus::CannotOpen);
    std::string fault;
    auto parsed = parse_horoscope_text(*bytes, &fault);
    if (!parsed) {
        if (fault.empty()) return fail(Str::HoroFileBadFormat, HoroscopeFileStatus::BadFormat);
        messages.tell((path.empty() ? str(Str::HoroFileNoPath) : path) + ": " + fault, str(Str::HoroFileBadFormat),
                      MessageIcon::Warning);
        return HoroscopeFileStatus::BadFormat;
    }
    out = std::move(*parsed);
    return HoroscopeFileStatus::Ok;
}

bool store_and_compute(Horoscope& h, const HoroscopeFileData& data, const Options& options, MessageSink& messages,
                       WorkerThreads& workers, EphemerisLibrary& library, ComputeReport* report) {
    // The file's initial date-hours are kept: they are in place before the birth data are
    // stored, and storing replaces them only when they are not valid.
    h.initial_ut = data.initial_ut;
    h.initial_local = data.initial_local;
    h.needs_computation = 1;
    const bool ok = set_and_compute(h, data.birth, false, options, messages, workers, library, nullptr, report);
    h.identifier = data.identifier;
    return ok;
}

bool read_horoscope_file(Horoscope& h, const std::string& path, const Options& options, MessageSink& messages,
                         WorkerThreads& workers, EphemerisLibrary& library) {
    HoroscopeFileData data;
    if (load_horoscope_file(path, data, messages) != HoroscopeFileStatus::Ok) return false;
    return store_and_compute(h, data, options, messages, workers, library);
}

std::string default_horoscope_file_name(const Horoscope& h, const std::string& horoscopes_dir) {
    std::string name = h.last_name + "_" + h.first_name + ".xml";
    if (horoscopes_dir.empty()) return name;
    return (std::filesystem::path(horoscopes_dir) / name).string();
}

std::string horoscope_file_filter() {
    return str(Str::HoroFileFilterDescription) + str(Str::HoroFileFilterExtension) + str(Str::HoroFileFilterPattern) +
           str(Str::HoroFileFilterExtension);
}

Message save_question(const Horoscope& h, const std::string& path) {
    std::string caption = str(Str::HoroFileSaveCaption) + " " + h.last_name + " " + h.first_name + " " +
                          format_date_hour(h.birth_local) + " " + str(Str::HoroFileAs) + " " + " :";
    return {path, caption, MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No};
}

SaveStatus save_horoscope(Horoscope& h, const std::string& path, MessageSink& messages) {
    // The file takes the name only when it is free; a file already there (another person of
    // the same names, or another run's) is replaced only after the question.
    OutputFile file;
    OutputStatus s = file.open(path);
    if (s == OutputStatus::Written) s = file.write(horoscope_file_text(h)) ? file.commit_new(path) : OutputStatus::Failed;
    if (s == OutputStatus::Exists) {
        if (messages.show(overwrite_question(path)) != MessageAnswer::Yes) return SaveStatus::Kept;
        s = file.commit();
    }
    if (s == OutputStatus::Written) {
        h.initial_ut = h.birth_ut;
        h.initial_local = h.birth_local;
        return SaveStatus::Saved;
    }
    messages.tell(path, str(s == OutputStatus::NotRegular ? Str::OutputNotRegular : Str::HoroFileCannotWrite),
                  MessageIcon::Error);
    return SaveStatus::Failed;
}

}  // namespace tellurim
