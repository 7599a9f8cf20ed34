#include "files/cities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "base/angle_value.h"
#include "core/paths.h"
#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

constexpr const char* kCrLf = "\r\n";

// A fixed UTF-16 array read into `buf` without allocating: the scans below read thousands
// of names per search.
using NameBuffer = std::array<char16_t, kDirPathUnits>;
// The reader ends past the whole array, as ByteReader::utf16_fixed leaves it.
std::u16string_view read_name(ByteReader& in, std::size_t units, NameBuffer& buf) {
    std::size_t end = in.position() + 2 * units;
    std::size_t n = 0;
    for (std::size_t k = 0; k < units; ++k) {
        char16_t c = in.u16();
        if (c == 0) break;
        buf[n++] = c;
    }
    in.seek(end);
    return {buf.data(), n};
}

// The first index record whose field at `offset` (a UTF-16 array of `units`) matches `wanted`;
// -1 when none. Names are compared in UTF-16 straight from the file image.
long find_index_record(std::span<const std::uint8_t> index, std::size_t offset, std::size_t units,
                       const std::u16string& wanted, const NameCollator& names) {
    ByteReader in(index);
    NameBuffer buf;
    std::size_t count = index.size() / kDirectoryEntrySize;
    for (std::size_t i = 0; i < count; ++i) {
        in.seek(i * kDirectoryEntrySize + offset);
        if (names.equal(read_name(in, units, buf), wanted)) return static_cast<long>(i);
    }
    return -1;
}

DirectoryEntry index_record(std::span<const std::uint8_t> index, long i) {
    ByteReader in(index);
    in.seek(static_cast<std::size_t>(i) * kDirectoryEntrySize);
    ByteReader rec = in.sub(kDirectoryEntrySize);
    return read_directory_entry(rec);
}

bool is_blank(std::string_view s) { return trim(s).empty(); }

// A FIFO or a directory standing for the city file is taken as missing.
bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool is_directory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace

bool is_local_mean_time(const AngleValue& correction) { return correction.to_hours() == kLocalMeanTimeMarker; }

std::string no_correction_cause(const std::vector<CorrectionRecord>& records, const DateHour& date_hour,
                                const std::string& correction_file) {
    std::string cause = str(Str::PlaceNoCorrectionFor) + " " + correction_file + " " + str(Str::PlaceHolds) + " " +
                        format_date_hour(date_hour);
    const CorrectionRecord* first = nullptr;
    const CorrectionRecord* last = nullptr;
    for (const auto& r : records) {
        if (!first || r.begin.jd_ut < first->begin.jd_ut) first = &r;
        if (!last || r.end.jd_ut > last->end.jd_ut) last = &r;
    }
    if (first && last)
        cause += " (" + str(Str::PlaceRecordsCover) + " " + format_date_hour(first->begin) + " " +
                 str(Str::PlaceRecordsTo) + " " + format_date_hour(last->end) + ")";
    return cause + ".";
}

CorrectionResult find_correction(DateHour& date_hour, const std::string& correction_file, const BirthPlace& place) {
    auto records = read_correction_file(correction_file);
    if (!records) {
        CorrectionResult res;
        res.feedback = str(Str::PlaceTimeZonesFileNotFound) + " " + correction_file;
        return res;
    }
    return find_correction_in(*records, date_hour, place);
}

