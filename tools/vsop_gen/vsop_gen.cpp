// vsop_gen: writes the series tables of the low-precision ephemeris provider from the
// coefficient files of the npm package astronomia 4.2.0 (MIT licence, Sonia Keys and
// commenthol):
//   data/vsop87D<planet>.js  VSOP87 version D (Bretagnon & Francou 1988, A&A 202, 309):
//                            heliocentric spherical coordinates, ecliptic and equinox of date;
//   src/moonposition.js      the periodic terms of Meeus, Astronomical Algorithms (2nd ed.),
//                            tables 47.A and 47.B (from Chapront's ELP-2000/82);
//   src/pluto.js             Meeus table 37.A (Pluto, 1885-2099).
//
// usage: vsop_gen ASTRONOMIA_DIR OUTPUT_FILE THRESHOLD TAU_MAX
//
// VSOP87 terms are truncated by what they can do to a geocentric direction. A term
// A cos(B + C tau) of the series multiplied by tau^k moves the planet by A tau^k (radians
// of heliocentric longitude or latitude, or AU of radius); seen from the Earth at its
// least distance dmin that is up to A tau^k r / dmin radians for L and B (r the mean
// heliocentric distance) and A tau^k / dmin for R. The Earth's own terms move every
// geocentric direction, the nearest (Venus at 0.26 AU) most. A term is kept when that
// effect at |tau| = TAU_MAX (Julian millennia from J2000) reaches THRESHOLD radians. The
// neglected terms of one series add up roughly as sqrt(n) times the threshold (Meeus,
// ch. 32), so the threshold is chosen by measurement against a full ephemeris
// (bench/ephemeris_accuracy).
//
// The output is written only when its text changes, so that a rerun does not rebuild the
// provider.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Term {
    std::string a, b, c;  // the source's own decimal texts, copied unchanged
};
using Series = std::vector<Term>;  // one power of tau
struct Coordinate {
    std::vector<Series> powers;
};

bool read_file(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

std::string trim(const std::string& t) {
    const auto first = t.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = t.find_last_not_of(" \t\r");
    return t.substr(first, last - first + 1);
}

// Comma-separated decimal numbers, each kept as its source text; false when a piece is not
// a whole finite number (the package's files hold a few rows of NaN placeholders).
bool split_numbers(const std::string& inner, std::vector<std::string>& out) {
    out.clear();
    std::istringstream in(inner);
    std::string piece;
    while (std::getline(in, piece, ',')) {
        piece = trim(piece);
        if (piece.empty()) return false;
        char* end = nullptr;
        const double v = std::strtod(piece.c_str(), &end);
        if (*end != '\0' || !std::isfinite(v)) return false;
        out.push_back(piece);
    }
    return !out.empty();
}

// The VSOP87D file layout: a key L, B or R opens a coordinate ("L: {"); a quoted "k" opens
// the series of tau^k ("\"0\": ["); each row is [A, B, C].
bool parse_vsop(const std::string& text, Coordinate (&lbr)[3]) {
    std::istringstream in(text);
    std::string line;
    int coord = -1;
    int power = -1;
    std::vector<std::string> numbers;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.size() >= 3 && (line[0] == 'L' || line[0] == 'B' || line[0] == 'R') && line[1] == ':') {
            coord = static_cast<int>(std::string("LBR").find(line[0]));
            power = -1;
        } else if (line.size() >= 4 && line[0] == '"' && std::isdigit(static_cast<unsigned char>(line[1])) &&
                   line[2] == '"' && line[3] == ':') {
            if (coord < 0) return false;
            power = line[1] - '0';
            if (static_cast<int>(lbr[coord].powers.size()) != power) return false;
            lbr[coord].powers.emplace_back();
        } else if (!line.empty() && line[0] == '[') {
            const auto close = line.find(']');
            if (close == std::string::npos || coord < 0 || power < 0) return false;
            if (!split_numbers(line.substr(1, close - 1), numbers)) {
                // The package's files hold four rows of NaN (Uranus L4, Neptune L4 and B3),
                // where a term was lost in conversion. Their neighbours are 6e-8 rad or less
                // and multiply tau^3 or tau^4, so leaving them out costs nothing here.
                if (line.find("NaN") != std::string::npos) continue;
                return false;
            }
            if (numbers.size() != 3) return false;
            lbr[coord].powers[power].push_back({numbers[0], numbers[1], numbers[2]});
        }
    }
    for (auto& c : lbr)
        if (c.powers.empty() || c.powers[0].empty()) return false;
    return true;
}

