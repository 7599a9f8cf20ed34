// The horoscope file's writer and reader together: birth data that the input checks accept
// (the birth options' date-hour, longitude and latitude texts, any time-zone number, texts that
// birth_text_fault accepts), saved and read back, give the same birth data, and saving what was
// read gives the same bytes again.
// The input is twelve fields separated by NUL: last name, first name, sex (M, F, else neuter),
// universal date-hour, local date-hour (empty: the universal one), longitude, latitude, city,
// county, state, country, time-zone number.
#include <array>
#include <climits>

#include "core/birth_input.h"
#include "base/text.h"
#include "files/horoscope_file.h"
#include "fuzz_util.h"

using namespace tellurim;

namespace {

std::optional<DateHour> accepted_date(std::string_view text) {
    DateParse p = parse_date_hour(text);
    if (!p.ok || birth_date_fault(p.value)) return std::nullopt;
    return p.value;
}

bool same_angle(const AngleValue& a, const AngleValue& b) {
    return a.unit == b.unit && a.format == b.format && format_angle(a) == format_angle(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::string_view, 12> f{};
    std::string_view rest = fuzz::as_text(data, size);
    for (std::size_t i = 0; i < f.size(); ++i) {
        const auto nul = rest.find('\0');
        f[i] = rest.substr(0, nul);
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    BirthData b;
    b.last_name = f[0];
    b.first_name = f[1];
    b.sex = f[2] == "M" ? kMan : f[2] == "F" ? kWoman : kNeuter;
    auto ut = accepted_date(f[3]);
    auto local = f[4].empty() ? ut : accepted_date(f[4]);
    auto lon = parse_birth_longitude(f[5]);
    auto lat = parse_birth_latitude(f[6]);
    if (!ut || !local || !lon || !lat) return 0;
    b.ut = *ut;
    b.local = *local;
    b.place.longitude = *lon;
    b.place.latitude = *lat;
    b.place.city = f[7];
    b.place.county = f[8];
    b.state = f[9];
    b.country = f[10];
    const auto zone = parse_integer(f[11]);
    b.place.time_zone = zone && *zone >= INT32_MIN && *zone <= INT32_MAX ? static_cast<std::int32_t>(*zone) : -1;
    if (birth_text_fault(b)) return 0;

    static const Options options{};
    static Horoscope saved;
    static Horoscope read;
    fuzz::check(saved.set_birth_data(b, true, options));
    const std::string file = horoscope_file_text(saved);
    std::string fault;
    auto parsed = parse_horoscope_text(file, &fault);
    fuzz::check(parsed.has_value());
    const BirthData& r = parsed->birth;
    fuzz::check(r.last_name == saved.last_name && r.first_name == saved.first_name && r.sex == saved.sex);
    fuzz::check(r.place.city == saved.place.city && r.place.county == saved.place.county);
    fuzz::check(r.state == saved.state && r.country == saved.country && r.place.time_zone == saved.place.time_zone);
    fuzz::check(same_angle(r.place.longitude, saved.place.longitude));
    fuzz::check(same_angle(r.place.latitude, saved.place.latitude));
    fuzz::check(format_date_hour(r.ut) == format_date_hour(saved.birth_ut) && r.ut.is_julian == saved.birth_ut.is_julian);
    fuzz::check(format_date_hour(r.local) == format_date_hour(saved.birth_local));
    fuzz::check(format_date_hour(parsed->initial_ut) == format_date_hour(saved.initial_ut));
    fuzz::check(format_date_hour(parsed->initial_local) == format_date_hour(saved.initial_local));
    fuzz::check(parsed->identifier == saved.identifier);

    // Stored as an open stores it (the file's initial date-hours and identifier kept), and saved again.
    read.initial_ut = parsed->initial_ut;
    read.initial_local = parsed->initial_local;
    fuzz::check(read.set_birth_data(r, false, options));
    read.identifier = parsed->identifier;
    fuzz::check(horoscope_file_text(read) == file);
    return 0;
}
