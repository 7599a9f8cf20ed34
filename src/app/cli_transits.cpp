// tellurim return (sidereal solar return), tellurim transits (exact transit search) and
// tellurim calc step (the custom step of "Movings" in minutes).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fmt/format.h>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/cli.h"
#include "app/cli_chart.h"
#include "app/cli_common.h"
#include "app/cli_transits.h"
#include "app/cli_wheel.h"
#include "app/json_util.h"
#include "astro/compute.h"
#include "astro/lunations.h"
#include "astro/movings.h"
#include "astro/planets_signs.h"
#include "app/solar_return_run.h"
#include "astro/solar_return.h"
#include "astro/transits.h"
#include "core/birth_input.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/cities.h"
#include "files/horoscope_file.h"
#include "files/name_compare.h"

namespace tellurim {
namespace {

// --- calc step ----------------------------------------------------------------------------------

void run_step(CliContext& ctx, const std::string& input, bool json) {
    const std::optional<double> minutes = parse_step(input);
    if (!minutes) return ctx.fail(kExitBadInput, str(Str::MovingBadValue), str(Str::MovingsCaption), MessageIcon::Warning);
    if (json) {
        std::cout << json_text({{"text", input}, {"minutes", *minutes}}) << "\n";
        return;
    }
    std::cout << fmt::format("{}\n", *minutes);
}

// --- return -------------------------------------------------------------------------------------

struct ReturnArgs {
    BirthArgs birth;
    std::string age;
    bool movable = false;
    std::string title;
    std::string at_lon;
    std::string at_lat;
    std::string at_city;
    std::string at_county;
    std::string at_state;
    std::string at_country;
    bool at_my_city = false;
    bool json = false;
    bool save = false;
    std::string save_path;
    ReportRequest report;
    WheelArgs wheel;
};

// The place of the return: the birth place unless another is given.
std::optional<ReturnPlace> return_place(const ReturnArgs& a, const BirthChart& c, CliContext& ctx) {
    if (a.at_my_city) {
        ReturnPlace p;
        p.place = c.options.my_city.place;
        p.state = c.options.my_city.state;
        p.country = c.options.my_city.country;
        p.correction_hours = c.options.my_city.correction_hours;
        return p;
    }
    if (a.at_lon.empty() && a.at_lat.empty() && a.at_city.empty()) {
        ReturnPlace p;
        p.place = c.data.place;
        p.state = c.data.state;
        p.country = c.data.country;
        p.correction_hours = c.correction_hours;
        // The birth's city from the atlas: its correction is the atlas's at the return.
        if (!a.birth.city.empty() && !a.birth.correction && !a.birth.my_city) {
            CityQuery q;
            q.country = a.birth.country;
            q.state = a.birth.state;
            q.county = a.birth.county;
            q.city = a.birth.city;
            p.atlas = q;
        }
        return p;
    }
    const ReturnPlaceFields fields{a.at_lon, a.at_lat, a.at_city, a.at_county, a.at_state, a.at_country};
    ReturnPlaceResult r = return_place_from_fields(fields, c.options, *c.horoscope);
    if (!r.place) {
        ctx.fail(r.error == str(Str::NotAValidLongitude) || r.error == str(Str::NotAValidLatitude) ? kExitBadInput
                                                                                                   : kExitFailure,
                 r.error);
        return std::nullopt;
    }
    return r.place;
}

int run_return(const ReturnArgs& a, CliContext& ctx) {
    const std::optional<double> age = parse_return_age(a.age);
    if (!age) return ctx.fail(kExitBadInput, str(Str::SolarReturnBadAge), str(Str::SolarReturnCaption)), ctx.exit_code;
    const std::optional<WheelRequest> wheel = check_wheel_args(a.wheel, ctx);
    if (ctx.exit_code != kExitOk) return ctx.exit_code;
    auto chart = compute_birth_chart(a.birth, ctx);
    if (!chart) return ctx.exit_code;
    const Horoscope& birth = *chart->horoscope;

    const std::optional<ReturnPlace> place = return_place(a, *chart, ctx);
    if (!place) return ctx.exit_code;
    Horoscope h;
    h.aspect_table = &chart->settings->aspects;
    const std::optional<SolarReturn> found = compute_solar_return(
        birth, *age, a.movable, a.title, *place, chart->options, *ctx.messages, *chart->workers, *chart->library, h);
    if (!found) return ctx.exit_code = kExitFailure;
    const DateHour& ut = h.birth_ut;
    if (a.save) {
        const std::string path =
            a.save_path.empty() ? default_horoscope_file_name(h, chart->settings->horoscopes_dir) : a.save_path;
        if (save_horoscope(h, path, *ctx.messages) != SaveStatus::Saved) return ctx.exit_code = kExitFailure;
        ctx.messages->tell(path, str(Str::HoroFileSaved), MessageIcon::Information);
    }
    const char* zodiac = a.movable ? "movable" : "fixed";
    ChartOutput output;
    output.json = a.json;
    output.report = a.report;
    output.print = a.report.path.empty() || a.json;
    int code = kExitOk;
    if (a.json) {
        nlohmann::json j = {{"return_jd_ut", json_number(ut.jd_ut)},
                            {"return_ut", format_date_hour(ut)},
                            {"zodiac", zodiac},
                            {"birth_sun_deg", json_number(found->birth_sun_deg)},
                            {"return_sun_deg", json_number(found->return_sun_deg)},
                            {"chart", chart_json(h, *chart->library, output, chart->settings->private_dir, ctx)}};
        std::cout << json_text(j) << "\n";
        if (!a.report.path.empty()) {
            ChartOutput file_only = output;
            file_only.print = false;
            code = print_chart(h, *chart->library, file_only, chart->settings->private_dir, ctx);
        }
    } else {
        std::cout << fmt::format("{}: {} ({} zodiac, Sun {:.6f} / {:.6f})\n\n", text(Str::SolarReturnCaption),
                                 format_date_hour(ut), zodiac, found->birth_sun_deg, found->return_sun_deg);
        code = print_chart(h, *chart->library, output, chart->settings->private_dir, ctx);
    }
    if (code != kExitOk || !wheel) return code;
    return write_wheel(a.wheel.file, *wheel, h, nullptr, chart->settings->aspects, chart->settings->private_dir, ctx);
}

// --- transits -----------------------------------------------------------------------------------

struct TransitsArgs {
    BirthArgs birth;
    std::string from;
    std::string to;
    std::string bodies;
    std::string points;
    std::string aspects;
    bool json = false;
};

std::vector<std::string> split_list(std::string_view list) {
    std::vector<std::string> out;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = trim(list.substr(0, comma));
        if (!item.empty()) out.emplace_back(item);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return out;
}

// Planet indices of a list of names; `accept` says which may be used. False after telling
// the first name refused.
bool planet_list(const std::string& list, Str refusal, bool (*accept)(int), std::vector<int>& out, CliContext& ctx) {
    out.clear();
    for (const std::string& name : split_list(list)) {
        const int p = name == "MC" ? kMidheaven : planet_from_name(name);
        if (p < 0 || !accept(p)) return ctx.fail(kExitBadInput, str(refusal) + " " + name), false;
        out.push_back(p);
    }
    return true;
}

bool is_provider_body(int p) { return !body_of_planet(p).empty(); }
bool is_natal_point(int p) { return is_provider_body(p) || p == kAscendant || p == kMidheaven || p == kFortune; }

int run_transits(const TransitsArgs& a, CliContext& ctx) {
    const std::optional<DateHour> from = parse_birth_date(ctx, a.from);
    if (!from) return ctx.exit_code;
    const std::optional<DateHour> to = parse_birth_date(ctx, a.to);
    if (!to) return ctx.exit_code;
    if (to->jd_ut < from->jd_ut) return ctx.fail(kExitBadInput, str(Str::TransitsBadWindow)), ctx.exit_code;
    TransitRequest request;
    request.from_jd_et = from->jd_et;
    request.to_jd_et = to->jd_et;
    request.bodies = default_transiting_bodies();
    if (!a.bodies.empty() && !planet_list(a.bodies, Str::TransitsBadBody, is_provider_body, request.bodies, ctx))
        return ctx.exit_code;
    std::vector<int> points = default_transiting_bodies();
    points.push_back(kAscendant);
    points.push_back(kMidheaven);
    if (!a.points.empty() && !planet_list(a.points, Str::TransitsBadPoint, is_natal_point, points, ctx))
        return ctx.exit_code;

    auto chart = compute_birth_chart(a.birth, ctx);
    if (!chart) return ctx.exit_code;
    const Horoscope& h = *chart->horoscope;
    const bool movable = chart->options.astro.zodiac_movable != 0;
    const PositionTable& natal = movable ? h.geo_movable : h.geo_fixed;
    for (int p : points) {
        const AngleValue& lon = natal.at(p).longitude;
        // A point the chart could not compute (Fortune without its three rows) is left out.
        if (lon.is_angle()) request.points.push_back({p, lon.to_degrees()});
    }
    const std::vector<std::string> wanted = split_list(a.aspects);
    for (const std::string& name : wanted) {
        bool known = false;
        for (const AspectDef& row : chart->settings->aspects.rows) known = known || row.name == name;
        if (!known) return ctx.fail(kExitBadInput, str(Str::TransitsBadAspect) + " " + name), ctx.exit_code;
    }
    for (const AspectDef& row : chart->settings->aspects.rows) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), row.name) == wanted.end()) continue;
        if (row.angle.is_angle()) request.aspects.push_back({row.name, row.angle.to_degrees()});
    }

    LibraryLongitudes source(*chart->library, chart->options.astro.zero_date.jd_et, !movable);
    const auto events = find_transits(source, request);
    if (!events) return ctx.fail(kExitFailure, str(Str::TransitsFailed), str(Str::TransitsCaption)), ctx.exit_code;
    nlohmann::json list = nlohmann::json::array();
    for (const TransitEvent& e : *events) {
        const DateHour ut = date_hour_from_et(e.jd_et);
        const std::string& aspect = request.aspects[e.aspect].name;
        if (a.json) {
            list.push_back({{"ut", format_date_hour(ut)},
                            {"jd_ut", json_number(ut.jd_ut)},
                            {"transiting", std::string(planet_name(e.transiting))},
                            {"aspect", aspect},
                            {"natal", std::string(planet_name(e.natal))},
                            {"retrograde", e.retrograde}});
            continue;
        }
        const std::string line = fmt::format("{}  {:<8} {:<12} {:<8} {}", format_date_hour(ut), planet_name(e.transiting),
                                             aspect, planet_name(e.natal),
                                             e.retrograde ? text(Str::TransitsRetrograde) : std::string_view());
        std::cout << trim(line) << "\n";
    }
    if (a.json) {
        std::cout << json_text({{"from", format_date_hour(*from)},
                                {"to", format_date_hour(*to)},
                                {"zodiac", movable ? "movable" : "fixed"},
                                {"events", list}})
                  << "\n";
    } else if (events->empty()) {
        std::cout << text(Str::TransitsNone) << "\n";
    }
    return kExitOk;
}

