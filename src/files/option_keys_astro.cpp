// Rows of the interface flags, the astrology settings, the ephemeris choice and the tables
// of the Hindu analyses (the dasa zero date and year length are edited, the rest shown).
#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "astro/dasa_table.h"
#include "core/ayanamsa.h"
#include "core/ephemeris_library.h"
#include "core/houses.h"
#include "core/paths.h"
#include "core/strings.h"
#include "core/text.h"
#include "files/option_keys.h"

namespace tellurim {
namespace {

std::string lower(std::string_view t) {
    std::string s(trim(t));
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// A preset of the zero-date dialogs by its caption ("Fagan-Bradley"), in any case; its
// index in kAyanamsaPresets, or nullopt.
std::optional<std::size_t> zero_date_preset(std::string_view text) {
    for (std::size_t i = 0; i < kAyanamsaPresets.size(); ++i)
        if (lower(text) == lower(tellurim::text(kAyanamsaPresets[i].name))) return i;
    return std::nullopt;
}

// A zero date as the dialogs accept it: a preset's caption or a date-hour text.
std::optional<DateHour> parse_zero_date(std::string_view text) {
    auto preset = zero_date_preset(text);
    DateParse p = parse_date_hour(preset ? kAyanamsaPresets[*preset].zero_date : text);
    if (!p.ok) return std::nullopt;
    return p.value;
}

}  // namespace

void append_interface_keys(OptionKeys& keys) {
    const std::string block = "Interface";
    struct Flag {
        const char* name;
        std::uint8_t InterfaceFlags::*field;
    };
    static constexpr Flag kFlags[] = {
        {"interface.show-speed-bar", &InterfaceFlags::show_speed_bar},
        {"interface.horizontal-speed-bar", &InterfaceFlags::horizontal_speed_bar},
        {"interface.left-speed-bar", &InterfaceFlags::left_speed_bar},
        {"interface.top-speed-bar", &InterfaceFlags::top_speed_bar},
        {"interface.show-status-bar", &InterfaceFlags::show_status_bar},
        {"interface.top-status-bar", &InterfaceFlags::top_status_bar},
    };
    for (const Flag& f : kFlags) {
        auto field = f.field;
        OptionKey k = flag_key(f.name, block, [field](Options& o) -> std::uint8_t& { return o.interface.*field; });
        k.note = str(Str::OptionsRestartNeeded);
        keys.push_back(std::move(k));
    }
    keys.push_back(shown_key("interface.window", block, [](const Options& o) {
        return fmt::format("{} {} {} {}", o.window.left, o.window.top, o.window.right, o.window.bottom);
    }));
}

void append_astrology_keys(OptionKeys& keys) {
    const std::string block = "Astrology";
    OptionKey zero{"astro.zero-date", block, "DATE|\"Tellurim Default\"|Fagan-Bradley|Raman"};
    zero.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto d = parse_zero_date(v[0]);
        if (!d) return str(Str::ExaltationBadZeroDate);  // "Not a valid date for zodiacs concordance."
        ctx.options.astro.zero_date = *d;
        return std::nullopt;
    };
    zero.get = [](const OptionContext& ctx) { return format_date_hour(ctx.options.astro.zero_date); };
    keys.push_back(std::move(zero));

    OptionKey system{"astro.house-system", block, "Campanus|Alcabitus|Abenragel|Regiomontanus|Placidus|Hindu|ModusAequalis|0-6"};
    system.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        std::optional<HouseSystem> hs = house_system_from_name(trim(v[0]));
        if (auto code = parse_integer(trim(v[0])); code && *code >= 0 && *code < kHouseSystemCount)
            hs = static_cast<HouseSystem>(*code);
        if (!hs) return str(Str::SkyHouseSystemUnknown) + v[0];
        ctx.options.astro.house_system = *hs;
        return std::nullopt;
    };
    system.get = [](const OptionContext& ctx) { return std::string(house_system_name(ctx.options.astro.house_system)); };
    keys.push_back(std::move(system));

    OptionKey zodiac{"astro.zodiac", block, "movable|fixed"};
    zodiac.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        const std::string z = lower(v[0]);
        if (z != "movable" && z != "fixed") return str(Str::FilesNotACorrectValue);
        ctx.options.astro.zodiac_movable = z == "movable" ? 1 : 0;
        return std::nullopt;
    };
    zodiac.get = [](const OptionContext& ctx) -> std::string {
        return ctx.options.astro.zodiac_movable ? "movable" : "fixed";
    };
    keys.push_back(std::move(zodiac));
    keys.push_back(flag_key("astro.same-direction", block,
                            [](Options& o) -> std::uint8_t& { return o.astro.same_direction; }));
    keys.push_back(flag_key("astro.house-cusp-center", block,
                            [](Options& o) -> std::uint8_t& { return o.astro.house_cusp_center; }));
    keys.push_back(flag_key("astro.day-night-fortune", block,
                            [](Options& o) -> std::uint8_t& { return o.astro.fortune_day_night; }));
}

