// The three substring parsers of the geocoding service's answers (place names, location, time
// zone) and the feedback built from them, on any bytes: no read outside the answer, names
// within their lengths, a location that is a finite angle, UTF-8 texts, and a feedback of at
// most 500 characters that never holds a key.
#include "base/text.h"
#include "files/geocoding.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer = fuzz::as_text(data, size);
    GeocodeResult g;
    g.names_found = parse_place_names(answer, g.names);
    fuzz::check(utf8_to_utf16(g.names.city).size() <= 59 && utf8_to_utf16(g.names.state).size() <= 119);
    g.location_found = parse_location(answer, g.location);
    if (g.location_found) {
        fuzz::check(g.location.latitude.is_angle() && g.location.longitude.is_angle());
        g.longitude_text = format_angle(g.location.longitude);
        g.latitude_text = format_angle(g.location.latitude);
    }
    DateHour legal;
    if (!set_julian_day_ut(legal, 2451545.0)) return 0;
    g.time_zone_asked = true;
    g.zone = parse_time_zone(answer, legal);
    g.geocode.body = std::string(answer);
    g.time_zone.body = std::string(answer);
    const GoogleKeys keys{"secret-geocode", "secret-zone"};
    const std::string feedback = geocoding_feedback(g, keys);
    fuzz::check(utf8_to_utf16(feedback).size() <= kGeocodingFeedbackUnits);
    fuzz::check(feedback.find("secret-geocode") == std::string::npos);
    return 0;
}
