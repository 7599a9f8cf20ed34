// tellurim stars list|file, tellurim calc star: the fixed-stars catalogue of the options.
#include <fmt/format.h>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_common.h"
#include "app/cli_settings.h"
#include "app/cli_stars.h"
#include "app/json_util.h"
#include "astro/planets_signs.h"
#include "base/strings.h"
#include "files/options_file.h"
#include "files/stars_file.h"

namespace tellurim {

bool load_cli_stars(const Options& options, StarCatalogue& catalogue, MessageSink& messages) {
    const std::string& path = options.paths.stars_file;
    if (path.empty()) return false;  // said once by the configuration check at start-up
    if (load_star_catalogue(path, catalogue)) return true;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        messages.tell(path, str(Str::CheckConfigFile), MessageIcon::Warning);
    else
        messages.tell(str(Str::StarsNotAStarsFile) + path, str(Str::StarsCaption), MessageIcon::Warning);
    return false;
}

std::string star_magnitude_text(double magnitude) {
    return std::isfinite(magnitude) ? fmt::format("{:.2f}", magnitude) : std::string("NA");
}

namespace {

nlohmann::json magnitude_json(double m) { return std::isfinite(m) ? json_number(m) : nlohmann::json(nullptr); }

int run_list(bool json, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    StarCatalogue catalogue;
    if (!load_cli_stars(settings->options, catalogue, *ctx.messages)) {
        ctx.fail(kExitFailure, str(Str::StarsNotLoaded));
        return ctx.exit_code;
    }
    if (json) {
        nlohmann::json stars = nlohmann::json::array();
        for (std::size_t i = 0; i < catalogue.stars.size(); ++i) {
            const StarRecord& s = catalogue.stars[i];
            stars.push_back({{"number", i},
                             {"identifier", s.identifier},
                             {"name", s.name},
                             {"comment", s.comment},
                             {"magnitude", magnitude_json(s.magnitude)},
                             {"spectral_class", s.spectral_class},
                             {"ra_deg", json_number(s.ra.to_degrees())},
                             {"dec_deg", json_number(s.dec.to_degrees())},
                             {"pm_ra_deg_per_year", json_number(s.pm_ra.to_degrees())},
                             {"pm_dec_deg_per_year", json_number(s.pm_dec.to_degrees())},
                             {"epoch", format_date_hour(s.epoch)}});
        }
        std::cout << json_text(nlohmann::json{{"path", catalogue.path}, {"stars", stars}}) << "\n";
        return kExitOk;
    }
    std::cout << catalogue.path << "\n";
    std::cout << fmt::format("{:>5} {:<30}{:>6} {:<5}{:<16}{:<16}{}\n", "No.", "Name", text(Str::StarsColumnMag),
                             text(Str::StarsColumnSp), "RA", "Dec", "Comment");
    for (std::size_t i = 0; i < catalogue.stars.size(); ++i) {
        const StarRecord& s = catalogue.stars[i];
        std::cout << fmt::format("{:>5} {:<30}{:>6} {:<5}{:<16}{:<16}{}\n", i, s.name, star_magnitude_text(s.magnitude),
                                 s.spectral_class, format_sexagesimal(s.ra.to_hours(), true),
                                 format_sexagesimal(s.dec.to_degrees(), false), s.comment);
    }
    return kExitOk;
}

// Shows the stars file of the options, or stores a new one that loads (an empty text clears it).
int run_file(const std::optional<std::string>& path, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    if (!path) {
        std::cout << text(Str::PathsLabelStars) << " " << settings->options.paths.stars_file << "\n";
        return kExitOk;
    }
    if (!path->empty() && !is_star_catalogue_file(*path)) {
        ctx.fail(kExitBadInput, str(Str::FilesNotACorrectValue) + ": " + *path);
        return ctx.exit_code;
    }
    // A read-modify-write under the options file's lock: a run saving at the same time keeps
    // its own change.
    if (!update_options(settings->private_dir, settings->options, [&](Options& o) {
            o.paths.stars_file = *path;
            return true;
        })) {
        ctx.fail(kExitFailure, options_file_path(settings->private_dir));
        return ctx.exit_code;
    }
    std::cout << (path->empty() ? str(Str::StarsNoFileSet) : str(Str::StarsFileSet) + *path) << "\n";
    return kExitOk;
}

struct StarArgs {
    std::string name;
    std::string ut;
    bool json = false;
};

int run_star(const StarArgs& a, CliContext& ctx) {
    const std::optional<DateHour> date = parse_birth_date(ctx, a.ut);
    if (!date) return ctx.exit_code;
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    StarCatalogue catalogue;
    if (!load_cli_stars(settings->options, catalogue, *ctx.messages)) {
        ctx.fail(kExitFailure, str(Str::StarsNotLoaded));
        return ctx.exit_code;
    }
    int n = star_number_from_name(catalogue, a.name);
    if (n < 0) {
        ctx.fail(kExitFailure, str(Str::StarsUnknownStar) + a.name);
        return ctx.exit_code;
    }
    StarRecord& s = catalogue.stars[static_cast<std::size_t>(n)];
    auto p = star_position(s, date->jd_ut, date->jd_et);
    if (!p) {
        ctx.fail(kExitFailure, str(Str::StarsUnknownStar) + a.name);
        return ctx.exit_code;
    }
    if (a.json) {
        nlohmann::json j = {{"name", s.name},
                            {"comment", s.comment},
                            {"ut", format_date_hour(*date)},
                            {"lon_deg", json_number(p->lon.to_degrees())},
                            {"lat_deg", json_number(p->lat.to_degrees())},
                            {"ra_deg", json_number(p->ra.to_degrees())},
                            {"dec_deg", json_number(p->dec.to_degrees())},
                            {"magnitude", magnitude_json(s.magnitude)}};
        std::cout << json_text(j) << "\n";
        return kExitOk;
    }
    std::cout << s.name << " (" << s.comment << ")\n"
              << format_date_hour(*date) << "\n"
              << "Longitude:       " << format_sign_longitude(p->lon.to_degrees()) << "\n"
              << "Latitude:        " << format_sexagesimal(p->lat.to_degrees(), false) << "\n"
              << "Right ascension: " << format_sexagesimal(p->ra.to_hours(), true) << "\n"
              << "Declination:     " << format_sexagesimal(p->dec.to_degrees(), false) << "\n"
              << text(Str::StarsColumnMag) << "            " << star_magnitude_text(s.magnitude) << "\n";
    return kExitOk;
}

}  // namespace

void register_stars_commands(CLI::App& app, CLI::App& calc, CliContext& ctx) {
    CLI::App* stars = app.add_subcommand("stars", "The fixed-stars catalogue");
    stars->require_subcommand(1);
    auto list_json = std::make_shared<bool>(false);
    CLI::App* list = stars->add_subcommand("list", "Print the stars catalogue of the options");
    list->add_flag("--json", *list_json, "JSON output");
    list->callback([list_json, &ctx] { ctx.exit_code = run_list(*list_json, ctx); });

    auto file_path = std::make_shared<std::string>();
    CLI::App* file = stars->add_subcommand("file", "Show the stars file of the options, or set it");
    CLI::Option* path_opt = file->add_option("path", *file_path, "A stars.spra file (\"\" for none)");
    file->callback([file_path, path_opt, &ctx] {
        ctx.exit_code = run_file(path_opt->count() ? std::optional<std::string>(*file_path) : std::nullopt, ctx);
    });

    auto args = std::make_shared<StarArgs>();
    CLI::App* star = calc.add_subcommand("star", "Position of a fixed star at a date (mean equinox of date)");
    star->add_option("name", args->name, "Star name, as `stars list` prints it")->required();
    star->add_option("--ut", args->ut, "Universal date-hour, \"2000-01-01 12:00:00.00 GD\"")->required();
    star->add_flag("--json", args->json, "JSON output");
    star->callback([args, &ctx] { ctx.exit_code = run_star(*args, ctx); });
}

}  // namespace tellurim
