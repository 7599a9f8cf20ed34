#pragma once
// The record formats of the atlas: the directory index "dircountries.pra", the city files
// "lonlat.pra" (BirthPlace records, core/birth_place.h) and the correction files "Z<n>.pra".
// All are headerless sequences of fixed-size little-endian records; a file is valid when it
// holds at least one record and a whole number of them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/angle_value.h"
#include "core/birth_place.h"
#include "base/byte_io.h"
#include "base/date_hour.h"
#include "files/zoneinfo.h"

namespace tellurim {

inline constexpr const char* kDirCountriesFile = "dircountries.pra";
inline constexpr const char* kCitiesFile = "lonlat.pra";

// dircountries.pra: 1,000-byte records.
// 0 name u16[120] | 240 directory u16[260] (relative to the directory being walked) | 760 alias u16[120]
struct DirectoryEntry {
    std::string name;
    std::string directory;
    std::string alias;
    bool operator==(const DirectoryEntry&) const = default;
};
inline constexpr std::size_t kDirectoryEntrySize = 1000;
inline constexpr std::size_t kDirNameUnits = 120;
inline constexpr std::size_t kDirPathUnits = 260;
void write_directory_entry(ByteWriter& out, const DirectoryEntry& e);
DirectoryEntry read_directory_entry(ByteReader& in);

// Z<n>.pra: 344-byte records. 0 begin DateHour(40) | 40 end DateHour(40)
// | 80 correction AngleValue(24): legal + correction = universal | 104 description u16[120]
// Begin and end are legal (local) times of the period; the first record that contains the
// legal Julian day is the answer.
struct CorrectionRecord {
    DateHour begin;
    DateHour end;
    AngleValue correction;
    std::string description;
    bool operator==(const CorrectionRecord&) const = default;
};
inline constexpr std::size_t kCorrectionRecordSize = 344;
inline constexpr std::size_t kDescriptionUnits = 120;
// A correction of this many hours means local mean time: minus the place's longitude.
inline constexpr double kLocalMeanTimeMarker = 7777.0;
void write_correction_record(ByteWriter& out, const CorrectionRecord& r);
CorrectionRecord read_correction_record(ByteReader& in);
// The correction file name of a time-zone number: "Z" + the low 16 bits in decimal + ".pra".
std::string correction_file_name(std::int32_t time_zone);

// True when `size` bytes hold at least one record of `record_size` and a whole number of them.
bool is_valid_file_size(std::uintmax_t size, std::size_t record_size);

// A file mapped read-only into memory: the searches scan the large city files and the index
// in place instead of copying them (the United States file is about 5 MB).
class MappedFile {
public:
    // nullopt when the file cannot be opened or mapped; an empty file maps to no bytes.
    static std::optional<MappedFile> open(const std::string& path);
    ~MappedFile();
    MappedFile(MappedFile&& o) noexcept;
    MappedFile& operator=(MappedFile&& o) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }

private:
    MappedFile() = default;
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

// Whole-file readers; nullopt when the file cannot be read or is not valid.
std::optional<std::vector<std::uint8_t>> read_record_file(const std::string& path, std::size_t record_size);
std::optional<std::vector<DirectoryEntry>> read_directory_index(const std::string& path);
std::optional<std::vector<BirthPlace>> read_city_file(const std::string& path);
std::optional<std::vector<CorrectionRecord>> read_correction_file(const std::string& path);

// Entries as the list dialogs show them. A city: "<city> (<county>) Lon: <lon> Lat: <lat> TZ: <n>";
// a correction: begin text, tab, end text, tab, "GMT = Legal", ":", the correction as a
// sexagesimal hour text, a space and the description.
std::string city_list_entry(const BirthPlace& p);
std::string correction_list_entry(const CorrectionRecord& r);

// Correction records of one zone, from its periods, for legal times up to `until_local_jd`.
// The first period uses the local-mean-time marker when it is the zone's "LMT". Where the
// clock was set back (an overlap) both records hold the repeated hour and the earlier one,
// first in file order, wins; where the clock jumped forward (a gap) the earlier record is
// stretched over the hour that never showed on the clocks. Either way a legal time that is
// ambiguous or impossible is read with the offset in force before the change.
std::vector<CorrectionRecord> correction_records(const std::string& zone_name, const std::vector<ZonePeriod>& periods,
                                                 double until_local_jd);
// "Europe/Paris CEST UTC+02:00"; seconds are shown only when the offset has them.
std::string zone_description(const std::string& zone_name, const ZoneType& type, bool local_mean_time);

}  // namespace tellurim
