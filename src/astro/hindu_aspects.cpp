#include "astro/hindu_aspects.h"

#include <charconv>
#include <cstdio>
#include <fmt/format.h>

#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

constexpr std::string_view kEol = "\r\n";

struct DefaultAspect {
    int offset;
    Argb colour;
};
struct DefaultRow {
    int planet;
    std::array<DefaultAspect, 3> aspects;
    int count;
};
constexpr Argb kBlack = 0xFF000000;
constexpr std::array<DefaultRow, 10> kDefaults{{
    {kSun, {{{6, kBlack}}}, 1},
    {kMoon, {{{6, kBlack}}}, 1},
    {kMercury, {{{6, kBlack}}}, 1},
    {kVenus, {{{6, kBlack}}}, 1},
    {kMars, {{{3, 0xFFFF0000}, {6, kBlack}, {7, 0xFF00FF00}}}, 3},
    {kJupiter, {{{4, 0xFF0000FF}, {6, kBlack}, {8, 0xFF0000FF}}}, 3},
    {kSaturn, {{{2, 0xFF0000FF}, {6, kBlack}, {9, 0xFFFF0000}}}, 3},
    {kUranus, {{{6, kBlack}}}, 1},
    {kNeptune, {{{6, kBlack}}}, 1},
    {kPluto, {{{6, kBlack}}}, 1},
}};

void append_comments(std::string& out) {
    for (Str s : {Str::HinduAspectsComment1, Str::HinduAspectsComment2, Str::HinduAspectsComment3,
                  Str::HinduAspectsComment4}) {
        out += text(s);
        out += kEol;
    }
}

bool parse_int(std::string_view s, int& value) {
    s = trim(s);
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc{} && end == s.data() + s.size() && !s.empty();
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = s.find(sep, start);
        fields.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return fields;
}

bool parse_row(std::string_view line, HinduAspectRow& row) {
    std::vector<std::string_view> groups = split(line, '@');
    int planet = -1;
    if (!parse_int(groups[0], planet) || planet < 0 || planet >= kPlanetRows) return false;
    row = HinduAspectRow{};
    row.planet = static_cast<std::int8_t>(planet);
    for (std::size_t g = 1; g < groups.size(); ++g) {
        std::vector<std::string_view> fields = split(groups[g], ':');
        int offset = -1;
        if (fields.size() != 1 + kHinduPens || !parse_int(fields[0], offset) || offset < 0 || offset > 11) return false;
        const auto o = static_cast<std::size_t>(offset);
        row.offsets[o] = true;
        for (std::size_t p = 0; p < kHinduPens; ++p)
            if (!parse_hindu_pen(fields[p + 1], row.pens[o][p])) return false;
    }
    return true;
}

}  // namespace

HinduAspectTable default_hindu_aspects() {
    HinduAspectTable t;
    for (const DefaultRow& d : kDefaults) {
        HinduAspectRow& row = t.rows[static_cast<std::size_t>(d.planet)];
        row.planet = static_cast<std::int8_t>(d.planet);
        for (int i = 0; i < d.count; ++i) {
            const DefaultAspect& a = d.aspects[static_cast<std::size_t>(i)];
            row.offsets[static_cast<std::size_t>(a.offset)] = true;
            row.pens[static_cast<std::size_t>(a.offset)].fill(HinduPen{a.colour, 1.0f, kDashSolid});
        }
    }
    return t;
}

std::string default_hindu_aspects_text() {
    std::string out;
    append_comments(out);
    for (const DefaultRow& d : kDefaults) {
        out += std::to_string(d.planet);
        for (int i = 0; i < d.count; ++i) {
            const DefaultAspect& a = d.aspects[static_cast<std::size_t>(i)];
            out += fmt::format("@{}", a.offset);
            for (int p = 0; p < kHinduPens; ++p) out += fmt::format(":{:08X} 1.0 0", a.colour);
        }
        out += kEol;
    }
    return out;
}

std::string format_hindu_aspect_row(const HinduAspectRow& row) {
    std::string out = std::to_string(row.planet);
    for (std::size_t o = 0; o < 12; ++o) {
        if (!row.offsets[o]) continue;
        out += fmt::format("@{}", o);
        for (const HinduPen& pen : row.pens[o])
            out += fmt::format(":{:08x} {:05.2f} {}", pen.colour, static_cast<double>(pen.width), pen.style);
    }
    return out;
}

std::string format_hindu_aspects(const HinduAspectTable& table) {
    std::string out;
    append_comments(out);
    for (const HinduAspectRow& row : table.rows) {
        if (row.planet < 0) continue;
        out += format_hindu_aspect_row(row);
        out += kEol;
    }
    return out;
}

bool parse_hindu_pen(std::string_view text_, HinduPen& pen) {
    const std::string s(trim(text_));
    unsigned long colour = 0;
    float width = 0.0f;
    int style = 0;
    int used = 0;
    // The colour is at most eight hexadecimal digits, as the file writes it.
    if (std::sscanf(s.c_str(), "%8lx %f %d%n", &colour, &width, &style, &used) != 3) return false;
    // Any dash style is kept as written, so that saving gives it back; the wheel draws one
    // that is none of 0 to 4 as a solid line.
    if (static_cast<std::size_t>(used) != s.size()) return false;
    pen = HinduPen{static_cast<Argb>(colour), width, style};
    return true;
}

bool parse_hindu_aspects(std::string_view text_, HinduAspectTable& table, std::string* bad_line) {
    HinduAspectTable read;
    for (std::string_view line : split(text_, '\n')) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trim(line).empty() || line.front() == '#') continue;
        HinduAspectRow row;
        if (!parse_row(line, row)) {
            if (bad_line) *bad_line = std::string(line);
            return false;
        }
        read.rows[static_cast<std::size_t>(row.planet)] = row;
    }
    table = read;
    return true;
}

bool hindu_aspected_by(const HinduAspectTable& table, const DivisionTable& divisions, int aspected, int aspecting,
                       bool navamsa) {
    if (aspected < 0 || aspecting < 0 || aspected >= kPlanetRows || aspecting >= kPlanetRows) return false;
    const HinduAspectRow& row = table.rows[static_cast<std::size_t>(aspecting)];
    if (row.planet < 0) return false;
    const auto chart = static_cast<std::size_t>(navamsa ? kNavamsa : kRasi);
    const int a = divisions[static_cast<std::size_t>(aspected)][chart];
    const int b = divisions[static_cast<std::size_t>(aspecting)][chart];
    if (a < 0 || b < 0) return false;
    return row.offsets[static_cast<std::size_t>(((a - b) % 12 + 12) % 12)];
}

void edit_hindu_aspect_row(HinduAspectTable& table, int planet, const std::optional<std::array<bool, 12>>& offsets,
                           const std::optional<HinduPen>& pen) {
    if (planet < 0 || planet >= kPlanetRows) return;
    HinduAspectRow& row = table.rows[static_cast<std::size_t>(planet)];
    if (row.planet < 0) row = HinduAspectRow{};
    row.planet = static_cast<std::int8_t>(planet);
    if (offsets) {
        for (std::size_t o = 0; o < 12; ++o) {
            if ((*offsets)[o] && !row.offsets[o]) row.pens[o].fill(HinduPen{0xFF000000, 1.0f, kDashSolid});
            if (!(*offsets)[o]) row.pens[o].fill(HinduPen{});
            row.offsets[o] = (*offsets)[o];
        }
    }
    if (pen)
        for (std::size_t o = 0; o < 12; ++o)
            if (row.offsets[o]) row.pens[o].fill(*pen);
}

}  // namespace tellurim
