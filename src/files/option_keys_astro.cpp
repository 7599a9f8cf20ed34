// Rows of the interface flags, the astrology settings, the ephemeris choice and the tables
// kept in the options: exaltations, nakshatras and dasa periods (edited with the checks of
// their dialogs) and the natural relationships (shown).
#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "astro/hindu.h"
#include "astro/planets_signs.h"
#include "sky/ayanamsa.h"
#include "core/ephemeris_library.h"
#include "sky/houses.h"
#include "core/paths.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/option_keys.h"

namespace tellurim {
namespace {

std::string lower(std::string_view t) {
    std::string s(trim(t));
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
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
    // The lunar node that --node chooses for one run.
    OptionKey node{"ephemeris.node", block, "mean|true"};
    node.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        const std::string n = lower(v[0]);
        if (n != "mean" && n != "true") return str(Str::FilesNotACorrectValue);
        ctx.options.ephemeris.true_node = n == "true" ? 1 : 0;
        return std::nullopt;
    };
    node.get = [](const OptionContext& ctx) -> std::string { return ctx.options.ephemeris.true_node ? "true" : "mean"; };
    keys.push_back(std::move(node));
}

namespace {

// The dasa preset of a period-dialog button ("Default Tellurim", any case; the ayanamsa
// dialog's "Tellurim Default" too), or nullptr.
const DasaPreset* dasa_preset(std::string_view text) {
    for (std::size_t i = 0; i < kDasaPresets.size(); ++i)
        if (lower(text) == lower(tellurim::text(kDasaPresets[i].name)) ||
            lower(text) == lower(tellurim::text(kAyanamsaPresets[i].name)))
            return &kDasaPresets[i];
    return nullptr;
}

// Runs the exaltation dialog's checks on the table as it stands with one change.
OptionSetResult edit_exaltations(Options& options, const std::function<void(ExaltationEdit&)>& change) {
    ExaltationEdit edit = exaltation_dialog_fields(options.exaltations);
    change(edit);
    ExaltationEditResult r = apply_exaltation_dialog(edit, options.exaltations);
    if (!r.ok) return r.message;
    return std::nullopt;
}

std::string key_word(std::string_view name) {
    std::string w = lower(name);
    std::replace(w.begin(), w.end(), ' ', '-');
    return w;
}

}  // namespace

void append_table_keys(OptionKeys& keys) {
    // "Exaltations...": the exaltation longitude of each planet that has a field, the choice of
    // absolute or fixed longitudes and the zero date of the fixed ones.
    const std::string exaltations = "Exaltations";
    for (int planet = 0; planet < kPlanetRows; ++planet) {
        if (!(planet <= kSaturn || (planet >= kRahu && planet <= kPluto))) continue;
        OptionKey k{"exaltations." + key_word(planet_name(planet)), exaltations,
                    planet <= kSaturn ? "ANGLE (e.g. 19d or \"19d00'00\" Aries\")" : "ANGLE|\"\" (none)"};
        k.set = [planet](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            return edit_exaltations(ctx.options, [&](ExaltationEdit& e) { e.fields[static_cast<std::size_t>(planet)] = v[0]; });
        };
        k.get = [planet](const OptionContext& ctx) {
            return exaltation_field_text(ctx.options.exaltations.rows[static_cast<std::size_t>(planet)]);
        };
        keys.push_back(std::move(k));
    }
    OptionKey longitudes{"exaltations.longitudes", exaltations, "absolute|fixed"};
    longitudes.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        const std::string l = lower(v[0]);
        if (l != "absolute" && l != "fixed") return str(Str::FilesNotACorrectValue);
        return edit_exaltations(ctx.options, [&](ExaltationEdit& e) { e.absolute_longitudes = l == "absolute"; });
    };
    longitudes.get = [](const OptionContext& ctx) -> std::string {
        return ctx.options.exaltations.absolute_longitudes ? "absolute" : "fixed";
    };
    keys.push_back(std::move(longitudes));
    OptionKey exaltation_zero{"exaltations.zero-date", exaltations, "DATE|PRESET (read with fixed longitudes)"};
    exaltation_zero.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        const std::string_view preset = zero_date_preset(v[0]);
        const std::string date(preset.empty() ? std::string_view(v[0]) : preset);
        DateParse d = parse_date_hour(date);
        if (!d.ok) return str(Str::ExaltationBadZeroDate);
        OptionSetResult r = edit_exaltations(ctx.options, [&](ExaltationEdit& e) { e.zero_date_text = date; });
        // Kept also while the longitudes are absolute, for a later switch to fixed ones.
        if (!r) ctx.options.exaltations.zero_date = d.value;
        return r;
    };
    exaltation_zero.get = [](const OptionContext& ctx) { return format_date_hour(ctx.options.exaltations.zero_date); };
    keys.push_back(std::move(exaltation_zero));

    // "Nakshatras": the name, meaning and colour of each of the 27 rows.
    const std::string nakshatras = "Nakshatras";
    for (std::size_t n = 0; n < static_cast<std::size_t>(kNakshatraCount); ++n) {
        const std::string prefix = fmt::format("nakshatras.{}.", n);
        keys.push_back(text_key(prefix + "name", nakshatras, kNakshatraNameUnits,
                                [n](Options& o) -> std::string& { return o.nakshatras[n].name; }));
        keys.push_back(text_key(prefix + "meaning", nakshatras, kNakshatraMeaningUnits,
                                [n](Options& o) -> std::string& { return o.nakshatras[n].meaning; }));
        keys.push_back(argb_key(prefix + "colour", nakshatras, [n](Options& o) -> std::uint32_t& { return o.nakshatras[n].colour; }));
    }

    // "Zero date for Dasas periods": the zero date and the year length, checked together as
    // the dialog does, then the 729 periods are rebuilt.
    const std::string dasas = "Dasa periods";
    OptionKey zero{"dasa.zero-date", dasas, "DATE|\"Default Tellurim\"|Fagan-Bradley|Raman"};
    zero.note = "A preset also sets the year length: 365.25 days (Default Tellurim) or 360.0.";
    zero.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        DasaTable& t = ctx.options.dasas;
        const DasaPreset* p = dasa_preset(v[0]);
        DasaSettingsResult r = p ? apply_dasa_settings(t, p->zero_date, p->year_length)
                                 : apply_dasa_settings(t, v[0], fmt::format("{}", t.year_length));
        if (!r.ok) return r.message;
        return std::nullopt;
    };
    zero.get = [](const OptionContext& ctx) { return format_date_hour(ctx.options.dasas.zero_date); };
    keys.push_back(std::move(zero));

    OptionKey length{"dasa.year-length", dasas, "DAYS (above 100)"};
    length.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        DasaTable& t = ctx.options.dasas;
        DasaSettingsResult r = apply_dasa_settings(t, format_date_hour(t.zero_date), v[0]);
        if (!r.ok) return r.message;
        return std::nullopt;
    };
    length.get = [](const OptionContext& ctx) { return fmt::format("{}", ctx.options.dasas.year_length); };
    keys.push_back(std::move(length));

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