// Rows of `width` plain numbers, each on a line after `row_prefix` ("[" or "new Pt(") up to
// the closing bracket, between two markers of a source file.
std::vector<std::vector<std::string>> number_rows(const std::string& text, const std::string& from,
                                                  const std::string& to, std::size_t width,
                                                  const std::string& row_prefix) {
    std::vector<std::vector<std::string>> rows;
    auto start = text.find(from);
    if (start == std::string::npos) return rows;
    auto end = to.empty() ? text.size() : text.find(to, start);
    if (end == std::string::npos) end = text.size();
    std::istringstream in(text.substr(start, end - start));
    std::string line;
    const char closing = row_prefix == "[" ? ']' : ')';
    std::vector<std::string> row;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.compare(0, row_prefix.size(), row_prefix) != 0) continue;
        const auto q = line.find(closing);
        if (q == std::string::npos) continue;
        if (split_numbers(line.substr(row_prefix.size(), q - row_prefix.size()), row) && row.size() == width)
            rows.push_back(row);
    }
    return rows;
}

struct Planet {
    const char* name;
    double mean_distance;  // AU
    double least_distance;  // least distance from the Earth (from the Sun for the Earth's
                            // effect on the Sun), less for the Earth: that of Venus
};
const Planet kPlanets[] = {
    {"mercury", 0.387, 0.55}, {"venus", 0.723, 0.26}, {"earth", 1.0, 0.26},   {"mars", 1.524, 0.37},
    {"jupiter", 5.203, 3.93}, {"saturn", 9.537, 8.0}, {"uranus", 19.19, 17.3}, {"neptune", 30.07, 28.8},
};

