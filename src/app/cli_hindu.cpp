// The Hindu section of `chart`, `tellurim dasa`, `calc subdivision`, `calc nakshatra`, the
// Hindu aspect table `hindu-aspects` and the nakshatra table `nakshatras show` (the dasa and
// nakshatra settings are `options` keys).
#include "app/cli_hindu.h"

#include <charconv>
#include <cmath>
#include <fmt/format.h>
#include <iostream>
#include <memory>

#include "app/cli_common.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "astro/hindu.h"
#include "astro/hindu_aspects.h"
#include "astro/lunations.h"
#include "astro/planets_signs.h"
#include "base/angle_value.h"
#include "base/date_hour.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/hindu_aspects_file.h"
#include "files/options_file.h"
#include "files/settings_file.h"

namespace tellurim {
namespace {

void fail_bad_input(CliContext& ctx, const std::string& message) {
    ctx.fail(kExitBadInput, message, str(Str::CaptionBadInput), MessageIcon::Warning);
}

// A planet's name, or null / "-" for none.
nlohmann::json lord_json(int planet) {
    if (planet < 0 || planet >= kPlanetRows) return nullptr;
    return std::string(planet_name(planet));
}
std::string lord_text(int planet) {
    if (planet < 0 || planet >= kPlanetRows) return "-";
    return std::string(planet_name(planet));
}

std::string period_text(const DasaPeriodAt& p) {
    return fmt::format("{:<9}{:<9}{:<9}{}  {}", lord_text(p.dasa), lord_text(p.bhukti), lord_text(p.antara),
                       format_date_hour(p.start), format_date_hour(p.end));
}

nlohmann::json period_json(const DasaPeriodAt& p) {
    return {{"dasa", lord_json(p.dasa)},
            {"bhukti", lord_json(p.bhukti)},
            {"antara", lord_json(p.antara)},
            {"start", format_date_hour(p.start)},
            {"end", format_date_hour(p.end)},
            {"start_jd_et", json_number(p.start_jd_et)},
            {"end_jd_et", json_number(p.end_jd_et)},
            {"position", p.position}};
}

// A longitude in degrees from an angle text or a plain number; [0, 360) only.
std::optional<double> parse_fixed_longitude(CliContext& ctx, const std::string& input) {
    auto a = parse_angle(input);
    double deg = kInfinity;
    if (a && a->is_finite()) deg = a->unit == kUnitNone ? a->value : a->to_degrees();
    if (!std::isfinite(deg) || deg < 0.0 || deg >= 360.0) {
        fail_bad_input(ctx, str(Str::NotAValidLongitudeDeg) + input);
        return std::nullopt;
    }
    return deg;
}

}  // namespace

// --- chart section ----------------------------------------------------------------------------

nlohmann::json hindu_json(const Horoscope& h) {
    const HinduData& d = h.hindu;
    nlohmann::json divisions = nlohmann::json::array();
    nlohmann::json nakshatras = nlohmann::json::array();
    for (int p = 0; p < kPlanetRows; ++p) {
        const auto& row = d.divisions[static_cast<std::size_t>(p)];
        divisions.push_back({{"body", std::string(planet_name(p))}, {"signs", std::vector<int>(row.begin(), row.end())}});
        const int n = d.nakshatras[static_cast<std::size_t>(p)];
        if (n < 0) continue;
        const Nakshatra& nk = h.options.nakshatras[static_cast<std::size_t>(n)];
        nakshatras.push_back({{"body", std::string(planet_name(p))}, {"index", n}, {"name", nk.name}, {"lord", lord_json(nk.lord)}});
    }
    const DasaPeriodAt at = dasa_period_at(h.options.dasas, d.dasa_cycle_start_jd_et, h.birth_ut.jd_et);
    nlohmann::json rasi = nlohmann::json::array();
    nlohmann::json navamsa = nlohmann::json::array();
    nlohmann::json planets = nlohmann::json::array();
    for (std::size_t a = 0; a < kPlanetRows; ++a) {
        nlohmann::json r = nlohmann::json::array();
        nlohmann::json n = nlohmann::json::array();
        nlohmann::json s = nlohmann::json::array();
        for (std::size_t b = 0; b < kPlanetRows; ++b) {
            r.push_back(d.relationships[a][b].rasi);
            n.push_back(d.relationships[a][b].navamsa);
            s.push_back(json_number(d.aspect_strengths[a][b]));
        }
        rasi.push_back(r);
        navamsa.push_back(n);
        planets.push_back(s);
    }
    nlohmann::json houses = nlohmann::json::array();
    for (const auto& cusp : d.house_aspect_strengths) {
        nlohmann::json s = nlohmann::json::array();
        for (double v : cusp) s.push_back(json_number(v));
        houses.push_back(s);
    }
    return {
        {"divisions", divisions},
        {"nakshatras", nakshatras},
        {"dasa",
         {{"cycle_start_jd_et", json_number(d.dasa_cycle_start_jd_et)},
          {"moon_longitude_deg", json_number(d.dasa_moon_longitude)},
          {"at_birth",
           {{"dasa", lord_json(at.dasa)},
            {"bhukti", lord_json(at.bhukti)},
            {"antara", lord_json(at.antara)},
            {"start", format_date_hour(at.start)},
            {"end", format_date_hour(at.end)}}}}},
        {"time_lords",
         {{"year", lord_json(d.time_lords.year)},
          {"month", lord_json(d.time_lords.month)},
          {"day", lord_json(d.time_lords.day)},
          {"hour", lord_json(d.time_lords.hour)}}},
        {"relationships", {{"rasi", rasi}, {"navamsa", navamsa}}},
        {"aspect_strengths", {{"planets", planets}, {"houses", houses}}},
        {"natural_quality", {{"moon", d.moon_quality}, {"mercury", d.mercury_quality}}},
    };
}

namespace {

// --- tellurim dasa --------------------------------------------------------------------------

struct DasaArgs {
    BirthArgs birth;
    std::string from;
    std::string to;
    bool json = false;
};

constexpr std::size_t kDasaListLimit = 5000;

int run_dasa(const DasaArgs& a, CliContext& ctx) {
    std::optional<DateHour> from;
    std::optional<DateHour> to;
    for (auto [input, out, bad] : {std::tuple{&a.from, &from, Str::DasaBadFrom}, std::tuple{&a.to, &to, Str::DasaBadTo}}) {
        if (input->empty()) continue;
        DateParse p = parse_date_hour(*input);
        if (!p.ok || !date_exists(p.value)) {
            fail_bad_input(ctx, str(bad) + *input);
            return ctx.exit_code;
        }
        *out = p.value;
    }
    auto chart = compute_birth_chart(a.birth, ctx);
    if (!chart) return ctx.exit_code;
    const auto& h = chart->horoscope;
    const double cycle = h->hindu.dasa_cycle_start_jd_et;
    if (!std::isfinite(cycle)) {
        ctx.fail(kExitFailure, str(Str::DasaNoCycle));
        return ctx.exit_code;
    }
    // By default, the year that follows the birth.
    const double from_jd = from ? from->jd_et : h->birth_ut.jd_et;
    const double to_jd = to ? to->jd_et : from_jd + 365.25;
    if (from_jd > to_jd) {
        ctx.fail(kExitBadInput, str(Str::DirectionBadInput));
        return ctx.exit_code;
    }
    auto periods = dasa_periods_between(h->options.dasas, cycle, from_jd, to_jd, kDasaListLimit + 1);
    if (periods.size() > kDasaListLimit) {
        fail_bad_input(ctx, str(Str::DasaTooMany));
        return ctx.exit_code;
    }
    if (a.json) {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& p : periods) list.push_back(period_json(p));
        std::cout << nlohmann::json{{"cycle_start_jd_et", json_number(cycle)}, {"periods", list}}.dump(2) << "\n";
        return kExitOk;
    }
    std::cout << text(Str::ChartDasaCycleStart) << " " << format_date_hour(date_hour_from_et(cycle)) << "\n";
    for (const auto& p : periods) std::cout << period_text(p) << "\n";
    return kExitOk;
}

// --- calc subdivision, calc nakshatra ------------------------------------------------------------

struct LonArgs {
    std::string lon;
    bool json = false;
};

int run_subdivision(const LonArgs& a, CliContext& ctx) {
    auto lon = parse_fixed_longitude(ctx, a.lon);
    if (!lon) return ctx.exit_code;
    nlohmann::json list = nlohmann::json::array();
    for (int s = 0; s < kSubDivisions; ++s) {
        const int sign = subdivision_sign(s, *lon);
        if (a.json)
            list.push_back({{"index", s}, {"label", std::string(subdivision_label(s))}, {"sign", sign},
                            {"name", std::string(sign_name(sign))}});
        else
            std::cout << fmt::format("{:<3}{:<6}{:<12}{}\n", s, subdivision_label(s), subdivision_long_label(s), sign_name(sign));
    }
    if (a.json) std::cout << nlohmann::json{{"lon_deg", *lon}, {"subdivisions", list}}.dump(2) << "\n";
    return kExitOk;
}

int run_nakshatra(const LonArgs& a, CliContext& ctx) {
    auto lon = parse_fixed_longitude(ctx, a.lon);
    if (!lon) return ctx.exit_code;
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    const int n = nakshatra_of(*lon);
    const Nakshatra& row = settings->options.nakshatras[static_cast<std::size_t>(n)];
    const double start = n * kNakshatraSpan;
    if (a.json) {
        std::cout << nlohmann::json{{"lon_deg", *lon}, {"index", n}, {"name", row.name}, {"lord", lord_json(row.lord)},
                                    {"meaning", row.meaning}, {"start_deg", start}, {"end_deg", start + kNakshatraSpan},
                                    {"colour", fmt::format("{:08X}", row.colour)}}
                         .dump(2)
                  << "\n";
        return kExitOk;
    }
    std::cout << n << " " << row.name << " (" << lord_text(row.lord) << "): " << row.meaning << "\n";
    return kExitOk;
}

// --- hindu-aspects show|set|reset ---------------------------------------------------------------

struct HinduAspectArgs {
    std::string planet;
    std::string offsets;
    bool offsets_given = false;
    std::string pen;
    bool json = false;
};

nlohmann::json pen_json(const HinduPen& p) {
    return {{"colour", fmt::format("{:08X}", p.colour)}, {"width", p.width}, {"style", p.style}};
}

int run_hindu_aspects_show(const HinduAspectArgs& a, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    HinduAspectsLoad load = load_hindu_aspects(settings->private_dir, *ctx.messages);
    if (!a.json) {
        std::cout << hindu_aspects_path(settings->private_dir) << "\n";
        std::cout << text(Str::HinduAspectsTitle) << ", " << text(Str::HinduAspectsSigns) << "\n";
        for (const HinduAspectRow& row : load.table.rows) {
            if (row.planet < 0) continue;
            std::string offsets;
            for (int o = 0; o < 12; ++o)
                if (row.offsets[static_cast<std::size_t>(o)]) offsets += (offsets.empty() ? "" : ",") + std::to_string(o);
            std::cout << fmt::format("{:<3}{:<10}{}\n", row.planet, planet_name(row.planet), offsets);
        }
        return kExitOk;
    }
    nlohmann::json rows = nlohmann::json::array();
    for (const HinduAspectRow& row : load.table.rows) {
        if (row.planet < 0) continue;
        nlohmann::json aspects = nlohmann::json::array();
        for (std::size_t o = 0; o < 12; ++o) {
            if (!row.offsets[o]) continue;
            nlohmann::json pens = nlohmann::json::array();
            for (const HinduPen& p : row.pens[o]) pens.push_back(pen_json(p));
            aspects.push_back({{"offset", o}, {"pens", pens}});
        }
        rows.push_back({{"planet", row.planet}, {"name", std::string(planet_name(row.planet))}, {"aspects", aspects}});
    }
    std::cout << nlohmann::json{{"file", hindu_aspects_path(settings->private_dir)}, {"rows", rows}}.dump(2) << "\n";
    return kExitOk;
}

// Sets the aspected offsets (0..11, "" for none) of one planet and, when given, the pen of
// all its aspects; a new offset takes a black solid pen of width 1.
int run_hindu_aspects_set(const HinduAspectArgs& a, CliContext& ctx) {
    const int planet = planet_arg(a.planet);
    if (planet < 0) {
        fail_bad_input(ctx, str(Str::HinduAspectsBadPlanet) + ": " + a.planet);
        return ctx.exit_code;
    }
    std::array<bool, 12> offsets{};
    std::string_view rest = a.offsets;
    while (!trim(rest).empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = trim(rest.substr(0, comma));
        int o = -1;
        auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), o);
        if (ec != std::errc{} || end != item.data() + item.size() || o < 0 || o > 11) {
            fail_bad_input(ctx, str(Str::HinduAspectsBadOffset) + std::string(item));
            return ctx.exit_code;
        }
        offsets[static_cast<std::size_t>(o)] = true;
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    std::optional<HinduPen> pen;
    if (!a.pen.empty()) {
        HinduPen p;
        if (!parse_hindu_pen(a.pen, p)) {
            fail_bad_input(ctx, str(Str::HinduAspectsBadPen) + a.pen);
            return ctx.exit_code;
        }
        pen = p;
    }
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    HinduAspectsLoad load = load_hindu_aspects(settings->private_dir, *ctx.messages);
    edit_hindu_aspect_row(load.table, planet, a.offsets_given ? std::optional(offsets) : std::nullopt, pen);
    if (!save_edited_hindu_aspects(settings->private_dir, load, *ctx.messages)) {
        ctx.fail(kExitFailure, hindu_aspects_path(settings->private_dir), str(Str::HinduAspectsCannotWrite));
        return ctx.exit_code;
    }
    const HinduAspectRow& row = load.table.rows[static_cast<std::size_t>(planet)];
    std::cout << format_hindu_aspect_row(row) << "\n";
    return kExitOk;
}