// --- chart --step --------------------------------------------------------------------------------

// The frame file of step `n`: the pattern's one "%d", "%Nd" or "%0Nd" replaced by n; "%%" is
// a percent sign. nullopt for a pattern without exactly one such number.
std::optional<std::string> frame_file(const std::string& pattern, int n) {
    std::string out;
    int numbers = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        const bool zeros = j < pattern.size() && pattern[j] == '0';
        int width = 0;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])) && width < 100)
            width = width * 10 + (pattern[j++] - '0');
        if (j >= pattern.size() || pattern[j] != 'd') return std::nullopt;
        out += zeros ? fmt::format("{:0{}d}", n, width) : fmt::format("{:{}d}", n, width);
        ++numbers;
        i = j;
    }
    if (numbers != 1) return std::nullopt;
    return out;
}

nlohmann::json step_json(const Horoscope& outside, const std::vector<CrossAspect>& aspects) {
    nlohmann::json positions = nlohmann::json::array();
    for (int p = 0; p < kPlanetRows; ++p) {
        const PlanetPosition& m = outside.geo_movable.at(p);
        const PlanetPosition& f = outside.geo_fixed.at(p);
        if (m.index < 0 || !m.longitude.is_angle()) continue;
        positions.push_back({{"planet", std::string(planet_name(p))},
                             {"longitude", format_sign_longitude(m.longitude.to_degrees())},
                             {"longitude_deg", json_number(m.longitude.to_degrees())},
                             {"fixed_deg", f.longitude.is_angle() ? json_number(f.longitude.to_degrees()) : nullptr},
                             {"retrograde", m.retrograde != 0}});
    }
    nlohmann::json list = nlohmann::json::array();
    for (const CrossAspect& x : aspects)
        list.push_back({{"outside", std::string(planet_name(x.outside))},
                        {"inside", std::string(planet_name(x.inside))},
                        {"name", x.name},
                        {"angle_deg", json_number(x.angle_deg)},
                        {"separation_deg", json_number(x.separation_deg)}});
    return {{"ut", format_date_hour(outside.birth_ut)}, {"positions", positions}, {"aspects", list}};
}

