// stars_gen: writes the stars catalogue "stars.spra" from a fixed-star list in the format of
// the Swiss Ephemeris file sefstars.txt (Debian swe-basic-data, licence CC0).
//
//   stars_gen --in /usr/share/libswe/ephe/sefstars.txt --out data/stars/stars.spra
//
// A line of the list: traditional name, designation (Bayer or Flamsteed, e.g. "alTau",
// "ga-1And"), equinox ("ICRS", "2000" or "1950"), RA h m s, Dec d m s, proper motion in RA
// (0.001"/year times cos Dec), proper motion in Dec (0.001"/year), radial velocity, parallax,
// visual magnitude, then two optional Durchmusterung fields. Lines starting with "#" are notes.
//
// The list names many stars twice or more (spelling variants, and a few bright stars repeated
// at the top). One record is written per star (same designation and position), in the order
// of first appearance: the first traditional name becomes the record's name (the expanded
// designation when the star has none), and the comment holds the designation followed by the
// other names. Entries of equinox 1950 are skipped (they would need the FK4 to FK5
// conversion); "2000" is taken as ICRS. A magnitude of 99 or more means unknown. The list has
// no spectral classes, so they stay empty.
//
// The list also holds reference points that Swiss Ephemeris keeps for its own tests and
// frames (the galactic poles, zero points of the equator and ecliptic, a test star of the
// Astronomical Almanac, a point named "Test"). They are no celestial objects, and a chart
// would show them as stars ("Test", magnitude 0, in every chart): they are left out.
//
// `stars_gen --version` prints the catalogue's version; tools/data.d/40-stars.sh keeps it
// beside the catalogue and builds the catalogue again when the generator's version differs.

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "astro/stars.h"
#include "sky/spherical.h"
#include "base/text.h"
#include "files/stars_file.h"