std::string capitalised(std::string s) {
    s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: vsop_gen ASTRONOMIA_DIR OUTPUT_FILE THRESHOLD TAU_MAX\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string output = argv[2];
    const double threshold = std::atof(argv[3]);
    const double tau_max = std::atof(argv[4]);

    std::ostringstream out;
    out.precision(17);
    out << "// generated by tools/vsop_gen, do not edit\n"
           "// Sources: VSOP87 version D (Bretagnon & Francou 1988), Meeus tables 47.A, 47.B and 37.A,\n"
           "// as published in the npm package astronomia 4.2.0 (MIT licence).\n"
        << "// Truncation: terms that move a geocentric direction by at least " << threshold
        << " rad at |tau| = " << tau_max << " millennia.\n"
        << "#pragma once\n#include \"ephemeris/low/series.h\"\n\nnamespace tellurim::ephlow {\n";

    std::ostringstream bodies;
    std::size_t kept_total = 0;
    std::size_t all_total = 0;
    for (const Planet& planet : kPlanets) {
        std::string text;
        const std::string path = dir + "/data/vsop87D" + planet.name + ".js";
        if (!read_file(path, text)) {
            std::cerr << "vsop_gen: cannot read " << path << "\n";
            return 1;
        }
        Coordinate lbr[3];
        if (!parse_vsop(text, lbr)) {
            std::cerr << "vsop_gen: unexpected layout in " << path << "\n";
            return 1;
        }
        const std::string name = capitalised(planet.name);
        bodies << "inline constexpr VsopBody kVsop" << name << " = {{\n";
        for (int c = 0; c < 3; ++c) {
            bodies << "    {";
            // geocentric radians per unit of the coordinate's amplitude
            const double reach = (c == 2 ? 1.0 : planet.mean_distance) / planet.least_distance;
            for (std::size_t k = 0; k < 6; ++k) {
                std::size_t kept = 0;
                if (k < lbr[c].powers.size()) {
                    const Series& s = lbr[c].powers[k];
                    std::vector<const Term*> chosen;
                    for (const Term& t : s) {
                        all_total++;
                        if (std::fabs(std::atof(t.a.c_str())) * std::pow(tau_max, double(k)) * reach < threshold) continue;
                        chosen.push_back(&t);
                    }
                    kept = chosen.size();
                    if (kept) {
                        // Terms go in pairs, each field of the two side by side, so that the
                        // provider evaluates two at once with one vector sincos; an odd count
                        // is padded with a term of amplitude 0.
                        static const Term kPadding{"0", "0", "0"};
                        if (chosen.size() % 2) chosen.push_back(&kPadding);
                        out << "// " << name << " " << "LBR"[c] << k << ": " << kept << " of " << s.size()
                            << " terms\ninline constexpr VsopPair k" << name << "LBR"[c] << k << "[] = {\n";
                        for (std::size_t i = 0; i < chosen.size(); i += 2) {
                            const Term& t0 = *chosen[i];
                            const Term& t1 = *chosen[i + 1];
                            out << "    {{" << t0.a << ", " << t1.a << "}, {" << t0.b << ", " << t1.b << "}, {" << t0.c
                                << ", " << t1.c << "}},\n";
                        }
                        out << "};\n";
                    }
                }
                kept_total += kept;
                if (kept)
                    bodies << "{k" << name << "LBR"[c] << k << ", " << (kept + 1) / 2 << "}";
                else
                    bodies << "{nullptr, 0}";
                if (k < 5) bodies << ", ";
            }
            bodies << "},\n";
        }
        bodies << "}};\n";
    }
    out << "\n" << bodies.str();

    // Moon: Meeus table 47.A (D, M, M', F, sum l in 1e-6 degree, sum r in 1e-3 km) and
    // 47.B (D, M, M', F, sum b in 1e-6 degree).
    std::string moon;
    if (!read_file(dir + "/src/moonposition.js", moon)) {
        std::cerr << "vsop_gen: cannot read moonposition.js\n";
        return 1;
    }
    auto ta = number_rows(moon, "const ta = ", "const tb = ", 6, "[");
    auto tb = number_rows(moon, "const tb = ", "export function node", 5, "[");
    if (ta.size() != 60 || tb.size() != 60) {
        std::cerr << "vsop_gen: expected 60 + 60 lunar terms, found " << ta.size() << " + " << tb.size() << "\n";
        return 1;
    }
    out << "\n// Meeus table 47.A: D, M, M', F, sum l (1e-6 deg), sum r (1e-3 km)\n"
           "inline constexpr MoonLrTerm kMoonLr[] = {\n";
    for (std::size_t i = 0; i < ta.size(); ++i) {
        if (i % 10 == 0) out << "    // ---- " << i << "\n";
        const auto& r = ta[i];
        out << "    {" << r[0] << ", " << r[1] << ", " << r[2] << ", " << r[3] << ", " << r[4] << ", " << r[5] << "},\n";
    }
    out << "};\n// Meeus table 47.B: D, M, M', F, sum b (1e-6 deg)\ninline constexpr MoonBTerm kMoonB[] = {\n";
    for (std::size_t i = 0; i < tb.size(); ++i) {
        if (i % 10 == 0) out << "    // ---- " << i << "\n";
        const auto& r = tb[i];
        out << "    {" << r[0] << ", " << r[1] << ", " << r[2] << ", " << r[3] << ", " << r[4] << "},\n";
    }
    out << "};\n";

    std::string pluto;
    if (!read_file(dir + "/src/pluto.js", pluto)) {
        std::cerr << "vsop_gen: cannot read pluto.js\n";
        return 1;
    }
    auto t37 = number_rows(pluto, "const t37 = ", "", 9, "new Pt(");
    if (t37.size() != 43) {
        std::cerr << "vsop_gen: expected 43 Pluto terms, found " << t37.size() << "\n";
        return 1;
    }
    out << "\n// Meeus table 37.A: i, j, k (multiples of J, S, P), longitude A, B (deg), latitude A, B\n"
           "// (deg), radius A, B (AU)\ninline constexpr PlutoTerm kPluto[] = {\n";
    for (std::size_t i = 0; i < t37.size(); ++i) {
        if (i % 10 == 0) out << "    // ---- " << i << "\n";
        const auto& r = t37[i];
        out << "    {" << r[0];
        for (std::size_t j = 1; j < r.size(); ++j) out << ", " << r[j];
        out << "},\n";
    }
    out << "};\n\n}  // namespace tellurim::ephlow\n";

    std::string old;
    if (read_file(output, old) && old == out.str()) return 0;
    std::ofstream f(output, std::ios::binary);
    f << out.str();
    if (!f) {
        std::cerr << "vsop_gen: cannot write " << output << "\n";
        return 1;
    }
    std::cerr << "vsop_gen: kept " << kept_total << " of " << all_total << " VSOP87 terms\n";
    return 0;
}
