#pragma once
// Primary directions: the arc through which the diurnal motion carries a promissor (a planet
// or an aspect point of it) to the place of a significator, along proportional semi-arcs, and
// its age by a key in degrees of right ascension per year; the list of directions of a chart
// within an age window; and the checked form of the single arc used by `PrimaryDirection`.

#include <optional>
#include <string>
#include <vector>

#include "core/aspect_record.h"
#include "core/horoscope.h"
#include "base/strings.h"

namespace tellurim {

// An ecliptic point, radians.
struct EclipticPoint {
    double lon_rad = 0.0;
    double lat_rad = 0.0;
};

// The arc in degrees [0, 360) from significator A to promissor B at place latitude `phi`,
// local sidereal time `ramc` and obliquity `eps` (radians). 0 when A and B are the same
// point. nullopt when the significator's altitude sine is not strictly inside (-1, 1) or
// either body is circumpolar (|tan phi tan dec| at least 1).
std::optional<double> direction_arc_deg(const EclipticPoint& a, const EclipticPoint& b, double phi, double ramc,
                                        double eps);

// The age in years for the key `key_deg_per_year` (the arc divided by the key), or the arc in
// degrees when the key is not above 0. nullopt as above.
std::optional<double> direction_age(const EclipticPoint& a, const EclipticPoint& b, double phi, double ramc,
                                    double eps, double key_deg_per_year);

// The eight arguments of `PrimaryDirection`, all radians; the key in radians of right
// ascension per year.
struct PrimaryDirectionArgs {
    double lon_a = 0.0, lat_a = 0.0, lon_b = 0.0, lat_b = 0.0;
    double place_latitude = 0.0, sidereal_time = 0.0, epsilon = 0.0, key_rad_per_year = 0.0;
};
struct PrimaryDirectionResult {
    bool ok = false;
    double age = kInfinity;
    Str error = Str::DirectionFailed;  // when !ok
};
// Checks each argument in order (longitudes and sidereal time in [0, 2 pi), latitudes in
// (-pi/2, pi/2), epsilon in (0, pi/2)), each failure with its own message, then computes.
PrimaryDirectionResult primary_direction(const PrimaryDirectionArgs& args);

// The mean motion of the Sun in right ascension, degrees per year (one degree of right
// ascension for each year of life: the Naibod key, 360 degrees per tropical year).
double mean_sun_ra_speed_deg();
// The Sun's true motion in right ascension at the moment `jd_et`, degrees per day, from its
// movable longitude (degrees) and the obliquity (radians). Positive infinity when undefined.
double true_sun_ra_speed_deg(double jd_et, double sun_lon_deg, double eps);

// Which pairs the list keeps (the dialog's "Filter:").
enum class DirectionFilter {
    All,       // every chosen planet as significator
    Angles,    // only the Ascendant and the Midheaven as significators
    Personal,  // the Sun, the Moon, the Ascendant and the Midheaven as significators
};
// "all", "angles", "personal"; nullopt for another text.
std::optional<DirectionFilter> direction_filter_from_name(std::string_view name);

// The planets chosen when none are named: Sun to Saturn, the Ascendant and Midheaven, and the
// three outer planets.
inline constexpr int kDefaultDirectionPlanets[] = {kSun,    kMoon,      kMercury,   kVenus,  kMars,    kJupiter,
                                                   kSaturn, kAscendant, kMidheaven, kUranus, kNeptune, kPluto};

struct DirectionRequest {
    std::vector<int> planets;         // "Planets:"
    std::vector<AspectDef> aspects;   // "Aspects:"
    double from_age = 0.0;            // "Year old begin:"
    double to_age = 0.0;              // "Year old end:"
    bool with_latitude = false;       // "With &latitude"
    bool sort_by_age = false;         // "&Sort by age"
    bool ra_sun_correction = false;   // "&RA Sun correction"
    DirectionFilter filter = DirectionFilter::All;
};

struct Direction {
    int significator = -1;
    int promissor = -1;
    std::string aspect;           // the aspect row's name
    double aspect_angle_deg = 0;  // signed: + ahead of the promissor in longitude, - behind
    double arc_deg = 0.0;
    double age = 0.0;
};

struct DirectionList {
    bool ok = false;
    Str error = Str::DirectionBadInput;  // when !ok; "Bad input" has the caption "Error"
    double key_deg_per_year = 0.0;
    std::vector<Direction> directions;
};

// The directions of `h` whose age lies in [from_age, to_age]. Refused without a planet
// ("Please choose at least one planet!"), without an aspect ("Please choose at least one
// aspect!") or when the begin age is not below the end age ("Bad input"). Every ordered pair
// of different chosen planets that the filter lets through is taken with every aspect point
// of the promissor: its longitude plus and minus the aspect angle (one point for 0 and 180).
// Latitudes are the bodies' own with `with_latitude`, 0 otherwise.
DirectionList compute_directions(const Horoscope& h, const DirectionRequest& request);

// The window title: "Primary directions for <name> from <begin> to <end> with latitude".
std::string direction_title(const Horoscope& h, const DirectionRequest& request);
// The aspect of a direction with the side of the promissor as the sign of its angle
// ("Square +90", "Sextil -60"); the conjunction and the opposition, one-sided, by name only.
std::string direction_aspect_text(const Direction& d);
// "Number of directions found : <n>".
std::string direction_count_text(long count);

}  // namespace tellurim
