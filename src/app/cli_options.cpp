// tellurim options show [--json], tellurim options reset
#include <fmt/format.h>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "core/angle_value.h"
#include "core/date_hour.h"
#include "core/ephemeris_library.h"
#include "core/strings.h"
#include "files/options_file.h"

namespace tellurim {
namespace {

std::string_view tz_state_name(std::int32_t state) {
    switch (state) {
        case 1: return "standard";
        case 2: return "daylight";
        default: return "unknown";
    }
}

nlohmann::json font_json(const FontSetting& f) {
    return {{"face_name", f.font.face_name}, {"height", f.font.height},     {"weight", f.font.weight},
            {"italic", f.font.italic},       {"underline", f.font.underline}, {"size_points", f.size_points},
            {"colour", fmt::format("0x{:06X}", f.colour)}};
}

void show_json(const CliSettings& s) {
    const Options& o = s.options;
    const OptionsPaths& p = o.paths;
    const MyCity& c = o.my_city;
    nlohmann::json fonts = nlohmann::json::array();
    for (const FontSetting& f : o.fonts) fonts.push_back(font_json(f));
    nlohmann::json j = {
        {"private_dir", s.private_dir},
        {"horoscopes_dir", s.horoscopes_dir},
        {"options_file", options_file_path(s.private_dir)},
        {"astrology",
         {{"zero_date", format_date_hour(o.astro.zero_date)},
          {"house_system", o.astro.house_system},
          {"house_system_name", std::string(house_system_name(o.astro.house_system))},
          {"zodiac", o.astro.zodiac_movable ? "movable" : "fixed"},
          {"same_direction", o.astro.same_direction != 0},
          {"house_cusp_center", o.astro.house_cusp_center != 0},
          {"fortune_day_night", o.astro.fortune_day_night != 0}}},
        {"paths",
         {{"stars_file", p.stars_file},
          {"countries_dir", p.countries_dir},
          {"tcl_script_dir", p.tcl_script_dir},
          {"text_editor", p.text_editor},
          {"db_ini_file", p.db_ini_file},
          {"save_file", p.save_file},
          {"default_country", p.default_country},
          {"default_state", p.default_state}}},
        {"my_city",
         {{"city", c.place.city},
          {"county", c.place.county},
          {"state", c.state},
          {"country", c.country},
          {"longitude", format_angle(c.place.longitude)},
          {"latitude", format_angle(c.place.latitude)},
          {"time_zone", c.place.time_zone},
          {"correction_hours", json_number(c.correction_hours)},
          {"tz_state", std::string(tz_state_name(c.tz_state))}}},
        {"ephemeris",
         {{"type", o.ephemeris.type},
          {"name", std::string(ephemeris_type_name(o.ephemeris.type))},
          {"jpl_file", o.ephemeris.jpl_file},
          {"node", o.ephemeris.true_node ? "true" : "mean"}}},
        {"dasa",
         {{"zero_date", format_date_hour(o.dasas.zero_date)},
          {"year_length", json_number(o.dasas.year_length)},
          {"total_years", json_number(o.dasas.total_years)}}},
        {"exaltations",
         {{"absolute_longitudes", o.exaltations.absolute_longitudes != 0},
          {"zero_date", format_date_hour(o.exaltations.zero_date)}}},
        {"fonts", fonts},
        {"drawing",
         {{"zodiac_origin", format_angle(o.drawing.zodiac_origin)},
          {"counterclockwise", o.drawing.counterclockwise != 0},
          {"smoothing_mode", o.drawing.smoothing_mode},
          {"aspect_ratio", json_number(o.drawing.aspect_ratio)}}},
    };
    std::cout << json_text(j) << "\n";
}

void show_text(const CliSettings& s) {
    const Options& o = s.options;
    const OptionsPaths& p = o.paths;
    const MyCity& c = o.my_city;
    auto line = [](std::string_view label, const std::string& value) {
        std::cout << fmt::format("  {:<33} {}\n", label, value);
    };
    std::cout << "Directories\n";
    line("Private directory:", s.private_dir);
    line("Horoscopes directory:", s.horoscopes_dir);
    line("Options file:", options_file_path(s.private_dir));
    std::cout << "Astrology\n";
    line("Zero date:", format_date_hour(o.astro.zero_date));
    line("House system:", fmt::format("{} ({})", house_system_name(o.astro.house_system), o.astro.house_system));
    line("Zodiac:", o.astro.zodiac_movable ? "movable" : "fixed");
    line("Signs and houses same direction:", o.astro.same_direction ? "yes" : "no");
    line("House center on cusp:", o.astro.house_cusp_center ? "yes" : "no");
    line("Day/Night Fortune:", o.astro.fortune_day_night ? "yes" : "no");
    std::cout << "Directories and files\n";
    line(text(Str::PathsLabelStars), p.stars_file);
    line(text(Str::PathsLabelCountries), p.countries_dir);
    line(text(Str::PathsLabelTcl), p.tcl_script_dir);
    line(text(Str::PathsLabelEditor), p.text_editor);
    line(text(Str::PathsLabelDbIni), p.db_ini_file);
    line(text(Str::PathsLabelSaveFile), p.save_file);
    line(text(Str::PathsLabelCountry), p.default_country);
    line(text(Str::PathsLabelState), p.default_state);
    std::cout << "My city\n";
    line("City:", c.place.city);
    line("County:", c.place.county);
    line("State:", c.state);
    line("Country:", c.country);
    line("Longitude:", format_angle(c.place.longitude));
    line("Latitude:", format_angle(c.place.latitude));
    line("Time zone:", std::to_string(c.place.time_zone));
    line("U.T.  = Legal +", fmt::format("{:.2f}", c.correction_hours));
    line("Time-zone state:", std::string(tz_state_name(c.tz_state)));
    std::cout << "Ephemeris\n";
    line("Type:", fmt::format("{} ({})", ephemeris_type_name(o.ephemeris.type), o.ephemeris.type));
    line("JPL file:", o.ephemeris.jpl_file);
    line("Lunar node:", o.ephemeris.true_node ? "true" : "mean");
    std::cout << "Dasa periods\n";
    line("Zero date:", format_date_hour(o.dasas.zero_date));
    line("Year length:", fmt::format("{}", o.dasas.year_length));
    std::cout << "Exaltations\n";
    line("Longitudes:", o.exaltations.absolute_longitudes ? "absolute" : "fixed");
    line("Zero date:", format_date_hour(o.exaltations.zero_date));
    std::cout << "Fonts\n";
    static constexpr std::array<std::string_view, kFontCount> kFontNames{"Global text:", "Title text:",
                                                                         "Eclipse text:", "Informations text:",
                                                                         "Tooltips text:"};
    for (std::size_t i = 0; i < o.fonts.size(); ++i) {
        const FontSetting& f = o.fonts[i];
        line(kFontNames[i], fmt::format("{} {} pt, height {}, weight {}{}{}, colour 0x{:06X}", f.font.face_name,
                                        f.size_points, f.font.height, f.font.weight, f.font.italic ? ", italic" : "",
                                        f.font.underline ? ", underlined" : "", f.colour));
    }
    std::cout << "Drawing\n";
    line("Zodiac origin angle:", format_angle(o.drawing.zodiac_origin));
    line("Counterclockwise:", o.drawing.counterclockwise ? "yes" : "no");
    line("Aspect ratio:", fmt::format("{}", o.drawing.aspect_ratio));
}

void run_show(CliContext& ctx, bool json) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return;
    if (json)
        show_json(*settings);
    else
        show_text(*settings);
}

void run_reset(CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return;
    if (!save_options(settings->private_dir, make_default_options(settings->horoscopes_dir)))
        return ctx.fail(kExitFailure, str(Str::OptionsCannotCreate), str(Str::FilesCaptionFatalError));
    std::cout << text(Str::OptionsResetDone) << " " << options_file_path(settings->private_dir) << "\n";
}

}  // namespace

void register_options_commands(CLI::App& app, CliContext& ctx) {
    auto* options = app.add_subcommand("options", "Show or reset the settings of the options file");
    options->require_subcommand(1);
    auto* show = options->add_subcommand("show", "Show the directories and the settings of the options file");
    auto json = std::make_shared<bool>(false);
    show->add_flag("--json", *json, "Machine-readable output");
    show->callback([&ctx, json] { run_show(ctx, *json); });
    auto* reset = options->add_subcommand("reset", "Rewrite the options file with the default settings");
    reset->callback([&ctx] { run_reset(ctx); });
}

}  // namespace tellurim
