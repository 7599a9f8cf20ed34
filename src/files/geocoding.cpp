#include "files/geocoding.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "base/regular_file.h"
#include "base/text.h"
#include "core/paths.h"
#include "files/directories.h"
#include "files/settings_file.h"

namespace tellurim {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kGeocodeKeyName = "key_geocode=";
constexpr std::string_view kTimeZoneKeyName = "key_timezone=";
// 1970-01-01 00:00, the origin of the service's timestamps.
constexpr double kUnixEpochJd = 2440587.5;

void erase_all(std::string& s, std::string_view what) {
    for (std::size_t at; !what.empty() && (at = s.find(what)) != std::string::npos;) s.erase(at, what.size());
}

void erase_chars(std::string& s, std::string_view chars) {
    std::erase_if(s, [chars](char c) { return chars.find(c) != std::string_view::npos; });
}

std::string trim_spaces(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

// The bytes of an answer as UTF-8: each byte that does not belong to a well-formed sequence
// becomes U+FFFD, as the system's conversion from UTF-8 does, so that a Latin-1 answer never
// reaches a terminal or a JSON text as invalid bytes.
std::string valid_utf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        bool ok = len != 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok && len >= 3) {
            // No overlong forms, no surrogates, nothing above U+10FFFF.
            const auto d = static_cast<unsigned char>(s[i + 1]);
            ok = !(c == 0xE0 && d < 0xA0) && !(c == 0xED && d >= 0xA0) && !(c == 0xF0 && d < 0x90) &&
                 !(c == 0xF4 && d >= 0x90);
        }
        if (!ok) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

std::string quoted(std::string_view key) { return fmt::format("\"{}\"", key); }

// Whole text after trimming blanks, fixed notation; +infinity when it is not a number.
double number_or_infinity(std::string_view text) { return parse_decimal(trim(text)).value_or(kInfinity); }

}  // namespace

// --- settings ------------------------------------------------------------------------------------

std::string geocoding_settings_path(const std::string& private_dir) {
    return join_path(private_dir, kGeocodingSettingsFile);
}

namespace {

GeocodingSettings parse_geocoding_settings(std::string_view text) {
    GeocodingSettings s;
    for (RegistryLine& line : parse_registry_lines(text)) {
        if (line.name == "endpoint" && !check_geocoding_endpoint(line.value)) s.endpoint = line.value;
        if (line.name == "ca_file") s.ca_file = line.value;
        if (line.name == "timeout")
            if (auto t = parse_geocoding_timeout(line.value)) s.timeout_seconds = *t;
    }
    return s;
}

}  // namespace

GeocodingSettings read_geocoding_settings(const std::string& private_dir) {
    return parse_geocoding_settings(read_regular_text(geocoding_settings_path(private_dir), 1 << 16).value_or(""));
}

bool update_geocoding_settings(const std::string& private_dir, const std::function<void(GeocodingSettings&)>& change) {
    const std::string path = geocoding_settings_path(private_dir);
    SettingsLock lock(path);
    GeocodingSettings s = read_geocoding_settings(private_dir);
    change(s);
    return write_settings_file(
        path, fmt::format("endpoint={}\nca_file={}\ntimeout={}\n", s.endpoint, s.ca_file, s.timeout_seconds));
}

std::optional<Str> check_geocoding_endpoint(std::string& endpoint) {
    std::string e(trim(endpoint));
    while (e.ends_with('/')) e.pop_back();
    constexpr std::string_view scheme = "https://";
    // A host and an optional port or path prefix; nothing a request path could be confused with.
    const bool ok = e.starts_with(scheme) && e.size() > scheme.size() &&
                    e.find_first_of(" \t\r\n?#\"\\") == std::string::npos && e[scheme.size()] != '/';
    if (!ok) return Str::GeoBadEndpoint;
    endpoint = e;
    return std::nullopt;
}

std::optional<int> parse_geocoding_timeout(std::string_view text) {
    auto v = parse_integer(trim(text));
    if (!v || *v < 1 || *v > kMaxGeocodingTimeoutSeconds) return std::nullopt;
    return static_cast<int>(*v);
}

// --- keys ----------------------------------------------------------------------------------------

