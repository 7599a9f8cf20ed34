// Accuracy and speed of the fixed-star positions of date, 1800-2200, every star of the
// generated catalogue, against two independent computations in the same run:
//   A. Swiss Ephemeris swe_fixstar2 on the same list (sefstars.txt): rigorous space motion,
//      Vondrak 2011 precession and its own obliquity; mean equinox of date (no nutation), no
//      aberration, no light deflection, barycentric (no annual parallax);
//   B. the same catalogue values carried linearly by proper motion, turned to the ecliptic of
//      J2000.0 and carried to the date by the ecliptic precession of the sidereal zodiac
//      (sky/ayanamsa.h), a route that shares nothing with the equatorial precession used.
// Prints max and RMS differences in longitude and latitude (arc-seconds), the worst star, and
// the time per position against swe_fixstar2.
//
//   stars_accuracy [path/to/stars.spra]
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/stars.h"
#include "sky/ayanamsa.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "files/stars_file.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

using namespace tellurim;

#ifndef TELLURIM_HAVE_SWE
int main() {
    std::puts("stars_accuracy: Swiss Ephemeris not found, nothing to compare with");
    return 0;
}
#else

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kRadToArcsec = 206264.80624709636;
constexpr int kSweFlags = SEFLG_SWIEPH | SEFLG_NONUT | SEFLG_NOABERR | SEFLG_NOGDEFL | SEFLG_BARYCTR;

struct Stats {
    double max = 0.0;
    double sum_sq = 0.0;
    long n = 0;
    std::string worst;
    void add(double arcsec, const std::string& where) {
        double a = std::fabs(arcsec);
        sum_sq += a * a;
        ++n;
        if (a > max) {
            max = a;
            worst = where;
        }
    }
    void print(const char* what) const {
        std::printf("  %-26s max %9.4f\"  rms %8.4f\"  (%ld positions; worst %s)\n", what, max,
                    n ? std::sqrt(sum_sq / double(n)) : 0.0, n, worst.c_str());
    }
};

double wrap_arcsec(double deg) {
    double d = std::remainder(deg, 360.0);
    return d * 3600.0;
}

// Route B: linear proper motion, ecliptic of J2000, ecliptic precession to the date.
bool route_b(const StarRecord& s, double jd_et, double& lon_deg, double& lat_deg) {
    double years = (jd_et - s.epoch.jd_et) / 365.25;
    double ra = s.ra.to_radians() + years * s.pm_ra.to_radians();
    double dec = s.dec.to_radians() + years * s.pm_dec.to_radians();
    double eps = mean_obliquity(s.epoch.jd_et, s.epoch.jd_et);
    double l0 = std::atan2(std::sin(ra) * std::cos(dec) * std::cos(eps) + std::sin(dec) * std::sin(eps),
                           std::cos(ra) * std::cos(dec));
    double b0 = std::asin(std::sin(dec) * std::cos(eps) - std::cos(dec) * std::sin(eps) * std::sin(ra));
    double l, b;
    if (!ecliptic_precession(reduce_radians(l0), b0, s.epoch.jd_et, jd_et, l, b)) return false;
    lon_deg = radians_to_degrees(l);
    lat_deg = radians_to_degrees(b);
    return true;
}

// The list's designation of a record from its comment: "Gamma-1 And; also Almach" -> "ga-1And",
// "61 Cyg" -> "61Cyg" (the generator's expansion undone).
std::string designation(const StarRecord& s) {
    static const std::pair<const char*, const char*> greek[] = {
        {"Omicron", "omi"}, {"Alpha", "al"}, {"Beta", "be"}, {"Gamma", "ga"}, {"Delta", "de"}, {"Epsilon", "ep"},
        {"Zeta", "ze"}, {"Eta", "et"}, {"Theta", "th"}, {"Iota", "io"}, {"Kappa", "ka"}, {"Lambda", "la"},
        {"Mu", "mu"}, {"Nu", "nu"}, {"Xi", "xi"}, {"Pi", "pi"}, {"Rho", "rh"}, {"Sigma", "si"}, {"Tau", "ta"},
        {"Upsilon", "up"}, {"Phi", "ph"}, {"Chi", "ch"}, {"Psi", "ps"}, {"Omega", "om"}};
    std::string d = s.comment.substr(0, s.comment.find(';'));
    for (const auto& [name, abbreviation] : greek) {
        std::string n = name;
        if (d.compare(0, n.size(), n) == 0 && d.size() > n.size() && (d[n.size()] == ' ' || d[n.size()] == '-')) {
            d = abbreviation + d.substr(n.size());
            break;
        }
    }
    std::string out;
    for (char c : d)
        if (c != ' ') out += c;
    return out;
}