CorrectionResult find_correction_in(const std::vector<CorrectionRecord>& records, DateHour& date_hour,
                                    const BirthPlace& place) {
    CorrectionResult res;
    res.ok = true;
    double jd = date_hour.jd_ut;
    const CorrectionRecord* taken = nullptr;
    for (const auto& r : records) {
        if (r.begin.jd_ut <= jd && jd <= r.end.jd_ut) {
            taken = &r;
            break;
        }
    }
    if (!taken) {
        res.feedback = str(Str::PlaceCannotFindCorrection);
        return res;
    }
    double hours = taken->correction.to_hours();
    if (hours == kLocalMeanTimeMarker) {
        double lon_hours = place.longitude.is_angle() ? place.longitude.to_hours() : kInfinity;
        if (!std::isfinite(lon_hours)) {
            res.ok = false;
            res.feedback = str(Str::CannotComputeUtNoLongitude);
            return res;
        }
        hours = local_mean_time_correction(lon_hours);
    }
    auto ut = std::isfinite(hours) ? local_to_universal(date_hour, hours) : std::nullopt;
    if (!ut) {
        res.feedback = str(Str::PlaceCannotFindCorrection);
        return res;
    }
    date_hour = *ut;
    res.found = true;
    res.record = *taken;
    res.correction_hours = hours;
    res.feedback = str(Str::PlaceCorrectionFound) + kCrLf + taken->description;
    // The tables were made from rules that may have been decreed late or applied unevenly,
    // so a date within a day of a change is worth a second look.
    if (std::fabs(ut->jd_ut - taken->begin.jd_ut) <= 1.0 || std::fabs(ut->jd_ut - taken->end.jd_ut) <= 1.0)
        res.feedback += kCrLf + str(Str::PlaceNearBoundary);
    return res;
}

CityDirectory find_city_directory(const std::string& country, const std::string& state, const AtlasSettings& atlas,
                                  const NameCollator& names) {
    // 1. the index
    std::string index_path = join_path(atlas.countries_dir, kDirCountriesFile);
    auto index_file = MappedFile::open(index_path);
    if (!index_file) {
        CityDirectory r;
        r.country = country;
        r.state = state;
        r.feedback = str(Str::PlaceCannotOpenFile) + " " + index_path;
        return r;
    }
    return find_city_directory_in(index_file->bytes(), index_path, country, state, atlas, names);
}

CityDirectory find_city_directory_in(std::span<const std::uint8_t> index, const std::string& index_path,
                                     const std::string& country, const std::string& state,
                                     const AtlasSettings& atlas, const NameCollator& names) {
    CityDirectory r;
    r.country = country;
    r.state = state;
    if (!is_valid_file_size(index.size(), kDirectoryEntrySize)) {
        r.feedback = str(Str::PlaceCannotOpenFile) + " " + index_path;
        return r;
    }
    // 2. the default country
    if (r.country.empty()) r.country = truncate_utf16_units(atlas.default_country, kDirNameUnits);
    // 3. the country's directory
    std::u16string wide_country = utf8_to_utf16(r.country);
    long found = find_index_record(index, 0, kDirNameUnits, wide_country, names);
    if (found < 0) {
        r.feedback = str(Str::PlaceCountryNotFound);
        return r;
    }
    r.directory = join_path(atlas.countries_dir, index_record(index, found).directory);
    // 4. a record whose alias is the country names its default state
    if (r.state.empty()) {
        long alias = find_index_record(index, 760, kDirNameUnits, wide_country, names);
        if (alias >= 0) r.state = truncate_utf16_units(index_record(index, alias).name, kDirNameUnits);
    }
    // 5. the state's directory, relative to the country's
    if (!r.state.empty()) {
        found = find_index_record(index, 0, kDirNameUnits, utf8_to_utf16(r.state), names);
        if (found < 0) {
            r.feedback = str(Str::PlaceStateNotFound);
            return r;
        }
        // The index is one list for all countries: a state of another country is found in it
        // too, but its directory is missing under this country's.
        std::string state_dir = join_path(r.directory, index_record(index, found).directory);
        if (is_directory(r.directory) && !is_directory(state_dir)) {
            r.feedback = str(Str::PlaceStateNotFound) + " " + r.state + " " + str(Str::PlaceNotAStateOf) + " " +
                         r.country + ".";
            return r;
        }
        r.directory = std::move(state_dir);
    }
    r.ok = true;
    return r;
}

long find_city_record(std::span<const std::uint8_t> cities, const std::string& city_name,
                      const std::string& county_name, const NameCollator& names, std::string& feedback) {
    std::u16string city = utf8_to_utf16(city_name);
    std::u16string county = utf8_to_utf16(county_name);
    bool any_county = is_blank(county_name);
    ByteReader in(cities);
    std::size_t count = cities.size() / kBirthPlaceSize;
    NameBuffer buf;
    for (std::size_t i = 0; i < count; ++i) {
        in.seek(i * kBirthPlaceSize);
        if (!names.equal(read_name(in, kCityUnits, buf), city)) continue;
        std::u16string record_county = in.utf16_fixed(kCityUnits);
        if (any_county || names.equal(record_county, county)) return static_cast<long>(i);
        feedback += str(Str::PlaceCityNotInCounty) + "( " + str(Str::PlaceFindIn) + " " +
                    utf16_to_utf8(record_county) + " )" + kCrLf;
    }
    return -1;
}