namespace tellurim {
namespace {

constexpr double kJ2000 = 2451545.0;

// Raised whenever the generator writes a different catalogue from the same list.
constexpr int kCatalogueVersion = 2;

// Designations of the list's reference points: the galactic poles (Liu/Zhu/Zhang 2010, IAU
// 1958, the true galactic plane) and the galactic centre of the same frame (the object itself
// is "Gal. Center", SgrA*), the Sun's pole, the zero points of the GCRS and of the J2000
// equator and ecliptic, the Astronomical Almanac 2011 test star, and "Test".
constexpr std::array<std::string_view, 10> kReferencePoints = {
    "GPol", "GP1958", "GPPlan", "GCLiu", "SunPole", "GCRS00", "ZE200", "ZL200", "AA11", "Test",
};

struct GreekLetter {
    std::string_view abbreviation;  // as the list writes it
    std::string_view name;
};
// Longest abbreviations first, so that "omi" is not read as "om".
constexpr std::array<GreekLetter, 24> kGreek = {{
    {"omi", "Omicron"}, {"al", "Alpha"}, {"be", "Beta"}, {"ga", "Gamma"}, {"de", "Delta"}, {"ep", "Epsilon"},
    {"ze", "Zeta"}, {"et", "Eta"}, {"th", "Theta"}, {"io", "Iota"}, {"ka", "Kappa"}, {"la", "Lambda"},
    {"mu", "Mu"}, {"nu", "Nu"}, {"xi", "Xi"}, {"pi", "Pi"}, {"rh", "Rho"}, {"si", "Sigma"},
    {"ta", "Tau"}, {"up", "Upsilon"}, {"ph", "Phi"}, {"ch", "Chi"}, {"ps", "Psi"}, {"om", "Omega"},
}};

// "alTau" -> "Alpha Tau", "ga-1And" -> "Gamma-1 And", "61Cyg" -> "61 Cyg"; others unchanged.
std::string expand_designation(std::string_view d) {
    for (const GreekLetter& g : kGreek) {
        if (d.substr(0, g.abbreviation.size()) != g.abbreviation) continue;
        std::string_view rest = d.substr(g.abbreviation.size());
        if (rest.empty() || !(rest[0] == '-' || (rest[0] >= 'A' && rest[0] <= 'Z'))) continue;
        std::string out(g.name);
        std::size_t i = 0;
        if (rest[0] == '-') {
            out += '-';
            for (i = 1; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) out += rest[i];
        }
        return out + " " + std::string(rest.substr(i));
    }
    std::size_t digits = 0;
    while (digits < d.size() && d[digits] >= '0' && d[digits] <= '9') ++digits;
    if (digits > 0 && digits < d.size() && d[digits] >= 'A' && d[digits] <= 'Z')
        return std::string(d.substr(0, digits)) + " " + std::string(d.substr(digits));
    return std::string(d);
}

std::optional<double> number(std::string_view field) { return parse_decimal(trim(field)); }

struct Star {
    StarRecord record;
    std::string designation;
    std::vector<std::string> other_names;
};

DateHour j2000() {
    // J2000.0 is 2451545.0 in terrestrial time; the calendar fields are universal time.
    DateHour d;
    set_julian_day_ut(d, kJ2000);
    double delta_t = d.jd_et - d.jd_ut;
    set_julian_day_ut(d, kJ2000 - delta_t);
    d.jd_et = kJ2000;
    return d;
}

int run(const std::string& in_path, const std::string& out_path) {
    std::ifstream in(in_path);
    if (!in) {
        std::cerr << "stars_gen: cannot read " << in_path << "\n";
        return 1;
    }
    const DateHour epoch = j2000();
    std::vector<Star> stars;
    std::map<std::string, std::size_t> index;  // designation and position -> star
    std::string line;
    int line_number = 0, skipped_1950 = 0, skipped_points = 0, bad = 0;
    while (std::getline(in, line)) {
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (trim(line).empty() || trim(line)[0] == '#') continue;
        std::vector<std::string_view> f;
        std::size_t start = 0;
        for (;;) {
            std::size_t comma = line.find(',', start);
            f.push_back(std::string_view(line).substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (f.size() < 14) {
            std::cerr << "stars_gen: line " << line_number << ": fewer than 14 fields\n";
            ++bad;
            continue;
        }
        if (std::find(kReferencePoints.begin(), kReferencePoints.end(), trim(f[1])) != kReferencePoints.end()) {
            ++skipped_points;
            continue;
        }
        std::string_view equinox = trim(f[2]);
        if (equinox == "1950") {
            ++skipped_1950;
            continue;
        }
        std::array<double, 11> v{};
        bool ok = true;
        for (std::size_t i = 0; i < v.size(); ++i) {
            auto n = number(f[3 + i]);
            ok = ok && n.has_value();
            v[i] = n.value_or(0.0);
        }
        if (!ok || (equinox != "ICRS" && equinox != "2000")) {
            std::cerr << "stars_gen: line " << line_number << ": not a star line\n";
            ++bad;
            continue;
        }
        const std::string name(trim(f[0]));
        const std::string designation(trim(f[1]));
        const std::string key = designation + "|" + std::string(trim(f[3])) + std::string(trim(f[4])) +
                                std::string(trim(f[5])) + std::string(trim(f[6])) + std::string(trim(f[7])) +
                                std::string(trim(f[8]));
        if (auto it = index.find(key); it != index.end()) {
            Star& s = stars[it->second];
            if (!name.empty() && name != s.record.name &&
                std::find(s.other_names.begin(), s.other_names.end(), name) == s.other_names.end())
                s.other_names.push_back(name);
            continue;
        }
        // The sign of the declination is the sign written before its degrees ("-00" too).
        const bool south = trim(f[6]).starts_with("-");
        const double dec_deg = (std::fabs(v[3]) + v[4] / 60.0 + v[5] / 3600.0) * (south ? -1.0 : 1.0);
        const double ra_hours = v[0] + v[1] / 60.0 + v[2] / 3600.0;
        const double cos_dec = std::cos(degrees_to_radians(dec_deg));

        Star s;
        s.designation = expand_designation(designation);
        StarRecord& r = s.record;
        r.identifier = static_cast<std::int32_t>(stars.size() + 1);
        r.name = truncate_utf16_units(name.empty() ? s.designation : name, kStarNameUnits);
        r.magnitude = v[10] >= 99.0 ? kInfinity : v[10];
        r.ra = AngleValue::hours(ra_hours);
        r.dec = AngleValue::degrees(dec_deg, kFormatNorthSouth);
        // The list gives the motion along the sky; the record keeps the rate of the right
        // ascension itself.
        r.pm_ra = AngleValue::degrees(cos_dec > 0.0 ? v[6] / 3.6e6 / cos_dec : 0.0);
        r.pm_dec = AngleValue::degrees(v[7] / 3.6e6);
        r.epoch = epoch;
        r.reference = epoch;
        index.emplace(key, stars.size());
        stars.push_back(std::move(s));
    }
    std::vector<StarRecord> records;
    for (Star& s : stars) {
        std::string comment = s.designation;
        for (std::size_t i = 0; i < s.other_names.size(); ++i) {
            std::string more = (i == 0 ? "; also " : ", ") + s.other_names[i];
            if (utf8_to_utf16(comment + more).size() >= kStarCommentUnits) break;
            comment += more;
        }
        s.record.comment = comment;
        records.push_back(s.record);
    }
    if (!write_star_catalogue(out_path, records)) {
        std::cerr << "stars_gen: cannot write " << out_path << "\n";
        return 1;
    }
    std::cerr << fmt::format("stars_gen: {} stars written to {} ({} entries of equinox 1950 and {} reference points "
                             "skipped, {} bad lines)\n",
                             records.size(), out_path, skipped_1950, skipped_points, bad);
    return bad == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tellurim

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << tellurim::kCatalogueVersion << "\n";
        return 0;
    }
    std::string in, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string_view a = argv[i];
        if (a == "--in") in = argv[i + 1];
        if (a == "--out") out = argv[i + 1];
    }
    if (in.empty() || out.empty()) {
        std::cerr << "usage: stars_gen --in sefstars.txt --out stars.spra\n";
        return 2;
    }
    return tellurim::run(in, out);
}
