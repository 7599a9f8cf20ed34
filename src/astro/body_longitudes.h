#pragma once
// Geocentric ecliptic longitudes of the provider's bodies at a given instant, in the movable
// zodiac or in the fixed zodiac of a zero date: what the searches in time (solar returns,
// transits) evaluate again and again. The searches take the interface, so tests and the
// benchmark can feed them another ephemeris.

#include <span>
#include <string>
#include <vector>

namespace tellurim {

class EphemerisLibrary;

class LongitudeSource {
public:
    virtual ~LongitudeSource() = default;
    // Longitudes in degrees, in [0, 360), of `planets` (planet indices of provider bodies:
    // Sun to Pluto, Rahu, Kethu) at the Julian day ET `jd_et`, into `lon_deg` (same size).
    // False when the provider fails or gives an undefined value.
    virtual bool longitudes(double jd_et, std::span<const int> planets, std::span<double> lon_deg) = 0;
};

// The loaded ephemeris library, through its filtered entry points (only the bodies asked for
// are computed). Not thread-safe, as the library.
class LibraryLongitudes final : public LongitudeSource {
public:
    // `fixed`: the fixed zodiac of the zero date `zero_jd_et`; else the movable one.
    LibraryLongitudes(EphemerisLibrary& library, double zero_jd_et, bool fixed)
        : m_library(library), m_zero_jd_et(zero_jd_et), m_fixed(fixed) {}
    bool longitudes(double jd_et, std::span<const int> planets, std::span<double> lon_deg) override;

private:
    EphemerisLibrary& m_library;
    double m_zero_jd_et;
    bool m_fixed;
    std::vector<int> m_filter_planets;  // the planets of m_filter
    std::string m_filter;               // "SUN;MOON": built once for a set of planets
};

}  // namespace tellurim
