#include "astro/strengths.h"

#include <algorithm>
#include <cmath>

#include "astro/planets_signs.h"

namespace tellurim {
namespace {

constexpr int kSun_ = 0, kMoon_ = 1, kMercury_ = 2, kVenus_ = 3, kMars_ = 4, kJupiter_ = 5, kSaturn_ = 6;

struct ComponentNames {
    Str label;
    Str failure;
};
constexpr std::array<ComponentNames, kStrengthComponents> kComponents{{
    {Str::StrengthLabelExaltation, Str::StrengthFailExaltation},
    {Str::StrengthLabelSubs, Str::StrengthFailSubdivisions},
    {Str::StrengthLabelMoola, Str::StrengthFailMoolatrikona},
    {Str::StrengthLabelSexSignNav, Str::StrengthFailSexSignNav},
    {Str::StrengthLabelKendra, Str::StrengthFailKendra},
    {Str::StrengthLabelDecan, Str::StrengthFailDecan},
    {Str::StrengthLabelDigBala, Str::StrengthFailDigBala},
    {Str::StrengthLabelHour, Str::StrengthFailHour},
    {Str::StrengthLabelLunation, Str::StrengthFailLunation},
    {Str::StrengthLabelThird, Str::StrengthFailThird},
    {Str::StrengthLabelLords, Str::StrengthFailLords},
    {Str::StrengthLabelDeclination, Str::StrengthFailDeclination},
    {Str::StrengthLabelWar, Str::StrengthFailWar},
    {Str::StrengthLabelChesta, Str::StrengthFailChesta},
    {Str::StrengthLabelNaisargika, Str::StrengthFailNaisargika},
    {Str::StrengthLabelDrik, Str::StrengthFailDrik},
}};

bool defined(double x) { return std::isfinite(x); }
std::size_t at(int i) { return static_cast<std::size_t>(i); }

double reduce360(double x) { return x - 360.0 * std::floor(x / 360.0); }
// Absolute difference of two longitudes folded into [0, 180].
double distance(double a, double b) {
    double d = reduce360(a - b);
    return d > 180.0 ? 360.0 - d : d;
}
double fold180(double k) { return k > 180.0 ? 360.0 - k : k; }

// Virupas that a relationship of a planet to the lord of its division sign is worth.
double relationship_value(int r) {
    switch (r) {
        case -2: return 1.875;
        case -1: return 3.75;
        case 0: return 7.5;
        case 1: return 15.0;
        case 2: return 22.5;
        case 3: return 30.0;
        default: return 0.0;
    }
}

// Sign index counted the Hindu way: index 0 (Aries), 2, 4 ... are the odd (male) signs.
bool is_odd_sign(int s) { return s >= 0 && s % 2 == 0; }
bool is_even_sign(int s) { return s >= 0 && s % 2 == 1; }

// Natural strengths: the planets' brightness order, 60 x k / 7 for k = 7 .. 1.
constexpr std::array<double, kStrengthPlanets> kNatural{60.0, 51.43, 25.7, 42.85, 17.14, 34.28, 8.57};

// Motion strength of Mercury .. Saturn: the ratio m / n turns the synodic elongation into
// the planet's own anomaly of motion (mean daily motions of the Sun and the planet).
struct Motion {
    double m;
    double n;
};
constexpr std::array<Motion, kStrengthPlanets> kMotion{{{0, 0}, {0, 0}, {4.094, 3.109}, {1.602, 0.617},
                                                        {0.524, 0.461}, {0.083, 0.902}, {0.034, 0.951}}};

// Apparent diameters (seconds of arc) for the planetary war.
constexpr std::array<double, kStrengthPlanets> kDiameter{0.0, 0.0, 6.6, 16.6, 9.4, 190.4, 158.0};

constexpr double kJd1900 = 2415020.5;  // 1 January 1900, 0h

double sign_degrees(double lon) { return lon - 30.0 * std::floor(lon / 30.0); }
int sign_of(double lon) { return defined(lon) ? static_cast<int>(std::floor(reduce360(lon) / 30.0)) % 12 : -1; }

}  // namespace

Str strength_label(int component) {
    if (component == kStrengthComponents + 1) return Str::StrengthLabelTotal;
    return kComponents.at(at(component - 1)).label;
}

Str strength_failure(int component) { return kComponents.at(at(component - 1)).failure; }

void planetary_war(const StrengthInputs& in, const std::array<double, kStrengthPlanets>& running,
                   std::array<double, kStrengthPlanets>& war) {
    for (int a = kMercury_; a <= kSaturn_; ++a) {
        for (int b = a + 1; b <= kSaturn_; ++b) {
            double la = in.fixed_lon_deg[at(a)];
            double lb = in.fixed_lon_deg[at(b)];
            if (!defined(la) || !defined(lb) || distance(la, lb) >= 1.0) continue;
            // The winner: the planet further north in latitude; with equal latitudes (within
            // one minute of arc) a retrograde planet over a direct one; failing that the
            // larger running total.
            double ba = defined(in.latitude_deg[at(a)]) ? in.latitude_deg[at(a)] : 0.0;
            double bb = defined(in.latitude_deg[at(b)]) ? in.latitude_deg[at(b)] : 0.0;
            int winner = a;
            if (std::fabs(ba - bb) > 1.0 / 60.0) {
                winner = ba > bb ? a : b;
            } else if (in.retrograde[at(a)] != in.retrograde[at(b)]) {
                winner = in.retrograde[at(a)] ? a : b;
            } else {
                winner = running[at(a)] >= running[at(b)] ? a : b;
            }
            int loser = winner == a ? b : a;
            double value = std::fabs(running[at(a)] - running[at(b)]) / std::fabs(kDiameter[at(a)] - kDiameter[at(b)]);
            war[at(winner)] += value;
            war[at(loser)] -= value;
        }
    }
}

int compute_planet_strengths(const StrengthInputs& in, PlanetStrengthTable& out) {
    out = PlanetStrengthTable{};
    for (int p = 0; p < kStrengthPlanets; ++p) {
        out[at(p)].planet = static_cast<std::int8_t>(p);
        out[at(p)].components.fill(0.0);
    }
    auto c = [&out](int p, int component) -> double& { return out[at(p)].components[at(component - 1)]; };
    auto lon = [&in](int p) { return in.fixed_lon_deg[at(p)]; };

    // 1. Exaltation.
    for (int p = 0; p < kStrengthPlanets; ++p)
        if (defined(lon(p)) && defined(in.debilitation_deg[at(p)]))
            c(p, 1) = distance(lon(p), in.debilitation_deg[at(p)]) / 3.0;

    // 2. Seven divisions: the planet's relationship to the lord of its sign in each.
    for (int p = 0; p < kStrengthPlanets; ++p) {
        for (int d = 0; d < 7; ++d) {
            int lord = lord_of_sign(in.division_signs[at(p)][at(d)], 0);
            if (lord < 0 || lord >= kStrengthPlanets) continue;
            c(p, 2) += relationship_value(lord == p ? 3 : in.relationships[at(p)][at(lord)]);
        }
    }

    // 3. Moolatrikona.
    struct Band {
        double from;
        double to;
    };
    constexpr std::array<Band, kStrengthPlanets> kMoola{{{120, 140}, {34, 60}, {166, 170}, {180, 190}, {0, 18},
                                                          {240, 253}, {300, 320}}};
    for (int p = 0; p < kStrengthPlanets; ++p) {
        if (!defined(lon(p))) continue;
        double l = reduce360(lon(p));
        if (l < kMoola[at(p)].from || l >= kMoola[at(p)].to) continue;
        c(p, 3) = p == kMoon_ ? 45.0 - relationship_value(in.relationships[at(kMoon_)][at(kVenus_)]) : 15.0;
    }

    // 4. Odd/even sign and navamsa: the Moon and Venus like even signs, the others odd ones.
    for (int p = 0; p < kStrengthPlanets; ++p) {
        bool female = p == kMoon_ || p == kVenus_;
        for (int d : {0, 4}) {
            int s = in.division_signs[at(p)][at(d)];
            if (female ? is_even_sign(s) : is_odd_sign(s)) c(p, 4) += 15.0;
        }
    }

    // 5. Sign quality: movable, fixed, dual.
    for (int p = 0; p < kStrengthPlanets; ++p) {
        int s = in.division_signs[at(p)][0];
        if (s < 0) continue;
        c(p, 5) = s % 3 == 0 ? 60.0 : s % 3 == 1 ? 30.0 : 15.0;
    }

    // 6. Decanate: male planets in the first, neuter in the second, female in the third.
    for (int p = 0; p < kStrengthPlanets; ++p) {
        if (!defined(lon(p))) continue;
        int k = static_cast<int>(sign_degrees(reduce360(lon(p))) / 10.0);
        int wanted = (p == kSun_ || p == kMars_ || p == kJupiter_) ? 0 : (p == kMercury_ || p == kSaturn_) ? 1 : 2;
        if (k == wanted) c(p, 6) = 15.0;
    }

    // 7. Direction: distance from the point where the planet has no strength.
    const double asc = lon(7);
    const double mc = lon(8);
    for (int p = 0; p < kStrengthPlanets; ++p) {
        double zero = kNoValue;
        switch (p) {
            case kSun_: case kMars_: zero = mc + 180.0; break;
            case kMoon_: case kVenus_: zero = mc; break;
            case kMercury_: case kJupiter_: zero = asc + 180.0; break;
            default: zero = asc; break;
        }
        if (defined(lon(p)) && defined(zero)) c(p, 7) = distance(lon(p), zero) / 3.0;
    }

    // 8. Day/night: distance of the local apparent time from local midnight.
    if (!defined(in.ut_hours) || !defined(in.place_lon_deg) || !defined(in.equation_of_time_deg)) return 8;
    {
        double x = reduce360(in.ut_hours * 15.0 + in.place_lon_deg - in.equation_of_time_deg);
        double b = fold180(x) / 3.0;
        for (int p : {kSun_, kJupiter_, kVenus_}) c(p, 8) = b;
        for (int p : {kMoon_, kMars_, kSaturn_}) c(p, 8) = 60.0 - b;
        c(kMercury_, 8) = 60.0;
    }

    // 9. Lunar phase.
    if (in.moon_quality == 99 || in.mercury_quality == 99) return 9;
    if (defined(lon(kMoon_)) && defined(lon(kSun_))) {
        double b = distance(lon(kMoon_), lon(kSun_)) / 3.0;
        for (int p : {kSun_, kMars_, kSaturn_}) c(p, 9) = 60.0 - b;
        for (int p : {kVenus_, kJupiter_}) c(p, 9) = b;
        c(kMercury_, 9) = in.mercury_quality >= 1 ? b : 60.0 - b;
        c(kMoon_, 9) = in.moon_quality >= 1 ? 2.0 * b : 2.0 * (60.0 - b);
    }

    // 10. Third of day or night, from the planetary hour.
    const bool has_hour = in.planetary_hour >= 1 && in.planetary_hour <= 24;
    if (!has_hour && !in.polar) return 10;
    {
        constexpr std::array<int, 6> kThirdLord{kMercury_, kSun_, kSaturn_, kMoon_, kVenus_, kMars_};
        if (has_hour) c(kThirdLord[at((in.planetary_hour - 1) / 4)], 10) = 60.0;
        c(kJupiter_, 10) = 60.0;
    }

    // 11. Lords of the year, month, day and hour.
    {
        const std::array<std::pair<int, double>, 4> lords{
            {{in.year_lord, 15.0}, {in.month_lord, 30.0}, {in.day_lord, 45.0}, {in.hour_lord, 60.0}}};
        for (const auto& [lord, value] : lords)
            if ((lord < 0 && !in.polar) || lord >= kStrengthPlanets) return 11;
        for (const auto& [lord, value] : lords)
            if (lord >= 0) c(lord, 11) += value;
    }

    // 12. Declination.
    for (int p = 0; p < kStrengthPlanets; ++p) {
        double d = in.declination_deg[at(p)];
        if (!defined(d)) continue;
        d = std::clamp(d, -24.0, 24.0);
        switch (p) {
            case kVenus_: case kMars_: case kJupiter_: c(p, 12) = 1.25 * (24.0 + d); break;
            case kMoon_: case kSaturn_: c(p, 12) = 1.25 * (24.0 - d); break;
            case kMercury_: c(p, 12) = 1.25 * (24.0 + std::fabs(d)); break;
            default: c(p, 12) = 2.5 * (24.0 + d); break;
        }
    }

    // 13. Planetary war, on the running totals of components 1 to 12.
    {
        std::array<double, kStrengthPlanets> running{};
        std::array<double, kStrengthPlanets> war{};
        for (int p = 0; p < kStrengthPlanets; ++p)
            for (int k = 1; k <= 12; ++k) running[at(p)] += c(p, k);
        planetary_war(in, running, war);
        for (int p = 0; p < kStrengthPlanets; ++p) c(p, 13) = war[at(p)];
    }

    // 14. Motion.
    {
        const double earth = defined(in.sun_movable_lon_deg) ? reduce360(in.sun_movable_lon_deg + 180.0) : kNoValue;
        for (int p = kMercury_; p <= kSaturn_; ++p) {
            double h = in.helio_lon_deg[at(p)];
            if (!defined(h) || !defined(in.sun_movable_lon_deg)) continue;
            double x = reduce360(in.sun_movable_lon_deg - h);
            if (x > 180.0) x -= 360.0;
            double k = reduce360((x + 180.0) * kMotion[at(p)].m / kMotion[at(p)].n);
            c(p, 14) = fold180(k) / 3.0;
        }
        if (defined(in.jd_ut)) {
            double y = (in.jd_ut - kJd1900) / 365.25;
            if (defined(earth)) c(kSun_, 14) = fold180(reduce360(281.217 + 0.0171 * y - earth)) / 3.0;
            if (defined(in.moon_movable_lon_deg))
                c(kMoon_, 14) = fold180(reduce360(334.0 + 40.69 * y - in.moon_movable_lon_deg)) / 3.0;
        }
    }

    // 15. Natural.
    for (int p = 0; p < kStrengthPlanets; ++p) c(p, 15) = kNatural[at(p)];

    // 16. Aspects received: benefics add, malefics take away, a quarter of each.
    {
        const double qm = in.moon_quality >= 0 ? 1.0 : -1.0;
        const double qme = in.mercury_quality >= 0 ? 1.0 : -1.0;
        const std::array<double, kStrengthPlanets> sign{-1.0, qm, qme, 1.0, -1.0, 1.0, -1.0};
        for (int p = 0; p < kStrengthPlanets; ++p) {
            double sum = 0.0;
            for (int q = 0; q < kStrengthPlanets; ++q) {
                double a = in.aspects_received[at(p)][at(q)];
                if (q != p && defined(a)) sum += sign[at(q)] * a;
            }
            c(p, 16) = 0.25 * sum;
        }
    }

    for (auto& row : out) {
        row.total = 0.0;
        for (double v : row.components) row.total += v;
    }
    return 0;
}

PlanetStrength strength_row(const PlanetStrengthTable& table, int planet) {
    if (planet < 0 || planet >= kStrengthPlanets) return PlanetStrength{};
    return table[at(planet)];
}

double kala_bala(const PlanetStrength& row) {
    double sum = 0.0;
    for (int c = 8; c <= 13; ++c) {
        double v = row.components[at(c - 1)];
        if (!defined(v)) return kNoValue;
        sum += v;
    }
    return sum;
}

int house_direction_reference(double x) {
    if (!defined(x)) return 9;
    x = reduce360(x);
    auto in = [x](double lo, double hi) { return x >= lo && x < hi; };
    if (in(60, 90) || in(150, 210) || in(240, 255) || in(300, 330)) return 6;
    if (in(90, 120) || in(285, 300) || in(330, 360)) return 9;
    if (in(210, 240)) return 0;
    return 3;
}

bool compute_house_strengths(const HouseStrengthInputs& in, const PlanetStrengthTable& planets,
                             HouseStrengthTable& out) {
    out = HouseStrengthTable{};
    const double qm = in.moon_quality >= 0 ? 0.25 : -0.25;
    const double qme = in.mercury_quality >= 0 ? 1.0 : -1.0;
    // Jupiter's and Mercury's aspects count in full, the others a quarter.
    const std::array<double, kStrengthPlanets> weight{-0.25, qm, qme, 0.25, -0.25, 1.0, -0.25};
    for (int h = 0; h < 12; ++h) {
        HouseStrength& row = out[at(h)];
        row.house = static_cast<std::int8_t>(h);
        int lord = lord_of_sign(sign_of(in.cusp_fixed_deg[at(h)]), 0);
        if (lord < 0 || lord >= kStrengthPlanets || !defined(planets[at(lord)].total)) return false;
        row.lord = planets[at(lord)].total;
        int n = ((h - house_direction_reference(in.cusp_movable_deg[at(h)])) % 12 + 12) % 12;
        if (n > 6) n = 12 - n;
        row.direction = 10.0 * n;
        row.aspects = 0.0;
        for (int q = 0; q < kStrengthPlanets; ++q) {
            double a = in.aspects_received[at(h)][at(q)];
            if (defined(a)) row.aspects += weight[at(q)] * a;
        }
        row.total = row.lord + row.direction + row.aspects;
    }
    return true;
}

}  // namespace tellurim