void print_step_text(const Horoscope& outside, const std::vector<CrossAspect>& aspects) {
    std::cout << format_date_hour(outside.birth_ut) << "\n";
    for (int p = 0; p < kPlanetRows; ++p) {
        const PlanetPosition& m = outside.geo_movable.at(p);
        if (m.index < 0 || !m.longitude.is_angle()) continue;
        std::cout << fmt::format("  {:<8} {}{}\n", planet_name(p), format_sign_longitude(m.longitude.to_degrees()),
                                 m.retrograde ? " R" : "");
    }
    for (const CrossAspect& x : aspects)
        std::cout << fmt::format("  {:<8} {:<12} {:<8} {:.2f}\n", planet_name(x.outside), x.name,
                                 planet_name(x.inside), x.separation_deg);
}

}  // namespace

void register_transits_commands(CLI::App& app, CLI::App& calc, CliContext& ctx) {
    auto* step = calc.add_subcommand("step", "The minutes of a \"Movings\" step: a number and S, MN, H, D/J, M or Y/A");
    auto text = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    step->add_option("TEXT", *text, "Step, e.g. \"15 MN\", \"-2 A\", \"90 S\"")->required();
    step->add_flag("--json", *json, "Machine-readable output");
    step->callback([&ctx, text, json] { run_step(ctx, *text, *json); });

    auto r = std::make_shared<ReturnArgs>();
    CLI::App* ret = app.add_subcommand("return", "Sidereal solar return: the Sun back at its birth longitude");
    add_birth_options(ret, r->birth);
    ret->add_option("--age", r->age, "Age in years (0: the birth itself)")->required();
    ret->add_flag("--movable", r->movable, "In the movable zodiac (default: the fixed one)");
    ret->add_option("--title", r->title, "Name of the return chart (default: the birth's); \"SR\" is added");
    auto* at_lon = ret->add_option("--at-lon", r->at_lon, "Longitude of the place of the return");
    auto* at_lat = ret->add_option("--at-lat", r->at_lat, "Latitude of the place of the return");
    auto* at_city = ret->add_option("--at-city", r->at_city, "City of the return (from the atlas without --at-lon)");
    ret->add_option("--at-county", r->at_county, "County of the return's city");
    ret->add_option("--at-state", r->at_state, "State of the return's city");
    ret->add_option("--at-country", r->at_country, "Country of the return's city");
    auto* at_my_city = ret->add_flag("--at-my-city", r->at_my_city, "The options' \"My city\"");
    at_my_city->excludes(at_lon)->excludes(at_lat)->excludes(at_city);
    ret->add_flag("--json", r->json, "JSON output");
    auto* save = ret->add_option("--save", r->save_path, "Save the return's horoscope file (default name without FILE)")
                     ->expected(0, 1);
    add_report_options(*ret, r->report);
    ret->add_option("--wheel", r->wheel.file, "Draw the return's wheel into FILE (.png, .svg or .pdf)");
    ret->add_option("--size", r->wheel.size, "Wheel size in pixels, WIDTHxHEIGHT (default 800x800)");
    ret->callback([r, save, &ctx] {
        r->save = save->count() > 0;
        ctx.exit_code = run_return(*r, ctx);
    });

    auto t = std::make_shared<TransitsArgs>();
    CLI::App* tr = app.add_subcommand("transits", "Every exact aspect of the transiting bodies to the birth chart");
    add_birth_options(tr, t->birth);
    tr->add_option("--from", t->from, "Start of the window, universal date-hour")->required();
    tr->add_option("--to", t->to, "End of the window, universal date-hour")->required();
    tr->add_option("--bodies", t->bodies, "Transiting bodies, e.g. \"Sun,Mars,Saturn\" (default: Sun to Pluto)");
    tr->add_option("--points", t->points, "Natal points, e.g. \"Sun,Moon,AS,MH\" (default: the ten planets, AS, MH)");
    tr->add_option("--aspects", t->aspects, "Aspects of the table, e.g. \"Conjunction,Square\" (default: all)");
    tr->add_flag("--json", t->json, "JSON output");
    tr->callback([t, &ctx] { ctx.exit_code = run_transits(*t, ctx); });
}

