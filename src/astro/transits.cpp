#include "astro/transits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "core/ephemeris_library.h"
#include "base/planet_position.h"
#include "sky/spherical.h"

namespace tellurim {

std::vector<int> default_transiting_bodies() {
    return {kSun, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto};
}

namespace {

// The searches follow one body's longitude "unwrapped": continued past 360 (or below 0) so
// that it is a continuous function of time, its value at a new moment taken as the nearest
// turn to a neighbouring value.
double unwrap_near(double lon_deg, double near_deg) {
    double d = std::fmod(lon_deg - near_deg, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return near_deg + d;
}

class BodyTrack {
public:
    BodyTrack(LongitudeSource& source, int planet) : m_source(source), m_planet{planet} {}
    // The unwrapped longitude at `jd_et`, near `near_deg`.
    bool at(double jd_et, double near_deg, double& lon_deg) {
        double raw = 0.0;
        if (!m_source.longitudes(jd_et, m_planet, std::span<double>(&raw, 1))) return false;
        lon_deg = unwrap_near(raw, near_deg);
        return true;
    }

private:
    LongitudeSource& m_source;
    std::array<int, 1> m_planet;
};

struct Sample {
    double t;
    double lon;  // unwrapped
};

// The turning point between samples a and c, where the longitude is at its largest (`max`)
// or smallest: golden-section search to the tolerance. Each side of it the motion keeps one
// direction.
bool turning_point(BodyTrack& track, Sample a, Sample c, bool max, Sample& turn) {
    constexpr double kInvPhi = 0.6180339887498949;
    const double sign = max ? 1.0 : -1.0;
    double x1 = c.t - kInvPhi * (c.t - a.t);
    double x2 = a.t + kInvPhi * (c.t - a.t);
    double f1 = 0.0, f2 = 0.0;
    if (!track.at(x1, a.lon, f1) || !track.at(x2, a.lon, f2)) return false;
    while (c.t - a.t > kTransitToleranceDays) {
        if (sign * f1 > sign * f2) {
            c.t = x2;
            x2 = x1;
            f2 = f1;
            x1 = c.t - kInvPhi * (c.t - a.t);
            if (!track.at(x1, a.lon, f1)) return false;
        } else {
            a.t = x1;
            x1 = x2;
            f1 = f2;
            x2 = a.t + kInvPhi * (c.t - a.t);
            if (!track.at(x2, a.lon, f2)) return false;
        }
    }
    turn = sign * f1 > sign * f2 ? Sample{x1, f1} : Sample{x2, f2};
    return true;
}

// The moment in [a, b] at which the longitude, monotonic there, equals `target` (unwrapped
// like the samples, and between theirs): regula falsi with the Illinois correction, which
// converges about as fast as the secant method and keeps the bracket; it stops when the
// bracket is narrower than the tolerance.
bool crossing(BodyTrack& track, Sample a, Sample b, double target, double& jd_et) {
    double fa = a.lon - target;
    double fb = b.lon - target;
    if (fa == 0.0) return jd_et = a.t, true;
    if (fb == 0.0) return jd_et = b.t, true;
    int side = 0;
    for (int i = 0; i < 200 && b.t - a.t > kTransitToleranceDays; ++i) {
        double t = b.t - fb * (b.t - a.t) / (fb - fa);
        // Keep the trial off the ends, where the false position creeps.
        const double margin = 0.01 * (b.t - a.t);
        t = std::clamp(t, a.t + margin, b.t - margin);
        double lon = 0.0;
        if (!track.at(t, 0.5 * (a.lon + b.lon), lon)) return false;
        const double f = lon - target;
        if (f == 0.0) return jd_et = t, true;
        if ((f < 0.0) == (fa < 0.0)) {
            a = {t, lon};
            fa = f;
            if (side == -1) fb *= 0.5;
            side = -1;
        } else {
            b = {t, lon};
            fb = f;
            if (side == 1) fa *= 0.5;
            side = 1;
        }
    }
    jd_et = 0.5 * (a.t + b.t);
    return true;
}

// One aspect point: the longitude (0 to 360) a transiting body must reach.
struct Target {
    double lon;
    std::size_t point;
    std::size_t aspect;
};

std::vector<Target> targets_of(const TransitRequest& r) {
    std::vector<Target> out;
    for (std::size_t p = 0; p < r.points.size(); ++p)
        for (std::size_t a = 0; a < r.aspects.size(); ++a) {
            const double angle = r.aspects[a].angle_deg;
            out.push_back({reduce_degrees(r.points[p].lon_deg + angle), p, a});
            // The conjunction and the opposition have one point; every other aspect two.
            if (angle > 1e-9 && angle < 180.0 - 1e-9) out.push_back({reduce_degrees(r.points[p].lon_deg - angle), p, a});
        }
    return out;
}

// The events of one body over its samples, turning points inserted.
bool body_events(BodyTrack& track, int planet, std::vector<Sample> samples, const std::vector<Target>& targets,
                 const TransitRequest& r, std::vector<TransitEvent>& out) {
    // Turning points: where the direction of motion changes from one stretch to the next.
    std::vector<Sample> pieces;
    pieces.push_back(samples.front());
    for (std::size_t k = 1; k + 1 < samples.size(); ++k) {
        const double before = samples[k].lon - samples[k - 1].lon;
        const double after = samples[k + 1].lon - samples[k].lon;
        if ((before > 0.0) != (after > 0.0)) {
            Sample turn{};
            if (!turning_point(track, samples[k - 1], samples[k + 1], before > 0.0, turn)) return false;
            if (turn.t > pieces.back().t) pieces.push_back(turn);
            // The turn may fall on either side of sample k; keep the moments in order.
            if (samples[k].t > turn.t) pieces.push_back(samples[k]);
            continue;
        }
        if (samples[k].t > pieces.back().t) pieces.push_back(samples[k]);
    }
    if (samples.back().t > pieces.back().t) pieces.push_back(samples.back());

    for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
        const Sample& a = pieces[k];
        const Sample& b = pieces[k + 1];
        if (a.lon == b.lon) continue;
        const bool retro = b.lon < a.lon;
        const double lo = std::min(a.lon, b.lon);
        const double hi = std::max(a.lon, b.lon);
        for (const Target& x : targets) {
            // Each turn of the target within (lo, hi] going forwards, [lo, hi) going backwards,
            // so that a target met exactly at a piece's end counts once. The turn is always
            // x.lon + 360 n, never a sum built step by step: adding and taking away 360 does not
            // give back the same double, and a target at the shared end would then be counted
            // by both pieces.
            for (double n = std::floor((lo - x.lon) / 360.0);; n += 1.0) {
                const double v = x.lon + 360.0 * n;
                if (v > hi) break;
                if (retro ? !(v >= lo && v < hi) : !(v > lo && v <= hi)) continue;
                double t = 0.0;
                if (!crossing(track, a, b, v, t)) return false;
                if (t < r.from_jd_et || t > r.to_jd_et) continue;
                out.push_back({t, planet, x.aspect, r.points[x.point].planet, retro});
            }
        }
    }
    return true;
}

}  // namespace

std::optional<std::vector<TransitEvent>> find_transits(LongitudeSource& source, const TransitRequest& r) {
    if (!std::isfinite(r.from_jd_et) || !std::isfinite(r.to_jd_et) || r.to_jd_et < r.from_jd_et) return std::nullopt;
    for (int b : r.bodies)
        if (body_of_planet(b).empty()) return std::nullopt;
    for (const NatalPoint& p : r.points)
        if (!std::isfinite(p.lon_deg)) return std::nullopt;
    for (const TransitAspect& a : r.aspects)
        if (!(a.angle_deg >= 0.0 && a.angle_deg <= 180.0)) return std::nullopt;
    std::vector<TransitEvent> events;
    if (r.bodies.empty() || r.points.empty() || r.aspects.empty()) return events;

    // Samples of every body at once, one step beyond each end of the window, so that a turn
    // of direction near an end is seen between samples on both of its sides.
    const double first = r.from_jd_et - kTransitSampleDays;
    const double last = r.to_jd_et + kTransitSampleDays;
    const auto steps = static_cast<std::size_t>(std::ceil((last - first) / kTransitSampleDays));
    std::vector<std::vector<Sample>> samples(r.bodies.size());
    std::vector<double> lon(r.bodies.size());
    for (std::size_t k = 0; k <= steps; ++k) {
        const double t = k == steps ? last : first + static_cast<double>(k) * kTransitSampleDays;
        if (!source.longitudes(t, r.bodies, lon)) return std::nullopt;
        for (std::size_t b = 0; b < r.bodies.size(); ++b) {
            const double v = samples[b].empty() ? lon[b] : unwrap_near(lon[b], samples[b].back().lon);
            samples[b].push_back({t, v});
        }
    }

    const std::vector<Target> targets = targets_of(r);
    for (std::size_t b = 0; b < r.bodies.size(); ++b) {
        BodyTrack track(source, r.bodies[b]);
        if (!body_events(track, r.bodies[b], std::move(samples[b]), targets, r, events)) return std::nullopt;
    }
    auto rank = [](int planet, const std::vector<int>& order) {
        return std::find(order.begin(), order.end(), planet) - order.begin();
    };
    std::vector<int> natal_order;
    for (const NatalPoint& p : r.points) natal_order.push_back(p.planet);
    std::stable_sort(events.begin(), events.end(), [&](const TransitEvent& x, const TransitEvent& y) {
        return std::tuple(x.jd_et, rank(x.transiting, r.bodies), rank(x.natal, natal_order), x.aspect) <
               std::tuple(y.jd_et, rank(y.transiting, r.bodies), rank(y.natal, natal_order), y.aspect);
    });
    return events;
}

}  // namespace tellurim