std::string google_keys_path(const std::string& private_dir) { return join_path(private_dir, kGoogleKeysFile); }

std::optional<GoogleKeys> parse_google_keys(std::string_view text) {
    GoogleKeys keys;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        start = end + 1;
        for (auto [name, key] : {std::pair{kGeocodeKeyName, &keys.geocode}, {kTimeZoneKeyName, &keys.timezone}}) {
            if (line.find(name) == std::string::npos) continue;
            std::string value = line;
            erase_all(value, name);
            *key = std::string(trim(value));
        }
    }
    if (keys.geocode.empty() || keys.timezone.empty()) return std::nullopt;
    return keys;
}

std::optional<GoogleKeys> read_google_keys(const std::string& private_dir) {
    const std::string path = google_keys_path(private_dir);
    // Created once, for its owner only: it is where the user's keys go. A failure to create
    // it shows as the missing keys below.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const std::string content = fmt::format("{}{}{}{}", kGeocodeKeyName, kCrLf, kTimeZoneKeyName, kCrLf);
        const bool written = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
        (void)written;
        ::close(fd);
    }
    auto text = read_regular_text(path, 1 << 16);
    if (!text) return std::nullopt;
    return parse_google_keys(*text);
}

std::optional<GoogleKeys> read_google_keys_or_tell(const std::string& private_dir, MessageSink& messages,
                                                   MessageIcon icon) {
    auto keys = read_google_keys(private_dir);
    if (!keys) {
        messages.tell(google_keys_path(private_dir), str(Str::GeoKeysFileCaption), MessageIcon::Information);
        messages.tell(str(Str::GeoCannotReadKeys), str(Str::FilesCaptionError), icon);
    }
    return keys;
}

std::string hide_keys(std::string text, const GoogleKeys& keys) {
    for (const std::string* key : {&keys.geocode, &keys.timezone}) {
        if (key->empty()) continue;
        for (std::size_t at = 0; (at = text.find(*key, at)) != std::string::npos;) text.replace(at, key->size(), "***");
    }
    return text;
}

// --- requests ------------------------------------------------------------------------------------

std::string geocode_address(std::string_view city, std::string_view county, std::string_view state,
                            std::string_view country) {
    std::string address;
    for (std::string_view field : {city, county, state, country}) {
        if (trim(field).empty()) continue;
        if (!address.empty()) address += ',';
        address += field;
    }
    return address;
}

std::string geocode_request_path(std::string_view address, std::string_view key) {
    // The address goes in as typed; only what a URL cannot carry is escaped, as an HTTP
    // client's default escaping of the request path does.
    std::string escaped;
    for (char ch : address) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || std::string_view("\"#%<>\\^`{|}").find(ch) != std::string_view::npos)
            escaped += fmt::format("%{:02X}", c);
        else
            escaped += ch;
    }
    return fmt::format("/maps/api/geocode/json?address={}&key={}", escaped, key);
}

double time_zone_request_seconds(const DateHour& legal) { return (legal.jd_ut - kUnixEpochJd) * 86400.0; }

std::string time_zone_request_path(double lat_deg, double lon_deg, double seconds, std::string_view key) {
    return fmt::format("/maps/api/timezone/json?location={:.10f},{:.10f}&timestamp={:.0f}&key={}", lat_deg, lon_deg,
                       seconds, key);
}

// --- parsers -------------------------------------------------------------------------------------

bool parse_place_names(std::string_view r, PlaceNames& names) {
    struct Class {
        std::string_view key;
        std::string PlaceNames::*field;
        std::size_t units;  // kept: units - 1 characters
    };
    static constexpr std::array<Class, 4> kClasses{{
        {"\"locality\"", &PlaceNames::city, 60},
        {"\"administrative_area_level_2\"", &PlaceNames::county, 60},
        {"\"administrative_area_level_1\"", &PlaceNames::state, 120},
        {"\"country\"", &PlaceNames::country, 120},
    }};
    std::size_t pos = r.find("address_components");
    if (pos == std::string_view::npos) return false;
    bool any = false;
    for (int n = 0; n < 10; ++n) {
        const std::size_t open = r.find('{', pos);
        if (open == std::string_view::npos) break;
        const std::size_t close = r.find('}', open + 1);
        if (close == std::string_view::npos) break;
        pos = close + 1;
        const std::string_view component = r.substr(open + 1, close - open - 1);
        const std::size_t key = component.find("\"long_name\"");
        if (key == std::string_view::npos) continue;
        const std::size_t comma = component.find(',', key);
        std::string name = valid_utf8(component.substr(key, comma == std::string_view::npos ? comma : comma - key));
        erase_all(name, "\"long_name\"");
        erase_chars(name, ":\",");
        name = trim_spaces(name);
        for (const Class& c : kClasses) {
            if (component.find(c.key) == std::string_view::npos) continue;
            names.*c.field = truncate_utf16_units(name, c.units);
            any = true;
            break;
        }
    }
    return any;
}