void add_step_options(CLI::App& chart, ChartSteps& steps, CLI::Option* outside_ut) {
    chart.add_option("--step", steps.step, "With --outside-ut: move the outside chart by this step, e.g. \"15 MN\"")
        ->needs(outside_ut);
    chart.add_option("--count", steps.count, "Number of outside charts with --step (default 1)")
        ->check(CLI::Range(1, 1000000));
}

int run_chart_steps(const ChartSteps& steps, const std::string& outside_ut, const WheelArgs& wheel_args,
                    const std::optional<WheelRequest>& wheel, BirthChart& chart, bool json, CliContext& ctx) {
    const std::optional<double> minutes = parse_step(steps.step);
    if (!minutes) {
        ctx.fail(kExitBadInput, str(Str::MovingBadValue), str(Str::MovingsCaption), MessageIcon::Warning);
        return ctx.exit_code;
    }
    if (wheel && !frame_file(wheel_args.file, 0)) {
        ctx.fail(kExitBadInput, str(Str::MovingsBadFramePattern) + " " + wheel_args.file);
        return ctx.exit_code;
    }
    const std::optional<DateHour> start = parse_birth_date(ctx, outside_ut);
    if (!start) return ctx.exit_code;
    const Horoscope& inside = *chart.horoscope;
    BirthData moment = chart.data;
    moment.ut = *start;
    moment.local = *start;
    if (!set_julian_day_ut(moment.local, start->jd_ut - chart.correction_hours / 24.0)) moment.local = DateHour{};
    Horoscope outside;
    outside.aspect_table = inside.aspect_table;
    for (int n = 0; n < steps.count; ++n) {
        const bool computed =
            n == 0 ? set_and_compute(outside, moment, true, chart.options, *ctx.messages, *chart.workers, *chart.library)
                   : shift_time(outside, *minutes, *ctx.messages, *chart.workers, *chart.library);
        if (!computed) return ctx.exit_code = kExitFailure;
        const std::vector<CrossAspect> aspects = cross_aspects(outside, inside, chart.settings->aspects.rows);
        if (json)
            std::cout << step_json(outside, aspects).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                      << "\n";
        else
            print_step_text(outside, aspects);
        if (!wheel) continue;
        if (int code = write_wheel(*frame_file(wheel_args.file, n), *wheel, inside, &outside, chart.settings->aspects,
                                   chart.settings->private_dir, ctx);
            code != kExitOk)
            return code;
    }
    return kExitOk;
}

}  // namespace tellurim
