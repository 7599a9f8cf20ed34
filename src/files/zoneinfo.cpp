#include "files/zoneinfo.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>

#include "base/regular_file.h"

namespace tellurim {
namespace {

// TZif is big-endian, unlike the system's own files; this bounds-checked reader is kept
// local so that nothing else is tempted to use it.
class BigEndianReader {
public:
    explicit BigEndianReader(std::span<const std::uint8_t> d) : m_data(d) {}
    bool ok() const { return !m_failed; }
    std::size_t position() const { return m_pos; }
    bool skip(std::size_t n) {
        if (m_failed || m_data.size() - m_pos < n) return fail();
        m_pos += n;
        return true;
    }
    std::uint64_t get(int n) {
        if (!skip(static_cast<std::size_t>(n))) return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i) v = (v << 8) | m_data[m_pos - n + i];
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(get(4))); }
    std::int64_t i64() { return static_cast<std::int64_t>(get(8)); }
    std::uint8_t u8() { return static_cast<std::uint8_t>(get(1)); }
    std::span<const std::uint8_t> bytes(std::size_t n) {
        if (!skip(n)) return {};
        return m_data.subspan(m_pos - n, n);
    }

private:
    bool fail() {
        m_failed = true;
        return false;
    }
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

struct Header {
    char version = 0;
    std::uint32_t isutcnt = 0, isstdcnt = 0, leapcnt = 0, timecnt = 0, typecnt = 0, charcnt = 0;
};

bool read_header(BigEndianReader& in, Header& h) {
    auto magic = in.bytes(4);
    if (!in.ok() || magic[0] != 'T' || magic[1] != 'Z' || magic[2] != 'i' || magic[3] != 'f') return false;
    h.version = static_cast<char>(in.u8());
    in.skip(15);
    h.isutcnt = static_cast<std::uint32_t>(in.i32());
    h.isstdcnt = static_cast<std::uint32_t>(in.i32());
    h.leapcnt = static_cast<std::uint32_t>(in.i32());
    h.timecnt = static_cast<std::uint32_t>(in.i32());
    h.typecnt = static_cast<std::uint32_t>(in.i32());
    h.charcnt = static_cast<std::uint32_t>(in.i32());
    return in.ok() && h.typecnt > 0;
}

std::size_t data_size(const Header& h, std::size_t time_size) {
    return h.timecnt * time_size + h.timecnt + h.typecnt * 6 + h.charcnt + h.leapcnt * (time_size + 4) +
           h.isstdcnt + h.isutcnt;
}

bool read_data(BigEndianReader& in, const Header& h, std::size_t time_size, ZoneInfo& z) {
    z.times.resize(h.timecnt);
    for (auto& t : z.times) t = time_size == 8 ? in.i64() : in.i32();
    z.type_of.resize(h.timecnt);
    for (auto& i : z.type_of) i = in.u8();
    struct Raw {
        std::int32_t utoff;
        bool dst;
        std::uint8_t abbr_index;
    };
    std::vector<Raw> raw(h.typecnt);
    for (auto& r : raw) {
        r.utoff = in.i32();
        r.dst = in.u8() != 0;
        r.abbr_index = in.u8();
    }
    auto chars = in.bytes(h.charcnt);
    in.skip(h.leapcnt * (time_size + 4) + h.isstdcnt + h.isutcnt);
    if (!in.ok()) return false;
    z.types.clear();
    for (const auto& r : raw) {
        if (r.abbr_index >= chars.size()) return false;
        std::string abbr;
        for (std::size_t i = r.abbr_index; i < chars.size() && chars[i] != 0; ++i) abbr.push_back(static_cast<char>(chars[i]));
        z.types.push_back({r.utoff, r.dst, abbr});
    }
    for (std::size_t i : z.type_of)
        if (i >= z.types.size()) return false;
    return std::is_sorted(z.times.begin(), z.times.end());
}

bool set_error(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

bool is_leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(std::int64_t y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// --- POSIX TZ string pieces -----------------------------------------------------------------

struct Cursor {
    std::string_view s;
    std::size_t i = 0;
    bool at_end() const { return i >= s.size(); }
    char peek() const { return at_end() ? '\0' : s[i]; }
    bool eat(char c) {
        if (peek() != c) return false;
        ++i;
        return true;
    }
};

bool parse_name(Cursor& c, std::string& name) {
    if (c.eat('<')) {
        std::size_t close = c.s.find('>', c.i);
        if (close == std::string_view::npos) return false;
        name = std::string(c.s.substr(c.i, close - c.i));
        c.i = close + 1;
        return name.size() >= 3;
    }
    std::size_t b = c.i;
    while (!c.at_end() && ((c.peek() >= 'A' && c.peek() <= 'Z') || (c.peek() >= 'a' && c.peek() <= 'z'))) ++c.i;
    name = std::string(c.s.substr(b, c.i - b));
    return name.size() >= 3;
}

bool parse_number(Cursor& c, int& v, int max_digits) {
    int digits = 0;
    v = 0;
    while (!c.at_end() && c.peek() >= '0' && c.peek() <= '9' && digits < max_digits) {
        v = v * 10 + (c.peek() - '0');
        ++c.i;
        ++digits;
    }
    return digits > 0;
}

// [+-]hh[:mm[:ss]] in seconds; hours up to 167 as the rule times allow.
bool parse_clock(Cursor& c, std::int32_t& seconds) {
    int sign = 1;
    if (c.eat('-')) sign = -1;
    else c.eat('+');
    int h = 0, m = 0, s = 0;
    if (!parse_number(c, h, 3) || h > 167) return false;
    if (c.eat(':')) {
        if (!parse_number(c, m, 2) || m > 59) return false;
        if (c.eat(':') && (!parse_number(c, s, 2) || s > 59)) return false;
    }
    seconds = sign * (h * 3600 + m * 60 + s);
    return true;
}

bool parse_rule_date(Cursor& c, PosixTz::Date& d) {
    if (c.eat('M')) {
        d.kind = 'M';
        if (!parse_number(c, d.month, 2) || !c.eat('.') || !parse_number(c, d.week, 1) || !c.eat('.') ||
            !parse_number(c, d.weekday, 1))
            return false;
        if (d.month < 1 || d.month > 12 || d.week < 1 || d.week > 5 || d.weekday > 6) return false;
    } else if (c.eat('J')) {
        d.kind = 'J';
        if (!parse_number(c, d.day, 3) || d.day < 1 || d.day > 365) return false;
    } else {
        d.kind = 'n';
        if (!parse_number(c, d.day, 3) || d.day > 365) return false;
    }
    d.time = 7200;
    if (c.eat('/')) return parse_clock(c, d.time);
    return true;
}

// Days since the epoch of a rule date in `year`.
std::int64_t rule_day(const PosixTz::Date& d, int year) {
    std::int64_t jan1 = days_from_civil(year, 1, 1);
    switch (d.kind) {
        case 'J': {
            // 1..365, February 29 never counted
            std::int64_t day = d.day - 1;
            if (is_leap(year) && d.day >= 60) ++day;
            return jan1 + day;
        }
        case 'n': return jan1 + d.day;
        default: break;
    }
    std::int64_t first = days_from_civil(year, d.month, 1);
    // 1970-01-01 was a Thursday (weekday 4)
    int first_weekday = static_cast<int>(((first % 7) + 7 + 4) % 7);
    int day = 1 + (d.weekday - first_weekday + 7) % 7 + 7 * (d.week - 1);
    while (day > days_in_month(year, d.month)) day -= 7;
    return first + day - 1;
}

int year_of(std::int64_t unix_seconds) {
    // civil_from_days (H. Hinnant), year only
    std::int64_t z = (unix_seconds >= 0 ? unix_seconds : unix_seconds - 86399) / 86400 + 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    std::int64_t doe = z - era * 146097;
    std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    std::int64_t mp = (5 * doy + 2) / 153;
    std::int64_t y = yoe + era * 400 + (mp >= 10 ? 1 : 0);
    return static_cast<int>(y);
}

}  // namespace

std::int64_t days_from_civil(std::int64_t y, int m, int d) {
    // H. Hinnant, "chrono-Compatible Low-Level Date Algorithms"
    y -= m <= 2 ? 1 : 0;
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yoe = y - era * 400;
    std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::optional<ZoneInfo> parse_tzif(std::span<const std::uint8_t> data, std::string* error) {
    BigEndianReader in(data);
    Header h1;
    if (!read_header(in, h1)) {
        set_error(error, "not a TZif file");
        return std::nullopt;
    }
    ZoneInfo z;
    if (h1.version == 0) {
        if (!read_data(in, h1, 4, z)) {
            set_error(error, "TZif version 1 data cut short or inconsistent");
            return std::nullopt;
        }
        return z;
    }
    in.skip(data_size(h1, 4));
    Header h2;
    if (!in.ok() || !read_header(in, h2) || !read_data(in, h2, 8, z)) {
        set_error(error, "TZif 64-bit data cut short or inconsistent");
        return std::nullopt;
    }
    // Footer: "\n" TZ string "\n"
    if (in.u8() == '\n') {
        std::size_t b = in.position();
        while (in.ok() && in.u8() != '\n') {
        }
        if (in.ok()) z.footer.assign(reinterpret_cast<const char*>(data.data()) + b, in.position() - 1 - b);
    }
    return z;
}

std::optional<ZoneInfo> load_tzif(const std::string& path, std::string* error) {
    auto bytes = read_regular_file(path);
    if (!bytes) {
        set_error(error, "cannot open the file");
        return std::nullopt;
    }
    return parse_tzif(*bytes, error);
}

std::optional<PosixTz> parse_posix_tz(std::string_view text) {
    Cursor c{text};
    PosixTz tz;
    std::int32_t west = 0;
    if (!parse_name(c, tz.standard.abbr) || !parse_clock(c, west)) return std::nullopt;
    tz.standard.utoff = -west;
    if (c.at_end()) return tz;
    if (!parse_name(c, tz.daylight.abbr)) return std::nullopt;
    tz.has_dst = true;
    tz.daylight.is_dst = true;
    tz.daylight.utoff = tz.standard.utoff + 3600;
    if (c.peek() != ',' && !c.at_end()) {
        if (!parse_clock(c, west)) return std::nullopt;
        tz.daylight.utoff = -west;
    }
    // Without rules POSIX leaves the dates to the implementation; every tzdata footer that
    // names a daylight time gives them, so their absence is treated as an error.
    if (!c.eat(',') || !parse_rule_date(c, tz.start) || !c.eat(',') || !parse_rule_date(c, tz.end) || !c.at_end())
        return std::nullopt;
    return tz;
}

DstChange dst_changes(const PosixTz& rule, int year) {
    DstChange ch;
    ch.start = rule_day(rule.start, year) * 86400 + rule.start.time - rule.standard.utoff;
    ch.end = rule_day(rule.end, year) * 86400 + rule.end.time - rule.daylight.utoff;
    return ch;
}

std::vector<ZonePeriod> zone_periods(const ZoneInfo& zone, std::int64_t until) {
    struct Change {
        std::int64_t at;
        ZoneType type;
    };
    std::vector<Change> changes;
    for (std::size_t i = 0; i < zone.times.size(); ++i) changes.push_back({zone.times[i], zone.types[zone.type_of[i]]});

    auto rule = parse_posix_tz(zone.footer);
    std::int64_t last = zone.times.empty() ? std::numeric_limits<std::int64_t>::min() : zone.times.back();
    if (rule) {
        if (!rule->has_dst) {
            // A fixed offset from the last transition on; a zone without transitions is this
            // type throughout.
            if (zone.times.empty()) changes.clear();
            else if (!(changes.back().type == rule->standard)) changes.push_back({last + 1, rule->standard});
        } else {
            int first_year = zone.times.empty() ? 1970 : year_of(last) - 1;
            int last_year = year_of(until) + 1;
            std::vector<Change> more;
            for (int y = first_year; y <= last_year; ++y) {
                DstChange ch = dst_changes(*rule, y);
                more.push_back({ch.start, rule->daylight});
                more.push_back({ch.end, rule->standard});
            }
            std::stable_sort(more.begin(), more.end(), [](const Change& a, const Change& b) { return a.at < b.at; });
            for (const auto& m : more)
                if (m.at > last && m.at < until) changes.push_back(m);
        }
    }

    std::vector<ZonePeriod> periods;
    ZoneType first_type = zone.types.empty() ? ZoneType{} : zone.types[0];
    if (zone.times.empty() && rule) first_type = rule->standard;
    if (zone.times.empty() && rule && rule->has_dst && !changes.empty()) {
        // No transitions at all but a daylight rule: the period before the first change is
        // the opposite of what that change starts.
        first_type = changes.front().type.is_dst ? rule->standard : rule->daylight;
    }
    periods.push_back({std::numeric_limits<std::int64_t>::min(), until, first_type, true});
    for (const auto& ch : changes) {
        if (ch.at >= until) break;
        ZonePeriod& cur = periods.back();
        if (ch.type == cur.type) continue;
        if (ch.at <= cur.begin) {
            // a change at the very instant of the previous one replaces it
            cur.type = ch.type;
            cur.is_first = false;
            continue;
        }
        cur.end = ch.at;
        periods.push_back({ch.at, until, ch.type, false});
    }
    // Merging may leave two neighbours of one type after a replaced change.
    std::vector<ZonePeriod> merged;
    for (const auto& p : periods) {
        if (!merged.empty() && merged.back().type == p.type) {
            merged.back().end = p.end;
            continue;
        }
        merged.push_back(p);
    }
    return merged;
}

}  // namespace tellurim