bool parse_location(std::string_view r, GeoLocation& location) {
    const std::size_t loc = r.find("\"location\"");
    const std::size_t lat = loc == std::string_view::npos ? loc : r.find("\"lat\"", loc);
    const std::size_t lng = lat == std::string_view::npos ? lat : r.find("\"lng\"", lat);
    const std::size_t end = lng == std::string_view::npos ? lng : r.find('}', lng);
    if (end == std::string_view::npos) return false;
    std::string lat_text(r.substr(lat, lng - lat));
    std::string lng_text(r.substr(lng, end - lng));
    for (std::string* t : {&lat_text, &lng_text}) {
        erase_all(*t, "\"lat\"");
        erase_all(*t, "\"lng\"");
        erase_chars(*t, ":, \"\r\n}");
    }
    const AngleValue latitude = AngleValue::degrees(number_or_infinity(lat_text), kFormatNorthSouth);
    const AngleValue longitude = AngleValue::degrees(number_or_infinity(lng_text), kFormatEastWest);
    if (!latitude.is_angle() || !longitude.is_angle()) return false;
    location = {latitude, longitude};
    return true;
}

namespace {

// The text from `key` to the next "," (or, with `end` LF, the next line feed; the end of the
// answer when there is none), with the key, ":" and "," removed. nullopt when the key or,
// for an offset, its "," is missing.
std::optional<std::string> field_text(std::string_view r, std::string_view key, char end, bool need_end) {
    const std::string k = quoted(key);
    const std::size_t at = r.find(k);
    if (at == std::string_view::npos) return std::nullopt;
    const std::size_t stop = r.find(end, at);
    if (stop == std::string_view::npos && need_end) return std::nullopt;
    std::string text = valid_utf8(r.substr(at, stop == std::string_view::npos ? stop : stop - at));
    erase_all(text, k);
    erase_chars(text, ":,");
    return text;
}

// An offset in whole seconds: a number strictly inside the 32-bit range, truncated.
std::optional<long> offset_seconds(std::string_view text) {
    const double v = number_or_infinity(text);
    if (!(v > -2147483648.0 && v < 2147483647.0)) return std::nullopt;
    return static_cast<long>(std::trunc(v));
}

}  // namespace

TimeZoneAnswer parse_time_zone(std::string_view r, const DateHour& legal) {
    TimeZoneAnswer z;
    struct Offset {
        std::string_view key;
        std::string* text;
        long* seconds;
        Str missing, not_number;
    };
    const Offset offsets[] = {{"dstOffset", &z.dst_offset, &z.dst_offset_s, Str::GeoDstNotFound, Str::GeoDstNotNumber},
                              {"rawOffset", &z.raw_offset, &z.raw_offset_s, Str::GeoRawNotFound, Str::GeoRawNotNumber}};
    bool ok = true;
    for (const Offset& o : offsets) {
        auto t = field_text(r, o.key, ',', true);
        if (!t) {
            z.errors += str(o.missing) + std::string(kCrLf);
            ok = false;
            continue;
        }
        erase_chars(*t, " ");
        *o.text = *t;
        // Present but not a number of seconds: reported as the offset not being usable, so the
        // conversion is not made from a zero that was never given.
        auto s = offset_seconds(*t);
        if (!s) {
            z.errors += str(o.not_number) + " " + *t + std::string(kCrLf);
            ok = false;
            continue;
        }
        *o.seconds = *s;
    }
    for (auto [key, end, field] : {std::tuple{"timeZoneId", ',', &z.id}, {"timeZoneName", '\n', &z.name}}) {
        auto t = field_text(r, key, end, false);
        if (!t) continue;
        erase_chars(*t, "\"");
        *field = trim_spaces(*t);
    }
    if (!ok) return z;
    z.found = true;
    z.universal = legal;
    const double jd = legal.jd_ut - static_cast<double>(z.raw_offset_s + z.dst_offset_s) / 86400.0;
    if (!set_julian_day_ut(z.universal, jd)) z.universal = DateHour{};
    return z;
}