// The name Swiss Ephemeris finds the record under: its traditional name, or "," and its
// designation.
std::string swe_name(const StarRecord& s, bool by_designation) {
    return by_designation ? "," + designation(s) : s.name;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : std::string(TELLURIM_BIN_DIR) + "/../../data/stars/stars.spra";
    StarCatalogue catalogue;
    if (!load_star_catalogue(path, catalogue)) {
        std::printf("stars_accuracy: cannot load %s (run tools/make-data.sh)\n", path.c_str());
        return 1;
    }
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));

    // Match each record with the list's star of the same designation (else name) and J2000 position;
    // records that Swiss Ephemeris does not find are left out.
    std::vector<std::size_t> matched;
    std::vector<std::string> swe_names;
    for (std::size_t i = 0; i < catalogue.stars.size(); ++i) {
        const StarRecord& s = catalogue.stars[i];
        for (bool by_designation : {true, false}) {
            char name[SE_MAX_STNAME * 2 + 1] = {};
            std::snprintf(name, sizeof name, "%s", swe_name(s, by_designation).c_str());
            double x[6];
            char err[256] = {};
            if (swe_fixstar2(name, kJ2000,
                             SEFLG_SWIEPH | SEFLG_J2000 | SEFLG_EQUATORIAL | SEFLG_NONUT | SEFLG_NOABERR |
                                 SEFLG_NOGDEFL | SEFLG_BARYCTR | SEFLG_ICRS,
                             x, err) < 0)
                continue;
            double dra = wrap_arcsec(x[0] - s.ra.to_degrees()) * std::cos(s.dec.to_radians());
            double ddec = (x[1] - s.dec.to_degrees()) * 3600.0;
            if (std::hypot(dra, ddec) < 1.0) {
                matched.push_back(i);
                swe_names.push_back(swe_name(s, by_designation));
                break;
            }
        }
    }
    std::printf("stars_accuracy: %zu of %zu stars matched by name or designation in Swiss Ephemeris' list\n", matched.size(),
                catalogue.stars.size());

    Stats a_lon, a_lat, a_lon_slow, a_lat_slow, b_lon, b_lat;
    double tellurim_seconds = 0.0, swe_seconds = 0.0;
    long positions = 0;
    for (int year = 1800; year <= 2200; year += 10) {
        const double jd_et = kJ2000 + (year - 2000) * 365.25;
        // Tellurim, all matched stars, timed.
        std::vector<StarPosition> ours(matched.size());
        auto t0 = std::chrono::steady_clock::now();
        for (std::size_t k = 0; k < matched.size(); ++k)
            ours[k] = *star_position(catalogue.stars[matched[k]], jd_et, jd_et);
        auto t1 = std::chrono::steady_clock::now();
        tellurim_seconds += std::chrono::duration<double>(t1 - t0).count();
        positions += static_cast<long>(matched.size());

        std::vector<std::array<double, 6>> theirs(matched.size());
        t0 = std::chrono::steady_clock::now();
        for (std::size_t k = 0; k < matched.size(); ++k) {
            char name[SE_MAX_STNAME * 2 + 1] = {};
            std::snprintf(name, sizeof name, "%s", swe_names[k].c_str());
            char err[256];
            swe_fixstar2(name, jd_et, kSweFlags, theirs[k].data(), err);
        }
        t1 = std::chrono::steady_clock::now();
        swe_seconds += std::chrono::duration<double>(t1 - t0).count();

        for (std::size_t k = 0; k < matched.size(); ++k) {
            const StarRecord& s = catalogue.stars[matched[k]];
            const std::string where = s.name + " " + std::to_string(year);
            double lon = ours[k].lon.to_degrees(), lat = ours[k].lat.to_degrees();
            double coslat = std::cos(ours[k].lat.to_radians());
            a_lon.add(wrap_arcsec(lon - theirs[k][0]) * coslat, where);
            a_lat.add((lat - theirs[k][1]) * 3600.0, where);
            // Proper motion along the sky below 0.5" a year: the linear motion in right
            // ascension and declination then stays within a few milliarcseconds of the
            // rigorous space motion over two centuries.
            double pm_sky = std::hypot(s.pm_ra.to_degrees() * std::cos(s.dec.to_radians()), s.pm_dec.to_degrees()) * 3600.0;
            if (pm_sky < 0.5) {
                a_lon_slow.add(wrap_arcsec(lon - theirs[k][0]) * coslat, where);
                a_lat_slow.add((lat - theirs[k][1]) * 3600.0, where);
            }
            double bl, bb;
            if (route_b(s, jd_et, bl, bb)) {
                b_lon.add(wrap_arcsec(lon - bl) * coslat, where);
                b_lat.add((lat - bb) * 3600.0, where);
            }
        }
    }
    std::puts("Position of date 1800-2200 (every 10 years), ecliptic of date; longitude differences are");
    std::puts("arcs on the sky (times cos latitude):");
    std::puts(" A. against Swiss Ephemeris swe_fixstar2 (rigorous space motion, Vondrak precession)");
    a_lon.print("longitude");
    a_lat.print("latitude");
    a_lon_slow.print("longitude, pm < 0.5\"/yr");
    a_lat_slow.print("latitude, pm < 0.5\"/yr");
    std::puts(" B. against linear proper motion + ecliptic precession from J2000");
    b_lon.print("longitude");
    b_lat.print("latitude");
    std::printf("Speed: Tellurim %.3f us a position, swe_fixstar2 %.3f us; ratio %.2f\n",
                1e6 * tellurim_seconds / double(positions), 1e6 * swe_seconds / double(positions),
                swe_seconds / tellurim_seconds);
    swe_close();
    return 0;
}

#endif
