// tellurim chart: computes one horoscope with the stored options (overridden per run by the
// flags) and prints everything the pipeline fills, as text or as JSON.
#include <cmath>
#include <fmt/format.h>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli.h"
#include "app/cli_chart.h"
#include "app/cli_db.h"
#include "app/cli_common.h"
#include "app/cli_hindu.h"
#include "app/cli_script.h"
#include "app/cli_settings.h"
#include "app/cli_strengths.h"
#include "app/cli_transits.h"
#include "app/cli_wheel.h"
#include "app/cli_stars.h"
#include "app/json_util.h"
#include "astro/chart_grids.h"
#include "astro/compute.h"
#include "astro/lunations.h"
#include "astro/planets_signs.h"
#include "sky/ayanamsa.h"
#include "core/birth_input.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "sky/houses.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "base/strings.h"
#include "base/text.h"
#include "core/worker_threads.h"
#include "files/cities.h"
#include "files/horoscope_export.h"
#include "files/horoscope_file.h"
#include "files/hindu_aspects_file.h"
#include "files/host_identity.h"
#include "report/report_file.h"
#include "report/results_report.h"

namespace tellurim {

std::string_view ephemeris_display_name(int type) {
    switch (type) {
        case kEphemerisLow: return text(Str::EphemerisLowName);
        case kEphemerisBdl: return text(Str::EphemerisBdlName);
        case kEphemerisJpl: return text(Str::EphemerisJplName);
        default: return text(Str::UnknownEphemerisType);
    }
}

namespace {

struct ChartArgs {
    BirthArgs birth;
    double star_orb = 1.0;
    bool json = false;
    SectionArgs sections;    // --sections, --no-stars, --print
    bool save = false;       // --save given
    std::string save_path;   // its file; empty: the default name in the horoscopes directory
    bool save_line = false;  // --save-line: append to the options' horoscope save file
    bool save_db = false;    // --save-db: insert into the database of the options
    bool no_save_db = false; // --no-save-db: not even when the options say so by default
    WheelArgs wheel;             // --wheel, --size, --outside
    std::string outside_ut;      // a second moment at the same place, superposed outside
    ReportRequest report;        // --report FILE, --format
    ChartSteps steps;            // --step, --count: the outside chart moved step by step
    bool interpret = false;      // --interpret: the interpretation script's reading after the chart
};

std::string date_text(const DateHour& d) { return format_date_hour(d); }

const char* sex_letter(std::uint8_t sex) { return sex == kMan ? "M" : sex == kWoman ? "F" : "N"; }

// --- what the chart prints, shared by the text and the JSON forms ---------------------------

std::string longitude_text(const PlanetPosition& p) {
    if (!p.longitude.is_finite()) return format_angle(p.longitude);
    return format_sign_longitude(p.longitude.to_degrees());
}

std::string latitude_text(const PlanetPosition& p) {
    if (!p.latitude.is_finite()) return format_angle(p.latitude);
    return format_sexagesimal(p.latitude.to_degrees(), false);
}

std::string cusp_text(const HouseCusp& c) {
    if (c.index < 0 || !c.longitude.is_finite()) return format_angle(c.longitude);
    return format_sign_longitude(c.longitude.to_degrees());
}


struct Provenance {
    std::array<std::string, 3> infos;
    int type = -1;
    double delta_t_seconds = kInfinity;
    std::optional<ProviderRange> range;  // the span the provider states for its positions
    std::string range_warning;           // empty when the birth lies within it
    std::string place_source;            // empty when not known (a horoscope file)
    std::string offset_source;
};

nlohmann::json range_json(const Provenance& prov) {
    if (!prov.range) return nullptr;
    return {{"first", prov.range->first},
            {"last", prov.range->last},
            {"first_jd_et", json_number(prov.range->first_jd_et)},
            {"last_jd_et", json_number(prov.range->last_jd_et)}};
}

struct ChartStars {
    const StarCatalogue* catalogue = nullptr;  // null when the catalogue did not load
    std::vector<PlanetStarConjunction> conjunctions;
    double orb_deg = 1.0;
};

// A sunrise or sunset that does not occur on the birth day (polar day or night) prints as
// "none" with the reason, and is null in JSON.
std::string sun_polar_text(SunPolar polar) {
    return str(polar == SunPolar::PolarDay ? Str::SunPolarDay : Str::SunPolarNight);
}

// The local mean time of a sunrise or sunset as its text; null when the Sun does not rise or set.
nlohmann::json sun_lmt_json(const DateHour& d) {
    if (!is_valid(d)) return nullptr;
    return date_text(d);
}

nlohmann::json sun_moment_json(const DateHour& d) {
    if (!is_valid(d)) return nullptr;
    return {{"text", date_text(d)}, {"jd_ut", json_number(d.jd_ut)}};
}

nlohmann::json angle_json(const AngleValue& a) {
    return {{"text", format_angle(a)}, {"deg", a.is_angle() ? json_number(a.to_degrees()) : nlohmann::json(nullptr)}};
}

nlohmann::json moment_json(const DateHour& d) {
    return {{"text", date_text(d)}, {"jd_ut", json_number(d.jd_ut)}, {"jd_et", json_number(d.jd_et)}};
}

// The values that only the results report prints, beside the keys above: the aspect grids,
// the qualities of the Hindu sign aspects, each planet's share of the total strength and the
// horizon of the stars.
void add_report_json(nlohmann::json& j, const Horoscope& h, const ReportSources& report) {
    const AspectGrids grids = aspect_grids(h);
    auto grid_json = [](const GridValues& g) {
        nlohmann::json rows = nlohmann::json::array();
        for (const auto& row : g) {
            nlohmann::json r = nlohmann::json::array();
            for (double v : row) r.push_back(json_number(v));
            rows.push_back(r);
        }
        return rows;
    };
    nlohmann::json names = nlohmann::json::array();
    for (int p = 0; p < kGridPlanets; ++p) names.push_back(std::string(planet_name(p)));
    j["aspect_grids"] = {{"planets", names},
                         {"distance_deg", grid_json(grids.distance_deg)},
                         {"angle_deg", grid_json(grids.angle_deg)},
                         {"orb_deg", grid_json(grids.orb_deg)},
                         {"opacity", grid_json(grids.opacity)}};

    const HinduAspectTable defaults = default_hindu_aspects();
    const HinduAspectTable& table = report.hindu_aspects ? *report.hindu_aspects : defaults;
    nlohmann::json rasi = nlohmann::json::array();
    nlohmann::json navamsa = nlohmann::json::array();
    for (int a = 0; a < kPlanetRows; ++a) {
        nlohmann::json r = nlohmann::json::array();
        nlohmann::json n = nlohmann::json::array();
        for (int b = 0; b < kPlanetRows; ++b) {
            const std::int8_t qr = hindu_aspect_quality(table, h, a, b, false);
            const std::int8_t qn = hindu_aspect_quality(table, h, a, b, true);
            r.push_back(qr == kNoAspectQuality ? nlohmann::json(nullptr) : nlohmann::json(qr));
            n.push_back(qn == kNoAspectQuality ? nlohmann::json(nullptr) : nlohmann::json(qn));
        }
        rasi.push_back(r);
        navamsa.push_back(n);
    }
    j["hindu"]["aspect_qualities"] = {{"rasi", rasi}, {"navamsa", navamsa}};

    double sum = 0.0;
    for (const PlanetStrength& row : h.strengths.planets)
        if (std::isfinite(row.total)) sum += row.total;
    nlohmann::json shares = nlohmann::json::array();
    for (const PlanetStrength& row : h.strengths.planets)
        shares.push_back(sum > 0.0 && std::isfinite(row.total) ? json_number(100.0 * row.total / sum) : nullptr);
    j["strengths"]["share_percent"] = shares;

    nlohmann::json stars = nlohmann::json::array();
    if (report.stars)
        for (const StarHorizon& s : star_horizon(*report.stars, h)) {
            const StarRecord& r = report.stars->stars[static_cast<std::size_t>(s.star)];
            stars.push_back({{"star", r.name}, {"comment", r.comment}, {"azimuth", angle_json(s.azimuth)},
                             {"elevation", angle_json(s.elevation)}});
        }
    j["star_horizon"] = stars;
}

nlohmann::json print_json(const Horoscope& h, double eps, const AngleValue& aya, const Provenance& prov,
                          const ChartStars& stars, const ReportSources& report) {
    nlohmann::json positions;
    const std::pair<const char*, const PositionTable*> tables[] = {
        {"geocentric_movable", &h.geo_movable},
        {"geocentric_fixed", &h.geo_fixed},
        {"heliocentric_movable", &h.helio_movable},
        {"heliocentric_fixed", &h.helio_fixed},
    };
    for (const auto& [key, table] : tables) {
        nlohmann::json rows = nlohmann::json::array();
        for (int p = 0; p < kPlanetRows; ++p) {
            const PlanetPosition& r = table->at(p);
            rows.push_back({{"planet", p},
                            {"name", std::string(planet_name(p))},
                            {"valid", r.is_valid()},
                            {"longitude", longitude_text(r)},
                            {"longitude_deg", r.longitude.is_angle() ? json_number(r.longitude.to_degrees()) : nullptr},
                            {"latitude", latitude_text(r)},
                            {"latitude_deg", r.latitude.is_angle() ? json_number(r.latitude.to_degrees()) : nullptr},
                            {"distance", json_number(r.distance.value)},
                            {"sign", std::string(sign_name(sign_of_longitude(r.longitude)))},
                            {"retrograde", r.retrograde != 0}});
        }
        positions[key] = rows;
    }
    nlohmann::json houses = nlohmann::json::array();
    for (int i = 0; i < kHouseCount; ++i) {
        const auto& m = h.houses_movable[static_cast<std::size_t>(i)];
        const auto& f = h.houses_fixed[static_cast<std::size_t>(i)];
        houses.push_back({{"house", std::string(house_roman(i + 1))},
                          {"movable", cusp_text(m)},
                          {"movable_deg", m.longitude.is_angle() ? json_number(m.longitude.to_degrees()) : nullptr},
                          {"fixed", cusp_text(f)},
                          {"fixed_deg", f.longitude.is_angle() ? json_number(f.longitude.to_degrees()) : nullptr}});
    }
    nlohmann::json equatorial = nlohmann::json::array();
    nlohmann::json horizontal = nlohmann::json::array();
    for (int p = 0; p < kPlanetRows; ++p) {
        const auto& e = h.equatorial[static_cast<std::size_t>(p)];
        const auto& z = h.horizontal[static_cast<std::size_t>(p)];
        equatorial.push_back({{"planet", p},
                              {"name", std::string(planet_name(p))},
                              {"right_ascension", format_signed_angle(e.right_ascension, true)},
                              {"right_ascension_deg",
                               e.right_ascension.is_angle() ? json_number(e.right_ascension.to_degrees()) : nullptr},
                              {"declination", angle_json(e.declination)}});
        horizontal.push_back({{"planet", p},
                              {"name", std::string(planet_name(p))},
                              {"azimuth", angle_json(z.azimuth)},
                              {"elevation", angle_json(z.elevation)}});
    }
    nlohmann::json aspects = nlohmann::json::array();
    for (const FoundAspect& x : h.aspects)
        aspects.push_back({{"a", std::string(planet_name(x.a))},
                           {"b", std::string(planet_name(x.b))},
                           {"name", x.name},
                           {"angle_deg", json_number(x.angle_deg)},
                           {"orb_deg", json_number(x.orb_deg)},
                           {"separation_deg", json_number(x.separation_deg)},
                           {"opacity", x.opacity}});
    nlohmann::json house_aspects = nlohmann::json::array();
    for (const FoundHouseAspect& x : h.house_aspects)
        house_aspects.push_back({{"planet", std::string(planet_name(x.planet))},
                                 {"house", x.house},
                                 {"name", x.name},
                                 {"separation_deg", json_number(x.separation_deg)}});
    nlohmann::json star_rows = nlohmann::json::array();
    for (const PlanetStarConjunction& c : stars.conjunctions)
        star_rows.push_back({{"planet", std::string(planet_name(c.planet))},
                             {"star", stars.catalogue->stars[static_cast<std::size_t>(c.star)].name},
                             {"distance_deg", json_number(c.distance_deg)}});
    const LunationRecord& l = h.lunation;
    nlohmann::json j = {
        {"person",
         {{"last_name", h.last_name}, {"first_name", h.first_name}, {"sex", sex_letter(h.sex)}}},
        {"time",
         {{"local", date_text(h.birth_local)},
          {"ut", date_text(h.birth_ut)},
          {"jd_ut", json_number(h.birth_ut.jd_ut)},
          {"jd_et", json_number(h.birth_ut.jd_et)},
          {"delta_t_seconds", json_number((h.birth_ut.jd_et - h.birth_ut.jd_ut) * 86400.0)},
          {"sidereal_time", format_angle(AngleValue::hours(h.local_sidereal_time.to_hours()))},
          {"sidereal_time_hours", json_number(h.local_sidereal_time.to_hours())},
          {"obliquity", format_sexagesimal(radians_to_degrees(eps), false)},
          {"obliquity_deg", json_number(radians_to_degrees(eps))},
          {"ayanamsa", format_signed_angle(aya, false)},
          {"ayanamsa_deg", aya.is_angle() ? json_number(aya.to_degrees()) : nullptr}}},
        {"place",
         {{"city", h.place.city},
          {"county", h.place.county},
          {"state", h.state},
          {"country", h.country},
          {"longitude", format_angle(h.place.longitude)},
          {"latitude", format_angle(h.place.latitude)},
          {"longitude_deg", json_number(h.place.longitude.to_degrees())},
          {"latitude_deg", json_number(h.place.latitude.to_degrees())}}},
        {"positions", positions},
        {"houses", {{"system", std::string(house_system_name(h.options.astro.house_system))}, {"cusps", houses}}},
        {"equatorial", equatorial},
        {"horizontal", horizontal},
        {"sun",
         {{"sunrise", sun_moment_json(h.sun.sunrise)},
          {"sunset", sun_moment_json(h.sun.sunset)},
          {"sunrise_local_mean_time", sun_lmt_json(local_mean_time(h.sun.sunrise, h.place.longitude))},
          {"sunset_local_mean_time", sun_lmt_json(local_mean_time(h.sun.sunset, h.place.longitude))},
          {"reason", h.sun.polar == SunPolar::None ? nlohmann::json(nullptr) : nlohmann::json(sun_polar_text(h.sun.polar))},
          {"planetary_hour", h.sun.planetary_hour}}},
        {"lunation",
         {{"new_moon", moment_json(l.new_moon)},
          {"first_quarter", moment_json(l.first_quarter)},
          {"full_moon", moment_json(l.full_moon)},
          {"last_quarter", moment_json(l.last_quarter)},
          {"next_new_moon", moment_json(l.next_new_moon)},
          {"lunar_day", l.lunar_day},
          {"eclipses",
           {{"new_moon", eclipse_text(l.new_moon_eclipse)},
            {"full_moon", eclipse_text(l.full_moon_eclipse)},
            {"next_new_moon", eclipse_text(l.next_new_moon_eclipse)}}}}},
        {"aspects", aspects},
        {"house_aspects", house_aspects},
        {"stars", star_rows},
        {"provenance",
         {{"ephemeris_library", std::string(ephemeris_file_name(prov.type))},
          {"ephemeris_name", std::string(ephemeris_display_name(prov.type))},
          {"ephemeris_infos", prov.infos},
          {"ephemeris_type", std::string(ephemeris_type_name(prov.type))},
          {"lunar_node", h.options.ephemeris.true_node ? "true" : "mean"},
          {"delta_t_seconds", json_number(prov.delta_t_seconds)},
          {"valid_range", range_json(prov)},
          {"range_warning", prov.range_warning.empty() ? nlohmann::json(nullptr) : nlohmann::json(prov.range_warning)},
          {"house_system", std::string(house_system_name(h.options.astro.house_system))},
          {"zero_date", date_text(h.options.astro.zero_date)},
          {"zero_date_jd_et", json_number(h.options.astro.zero_date.jd_et)}}},
    };
    if (!prov.place_source.empty()) {
        j["provenance"]["place_source"] = prov.place_source;
        j["provenance"]["offset_source"] = prov.offset_source;
    }
    j["time"]["et_date"] = date_text(date_hour_from_ut(h.birth_ut.jd_et));
    j["hindu"] = hindu_json(h);
    j["strengths"] = strengths_json(h);
    j["ashtakavarga"] = ashtakavarga_json(h);
    add_report_json(j, h, report);
    return j;
}

// Keeps the top-level keys of the chosen sections.
void keep_json_sections(nlohmann::json& j, ReportSections sections) {
    static const std::pair<const char*, ReportSection> kKeys[] = {
        {"person", ReportSection::Birth},          {"time", ReportSection::Birth},
        {"place", ReportSection::Birth},           {"provenance", ReportSection::Birth},
        {"positions", ReportSection::Positions},   {"equatorial", ReportSection::Positions},
        {"houses", ReportSection::Houses},         {"aspects", ReportSection::Houses},
        {"house_aspects", ReportSection::Houses},  {"aspect_grids", ReportSection::Houses},
        {"sun", ReportSection::Sun},               {"lunation", ReportSection::Sun},
        {"strengths", ReportSection::Strengths},   {"hindu", ReportSection::Hindu},
        {"ashtakavarga", ReportSection::Ashtakavarga}, {"horizontal", ReportSection::Horizon},
        {"stars", ReportSection::Stars},           {"star_horizon", ReportSection::Stars},
    };
    for (const auto& [key, section] : kKeys)
        if ((sections & section_bit(section)) == 0) j.erase(key);
}

}  // namespace

void add_section_options(CLI::App& command, SectionArgs& args) {
    command.add_option("--sections", args.sections,
                       "Sections of the report to print (and to write with --report), separated by commas: birth, "
                       "positions, houses, sun, strengths, hindu, ashtakavarga, horizon, stars, or all");
    command.add_flag("--no-stars", args.no_stars, "Leave out the stars section (the horizon of every catalogue star)");
    command.add_flag("--print", args.print, "Print the chart even when --save, --wheel or --report writes it elsewhere");
}

std::optional<ChartOutput> chart_output(bool json, double star_orb, const ReportRequest& report,
                                        const SectionArgs& a, bool writes_files, CliContext& ctx) {
    ChartOutput out;
    out.json = json;
    out.star_orb = star_orb;
    out.report = report;
    if (!a.sections.empty() && trim(a.sections) != "all") {
        out.sections = 0;
        for (std::string_view item : split_tokens(a.sections, ",")) {
            const auto s = report_section_from_name(trim(item));
            if (!s) {
                ctx.fail(kExitBadInput, str(Str::ChartUnknownSection) + " " + std::string(trim(item)),
                         str(Str::CaptionBadInput), MessageIcon::Warning);
                return std::nullopt;
            }
            out.sections |= section_bit(*s);
        }
    }
    if (a.no_stars) out.sections &= ~section_bit(ReportSection::Stars);
    out.print = !writes_files || json || a.print || !a.sections.empty() || a.no_stars;
    return out;
}

namespace {

// What the report and the JSON of a chart are made from. It holds the catalogue and the Hindu
// aspects that its sources point to, so it stays where it is made.
struct ChartMaterial {
    double eps = 0.0;
    AngleValue aya;
    Provenance prov;
    StarCatalogue catalogue;
    ChartStars stars;
    HinduAspectsLoad hindu_aspects;
    ReportSources sources;
};

void gather_chart_material(ChartMaterial& m, const Horoscope& h, const EphemerisLibrary& library,
                           const ChartOutput& output, const std::string& private_dir, MessageSink& messages) {
    m.eps = mean_obliquity(h.birth_ut.jd_et, h.birth_ut.jd_et);
    m.aya = ayanamsa(h.birth_ut.jd_et, h.options.astro.zero_date.jd_et);
    m.prov.infos = library.infos();
    m.prov.type = library.is_loaded() ? library.type() : h.options.ephemeris.type;
    m.prov.delta_t_seconds = (h.birth_ut.jd_et - h.birth_ut.jd_ut) * 86400.0;
    m.prov.range = provider_range(library);
    m.prov.range_warning = provider_range_warning(m.prov.range, h.birth_ut.jd_et);
    m.prov.place_source = output.place_source;
    m.prov.offset_source = output.offset_source;
    // The stars within the orb of each planet; without a catalogue the chart goes on without.
    m.stars.orb_deg = output.star_orb;
    if (load_cli_stars(h.options, m.catalogue, messages)) {
        m.stars.catalogue = &m.catalogue;
        m.stars.conjunctions = planet_star_conjunctions(m.catalogue, h, output.star_orb);
    } else if (!h.options.paths.stars_file.empty()) {
        messages.tell(std::string(trim(text(Str::StarsConjunctionWarning))), str(Str::StarsCaption),
                      MessageIcon::Warning);
    }
    m.hindu_aspects = load_hindu_aspects(private_dir, messages);
    m.sources = ReportSources{std::string(ephemeris_display_name(m.prov.type)), &m.hindu_aspects.table,
                              m.stars.catalogue ? &m.catalogue : nullptr, output.sections};
}

}  // namespace

nlohmann::json chart_json(const Horoscope& h, const EphemerisLibrary& library, const ChartOutput& output,
                          const std::string& private_dir, CliContext& ctx) {
    ChartMaterial m;
    gather_chart_material(m, h, library, output, private_dir, *ctx.messages);
    nlohmann::json j = print_json(h, m.eps, m.aya, m.prov, m.stars, m.sources);
    keep_json_sections(j, output.sections);
    return j;
}

int print_chart(const Horoscope& h, const EphemerisLibrary& library, const ChartOutput& output,
                const std::string& private_dir, CliContext& ctx) {
    const ReportRequest& request = output.report;
    MessageSink& messages = *ctx.messages;
    ChartMaterial m;
    gather_chart_material(m, h, library, output, private_dir, messages);
    const ReportSources& sources = m.sources;
    const DocStyle style = doc_style_from_options(h.options);
    const FixedMeasure96 device;
    if (output.print && output.json) {
        nlohmann::json j = print_json(h, m.eps, m.aya, m.prov, m.stars, sources);
        keep_json_sections(j, output.sections);
        std::cout << json_text(j) << "\n";
    } else if (output.print) {
        std::string report;
        (void)write_results_report(h, sources, kDocUnixText, style, device, report);
        std::cout << report;
    }
    if (request.path.empty()) return kExitOk;

    const ConvertTarget target = report_target(request);
    std::string document;
    if (!write_results_report(h, sources, target.format, style, device, document)) {
        ctx.fail(kExitFailure, str(Str::ReportCannotCreate));
        return ctx.exit_code;
    }
    switch (write_document_file(target.path, target.format, document, messages)) {
        case FileWrite::Written:
            std::cerr << text(Str::ReportWritten) << " " << target.path << "\n";
            return kExitOk;
        case FileWrite::Cancelled: return kExitFailure;
        case FileWrite::Failed: return kExitFailure;
    }
    return kExitFailure;
}

int print_invalid_chart(const BirthChart& chart, bool json, const ReportRequest& request, CliContext& ctx) {
    if (json && request.path.empty()) return ctx.exit_code;
    ChartOutput output;
    output.star_orb = 0.0;
    output.report = request;
    output.print = request.path.empty();
    const int code = print_chart(*chart.horoscope, *chart.library, output, chart.settings->private_dir, ctx);
    return code != kExitOk ? code : kExitFailure;
}

ConvertTarget report_target(const ReportRequest& request) {
    // As "Convert to": the entry chosen (the first without --format) and the file's extension
    // decide the format.
    const int entry = request.format.empty() ? kConvertRtf : convert_entry_from_name(request.format);
    return convert_target(request.path, entry);
}

void add_report_options(CLI::App& command, ReportRequest& request) {
    auto* report = command.add_option(
        "--report", request.path, "Write the results report to FILE (.rtf, .html or .txt; no extension: as --format says)");
    command.add_option("--format", request.format,
                       "Format of --report: rtf, rtf-word, html, dos-txt or txt (default: the file's extension)")
        ->check(CLI::IsMember({"rtf", "rtf-word", "html", "dos-txt", "txt"}))
        ->needs(report);
}

namespace {

// The wheel of `h` with, superposed outside it, the horoscope of --outside or the same place
// at the moment of --outside-ut ("now" for the present moment). The side panel names the
// outside chart as it was given: the file's person, "Transit", or "Now".
int write_chart_wheel(const ChartArgs& a, const WheelRequest& request, const BirthData& data, double correction,
                      const Horoscope& h, const CliSettings& settings, EphemerisLibrary& library,
                      WorkerThreads& workers, CliContext& ctx) {
    std::unique_ptr<Horoscope> outside;
    if (!a.wheel.outside.empty()) {
        outside = read_outside_horoscope(horoscope_file_path(a.wheel.outside, settings.horoscopes_dir), h, library,
                                         workers, ctx);
        if (!outside) return ctx.exit_code;
    } else if (!a.outside_ut.empty()) {
        const bool now = trim(a.outside_ut) == "now";
        std::optional<DateHour> ut = now ? now_ut() : parse_birth_date(ctx, a.outside_ut);
        if (!ut) return ctx.exit_code;
        BirthData moment = data;
        moment.last_name = str(now ? Str::ChartNowName : Str::ChartTransitName);
        moment.first_name.clear();
        moment.ut = *ut;
        moment.local = *ut;
        if (!set_julian_day_ut(moment.local, ut->jd_ut - correction / 24.0)) moment.local = DateHour{};
        outside = std::make_unique<Horoscope>();
        outside->aspect_table = h.aspect_table;
        if (!set_and_compute(*outside, moment, true, h.options, *ctx.messages, workers, library)) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
    }
    return write_wheel(a.wheel.file, request, h, outside.get(), settings.aspects, settings.private_dir, ctx);
}

int run_chart(const ChartArgs& a, CliContext& ctx) {
    const std::optional<WheelRequest> wheel = check_wheel_args(a.wheel, ctx);
    if (ctx.exit_code != kExitOk) return ctx.exit_code;
    if (!check_output_paths({a.save_path, a.report.path.empty() ? "" : report_target(a.report).path}, ctx))
        return ctx.exit_code;
    const bool writes_files = a.save || a.save_line || a.save_db || wheel || !a.report.path.empty();
    std::optional<ChartOutput> output = chart_output(a.json, a.star_orb, a.report, a.sections, writes_files, ctx);
    if (!output) return ctx.exit_code;

    auto chart = compute_birth_chart(a.birth, ctx, true);
    if (!chart) return ctx.exit_code;
    output->place_source = chart->place_source;
    output->offset_source = chart->offset_source;
    if (!chart->valid) return print_invalid_chart(*chart, a.json, a.report, ctx);
    Horoscope& h = *chart->horoscope;
    const Options& options = chart->options;
    if (a.save) {
        std::string path =
            a.save_path.empty() ? default_horoscope_file_name(h, chart->settings->horoscopes_dir) : a.save_path;
        // An existing file is kept when the user answers no, as --report does.
        if (save_horoscope(h, path, *ctx.messages) != SaveStatus::Saved) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
        ctx.messages->tell(path, str(Str::HoroFileSaved), MessageIcon::Information);
    }
    // The new-chart dialog's two boxes: the save file, and the database (checked by default
    // when the options say so).
    if (a.save_line) {
        if (!append_to_save_file(h, options.paths.save_file, *ctx.messages)) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
        std::cerr << text(Str::SaveLineAppended) << " " << options.paths.save_file << "\n";
    }
    if (a.save_db || (options.database.default_save_to_db && !a.no_save_db)) {
        auto target = db_target(DbArgs{}, *chart->settings, ctx);
        if (!target || !save_to_database(h, *target, *ctx.messages)) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
        std::cerr << text(Str::SaveDbDone) << "\n";
    }
    if (!a.steps.step.empty())
        return run_chart_steps(a.steps, a.outside_ut, a.wheel, wheel, *chart, a.json, ctx);
    if (int code = print_chart(h, *chart->library, *output, chart->settings->private_dir, ctx); code != kExitOk)
        return code;
    if (wheel) {
        if (int code = write_chart_wheel(a, *wheel, chart->data, chart->correction_hours, h, *chart->settings,
                                         *chart->library, *chart->workers, ctx);
            code != kExitOk)
            return code;
    }
    if (a.interpret) return run_interpretation(h, options, ctx);
    return kExitOk;
}

}  // namespace

void register_chart_commands(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<ChartArgs>();
    CLI::App* chart = app.add_subcommand("chart", "Compute one horoscope and print it");
    add_birth_options(chart, args->birth);
    chart->add_flag("--geocode", args->birth.geocode,
                    "Take the place (and, with --local, the universal time) from the online geocoding service; "
                    "the atlas when the service gives none");
    chart->add_option("--star-orb", args->star_orb, "Orb of the star conjunctions in degrees (default 1)")
        ->check(CLI::Range(0.0, 180.0));
    auto* json = chart->add_flag("--json", args->json, "JSON output");
    add_section_options(*chart, args->sections);
    auto* save = chart->add_option("--save", args->save_path,
                                   "Save the horoscope file (default: LAST_FIRST.xml in the horoscopes directory)")
                     ->expected(0, 1);
    chart->add_flag("--save-line", args->save_line, "Append the horoscope's line to the options' horoscope save file");
    chart->add_flag("--save-db", args->save_db, "Insert the horoscope into the options' database");
    chart->add_flag("--no-save-db", args->no_save_db, "Do not insert it, even when the options say so by default");
    CLI::Option* outside = add_wheel_options(*chart, args->wheel);
    auto* outside_ut = chart->add_option("--outside-ut", args->outside_ut,
                                         "Superpose outside the wheel the same place at this universal date-hour, or \"now\" (transits)")
                           ->excludes(outside);
    add_step_options(*chart, args->steps, outside_ut);
    add_report_options(*chart, args->report);
    chart->add_flag("--interpret", args->interpret, "Then print the reading of the interpretation script (interpre.tcl)")
        ->excludes(json);
    chart->callback([args, save, &ctx] {
        args->save = save->count() > 0;
        ctx.exit_code = run_chart(*args, ctx);
    });
}

}  // namespace tellurim