std::string state_of_place(const std::string& country_directory, const BirthPlace& place, const AtlasSettings& atlas) {
    const auto index = read_directory_index(join_path(atlas.countries_dir, kDirCountriesFile));
    if (!index) return {};
    // The index is one list for every country: a state is one whose directory exists here.
    for (const DirectoryEntry& e : *index) {
        if (e.directory.empty()) continue;
        const std::string dir = join_path(country_directory, e.directory);
        if (!is_directory(dir)) continue;
        const auto places = read_city_file(join_path(dir, kCitiesFile));
        if (places && std::find(places->begin(), places->end(), place) != places->end()) return e.name;
    }
    return {};
}

bool find_city(CityQuery& q, const AtlasSettings& atlas, bool look_up_correction, const NameCollator& names) {
    // 1. outputs cleared, index loaded
    q.longitude.clear();
    q.latitude.clear();
    q.time_zone = -1;
    q.feedback.clear();
    q.cause.clear();
    q.place = BirthPlace{};
    q.universal.reset();
    auto fail = [&q](std::string cause) {
        q.feedback += cause;
        q.cause = std::move(cause);
        return false;
    };
    CityDirectory where = find_city_directory(q.country, q.state, atlas, names);
    q.country = where.country;
    q.state = where.state;
    if (!where.ok) return fail(where.feedback);
    const std::string& dir = where.directory;
    // 6. the city file
    std::string cities_path = join_path(dir, kCitiesFile);
    if (!file_exists(cities_path)) return fail(str(Str::PlaceCitiesFileNotFound) + " " + cities_path);
    auto cities_file = MappedFile::open(cities_path);
    if (!cities_file || !is_valid_file_size(cities_file->bytes().size(), kBirthPlaceSize))
        return fail(str(Str::PlaceErrorWithCitiesFile));
    // 7. the first record of the city in the county (any county when none is given)
    std::span<const std::uint8_t> cities = cities_file->bytes();
    long taken = find_city_record(cities, q.city, q.county, names, q.feedback);
    // 8.
    if (taken < 0) return fail(str(Str::PlaceCityNotFound));
    // 9. the place as the file spells it
    ByteReader in(cities);
    in.seek(static_cast<std::size_t>(taken) * kBirthPlaceSize);
    ByteReader rec = in.sub(kBirthPlaceSize);
    q.place = read_birth_place(rec);
    q.feedback = str(Str::PlaceCityFound) + "( " + str(Str::PlaceFindIn) + " " + q.place.county + " )" + kCrLf + " ";
    q.longitude = format_angle(q.place.longitude);
    q.latitude = format_angle(q.place.latitude);
    q.county = q.place.county;
    q.city = q.place.city;
    q.time_zone = q.place.time_zone;
    // 10.
    if (!look_up_correction) return true;
    // 11. the correction file of the place's time zone, beside the city file
    std::string correction_path = join_path(dir, correction_file_name(q.place.time_zone));
    DateParse parsed = parse_date_hour(q.date_hour);
    if (!parsed.ok) return fail(parsed.message);
    DateHour d = parsed.value;
    auto records = read_correction_file(correction_path);
    if (!records) return fail(str(Str::PlaceTimeZonesFileNotFound) + " " + correction_path);
    CorrectionResult corr = find_correction_in(*records, d, q.place);
    q.feedback += corr.feedback;
    if (!corr.ok) {
        q.cause = corr.feedback;
        return false;
    }
    if (!corr.found) {
        q.cause = corr.feedback + " " + no_correction_cause(*records, d, correction_path);
        q.date_hour.clear();
        return true;
    }
    q.universal = d;
    q.date_hour = format_date_hour(d);
    return true;
}

}  // namespace tellurim
