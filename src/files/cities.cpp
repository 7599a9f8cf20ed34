#include "files/cities.h"

#include <array>
#include <cmath>
#include <filesystem>

#include "core/angle_value.h"
#include "core/paths.h"
#include "core/strings.h"
#include "core/text.h"

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

bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

bool is_local_mean_time(const AngleValue& correction) { return correction.to_hours() == kLocalMeanTimeMarker; }

CorrectionResult find_correction(DateHour& date_hour, const std::string& correction_file, const BirthPlace& place) {
    CorrectionResult res;
    auto records = read_correction_file(correction_file);
    if (!records) {
        res.feedback = str(Str::PlaceTimeZonesFileNotFound) + " " + correction_file;
        return res;
    }
    res.ok = true;
    double jd = date_hour.jd_ut;
    const CorrectionRecord* taken = nullptr;
    for (const auto& r : *records) {
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
    auto ut = local_to_universal(date_hour, hours);
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
    CityDirectory r;
    r.country = country;
    r.state = state;
    // 1. the index
    std::string index_path = join_path(atlas.countries_dir, kDirCountriesFile);
    auto index_file = MappedFile::open(index_path);
    if (!index_file || !is_valid_file_size(index_file->bytes().size(), kDirectoryEntrySize)) {
        r.feedback = str(Str::PlaceCannotOpenFile) + " " + index_path;
        return r;
    }
    // 2. the default country
    if (r.country.empty()) r.country = truncate_utf16_units(atlas.default_country, kDirNameUnits);
    // 3. the country's directory
    std::span<const std::uint8_t> index = index_file->bytes();
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
        r.directory = join_path(r.directory, index_record(index, found).directory);
    }
    r.ok = true;
    return r;
}

bool find_city(CityQuery& q, const AtlasSettings& atlas, bool look_up_correction, const NameCollator& names) {
    // 1. outputs cleared, index loaded
    q.longitude.clear();
    q.latitude.clear();
    q.time_zone = -1;
    q.feedback.clear();
    q.place = BirthPlace{};
    q.universal.reset();
    CityDirectory where = find_city_directory(q.country, q.state, atlas, names);
    q.country = where.country;
    q.state = where.state;
    if (!where.ok) {
        q.feedback = where.feedback;
        return false;
    }
    const std::string& dir = where.directory;
    // 6. the city file
    std::string cities_path = join_path(dir, kCitiesFile);
    if (!file_exists(cities_path)) {
        q.feedback = str(Str::PlaceCitiesFileNotFound) + " " + cities_path;
        return false;
    }
    auto cities_file = MappedFile::open(cities_path);
    if (!cities_file || !is_valid_file_size(cities_file->bytes().size(), kBirthPlaceSize)) {
        q.feedback = str(Str::PlaceErrorWithCitiesFile);
        return false;
    }
    // 7. the first record of the city in the county (any county when none is given)
    std::u16string city = utf8_to_utf16(q.city);
    std::u16string county = utf8_to_utf16(q.county);
    bool any_county = is_blank(q.county);
    std::span<const std::uint8_t> cities = cities_file->bytes();
    ByteReader in(cities);
    std::size_t count = cities.size() / kBirthPlaceSize;
    long taken = -1;
    NameBuffer buf;
    for (std::size_t i = 0; i < count && taken < 0; ++i) {
        in.seek(i * kBirthPlaceSize);
        if (!names.equal(read_name(in, kCityUnits, buf), city)) continue;
        std::u16string record_county = in.utf16_fixed(kCityUnits);
        if (any_county || names.equal(record_county, county)) {
            taken = static_cast<long>(i);
            break;
        }
        q.feedback += str(Str::PlaceCityNotInCounty) + "( " + str(Str::PlaceFindIn) + " " +
                      utf16_to_utf8(record_county) + " )" + kCrLf;
    }
    // 8.
    if (taken < 0) {
        q.feedback += str(Str::PlaceCityNotFound);
        return false;
    }
    // 9. the place as the file spells it
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
    if (!parsed.ok) {
        q.feedback += parsed.message;
        return false;
    }
    DateHour d = parsed.value;
    CorrectionResult corr = find_correction(d, correction_path, q.place);
    q.feedback += corr.feedback;
    if (!corr.ok) return false;
    if (!corr.found) {
        q.date_hour.clear();
        return true;
    }
    q.universal = d;
    q.date_hour = format_date_hour(d);
    return true;
}

}  // namespace tellurim
