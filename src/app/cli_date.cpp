// tellurim calc date TEXT, tellurim calc angle TEXT
#include <fmt/format.h>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/json_util.h"
#include "base/angle_value.h"
#include "base/date_hour.h"
#include "base/strings.h"

namespace tellurim {
namespace {

void run_date(CliContext& ctx, const std::string& input, bool json) {
    DateParse p = parse_date_hour(input);
    if (!p.ok) return ctx.fail(kExitBadInput, p.message, str(Str::CaptionBadInput), MessageIcon::Warning);
    const DateHour& d = p.value;
    // The weekday of the date as printed, after a carry of the rounded seconds into the next day.
    const int weekday = written_fields(d).day_of_week;
    double dt = (d.jd_et - d.jd_ut) * 86400.0;
    // "2023-02-31" is read (each field is within its range) and counts on into March.
    if (!date_exists(d)) p.message += text(Str::DateWarnNoSuchDay);
    std::string warnings(trim_message(p.message));
    if (json) {
        nlohmann::json j = {
            {"text", format_date_hour(d)},
            {"display", display_date_hour(d)},
            {"display_fr", display_date_hour(d, Language::French)},
            {"calendar", d.is_julian ? "julian" : "gregorian"},
            {"weekday", weekday},
            {"jd_ut", d.jd_ut},
            {"jd_et", d.jd_et},
            {"delta_t_seconds", dt},
            {"warnings", warnings.empty() ? nlohmann::json::array() : nlohmann::json::array({warnings})},
        };
        std::cout << json_text(j) << "\n";
        return;
    }
    std::cout << fmt::format("Date-hour:   {}\n", format_date_hour(d));
    std::cout << fmt::format("Display:     {}\n", display_date_hour(d));
    std::cout << fmt::format("Affichage:   {}\n", display_date_hour(d, Language::French));
    std::cout << fmt::format("Calendar:    {}\n", d.is_julian ? "Julian" : "Gregorian");
    std::cout << fmt::format("Weekday:     {} ({})\n", weekday_name(weekday, Language::English), weekday);
    std::cout << fmt::format("Julian day:  {:.6f} UT\n", d.jd_ut);
    std::cout << fmt::format("Julian day:  {:.6f} ET\n", d.jd_et);
    std::cout << fmt::format("Delta T:     {:.2f} s\n", dt);
    if (!warnings.empty()) std::cout << "Warnings:   " << p.message << "\n";
}

void run_angle(CliContext& ctx, const std::string& input, bool json) {
    auto a = parse_angle(input);
    if (!a) {
        std::string why = fmt::format("{} \"{}\"", text(Str::AngleNotValid), input);
        if (angle_units_too_large(input)) why += fmt::format(" ({})", text(Str::AngleUnitsTooLarge));
        return ctx.fail(kExitBadInput, why, "Bad input", MessageIcon::Warning);
    }
    static constexpr const char* kUnits[] = {"none", "radians", "degrees", "hours"};
    const char* unit = a->unit >= 0 && a->unit <= 3 ? kUnits[a->unit] : "none";
    if (json) {
        nlohmann::json j = {{"unit", unit}, {"value", json_number(a->value)}, {"format", a->format},
                            {"text", format_angle(*a)}};
        std::cout << json_text(j) << "\n";
        return;
    }
    std::cout << fmt::format("Unit:    {}\n", unit);
    std::cout << fmt::format("Value:   {}\n", a->value);
    std::cout << fmt::format("Format:  {}\n", a->format);
    std::cout << fmt::format("Text:    {}\n", format_angle(*a));
}

}  // namespace

void register_date_commands(CLI::App& calc, CliContext& ctx) {
    auto* date = calc.add_subcommand("date", "Parse a date-hour; show its forms, Julian days and Delta T");
    auto text = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    date->add_option("TEXT", *text, "Date-hour, e.g. \"2000-01-01 12:00:00\" or \"-134-02-03 12:00:00.00 JD\"")
        ->required();
    date->add_flag("--json", *json, "Machine-readable output");
    date->callback([&ctx, text, json] { run_date(ctx, *text, *json); });

    auto* angle = calc.add_subcommand("angle", "Parse an angle text; show its unit, value and format");
    auto atext = std::make_shared<std::string>();
    auto ajson = std::make_shared<bool>(false);
    angle->add_option("TEXT", *atext, "Angle, e.g. 38d54'00.01\"N or 5h08'08.00\"W")->required();
    angle->add_flag("--json", *ajson, "Machine-readable output");
    angle->callback([&ctx, atext, ajson] { run_angle(ctx, *atext, *ajson); });
}

}  // namespace tellurim
