// Rows of "My city": the user's default place, found in the atlas or given by coordinates
// and correction.
#include <fmt/format.h>

#include "core/birth_input.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/cities.h"
#include "files/horoscope_file.h"
#include "files/option_keys.h"

namespace tellurim {
namespace {

std::optional<double> parse_correction(std::string_view text) {
    // Hours from legal time to universal time; the world's offsets lie within a day.
    auto c = parse_finite(text);
    if (!c || *c < -24.0 || *c > 24.0) return std::nullopt;
    return c;
}

// "My city"'s texts become a chart's place when it is used: one holding a tag of the horoscope
// file is refused here, as the birth options refuse it.
OptionKey place_text_key(OptionKey key, Str field) {
    key.set = [set = key.set, field](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        if (auto fault = birth_text_fault(field, v[0])) return fault;
        return set(ctx, v);
    };
    return key;
}

}  // namespace

void append_my_city_keys(OptionKeys& keys) {
    const std::string block = "My city";

    // "&Find Lon Lat TZ": the place from the atlas, without a correction.
    OptionKey find{"my-city.find", block, "CITY [COUNTRY [STATE [COUNTY]]]", 1, 4};
    find.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        CityQuery q;
        q.city = v[0];
        if (v.size() > 1) q.country = v[1];
        if (v.size() > 2) q.state = v[2];
        if (v.size() > 3) q.county = v[3];
        if (trim(q.city).empty()) return str(Str::NotAValidCityName);
        const AtlasSettings atlas{ctx.options.paths.countries_dir, ctx.options.paths.default_country};
        if (!find_city(q, atlas, false, NameCollator::for_user())) return std::string(trim(q.feedback));
        MyCity& c = ctx.options.my_city;
        c.place = q.place;
        c.state = truncate_utf16_units(q.state, kNameUnits);
        c.country = truncate_utf16_units(q.country, kNameUnits);
        return std::nullopt;
    };
    find.get = [](const OptionContext& ctx) {
        const MyCity& c = ctx.options.my_city;
        return fmt::format("{}, {}, {}, {}", c.place.city, c.place.county, c.state, c.country);
    };
    keys.push_back(std::move(find));

    OptionKey coordinates{"my-city.coordinates", block, "LONGITUDE LATITUDE [CORRECTION]", 2, 3};
    coordinates.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto lon = parse_birth_longitude(v[0]);
        if (!lon) return str(Str::NotAValidLongitude);
        auto lat = parse_birth_latitude(v[1]);
        if (!lat) return str(Str::NotAValidLatitude);
        std::optional<double> correction = ctx.options.my_city.correction_hours;
        if (v.size() > 2 && !(correction = parse_correction(v[2]))) return str(Str::FilesNotACorrectValue);
        ctx.options.my_city.place.longitude = *lon;
        ctx.options.my_city.place.latitude = *lat;
        ctx.options.my_city.correction_hours = *correction;
        return std::nullopt;
    };
    coordinates.get = [](const OptionContext& ctx) {
        const MyCity& c = ctx.options.my_city;
        return fmt::format("{} {} {:.2f}", format_angle(c.place.longitude), format_angle(c.place.latitude),
                           c.correction_hours);
    };
    keys.push_back(std::move(coordinates));

    OptionKey lon{"my-city.longitude", block, "LONGITUDE (E or W)"};
    lon.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto a = parse_birth_longitude(v[0]);
        if (!a) return str(Str::NotAValidLongitude);
        ctx.options.my_city.place.longitude = *a;
        return std::nullopt;
    };
    lon.get = [](const OptionContext& ctx) { return format_angle(ctx.options.my_city.place.longitude); };
    keys.push_back(std::move(lon));

    OptionKey lat{"my-city.latitude", block, "LATITUDE (N or S)"};
    lat.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto a = parse_birth_latitude(v[0]);
        if (!a) return str(Str::NotAValidLatitude);
        ctx.options.my_city.place.latitude = *a;
        return std::nullopt;
    };
    lat.get = [](const OptionContext& ctx) { return format_angle(ctx.options.my_city.place.latitude); };
    keys.push_back(std::move(lat));

    // "U.T.  = Legal +"
    OptionKey correction{"my-city.correction", block, "HOURS (U.T. = legal + HOURS)"};
    correction.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto c = parse_correction(v[0]);
        if (!c) return str(Str::FilesNotACorrectValue);
        ctx.options.my_city.correction_hours = *c;
        return std::nullopt;
    };
    correction.get = [](const OptionContext& ctx) { return fmt::format("{:.2f}", ctx.options.my_city.correction_hours); };
    keys.push_back(std::move(correction));

    keys.push_back(place_text_key(text_key("my-city.city", block, kCityUnits, [](Options& o) -> std::string& { return o.my_city.place.city; }), Str::FieldCity));
    keys.push_back(place_text_key(text_key("my-city.county", block, kCityUnits, [](Options& o) -> std::string& { return o.my_city.place.county; }), Str::FieldCounty));
    keys.push_back(place_text_key(text_key("my-city.state", block, kNameUnits, [](Options& o) -> std::string& { return o.my_city.state; }), Str::FieldState));
    keys.push_back(place_text_key(text_key("my-city.country", block, kNameUnits, [](Options& o) -> std::string& { return o.my_city.country; }), Str::FieldCountry));

    OptionKey tz{"my-city.time-zone", block, "NUMBER (-1 when unknown)"};
    tz.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto n = parse_integer(trim(v[0]));
        if (!n || *n < -1 || *n > 0xFFFF) return str(Str::FilesNotACorrectValue);
        ctx.options.my_city.place.time_zone = static_cast<std::int32_t>(*n);
        return std::nullopt;
    };
    tz.get = [](const OptionContext& ctx) { return std::to_string(ctx.options.my_city.place.time_zone); };
    keys.push_back(std::move(tz));
    keys.push_back(shown_key("my-city.time-zone-state", block, [](const Options& o) -> std::string {
        return o.my_city.tz_state == 1 ? "standard" : o.my_city.tz_state == 2 ? "daylight" : "unknown";
    }));
}

}  // namespace tellurim
