#pragma once
// The exact transit search: every moment in a window at which a transiting body makes an
// aspect of the aspect table, exactly, to a point of the birth chart.
//
// "Exactly" is taken on the ecliptic longitudes: the transiting body's longitude minus the
// natal point's equals the aspect's angle, either way round. Latitudes are left out, as
// every astrologer's transit list does; with them a conjunction would seldom be exact.

#include <optional>
#include <string>
#include <vector>

#include "astro/body_longitudes.h"

namespace tellurim {

struct NatalPoint {
    int planet = -1;       // planet index, for the listing
    double lon_deg = 0.0;  // its longitude, in the zodiac of the source
};

struct TransitAspect {
    std::string name;
    double angle_deg = 0.0;  // 0 to 180
};

struct TransitRequest {
    double from_jd_et = 0.0;  // the window, Julian days ET, from <= to
    double to_jd_et = 0.0;
    std::vector<int> bodies;  // transiting: provider bodies (Sun to Pluto, Rahu, Kethu)
    std::vector<NatalPoint> points;
    std::vector<TransitAspect> aspects;
};

struct TransitEvent {
    double jd_et = 0.0;
    int transiting = -1;     // planet index
    std::size_t aspect = 0;  // position in TransitRequest::aspects
    int natal = -1;          // planet index of the natal point
    bool retrograde = false; // the transiting body moves backwards in longitude
};

// The events are found to within this (about 0.1 second of time).
inline constexpr double kTransitToleranceDays = 1.0e-6;
// The spacing of the samples that bracket the events. Within half a day the Moon moves at most
// 8 degrees, and no body turns back twice (the true node, the quickest to turn, stays on
// course for several days): each stretch between samples and turning points crosses each
// aspect point at most once.
inline constexpr double kTransitSampleDays = 0.5;

// The Sun to Pluto in planet index order: the default transiting bodies.
std::vector<int> default_transiting_bodies();

// Every event of the request in the window, in time order (then transiting body, natal point
// and aspect, in the request's order). A retrograde planet that passes an aspect point three
// times gives three events. nullopt when the window or a body is not acceptable or the source
// fails.
std::optional<std::vector<TransitEvent>> find_transits(LongitudeSource& source, const TransitRequest& request);

}  // namespace tellurim