void append_ephemeris_keys(OptionKeys& keys) {
    const std::string block = "Ephemeris";
    OptionKey type{"ephemeris.type", block, "low|bdl|jpl|0|1|2"};
    type.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        std::optional<int> t = ephemeris_type_from_name(lower(v[0]));
        if (auto code = parse_integer(trim(v[0]))) t = static_cast<int>(*code);
        if (!t || *t < kEphemerisLow || *t > kEphemerisJpl) return str(Str::UnknownEphemerisType);
        ctx.options.ephemeris.type = *t;
        return std::nullopt;
    };
    type.get = [](const OptionContext& ctx) { return std::string(ephemeris_type_name(ctx.options.ephemeris.type)); };
    keys.push_back(std::move(type));

    OptionKey jpl{"ephemeris.jpl-file", block, "PATH"};
    jpl.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        // The dialog's file chooser offers existing files only.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(v[0], ec) || truncate_utf16_units(v[0], kPathUnits) != v[0])
            return str(Str::FilesNotACorrectValue);
        ctx.options.ephemeris.jpl_file = v[0];
        return std::nullopt;
    };
    jpl.get = [](const OptionContext& ctx) { return ctx.options.ephemeris.jpl_file; };
    keys.push_back(std::move(jpl));
    keys.push_back(shown_key("ephemeris.node", block,
                             [](const Options& o) -> std::string { return o.ephemeris.true_node ? "true" : "mean"; }));
}

void append_table_keys(OptionKeys& keys) {
    const std::string block = "Dasa periods";
    OptionKey zero{"dasa.zero-date", block, "DATE|\"Tellurim Default\"|Fagan-Bradley|Raman"};
    zero.note = "A preset also sets the year length: 365.25 days (Tellurim Default) or 360.0.";
    zero.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto d = parse_zero_date(v[0]);
        if (!d) return str(Str::ExaltationBadZeroDate);
        // The dialog's preset buttons set both fields.
        double length = ctx.options.dasas.year_length;
        if (auto preset = zero_date_preset(v[0])) length = *preset == 0 ? 365.25 : 360.0;
        build_dasa_table(ctx.options.dasas, *d, length);
        return std::nullopt;
    };
    zero.get = [](const OptionContext& ctx) { return format_date_hour(ctx.options.dasas.zero_date); };
    keys.push_back(std::move(zero));

    OptionKey length{"dasa.year-length", block, "DAYS (above 100)"};
    length.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto days = parse_finite(v[0]);
        if (!days || *days <= 100.0) return str(Str::FilesNotACorrectValue);
        build_dasa_table(ctx.options.dasas, ctx.options.dasas.zero_date, *days);
        return std::nullopt;
    };
    length.get = [](const OptionContext& ctx) { return fmt::format("{}", ctx.options.dasas.year_length); };
    keys.push_back(std::move(length));

    keys.push_back(shown_key("exaltations.longitudes", "Exaltations", [](const Options& o) -> std::string {
        return o.exaltations.absolute_longitudes ? "absolute" : "fixed";
    }));
    keys.push_back(shown_key("exaltations.zero-date", "Exaltations",
                             [](const Options& o) { return format_date_hour(o.exaltations.zero_date); }));
    keys.push_back(shown_key("nakshatras.names", "Nakshatras", [](const Options& o) {
        std::string names;
        for (const Nakshatra& n : o.nakshatras) names += (names.empty() ? "" : ", ") + n.name;
        return names;
    }));
    keys.push_back(shown_key("relationships.pairs", "Natural relationships", [](const Options& o) {
        int friends = 0, neutral = 0, enemies = 0;
        for (std::size_t i = 0; i < o.natural_relationships.size(); ++i)
            for (std::size_t j = 0; j < o.natural_relationships[i].size(); ++j) {
                if (i == j) continue;
                const std::int8_t r = o.natural_relationships[i][j];
                friends += r == 1;
                neutral += r == 0;
                enemies += r == -1;
            }
        return fmt::format("{} friend, {} neutral, {} enemy", friends, neutral, enemies);
    }));
}

}  // namespace tellurim
