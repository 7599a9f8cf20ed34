#pragma once
// Reader of the compiled IANA time-zone files (TZif, RFC 8536) and of the POSIX TZ rule
// string at their end, turned into the list of periods of constant offset that the atlas
// generator writes as correction records. Only the 64-bit (version 2 and later) data is
// used; a version 1 file falls back to its 32-bit data.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

// One local time type of a zone.
struct ZoneType {
    std::int32_t utoff = 0;  // seconds east of UTC (local = UTC + utoff)
    bool is_dst = false;
    std::string abbr;        // "CEST", "LMT", "+0530", "-00"
    bool operator==(const ZoneType&) const = default;
};

struct ZoneInfo {
    std::vector<std::int64_t> times;  // transition instants, Unix seconds, ascending
    std::vector<std::size_t> type_of; // local time type in force from times[i]
    std::vector<ZoneType> types;      // types[0] is in force before the first transition
    std::string footer;               // POSIX TZ string for instants after the last transition
};

// Parses a TZif image. nullopt (with the reason in `error`) when the data is not TZif or is
// cut short.
std::optional<ZoneInfo> parse_tzif(std::span<const std::uint8_t> data, std::string* error = nullptr);
std::optional<ZoneInfo> load_tzif(const std::string& path, std::string* error = nullptr);

// A POSIX TZ string such as "CET-1CEST,M3.5.0,M10.5.0/3". Offsets are held as seconds east
// of UTC (the string itself counts west-positive).
struct PosixTz {
    ZoneType standard;
    bool has_dst = false;
    ZoneType daylight;
    // Rule dates. kind 'J': Julian day 1..365 without Feb 29; 'n': zero-based day 0..365;
    // 'M': month, week 1..5 (5 = last), weekday 0 Sunday .. 6.
    struct Date {
        char kind = 'M';
        int day = 0;
        int month = 0;
        int week = 0;
        int weekday = 0;
        std::int32_t time = 7200;  // seconds after local midnight, -167 h .. 167 h
    };
    Date start;  // daylight time begins (given in standard local time)
    Date end;    // daylight time ends (given in daylight local time)
};
std::optional<PosixTz> parse_posix_tz(std::string_view text);

// The instants (Unix seconds) at which daylight time starts and ends in `year` under `rule`.
struct DstChange {
    std::int64_t start = 0;
    std::int64_t end = 0;
};
DstChange dst_changes(const PosixTz& rule, int year);

// One period of constant local time type: [begin, end) in Unix seconds. The first period of
// a zone has begin = INT64_MIN (it reaches back indefinitely); the last one ends at `until`.
struct ZonePeriod {
    std::int64_t begin = 0;
    std::int64_t end = 0;
    ZoneType type;
    bool is_first = false;
};
// Every period from the zone's earliest time to `until`, the rule string continuing the
// transitions after the last one; consecutive periods of the same type are merged.
std::vector<ZonePeriod> zone_periods(const ZoneInfo& zone, std::int64_t until);

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t days_from_civil(std::int64_t year, int month, int day);

}  // namespace tellurim
