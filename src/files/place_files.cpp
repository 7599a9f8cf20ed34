#include "files/place_files.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"

namespace tellurim {

void write_directory_entry(ByteWriter& out, const DirectoryEntry& e) {
    out.utf16_fixed_utf8(e.name, kDirNameUnits);
    out.utf16_fixed_utf8(e.directory, kDirPathUnits);
    out.utf16_fixed_utf8(e.alias, kDirNameUnits);
}

DirectoryEntry read_directory_entry(ByteReader& in) {
    DirectoryEntry e;
    e.name = in.utf16_fixed_utf8(kDirNameUnits);
    e.directory = in.utf16_fixed_utf8(kDirPathUnits);
    e.alias = in.utf16_fixed_utf8(kDirNameUnits);
    return e;
}

void write_correction_record(ByteWriter& out, const CorrectionRecord& r) {
    write_date_hour(out, r.begin);
    write_date_hour(out, r.end);
    write_angle(out, r.correction);
    out.utf16_fixed_utf8(r.description, kDescriptionUnits);
}

CorrectionRecord read_correction_record(ByteReader& in) {
    CorrectionRecord r;
    r.begin = read_date_hour(in);
    r.end = read_date_hour(in);
    r.correction = read_angle(in);
    r.description = in.utf16_fixed_utf8(kDescriptionUnits);
    return r;
}

std::string correction_file_name(std::int32_t time_zone) {
    return fmt::format("Z{}.pra", static_cast<std::uint32_t>(time_zone) & 0xFFFFu);
}

bool is_valid_file_size(std::uintmax_t size, std::size_t record_size) {
    return record_size > 0 && size >= record_size && size % record_size == 0;
}

std::optional<MappedFile> MappedFile::open(const std::string& path) {
    auto file = RegularFile::open(path);
    if (!file) return std::nullopt;
    MappedFile m;
    m.m_size = static_cast<std::size_t>(file->size());
    if (m.m_size > 0) {
        void* p = ::mmap(nullptr, m.m_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file->fd(), 0);
        if (p == MAP_FAILED) return std::nullopt;
        m.m_data = static_cast<const std::uint8_t*>(p);
    }
    return m;
}

MappedFile::~MappedFile() {
    if (m_data) ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
}

MappedFile::MappedFile(MappedFile&& o) noexcept : m_data(o.m_data), m_size(o.m_size) {
    o.m_data = nullptr;
    o.m_size = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& o) noexcept {
    if (this != &o) {
        if (m_data) ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
        m_data = o.m_data;
        m_size = o.m_size;
        o.m_data = nullptr;
        o.m_size = 0;
    }
    return *this;
}

std::optional<std::vector<std::uint8_t>> read_record_file(const std::string& path, std::size_t record_size) {
    auto file = MappedFile::open(path);
    if (!file || !is_valid_file_size(file->bytes().size(), record_size)) return std::nullopt;
    return std::vector<std::uint8_t>(file->bytes().begin(), file->bytes().end());
}

namespace {

template <typename T, typename Read>
std::optional<std::vector<T>> read_all(const std::string& path, std::size_t record_size, Read read) {
    auto bytes = read_record_file(path, record_size);
    if (!bytes) return std::nullopt;
    std::vector<T> out;
    out.reserve(bytes->size() / record_size);
    ByteReader in(*bytes);
    while (in.remaining() > 0) {
        ByteReader rec = in.sub(record_size);
        out.push_back(read(rec));
    }
    if (!in.ok()) return std::nullopt;
    return out;
}

std::string offset_text(std::int32_t utoff) {
    char sign = utoff < 0 ? '-' : '+';
    std::int32_t a = std::abs(utoff);
    if (a % 60 != 0) return fmt::format("UTC{}{:02d}:{:02d}:{:02d}", sign, a / 3600, a / 60 % 60, a % 60);
    return fmt::format("UTC{}{:02d}:{:02d}", sign, a / 3600, a / 60 % 60);
}

constexpr double kUnixEpochJd = 2440587.5;
// 15 October 1582, the first Gregorian day: earlier dates are written in the Julian calendar
// as everywhere else in the system.
constexpr double kGregorianReformJd = 2299160.5;

DateHour legal_date_hour(double jd) {
    DateHour d;
    d.is_julian = jd < kGregorianReformJd ? 1 : 0;
    set_julian_day_ut(d, jd);
    return d;
}

double legal_jd(std::int64_t unix_seconds, std::int32_t utoff) {
    return kUnixEpochJd + static_cast<double>(unix_seconds + utoff) / 86400.0;
}

}  // namespace

std::optional<std::vector<DirectoryEntry>> read_directory_index(const std::string& path) {
    return read_all<DirectoryEntry>(path, kDirectoryEntrySize, read_directory_entry);
}

std::optional<std::vector<BirthPlace>> read_city_file(const std::string& path) {
    return read_all<BirthPlace>(path, kBirthPlaceSize, read_birth_place);
}

std::optional<std::vector<CorrectionRecord>> read_correction_file(const std::string& path) {
    return read_all<CorrectionRecord>(path, kCorrectionRecordSize, read_correction_record);
}

std::string city_list_entry(const BirthPlace& p) {
    std::string name = p.county.empty() ? p.city : fmt::format("{} ({})", p.city, p.county);
    return fmt::format("{}  {} {}  {} {}  {} {}", name, text(Str::PlaceListLon), format_angle(p.longitude),
                       text(Str::PlaceListLat), format_angle(p.latitude), text(Str::PlaceListTz), p.time_zone);
}

std::string correction_list_entry(const CorrectionRecord& r) {
    // The local-mean-time marker is shown like any correction: "7777h00'00.00\"".
    const std::string corr = format_sexagesimal(r.correction.to_hours(), true);
    return fmt::format("{}\t{}\t{}:{} {}", format_date_hour(r.begin), format_date_hour(r.end),
                       text(Str::PlaceListGmtLegal), corr, r.description);
}

std::string zone_description(const std::string& zone_name, const ZoneType& type, bool local_mean_time) {
    if (local_mean_time) return fmt::format("{} {} local mean time (UTC+longitude)", zone_name, type.abbr);
    return fmt::format("{} {} {}", zone_name, type.abbr, offset_text(type.utoff));
}

std::vector<CorrectionRecord> correction_records(const std::string& zone_name, const std::vector<ZonePeriod>& periods,
                                                 double until_local_jd) {
    // Before the first change the zone reaches back without limit; the Julian day 0
    // (-4712-01-01 12:00 JD) stands for that.
    constexpr double kEarliestJd = 0.0;
    std::vector<CorrectionRecord> out;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        const ZonePeriod& p = periods[i];
        double begin = p.is_first ? kEarliestJd : legal_jd(p.begin, p.type.utoff);
        if (begin >= until_local_jd) break;
        double end = until_local_jd;
        if (i + 1 < periods.size()) {
            const ZonePeriod& next = periods[i + 1];
            end = std::min(until_local_jd, legal_jd(next.begin, std::max(p.type.utoff, next.type.utoff)));
        }
        bool lmt = p.is_first && p.type.abbr == "LMT";
        CorrectionRecord r;
        r.begin = legal_date_hour(begin);
        r.end = legal_date_hour(end);
        r.correction = AngleValue::hours(lmt ? kLocalMeanTimeMarker : -p.type.utoff / 3600.0);
        r.description = truncate_utf16_units(zone_description(zone_name, p.type, lmt), kDescriptionUnits);
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace tellurim
