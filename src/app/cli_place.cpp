// tellurim place find --city NAME [--county C] [--state S] [--country C] [--local DATE] [--json]
// tellurim place list --country C [--state S] [--json]
// tellurim place geocode: cli_geocode.cpp
#include <fmt/format.h>

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_common.h"
#include "app/cli_geocode.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "base/date_hour.h"
#include "core/paths.h"
#include "base/strings.h"
#include "files/cities.h"

namespace tellurim {
namespace {

struct FindArgs {
    std::string city, county, state, country, local;
    bool json = false;
};

struct ListArgs {
    std::string country, state;
    bool json = false;
};

// The countries directory and default country of the options; the defaults of a fresh
// installation when the settings cannot be had (the search itself needs no private files).
AtlasSettings atlas_settings(CliContext& ctx) {
    AtlasSettings a{join_path(base_directory(), "countries"), "USA"};
    int exit_code = ctx.exit_code;
    auto settings = load_cli_settings(ctx);
    ctx.exit_code = exit_code;
    if (!settings) return a;
    if (!settings->options.paths.countries_dir.empty()) a.countries_dir = settings->options.paths.countries_dir;
    if (!settings->options.paths.default_country.empty()) a.default_country = settings->options.paths.default_country;
    return a;
}

// The feedback's CR LF line ends, for a terminal.
std::string terminal_lines(std::string s, const std::string& indent) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "\n" + indent;
            ++i;
            continue;
        }
        out.push_back(s[i]);
    }
    return out;
}

void run_find(CliContext& ctx, const FindArgs& args) {
    bool with_time = !args.local.empty();
    if (with_time) {
        if (!parse_birth_date(ctx, args.local)) return;
    }
    AtlasSettings atlas = atlas_settings(ctx);
    CityQuery q;
    q.city = args.city;
    q.county = args.county;
    q.state = args.state;
    q.country = args.country;
    q.date_hour = args.local;
    NameCollator names = NameCollator::for_user();
    bool found = find_city(q, atlas, with_time, names);
    // Found in the country's own file: the state is the one whose file holds the same place.
    if (found && q.state.empty())
        q.state = state_of_place(find_city_directory(q.country, "", atlas, names).directory, q.place, atlas);
    if (args.json) {
        nlohmann::json j = {{"found", found},  {"feedback", q.feedback}, {"city", q.city},   {"county", q.county},
                            {"state", q.state}, {"country", q.country},  {"lon", q.longitude}, {"lat", q.latitude},
                            {"tz", q.time_zone}, {"cause", q.cause.empty() ? nlohmann::json(nullptr) : nlohmann::json(q.cause)}, {"ut", with_time && q.universal ? nlohmann::json(q.date_hour) : nullptr}};
        std::cout << json_text(j) << "\n";
    } else {
        std::cout << "Feedback:  " << terminal_lines(q.feedback, "           ") << "\n";
        if (found) {
            std::cout << fmt::format("City:      {}\n", q.city);
            std::cout << fmt::format("County:    {}\n", q.county);
            std::cout << fmt::format("State:     {}\n", q.state);
            std::cout << fmt::format("Country:   {}\n", q.country);
            std::cout << fmt::format("Longitude: {}\n", q.longitude);
            std::cout << fmt::format("Latitude:  {}\n", q.latitude);
            std::cout << fmt::format("Time zone: {}\n", q.time_zone);
            if (with_time) std::cout << fmt::format("Universal: {}\n", q.universal ? q.date_hour : std::string("-"));
        }
    }
    // The feedback is the search's whole story; the cause, alone, is what a script or a
    // reader of standard error needs.
    if (!q.cause.empty())
        ctx.messages->tell(q.cause, str(found ? Str::PlaceCaptionWarning : Str::PlaceCaptionError),
                           found ? MessageIcon::Warning : MessageIcon::Error);
    if (!found) ctx.exit_code = kExitFailure;
}

void run_list(CliContext& ctx, const ListArgs& args) {
    AtlasSettings atlas = atlas_settings(ctx);
    NameCollator names = NameCollator::for_user();
    CityDirectory where = find_city_directory(args.country, args.state, atlas, names);
    std::string path = join_path(where.directory, kCitiesFile);
    auto places = where.ok ? read_city_file(path) : std::nullopt;
    if (!places) {
        std::string why = where.ok ? str(Str::PlaceErrorWithCitiesFile) + " " + path : where.feedback;
        if (args.json) std::cout << json_text(nlohmann::json({{"found", false}, {"feedback", why}})) << "\n";
        else std::cout << why << "\n";
        ctx.exit_code = kExitFailure;
        return;
    }
    if (args.json) {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& p : *places)
            list.push_back({{"city", p.city}, {"county", p.county}, {"lon", format_angle(p.longitude)},
                            {"lat", format_angle(p.latitude)}, {"tz", p.time_zone}});
        nlohmann::json j = {{"found", true}, {"country", where.country}, {"state", where.state}, {"file", path},
                            {"cities", list}};
        std::cout << json_text(j) << "\n";
        return;
    }
    for (const auto& p : *places) std::cout << city_list_entry(p) << "\n";
}

}  // namespace

void register_place_commands(CLI::App& app, CliContext& ctx) {
    auto* place = app.add_subcommand("place", "Find places of the atlas and their time-zone corrections");
    place->require_subcommand(1);

    auto* find = place->add_subcommand("find", "Find a city: longitude, latitude, time zone, universal time");
    auto fa = std::make_shared<FindArgs>();
    find->add_option("--city", fa->city, "City name (case and accents ignored)")->required();
    find->add_option("--county", fa->county, "County");
    find->add_option("--state", fa->state, "State");
    find->add_option("--country", fa->country, "Country (default: the options' default country)");
    find->add_option("--local", fa->local, "Legal date-hour to convert, e.g. \"1944-06-06 08:00:00\"");
    find->add_flag("--json", fa->json, "Machine-readable output");
    find->callback([&ctx, fa] { run_find(ctx, *fa); });

    auto* list = place->add_subcommand("list", "List the cities of a country or state");
    auto la = std::make_shared<ListArgs>();
    list->add_option("--country", la->country, "Country")->required();
    list->add_option("--state", la->state, "State");
    list->add_flag("--json", la->json, "Machine-readable output");
    list->callback([&ctx, la] { run_list(ctx, *la); });

    register_place_geocode(*place, ctx);
}

}  // namespace tellurim