// --- lookup and feedback -------------------------------------------------------------------------

GeocodeResult geocode_lookup(const GeocodeQuery& q, const GeocodingSettings& settings, const GoogleKeys& keys) {
    GeocodeResult g;
    const std::string address = geocode_address(q.city, q.county, q.state, q.country);
    g.geocode = https_get(settings, geocode_request_path(address, keys.geocode));
    const std::string_view body = g.geocode.body ? std::string_view(*g.geocode.body) : std::string_view();
    g.names_found = parse_place_names(body, g.names);
    g.location_found = parse_location(body, g.location);
    if (g.location_found) {
        g.longitude_text = format_angle(g.location.longitude);
        g.latitude_text = format_angle(g.location.latitude);
    }
    g.time_zone_asked = g.location_found && q.legal;
    if (!g.time_zone_asked) {
        g.feedback = geocoding_feedback(g, keys);
        return g;
    }
    const double lat = g.location.latitude.to_degrees();
    const double lon = g.location.longitude.to_degrees();
    if (!std::isfinite(lat)) g.zone.errors += str(Str::GeoErrorReadingLatitude) + std::string(kCrLf);
    if (!std::isfinite(lon)) g.zone.errors += str(Str::GeoErrorReadingLongitude) + std::string(kCrLf);
    if (g.zone.errors.empty()) {
        g.time_zone =
            https_get(settings, time_zone_request_path(lat, lon, time_zone_request_seconds(*q.legal), keys.timezone));
        TimeZoneAnswer z = parse_time_zone(g.time_zone.body ? std::string_view(*g.time_zone.body) : "", *q.legal);
        z.errors = g.time_zone.errors + z.errors;
        g.zone = std::move(z);
    }
    g.feedback = geocoding_feedback(g, keys);
    return g;
}

std::string geocoding_feedback(const GeocodeResult& g, const GoogleKeys& keys) {
    const std::string crlf(kCrLf);
    auto raw = [](const HttpResult& h) { return h.body ? valid_utf8(*h.body) : str(Str::GeoNull); };
    std::string f;
    if (g.names_found)
        f += str(Str::GeoCityFound) + str(Str::GeoCityLabel) + g.names.city + ", " + str(Str::GeoCountyLabel) +
             g.names.county + crlf + str(Str::GeoStateLabel) + g.names.state + ", " + str(Str::GeoCountryLabel) +
             g.names.country + crlf;
    else
        f += str(Str::GeoCityNotFound) + crlf + g.geocode.errors + crlf;
    if (g.location_found) {
        if (g.longitude_text.empty()) f += str(Str::GeoErrorLongitude) + crlf;
        if (g.latitude_text.empty()) f += str(Str::GeoErrorLatitude) + crlf;
    } else {
        f += str(Str::GeoLocationNotFound) + crlf + raw(g.geocode) + crlf;
    }
    if (g.time_zone_asked) {
        if (g.zone.found)
            f += str(Str::GeoTimeZoneFound) + crlf + str(Str::GeoDstOffsetLine) + g.zone.dst_offset + crlf +
                 str(Str::GeoRawOffsetLine) + g.zone.raw_offset + crlf + g.zone.id + crlf + g.zone.name + crlf;
        else
            f += str(Str::GeoTimeZoneNotFound) + crlf + g.zone.errors + str(Str::GeoTimeZoneReturn) + raw(g.time_zone) +
                 crlf;
    }
    return truncate_utf16_units(hide_keys(std::move(f), keys), kGeocodingFeedbackUnits + 1);
}

}  // namespace tellurim
