// tellurim place geocode [--city C] [--county C] [--state S] [--country C] [--local DATE] [--json]
#include "app/cli_geocode.h"

#include <fmt/format.h>

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli_common.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "base/strings.h"
#include "base/text.h"
#include "core/birth_input.h"
#include "core/horoscope.h"
#include "files/geocoding.h"

namespace tellurim {
namespace {

struct GeocodeArgs {
    std::string city, county, state, country, local;
    bool json = false;
};

// Error lines as one line of a message.
std::string one_line(std::string_view errors, Str otherwise) {
    std::string s;
    for (char c : trim(errors)) s += c == '\r' ? ' ' : c == '\n' ? ' ' : c;
    while (s.find("  ") != std::string::npos) s.erase(s.find("  "), 1);
    return s.empty() ? str(otherwise) : s;
}

std::string terminal_lines(std::string_view s, std::string_view indent) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s.substr(i, 2) == "\r\n") {
            // The last line end is the caller's; an empty line gets no indent.
            if (i + 2 < s.size()) out += '\n';
            if (i + 2 < s.size() && s.substr(i + 2, 2) != "\r\n") out += indent;
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool time_zone_ok(const GeocodeResult& g) { return g.zone.found && is_valid(g.zone.universal); }

void print_text(const GeocodeResult& g) {
    std::cout << "Feedback:  " << terminal_lines(g.feedback, "           ") << "\n";
    if (!g.location_found) return;
    std::cout << fmt::format("City:      {}\nCounty:    {}\nState:     {}\nCountry:   {}\n", g.names.city, g.names.county,
                             g.names.state, g.names.country);
    std::cout << fmt::format("Longitude: {}\nLatitude:  {}\n", g.longitude_text, g.latitude_text);
    if (!time_zone_ok(g)) return;
    std::cout << fmt::format("Offsets:   raw {} s, DST {} s\n", g.zone.raw_offset_s, g.zone.dst_offset_s);
    std::cout << fmt::format("Time zone: {} ({})\n", g.zone.id, g.zone.name);
    std::cout << fmt::format("Universal: {}\n", format_date_hour(g.zone.universal));
}

void print_json(const GeocodeResult& g) {
    nlohmann::json zone = nullptr;
    if (time_zone_ok(g))
        zone = {{"raw_offset_s", g.zone.raw_offset_s},
                {"dst_offset_s", g.zone.dst_offset_s},
                {"id", g.zone.id},
                {"name", g.zone.name},
                {"ut", format_date_hour(g.zone.universal)}};
    nlohmann::json j = {
        {"found", g.names_found},
        {"city", g.names.city},
        {"county", g.names.county},
        {"state", g.names.state},
        {"country", g.names.country},
        {"lon_deg", g.location_found ? json_number(g.location.longitude.to_degrees()) : nullptr},
        {"lat_deg", g.location_found ? json_number(g.location.latitude.to_degrees()) : nullptr},
        {"time_zone", zone},
        {"feedback", g.feedback},
    };
    std::cout << json_text(j) << "\n";
}

void run_geocode(CliContext& ctx, const GeocodeArgs& a) {
    GeocodeQuery q{a.city, a.county, a.state, a.country, std::nullopt};
    if (geocode_address(q.city, q.county, q.state, q.country).empty())
        return ctx.fail(kExitBadInput, str(Str::GeoNeedAddress));
    if (!a.local.empty() && !(q.legal = parse_birth_date(ctx, a.local))) return;
    auto settings = load_cli_settings(ctx);
    if (!settings) return;
    auto keys = read_google_keys_or_tell(settings->private_dir, *ctx.messages, MessageIcon::Error);
    if (!keys) {
        ctx.exit_code = kExitFailure;
        return;
    }
    const GeocodeResult g = geocode_lookup(q, read_geocoding_settings(settings->private_dir), *keys);
    if (a.json)
        print_json(g);
    else
        print_text(g);
    if (!g.location_found)
        return ctx.fail(kExitFailure, hide_keys(one_line(g.geocode.errors, Str::GeoCityNotFound), *keys),
                        str(Str::GeoCaption));
    if (q.legal && !time_zone_ok(g))
        ctx.fail(kExitFailure, hide_keys(one_line(g.zone.errors, Str::GeoTimeZoneNotFound), *keys),
                 str(Str::GeoCaption));
}

}  // namespace

GeocodedBirth geocode_birth(const std::string& private_dir, const std::string& city, const std::string& county,
                            const std::string& state, const std::string& country,
                            const std::optional<DateHour>& legal, CliContext& ctx) {
    GeocodedBirth b;
    auto keys = read_google_keys_or_tell(private_dir, *ctx.messages, MessageIcon::Warning);
    auto fall_back = [&](Str what, std::string_view errors, Str otherwise) {
        const std::string why = keys ? hide_keys(one_line(errors, otherwise), *keys) : str(Str::GeoCannotReadKeys);
        ctx.messages->tell(str(what) + " " + why, str(Str::GeoCaption), MessageIcon::Warning);
    };
    if (!keys) {
        fall_back(Str::GeoFallbackToAtlas, "", Str::GeoCannotReadKeys);
        return b;
    }
    const GeocodeResult g =
        geocode_lookup({city, county, state, country, legal}, read_geocoding_settings(private_dir), *keys);
    if (!g.location_found || !is_place_longitude(g.location.longitude) || !is_place_latitude(g.location.latitude)) {
        fall_back(Str::GeoFallbackToAtlas, g.geocode.errors, Str::GeoCityNotFound);
        return b;
    }
    // The service's names where it gave them, else the typed ones.
    auto pick = [](const std::string& found, const std::string& typed, std::size_t units) {
        return truncate_utf16_units(found.empty() ? typed : found, units);
    };
    BirthPlace place;
    place.city = pick(g.names.city, city, kCityUnits);
    place.county = pick(g.names.county, county, kCityUnits);
    place.longitude = g.location.longitude;
    place.latitude = g.location.latitude;
    b.place = place;
    b.state = pick(g.names.state, state, kRegionNameUnits);
    b.country = pick(g.names.country, country, kRegionNameUnits);
    if (legal && time_zone_ok(g))
        b.universal = g.zone.universal;
    else if (legal)
        fall_back(Str::GeoTimeZoneFallback, g.zone.errors, Str::GeoTimeZoneNotFound);
    return b;
}

void register_place_geocode(CLI::App& place, CliContext& ctx) {
    auto* geocode = place.add_subcommand(
        "geocode", "Ask the online geocoding service for a place and, with --local, its time-zone offsets");
    auto a = std::make_shared<GeocodeArgs>();
    geocode->add_option("--city", a->city, "City");
    geocode->add_option("--county", a->county, "County");
    geocode->add_option("--state", a->state, "State");
    geocode->add_option("--country", a->country, "Country");
    geocode->add_option("--local", a->local, "Legal date-hour to convert, e.g. \"1950-07-01 12:00:00\"");
    geocode->add_flag("--json", a->json, "Machine-readable output");
    geocode->callback([&ctx, a] { run_geocode(ctx, *a); });
}

}  // namespace tellurim
