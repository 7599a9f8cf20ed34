// Rows of the online geocoding settings. They are kept in "geocoding.ini" beside the options
// file rather than in its fixed-size image, which has no room for them.
#include "base/regular_file.h"
#include "base/text.h"
#include "files/geocoding.h"
#include "files/option_keys.h"

namespace tellurim {

void append_geocoding_keys(OptionKeys& keys) {
    const std::string block = "Geocoding";
    struct Row {
        const char* name;
        const char* syntax;
        // Checks the value (and may normalise it); nullopt when acceptable, else the message.
        std::optional<std::string> (*check)(std::string& value);
        void (*store)(GeocodingSettings& s, const std::string& value);
        std::string (*show)(const GeocodingSettings& s);
    };
    static const Row kRows[] = {
        {"geocoding.endpoint", "https://HOST[:PORT]",
         [](std::string& v) -> std::optional<std::string> {
             if (auto message = check_geocoding_endpoint(v)) return str(*message);
             return std::nullopt;
         },
         [](GeocodingSettings& s, const std::string& v) { s.endpoint = v; },
         [](const GeocodingSettings& s) { return s.endpoint; }},
        // An extra CA file, for a private deployment or a test server; "" removes it.
        {"geocoding.ca-file", "FILE|\"\"",
         [](std::string& v) -> std::optional<std::string> {
             if (v.empty() || read_regular_head(v, 1)) return std::nullopt;
             return str(Str::GeoBadCaFile) + " " + v;
         },
         [](GeocodingSettings& s, const std::string& v) { s.ca_file = v; },
         [](const GeocodingSettings& s) { return s.ca_file; }},
        {"geocoding.timeout", "SECONDS (1-300)",
         [](std::string& v) -> std::optional<std::string> {
             if (!parse_geocoding_timeout(v)) return str(Str::GeoBadTimeout);
             v = std::string(trim(v));
             return std::nullopt;
         },
         [](GeocodingSettings& s, const std::string& v) { s.timeout_seconds = *parse_geocoding_timeout(v); },
         [](const GeocodingSettings& s) { return std::to_string(s.timeout_seconds); }},
    };
    for (const Row& r : kRows) {
        OptionKey k{r.name, block, r.syntax};
        k.in_options_file = false;
        k.set = [&r](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            std::string value = v[0];
            if (auto message = r.check(value)) return message;
            if (!update_geocoding_settings(ctx.private_dir, [&](GeocodingSettings& s) { r.store(s, value); }))
                return str(Str::GeoCannotSaveSettings) + " " + geocoding_settings_path(ctx.private_dir);
            return std::nullopt;
        };
        k.get = [&r](const OptionContext& ctx) { return r.show(read_geocoding_settings(ctx.private_dir)); };
        keys.push_back(std::move(k));
    }
}

}  // namespace tellurim
