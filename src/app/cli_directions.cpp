// tellurim directions BIRTH-OPTIONS --from AGE --to AGE ...: the primary directions of a
// chart; tellurim calc direction: the single arc of `PrimaryDirection`.
#include <fmt/format.h>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_common.h"
#include "app/json_util.h"
#include "astro/directions.h"
#include "astro/planets_signs.h"
#include "base/strings.h"
#include "base/text.h"
#include "report/directions_report.h"
#include "report/text_measure.h"

namespace tellurim {
namespace {

struct DirectionArgs {
    BirthArgs birth;
    std::string from;
    std::string to;
    std::optional<std::string> planets;
    std::optional<std::string> aspects;
    std::string filter = "all";
    bool latitude = false;
    bool sort = false;
    bool ra_sun_correction = false;
    std::string out;  // --out FILE: .rtf, .html or .txt through the document writer
    bool json = false;
};

// Writes the document bytes; false when the file cannot be created or written.
bool write_document(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

std::vector<std::string> list_items(const std::string& list) {
    std::vector<std::string> items;
    for (std::string_view t : split_tokens(list, ",")) {
        t = trim(t);
        if (!t.empty()) items.emplace_back(t);
    }
    return items;
}

int run_directions(const DirectionArgs& a, CliContext& ctx) {
    auto bad = [&ctx](Str message, const std::string& detail = {}) {
        ctx.fail(kExitBadInput, str(message) + (detail.empty() ? "" : " " + detail));
        return ctx.exit_code;
    };
    DirectionRequest q;
    if (auto f = direction_filter_from_name(a.filter))
        q.filter = *f;
    else
        return bad(Str::DirectionBadFilter, a.filter);
    if (a.planets) {
        for (const std::string& item : list_items(*a.planets)) {
            int p = planet_arg(item);
            if (p < 0) return bad(Str::DirectionBadPlanet, item);
            q.planets.push_back(p);
        }
    } else {
        q.planets.assign(std::begin(kDefaultDirectionPlanets), std::end(kDefaultDirectionPlanets));
    }
    auto from = parse_decimal(trim(a.from));
    auto to = parse_decimal(trim(a.to));
    q.from_age = from.value_or(0.0);
    q.to_age = to.value_or(0.0);
    if (!from || !to) return bad(Str::DirectionBadInput);
    q.with_latitude = a.latitude;
    q.sort_by_age = a.sort;
    q.ra_sun_correction = a.ra_sun_correction;

    const int format = a.out.empty() ? kDocUnixText : doc_format_for_path(a.out);
    if (format < 0) return bad(Str::DirectionUnknownDocument, a.out);

    auto chart = compute_birth_chart(a.birth, ctx);
    if (!chart) return ctx.exit_code;
    const AspectTable& table = chart->settings->aspects;
    if (a.aspects) {
        for (const std::string& item : list_items(*a.aspects)) {
            auto row = std::find_if(table.rows.begin(), table.rows.end(),
                                    [&](const AspectDef& r) { return r.name == item; });
            if (row == table.rows.end()) return bad(Str::AspectNotFound, item);
            q.aspects.push_back(*row);
        }
    } else {
        q.aspects = table.rows;
    }

    const Horoscope& h = *chart->horoscope;
    DirectionList list = compute_directions(h, q);
    if (!list.ok) return bad(list.error);

    if (!a.out.empty()) {
        FixedMeasure96 device;
        const std::string doc = directions_document(h, q, list, format, doc_style_from_options(h.options), device);
        if (!write_document(a.out, document_file_bytes(format, doc))) {
            ctx.fail(kExitFailure, str(Str::DirectionWriteError) + ": " + a.out);
            return ctx.exit_code;
        }
        std::cerr << text(Str::ReportWritten) << " " << a.out << "\n";
        return kExitOk;
    }
    if (a.json) {
        nlohmann::json rows = nlohmann::json::array();
        for (const Direction& d : list.directions)
            rows.push_back({{"significator", std::string(planet_name(d.significator))},
                            {"promissor", std::string(planet_name(d.promissor))},
                            {"aspect", d.aspect},
                            {"aspect_angle_deg", json_number(d.aspect_angle_deg)},
                            {"arc_deg", json_number(d.arc_deg)},
                            {"age", json_number(d.age)}});
        nlohmann::json j = {{"key_deg_per_year", json_number(list.key_deg_per_year)}, {"directions", rows}};
        std::cout << j.dump(2) << "\n";
        return kExitOk;
    }
    std::cout << direction_title(h, q) << "\n";
    std::cout << text(Str::DirectionKey) << " " << fmt::format("{:.6f}", list.key_deg_per_year) << "\n\n";
    for (const Direction& d : list.directions) {
        std::cout << fmt::format("{:<10} {:<10} {:<20} {:>10.4f} {:6.2f}\n", planet_name(d.significator),
                                 planet_name(d.promissor), direction_aspect_text(d), d.arc_deg, d.age);
    }
    std::cout << "\n" << direction_count_text(static_cast<long>(list.directions.size())) << "\n";
    return kExitOk;
}

struct CalcDirectionArgs {
    std::array<double, 8> values{};
    bool json = false;
};

int run_calc_direction(const CalcDirectionArgs& a, CliContext& ctx) {
    PrimaryDirectionArgs x;
    x.lon_a = a.values[0];
    x.lat_a = a.values[1];
    x.lon_b = a.values[2];
    x.lat_b = a.values[3];
    x.place_latitude = a.values[4];
    x.sidereal_time = a.values[5];
    x.epsilon = a.values[6];
    x.key_rad_per_year = a.values[7];
    PrimaryDirectionResult r = primary_direction(x);
    if (!r.ok) {
        ctx.fail(r.error == Str::DirectionFailed ? kExitFailure : kExitBadInput, str(r.error), "");
        return ctx.exit_code;
    }
    if (a.json)
        std::cout << nlohmann::json{{"age", json_number(r.age)}}.dump(2) << "\n";
    else
        std::cout << fmt::format("{:.6f}", r.age) << "\n";
    return kExitOk;
}

}  // namespace

void register_directions_commands(CLI::App& app, CLI::App& calc, CliContext& ctx) {
    auto args = std::make_shared<DirectionArgs>();
    CLI::App* cmd = app.add_subcommand("directions", "Primary directions of a chart within an age window");
    add_birth_options(cmd, args->birth);
    cmd->add_option("--from", args->from, "Year old begin")->required();
    cmd->add_option("--to", args->to, "Year old end")->required();
    cmd->add_option("--planets", args->planets, "Comma-separated planets (names or numbers 0-17)");
    cmd->add_option("--aspects", args->aspects, "Comma-separated names of rows of the aspect table (default: all)");
    cmd->add_option("--filter", args->filter, "Significators: all, angles (AS, MH) or personal (Sun, Moon, AS, MH)");
    cmd->add_flag("--latitude", args->latitude, "With latitude");
    cmd->add_flag("--sort", args->sort, "Sort by age");
    cmd->add_flag("--ra-sun-correction", args->ra_sun_correction, "Key from the Sun's true motion in right ascension");
    cmd->add_option("--out", args->out, "Write the list to FILE.rtf, FILE.html or FILE.txt");
    cmd->add_flag("--json", args->json, "JSON output");
    cmd->callback([args, &ctx] { ctx.exit_code = run_directions(*args, ctx); });

    auto calc_args = std::make_shared<CalcDirectionArgs>();
    CLI::App* one = calc.add_subcommand("direction", "Age of one primary direction (PrimaryDirection)");
    const char* names[] = {"longitudeA_rads",     "latitudeA_rads",     "longitudeB_rads", "latitudeB_rads",
                           "place_latitude_rads", "sidereal_time_rads", "epsilon_rads",    "mean_sun_ra_speed_rads"};
    for (std::size_t i = 0; i < 8; ++i) one->add_option(names[i], calc_args->values[i], names[i])->required();
    one->add_flag("--json", calc_args->json, "JSON output");
    one->callback([calc_args, &ctx] { ctx.exit_code = run_calc_direction(*calc_args, ctx); });
}

}  // namespace tellurim