int run_hindu_aspects_reset(CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    if (!reset_hindu_aspects(settings->private_dir)) {
        ctx.fail(kExitFailure, hindu_aspects_path(settings->private_dir), str(Str::HinduAspectsCannotWrite));
        return ctx.exit_code;
    }
    std::cout << hindu_aspects_path(settings->private_dir) << "\n";
    return kExitOk;
}

// --- nakshatras show ---------------------------------------------------------------------------
// The table with its lords; `options set nakshatras.N.name|meaning|colour` edits it.

int run_nakshatras(bool json, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    nlohmann::json list = nlohmann::json::array();
    for (const Nakshatra& n : settings->options.nakshatras) {
        if (json)
            list.push_back({{"index", n.index}, {"name", n.name}, {"lord", lord_json(n.lord)}, {"meaning", n.meaning},
                            {"colour", fmt::format("{:08X}", n.colour)}});
        else
            std::cout << fmt::format("{:>2} {:<20}{:<9}{:08X} {}\n", n.index, n.name, lord_text(n.lord), n.colour, n.meaning);
    }
    if (json) std::cout << list.dump(2) << "\n";
    return kExitOk;
}

}  // namespace

void register_hindu_commands(CLI::App& app, CLI::App& calc, CliContext& ctx) {
    auto da = std::make_shared<DasaArgs>();
    auto* dasa = app.add_subcommand("dasa", "Dasa, bhukti and antara periods of a birth between two dates");
    add_birth_options(dasa, da->birth);
    dasa->add_option("--from", da->from, "First date (universal time; default the birth)");
    dasa->add_option("--to", da->to, "Last date (universal time; default one year after --from)");
    dasa->add_flag("--json", da->json, "JSON output");
    dasa->callback([&ctx, da] { ctx.exit_code = run_dasa(*da, ctx); });

    auto sa = std::make_shared<LonArgs>();
    auto* sub = calc.add_subcommand("subdivision", "The thirteen sub-division signs of a fixed longitude");
    sub->add_option("--lon", sa->lon, "Fixed (sidereal) longitude, degrees 0 to 360")->required();
    sub->add_flag("--json", sa->json, "JSON output");
    sub->callback([&ctx, sa] { ctx.exit_code = run_subdivision(*sa, ctx); });

    auto na = std::make_shared<LonArgs>();
    auto* nak = calc.add_subcommand("nakshatra", "The nakshatra of a fixed longitude");
    nak->add_option("--lon", na->lon, "Fixed (sidereal) longitude, degrees 0 to 360")->required();
    nak->add_flag("--json", na->json, "JSON output");
    nak->callback([&ctx, na] { ctx.exit_code = run_nakshatra(*na, ctx); });

    auto* ha = app.add_subcommand("hindu-aspects", "The Hindu aspect table (hindus_aspects.ini)");
    ha->require_subcommand(1);
    auto hs = std::make_shared<HinduAspectArgs>();
    auto* show = ha->add_subcommand("show", "Print the table");
    show->add_flag("--json", hs->json, "JSON output");
    show->callback([&ctx, hs] { ctx.exit_code = run_hindu_aspects_show(*hs, ctx); });
    auto hset = std::make_shared<HinduAspectArgs>();
    auto* set = ha->add_subcommand("set", "Change the aspects of one planet");
    set->add_option("planet", hset->planet, "Planet name (Sun, Mars, AS, ...) or number 0 to 17")->required();
    auto* offsets = set->add_option("--offsets", hset->offsets, "Aspected signs counted from the planet's, 0 to 11 (6 is the 7th sign), comma separated; \"\" for none");
    set->add_option("--pen", hset->pen, "Pen of every aspect of the planet: \"AARRGGBB width style\"");
    set->callback([&ctx, hset, offsets] {
        hset->offsets_given = offsets->count() > 0;
        ctx.exit_code = run_hindu_aspects_set(*hset, ctx);
    });
    auto* reset = ha->add_subcommand("reset", "Write the default table");
    reset->callback([&ctx] { ctx.exit_code = run_hindu_aspects_reset(ctx); });

    auto* nk = app.add_subcommand("nakshatras", "The nakshatra table: names, lords, meanings, colours");
    nk->require_subcommand(1);
    auto nsa = std::make_shared<bool>(false);
    auto* nshow = nk->add_subcommand("show", "Print the table (options set nakshatras.N.name|meaning|colour edits it)");
    nshow->add_flag("--json", *nsa, "JSON output");
    nshow->callback([&ctx, nsa] { ctx.exit_code = run_nakshatras(*nsa, ctx); });
}

}  // namespace tellurim
