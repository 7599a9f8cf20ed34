// tellurim calc positions --ut DATE [--ephemeris low|bdl|jpl] [--zero DATE] [--jpl-file PATH] [--json]
#include <fmt/format.h>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli.h"
#include "app/cli_common.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "astro/planets_signs.h"
#include "base/angle_value.h"
#include "sky/ayanamsa.h"
#include "base/date_hour.h"
#include "core/ephemeris_library.h"
#include "base/strings.h"

namespace tellurim {
namespace {

struct PositionsArgs {
    std::string ut;
    std::string ephemeris;  // "" when not given: the options' choice
    std::string zero;       // "" when not given: the options' zero date
    std::string jpl_file;
    std::string node;  // "mean", "true" or "" for the options' choice
    bool json = false;
};

struct BodyRow {
    std::string_view body;
    BodyPositions p;
};

nlohmann::json triple(const PlanetPosition& f) {
    return nlohmann::json::array(
        {json_number(f.longitude.to_degrees()), json_number(f.latitude.to_degrees()), json_number(f.distance.value)});
}

void print_table(const char* title, const std::vector<BodyRow>& rows, PlanetPosition BodyPositions::*frame,
                 bool with_flag) {
    std::cout << title << "\n";
    std::cout << fmt::format("  {:<9} {:<24} {:<16} {:>14}\n", "Body", "Longitude", "Latitude", "Distance (AU)");
    for (const BodyRow& r : rows) {
        const PlanetPosition& f = r.p.*frame;
        std::cout << fmt::format("  {:<9} {:<24} {:<16} {:>14.8f}{}\n", planet_name(f.index),
                                 format_sign_longitude(f.longitude.to_degrees()),
                                 format_angle(AngleValue::degrees(f.latitude.to_degrees())), f.distance.value,
                                 with_flag && r.p.retrograde ? " R" : "");
    }
    std::cout << "\n";
}

void run_positions(CliContext& ctx, const PositionsArgs& args) {
    const auto bad_input = [&](const std::string& message) {
        ctx.fail(kExitBadInput, message, str(Str::CaptionBadInput), MessageIcon::Warning);
    };
    const std::optional<DateHour> ut = parse_birth_date(ctx, args.ut);
    if (!ut) return;
    std::optional<int> type;
    if (!args.ephemeris.empty()) {
        type = ephemeris_type_from_name(args.ephemeris);
        if (!type) return bad_input(str(Str::UnknownEphemerisType));
    }
    std::optional<DateHour> zero;
    if (!args.zero.empty()) {
        zero = parse_zero_date_arg(ctx, args.zero);
        if (!zero) return;
    }
    std::string jpl_file = args.jpl_file;
    std::optional<bool> true_node;
    if (!args.node.empty()) true_node = args.node == "true";
    // What the command line leaves open comes from the options file.
    if (!type || !zero || !true_node) {
        auto settings = load_cli_settings(ctx);
        if (!settings) return;
        if (!type) type = settings->options.ephemeris.type;
        if (!zero) zero = settings->options.astro.zero_date;
        if (!true_node) true_node = settings->options.ephemeris.true_node != 0;
        if (jpl_file.empty()) jpl_file = settings->options.ephemeris.jpl_file;
    }
    if (!is_valid(*zero)) return bad_input(str(Str::EphemerisZeroDateInvalid));

    EphemerisLibrary lib;
    if (auto st = lib.load(*type, jpl_file); !st) return ctx.fail(kExitFailure, st.message, str(Str::EphemerisCaptionError));
    lib.set_true_node(*true_node);
    const double jd_et = ut->jd_et;
    if (auto st = lib.compute(jd_et, zero->jd_et); !st) return ctx.fail(kExitFailure, st.message, str(Str::EphemerisCaptionError));
    std::vector<BodyRow> rows;
    for (const auto& b : kEphemerisBodies)
        if (auto p = lib.position(b.name)) rows.push_back({b.name, *p});
    const auto infos = lib.infos();
    const std::string type_name(ephemeris_type_name(*type));

    if (args.json) {
        nlohmann::json bodies = nlohmann::json::array();
        for (const BodyRow& r : rows)
            bodies.push_back({{"name", planet_name(r.p.geo_mov.index)},
                              {"body", r.body},
                              {"planet", r.p.geo_mov.index},
                              {"geo_mov", triple(r.p.geo_mov)},
                              {"geo_fix", triple(r.p.geo_fix)},
                              {"helio_mov", triple(r.p.helio_mov)},
                              {"helio_fix", triple(r.p.helio_fix)},
                              {"retrograde", r.p.retrograde}});
        nlohmann::json j = {{"ephemeris", type_name},
                            {"library", ephemeris_file_name(*type)},
                            {"infos", {infos[0], infos[1], infos[2]}},
                            {"ut", format_date_hour(*ut)},
                            {"jd_ut", ut->jd_ut},
                            {"jd_et", jd_et},
                            {"zero_date", format_date_hour(*zero)},
                            {"zero_jd_et", zero->jd_et},
                            {"lunar_node", *true_node ? "true" : "mean"},
                            {"bodies", bodies}};
        std::cout << json_text(j) << "\n";
        return;
    }
    std::cout << fmt::format("Ephemeris:   {} ({})\n", type_name, ephemeris_file_name(*type));
    for (const auto& info : infos)
        if (!info.empty()) std::cout << "             " << info << "\n";
    std::cout << fmt::format("Date-hour:   {} (UT)\n", format_date_hour(*ut));
    std::cout << fmt::format("Julian day:  {:.6f} UT, {:.6f} ET\n", ut->jd_ut, jd_et);
    std::cout << fmt::format("Zero date:   {} (JD ET {:.6f})\n", format_date_hour(*zero), zero->jd_et);
    std::cout << fmt::format("{:<12} {}\n\n", str(Str::EphemerisLunarNode), *true_node ? "true" : "mean");
    print_table("Heliocentric positions, movable zodiac", rows, &BodyPositions::helio_mov, false);
    print_table("Heliocentric positions, fixed zodiac", rows, &BodyPositions::helio_fix, false);
    print_table("Geocentric positions, movable zodiac (R: retrograde)", rows, &BodyPositions::geo_mov, true);
    print_table("Geocentric positions, fixed zodiac (R: retrograde)", rows, &BodyPositions::geo_fix, true);
}

}  // namespace

void register_positions_commands(CLI::App& calc, CliContext& ctx) {
    auto* cmd = calc.add_subcommand("positions", "Positions of the Sun, Moon, planets and lunar nodes from the ephemeris library");
    auto args = std::make_shared<PositionsArgs>();
    cmd->add_option("--ut", args->ut, "Universal date-hour, e.g. \"2000-01-01 12:00:00\"")->required();
    cmd->add_option("--ephemeris", args->ephemeris, "low, bdl or jpl (default: the options' choice)");
    cmd->add_option("--zero", args->zero, "Zero date of the fixed zodiac, or a preset: \"Tellurim Default\", Fagan-Bradley, Raman (default: the options' zero date)");
    cmd->add_option("--node", args->node, "Lunar node: mean or true (default: the options' choice)")
        ->check(CLI::IsMember({"mean", "true"}));
    cmd->add_option("--jpl-file", args->jpl_file, "JPL binary file for --ephemeris jpl (default: the options' file)");
    cmd->add_flag("--json", args->json, "Machine-readable output");
    cmd->callback([&ctx, args] { run_positions(ctx, *args); });
}

}  // namespace tellurim
