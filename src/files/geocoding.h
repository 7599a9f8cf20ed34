#pragma once
// Online geocoding and time-zone lookup: a place typed by the user (city, county, state,
// country) is sent to the geocoding web service, which answers with the place's full names
// and its latitude and longitude; the service's time-zone endpoint then gives the offsets in
// force at the birth moment, which turn the legal birth time into universal time.
//
// The answers are JSON texts read by substring search, not by a JSON parser: a key is looked
// for with its quotes and the text around it is cut at the next "," or "}". Odd answers (two
// locality components, a name holding a ":") therefore give the results users of the dialogs
// have always seen, and a test pins them.
//
// The service address, an extra CA file and the time-out are settings kept in
// "geocoding.ini" beside the options file; the API keys come from "google_keys.txt" in the
// private directory. A key never appears in a message, a feedback text or an error line.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "base/strings.h"
#include "core/messages.h"

namespace tellurim {

inline constexpr const char* kGoogleKeysFile = "google_keys.txt";
inline constexpr const char* kGeocodingSettingsFile = "geocoding.ini";
inline constexpr const char* kDefaultGeocodingEndpoint = "https://maps.googleapis.com";
// A request that has not finished after this long is abandoned: the lookups run while the
// user waits, and the system's HTTP client bounded them the same way.
inline constexpr int kDefaultGeocodingTimeoutSeconds = 30;
inline constexpr int kMaxGeocodingTimeoutSeconds = 300;
// The feedback text shown under "Search feedback:" holds at most this many characters.
inline constexpr std::size_t kGeocodingFeedbackUnits = 500;

// --- settings ("geocoding.ini": endpoint=, ca_file=, timeout= lines) ------------------------
struct GeocodingSettings {
    std::string endpoint = kDefaultGeocodingEndpoint;  // "https://HOST[:PORT]", no trailing "/"
    std::string ca_file;                               // empty: the system's CAs only
    int timeout_seconds = kDefaultGeocodingTimeoutSeconds;
};
std::string geocoding_settings_path(const std::string& private_dir);
// The stored settings; the defaults for a missing file, line or unusable value.
GeocodingSettings read_geocoding_settings(const std::string& private_dir);
// Rewrites the file atomically under its lock with `change` applied to what it holds now.
[[nodiscard]] bool update_geocoding_settings(const std::string& private_dir,
                                             const std::function<void(GeocodingSettings&)>& change);
// The checks of `options set`: nullopt when acceptable (the endpoint loses a trailing "/").
std::optional<Str> check_geocoding_endpoint(std::string& endpoint);
std::optional<int> parse_geocoding_timeout(std::string_view text);

// --- keys ("google_keys.txt") -----------------------------------------------------------------
struct GoogleKeys {
    std::string geocode;
    std::string timezone;
};
std::string google_keys_path(const std::string& private_dir);
// The keys of the file's text: the line holding "key_geocode=" without that text gives one,
// the line holding "key_timezone=" the other. nullopt unless both are non-empty.
std::optional<GoogleKeys> parse_google_keys(std::string_view text);
// Creates the file when it is missing (readable by its owner only, the two names with empty
// values: no key ships with the system), then reads it. nullopt as above; the caller says
// "Cannot read Google API key!".
std::optional<GoogleKeys> read_google_keys(const std::string& private_dir);
// read_google_keys, telling the user when the keys are missing: the file's path (caption
// "Put the two Google API keys in this file:", information) and "Cannot read Google API key!"
// (caption "Error", `icon`).
std::optional<GoogleKeys> read_google_keys_or_tell(const std::string& private_dir, MessageSink& messages,
                                                   MessageIcon icon);
// `text` with every occurrence of either key replaced by "***".
std::string hide_keys(std::string text, const GoogleKeys& keys);

// --- HTTPS GET (libcurl; geocoding_http.cpp) ----------------------------------------------------
struct HttpResult {
    std::optional<std::string> body;  // up to its first NUL; nullopt when nothing was received
    std::string errors;               // error lines, each ended by CR LF
    bool error = false;
};
// GET endpoint + path_and_query with the certificate always verified (against the system's CAs
// and the settings' CA file). Bodies longer than 16 MiB are cut there with a note.
HttpResult https_get(const GeocodingSettings& settings, const std::string& path_and_query);

// --- requests -----------------------------------------------------------------------------------
// The non-blank fields among city, county, state and country, in this order, joined by ",".
std::string geocode_address(std::string_view city, std::string_view county, std::string_view state,
                            std::string_view country);
// "/maps/api/geocode/json?address=" + address + "&key=" + key, with the characters a URL cannot
// hold (blanks, controls, bytes above 127, quotes, ...) percent-escaped; reserved characters
// ("&", ",", "/") pass as they are.
std::string geocode_request_path(std::string_view address, std::string_view key);
// Seconds since 1970-01-01 00:00 of the date-hour's Julian day, taken as it is (the legal time).
double time_zone_request_seconds(const DateHour& legal);
// "/maps/api/timezone/json?location=LAT,LNG&timestamp=S&key=K": degrees with ten decimals
// (north and east positive), whole seconds.
std::string time_zone_request_path(double lat_deg, double lon_deg, double seconds, std::string_view key);

// --- the three parsers ----------------------------------------------------------------------------
struct PlaceNames {
    std::string city;     // at most 59 characters
    std::string county;   // 59
    std::string state;    // 119
    std::string country;  // 119
};
// Up to ten components from "address_components" on; each "long_name" is classified by the first
// of "locality", "administrative_area_level_2", "administrative_area_level_1", "country" that
// occurs in its component (a later one of a class replaces an earlier one). True when any was.
bool parse_place_names(std::string_view response, PlaceNames& names);

struct GeoLocation {
    AngleValue latitude;   // degrees, north/south display format
    AngleValue longitude;  // degrees, east/west display format
};
// "location", then "lat", "lng" and "}" after it; both numbers finite. False otherwise.
bool parse_location(std::string_view response, GeoLocation& location);

struct TimeZoneAnswer {
    std::string dst_offset;  // the texts as the service gave them
    std::string raw_offset;
    long dst_offset_s = 0;
    long raw_offset_s = 0;
    std::string id;    // "America/New_York"
    std::string name;  // "Eastern Daylight Time"
    DateHour universal;  // legal - (raw + dst); invalid when it cannot be computed
    std::string errors;  // lines ended by CR LF
    bool found = false;  // both offsets present and whole numbers of seconds
};
TimeZoneAnswer parse_time_zone(std::string_view response, const DateHour& legal);

// --- the lookup and its feedback ------------------------------------------------------------------
struct GeocodeQuery {
    std::string city, county, state, country;
    std::optional<DateHour> legal;  // asks the time-zone endpoint too
};
struct GeocodeResult {
    bool names_found = false;
    bool location_found = false;
    bool time_zone_asked = false;
    PlaceNames names;
    GeoLocation location;
    std::string longitude_text;  // two decimals of seconds; empty when not found
    std::string latitude_text;
    HttpResult geocode;
    HttpResult time_zone;
    TimeZoneAnswer zone;
    std::string feedback;  // the "Search feedback:" text, at most 500 characters, keys hidden
};
// Both requests as the new-chart dialog makes them (the time zone only after a location and
// with a legal date-hour), and the feedback text.
GeocodeResult geocode_lookup(const GeocodeQuery& query, const GeocodingSettings& settings, const GoogleKeys& keys);
// The feedback of a lookup's results; the dialogs append it to their "Search feedback:" text.
std::string geocoding_feedback(const GeocodeResult& result, const GoogleKeys& keys);

}  // namespace tellurim
