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
#include "app/cli_settings.h"
#include "app/cli_strengths.h"
#include "app/cli_stars.h"
#include "app/json_util.h"
#include "astro/compute.h"
#include "astro/lunations.h"
#include "astro/planets_signs.h"
#include "core/ayanamsa.h"
#include "core/birth_input.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "core/houses.h"
#include "core/sidereal.h"
#include "core/spherical.h"
#include "core/strings.h"
#include "core/text.h"
#include "core/worker_threads.h"
#include "draw/wheel_chart.h"
#include "draw/wheel_render.h"
#include "files/cities.h"
#include "files/horoscope_export.h"
#include "files/horoscope_file.h"
#include "files/host_identity.h"

namespace tellurim {
namespace {

struct ChartArgs {
    BirthArgs birth;
    double star_orb = 1.0;
    bool json = false;
    bool save = false;       // --save given
    std::string save_path;   // its file; empty: the default name in the horoscopes directory
    bool save_line = false;  // --save-line: append to the options' horoscope save file
    bool save_db = false;    // --save-db: insert into the database of the options
    bool no_save_db = false; // --no-save-db: not even when the options say so by default
    std::string wheel;           // PNG, SVG or PDF file of the chart wheel
    std::string wheel_size = "800x800";
    std::string outside_ut;      // a second moment at the same place, superposed outside
};

std::string_view ephemeris_display_name(int type) {
    switch (type) {
        case kEphemerisLow: return text(Str::EphemerisLowName);
        case kEphemerisBdl: return text(Str::EphemerisBdlName);
        case kEphemerisJpl: return text(Str::EphemerisJplName);
        default: return text(Str::UnknownEphemerisType);
    }
}

std::string date_text(const DateHour& d) { return format_date_hour(d); }

// The same moment on the clock of the place's mean solar time: UT + longitude (east positive).
DateHour local_mean_time(const DateHour& ut, const AngleValue& longitude) {
    DateHour lmt = ut;
    if (!is_valid(ut) || !longitude.is_angle() || !set_julian_day_ut(lmt, ut.jd_ut + longitude.to_hours() / 24.0))
        return DateHour{};
    return lmt;
}

const char* sex_letter(std::uint8_t sex) { return sex == kMan ? "M" : sex == kWoman ? "F" : "N"; }

// --- what the chart prints, shared by the text and the JSON forms ---------------------------

struct PositionTableView {
    Str title;
    const PositionTable* table;
};

std::string longitude_text(const PlanetPosition& p) {
    if (!p.longitude.is_finite()) return format_angle(p.longitude);
    return format_sign_longitude(p.longitude.to_degrees());
}

std::string latitude_text(const PlanetPosition& p) {
    if (!p.latitude.is_finite()) return format_angle(p.latitude);
    return format_sexagesimal(p.latitude.to_degrees(), false);
}

std::string planet_cell(int planet, const PlanetPosition& p) {
    std::string s(planet_name(planet));
    if (p.retrograde) s += text(Str::ChartRetrograde);
    return s;
}

std::string cusp_text(const HouseCusp& c) {
    if (c.index < 0 || !c.longitude.is_finite()) return format_angle(c.longitude);
    return format_sign_longitude(c.longitude.to_degrees());
}

std::string ra_text(const AngleValue& ra) {
    if (!ra.is_angle()) return format_angle(ra);
    return format_sexagesimal(ra.to_hours(), true);
}

std::string deg_text(const AngleValue& a) {
    if (!a.is_angle()) return format_angle(a);
    return format_sexagesimal(a.to_degrees(), false);
}

struct Provenance {
    std::array<std::string, 3> infos;
    int type = -1;
    double delta_t_seconds = kInfinity;
    std::optional<ProviderRange> range;  // the span the provider states for its positions
    std::string range_warning;           // empty when the birth lies within it
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

std::string sun_moment_text(const SunRecord& sun, const DateHour& d) {
    if (is_valid(d) || sun.polar == SunPolar::None) return date_text(d);
    return str(Str::SunNone) + " (" + sun_polar_text(sun.polar) + ")";
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

void print_text(const Horoscope& h, double eps, const AngleValue& aya, const Provenance& prov, const ChartStars& stars) {
    auto line = [](auto&&... parts) {
        ((std::cout << parts), ...);
        std::cout << "\n";
    };
    line(h.last_name, h.first_name.empty() ? "" : " ", h.first_name, " (", sex_letter(h.sex), ")");
    line(text(Str::ChartBirthLocal), date_text(h.birth_local));
    line(text(Str::ChartBirthUt), date_text(h.birth_ut));
    std::string place = h.place.city;
    for (const std::string* part : {&h.state, &h.place.county, &h.country})
        if (!part->empty()) place += (place.empty() ? "" : ", ") + *part;
    if (!place.empty()) line(place);
    line(text(Str::ChartLon), " ", format_angle(h.place.longitude), "  ", text(Str::ChartLat), " ",
         format_angle(h.place.latitude));
    line(text(Str::ChartSiderealTime), " ", format_angle(AngleValue::hours(h.local_sidereal_time.to_hours())));
    line(text(Str::ChartJulianDayUt), " ", fmt::format("{:.6f}", h.birth_ut.jd_ut));
    line(text(Str::ChartJulianDayEt), " ", fmt::format("{:.6f}", h.birth_ut.jd_et));
    line(text(Str::ChartDeltaT), " ", format_sexagesimal((h.birth_ut.jd_et - h.birth_ut.jd_ut) * 24.0, true));
    line(text(Str::ChartObliquity), " ", format_sexagesimal(radians_to_degrees(eps), false));
    line(text(Str::ChartHouseSystem), " ", house_system_name(h.options.astro.house_system));
    line(ephemeris_display_name(prov.type));
    line();
    line(text(Str::ChartPrecession));
    line(text(Str::ChartZeroYear), " ", date_text(h.options.astro.zero_date), " JD ET=",
         fmt::format("{:.6f}", h.options.astro.zero_date.jd_et));
    line(text(Str::ChartAyanamsa), " ", deg_text(aya));

    const PositionTableView tables[] = {
        {Str::ChartMovableGeo, &h.geo_movable},
        {Str::ChartFixedGeo, &h.geo_fixed},
        {Str::ChartMovableHelio, &h.helio_movable},
        {Str::ChartFixedHelio, &h.helio_fixed},
    };
    for (const auto& t : tables) {
        line();
        line(text(t.title));
        for (int p = 0; p < kPlanetRows; ++p) {
            const PlanetPosition& row = t.table->at(p);
            line(fmt::format("{:<12}{:<28}{}", planet_cell(p, row), longitude_text(row), latitude_text(row)));
        }
    }

    line();
    line(text(Str::ChartHouses), " (", house_system_name(h.options.astro.house_system), ")");
    for (int i = 0; i < kHouseCount; ++i)
        line(fmt::format("{:<6}{:<28}{}", house_roman(i + 1), cusp_text(h.houses_movable[static_cast<std::size_t>(i)]),
                         cusp_text(h.houses_fixed[static_cast<std::size_t>(i)])));

    line();
    line(text(Str::ChartEquatorial));
    for (int p = 0; p < kPlanetRows; ++p) {
        const auto& e = h.equatorial[static_cast<std::size_t>(p)];
        line(fmt::format("{:<12}{:<20}{}", planet_name(p), ra_text(e.right_ascension), deg_text(e.declination)));
    }

    line();
    line(text(Str::ChartHorizontal));
    for (int p = 0; p < kPlanetRows; ++p) {
        const auto& z = h.horizontal[static_cast<std::size_t>(p)];
        line(fmt::format("{:<12}{:<20}{}", planet_name(p), deg_text(z.azimuth), deg_text(z.elevation)));
    }

    line();
    line(text(Str::ChartSunTitle));
    line(text(Str::ChartSunrise), " ", sun_moment_text(h.sun, h.sun.sunrise));
    line(text(Str::ChartSunriseLmt), " ", sun_moment_text(h.sun, local_mean_time(h.sun.sunrise, h.place.longitude)));
    line(text(Str::ChartSunset), " ", sun_moment_text(h.sun, h.sun.sunset));
    line(text(Str::ChartSunsetLmt), " ", sun_moment_text(h.sun, local_mean_time(h.sun.sunset, h.place.longitude)));
    line(text(Str::ChartSolarHour), h.sun.planetary_hour);

    line();
    line(text(Str::ChartLunation));
    const LunationRecord& l = h.lunation;
    auto moment = [&](Str label, const DateHour& d, const EclipseRecord* e) {
        line(text(label), " ", date_text(d));
        if (e && e->present) line("  ", eclipse_text(*e));
    };
    moment(Str::ChartNewMoon, l.new_moon, &l.new_moon_eclipse);
    moment(Str::ChartFirstQuarter, l.first_quarter, nullptr);
    moment(Str::ChartFullMoon, l.full_moon, &l.full_moon_eclipse);
    moment(Str::ChartLastQuarter, l.last_quarter, nullptr);
    moment(Str::ChartNewMoon, l.next_new_moon, &l.next_new_moon_eclipse);
    line(text(Str::ChartLunarDay), " ", l.lunar_day);

    if (stars.catalogue) {
        line();
        line(text(Str::StarsConjunctionsTitle), format_sexagesimal(stars.orb_deg, false), ")");
        if (stars.conjunctions.empty()) line(text(Str::StarsNoConjunction));
        for (const PlanetStarConjunction& c : stars.conjunctions) {
            const StarRecord& s = stars.catalogue->stars[static_cast<std::size_t>(c.star)];
            line(fmt::format("{:<12}{:<30}{:<16}{}", planet_name(c.planet), s.name,
                             format_sexagesimal(c.distance_deg, false), star_magnitude_text(s.magnitude)));
        }
    }

    line();
    line(text(Str::ChartAspects));
    for (const FoundAspect& x : h.aspects)
        line(fmt::format("{:<12}{:<12}{:<14}{:>7.2f}{:>7.2f}{:>9.2f}", planet_name(x.a), planet_name(x.b), x.name,
                         x.angle_deg, x.orb_deg, x.separation_deg));
    line();
    line(text(Str::ChartHouseAspects));
    for (const FoundHouseAspect& x : h.house_aspects)
        line(fmt::format("{:<12}{:<12}{:<14}{:>7.2f}{:>7.2f}{:>9.2f}", planet_name(x.planet), house_roman(x.house),
                         x.name, x.angle_deg, x.orb_deg, x.separation_deg));

    print_hindu_text(h);
    print_strengths_text(h);

    line();
    line(text(Str::ChartProvenance));
    line(text(Str::ChartEphemerisLibrary), " ", ephemeris_file_name(prov.type));
    for (const auto& info : prov.infos)
        if (!info.empty()) line("  ", info);
    line(text(Str::ChartEphemerisType), " ", ephemeris_type_name(prov.type), " (", prov.type, ")");
    line(text(Str::EphemerisLunarNode), " ", h.options.ephemeris.true_node ? "true" : "mean");
    line(text(Str::ChartDeltaT), " ", fmt::format("{:.2f} s", prov.delta_t_seconds));
    line(text(Str::ChartHouseSystem), " ", house_system_name(h.options.astro.house_system));
    line(text(Str::ChartZeroYear), " ", date_text(h.options.astro.zero_date));
}

nlohmann::json angle_json(const AngleValue& a) {
    return {{"text", format_angle(a)}, {"deg", a.is_angle() ? json_number(a.to_degrees()) : nlohmann::json(nullptr)}};
}

nlohmann::json moment_json(const DateHour& d) {
    return {{"text", date_text(d)}, {"jd_ut", json_number(d.jd_ut)}, {"jd_et", json_number(d.jd_et)}};
}

nlohmann::json print_json(const Horoscope& h, double eps, const AngleValue& aya, const Provenance& prov,
                          const ChartStars& stars) {
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
                              {"right_ascension", ra_text(e.right_ascension)},
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
          {"ayanamsa", deg_text(aya)},
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
    j["hindu"] = hindu_json(h);
    j["strengths"] = strengths_json(h);
    j["ashtakavarga"] = ashtakavarga_json(h);
    return j;
}

}  // namespace

void print_chart(const Horoscope& h, const EphemerisLibrary& library, bool json, double star_orb,
                 MessageSink& messages) {
    const double eps = mean_obliquity(h.birth_ut.jd_et, h.birth_ut.jd_et);
    const AngleValue aya = ayanamsa(h.birth_ut.jd_et, h.options.astro.zero_date.jd_et);
    Provenance prov;
    prov.infos = library.infos();
    prov.type = library.is_loaded() ? library.type() : h.options.ephemeris.type;
    prov.delta_t_seconds = (h.birth_ut.jd_et - h.birth_ut.jd_ut) * 86400.0;
    prov.range = provider_range(library);
    prov.range_warning = provider_range_warning(prov.range, h.birth_ut.jd_et);
    // The stars within the orb of each planet; without a catalogue the chart goes on without.
    StarCatalogue catalogue;
    ChartStars stars;
    stars.orb_deg = star_orb;
    if (load_cli_stars(h.options, catalogue, messages)) {
        stars.catalogue = &catalogue;
        stars.conjunctions = planet_star_conjunctions(catalogue, h, star_orb);
    } else {
        messages.tell(std::string(trim(text(Str::StarsConjunctionWarning))), str(Str::StarsCaption),
                      MessageIcon::Warning);
    }
    if (json)
        std::cout << json_text(print_json(h, eps, aya, prov, stars)) << "\n";
    else
        print_text(h, eps, aya, prov, stars);
}

namespace {

// The wheel of `h` and, with --outside-ut, of the same birth data at that moment superposed
// outside it.
int write_wheel(const ChartArgs& a, WheelFormat format, QSize size, const BirthData& data, double correction,
                const Horoscope& h, EphemerisLibrary& library, WorkerThreads& workers, CliContext& ctx) {
    WheelInput input;
    input.inside = wheel_chart(h);
    input.informations = wheel_informations(h);
    if (!a.outside_ut.empty()) {
        DateParse p = parse_date_hour(a.outside_ut);
        if (!p.ok) {
            ctx.fail(kExitBadInput, str(Str::NotAValidDate) + " " + trim_message(p.message));
            return ctx.exit_code;
        }
        BirthData outside = data;
        outside.ut = p.value;
        outside.local = p.value;
        if (!set_julian_day_ut(outside.local, p.value.jd_ut - correction / 24.0)) outside.local = DateHour{};
        auto o = std::make_unique<Horoscope>();
        if (!set_and_compute(*o, outside, true, h.options, *ctx.messages, workers, library)) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
        input.outside = wheel_chart(*o);
        input.informations.push_back(format_date_hour(o->birth_ut));
    }
    WheelGui gui;
    const bool superposed = input.outside.has_value();
    if (!write_wheel_file(a.wheel, format, size, gui.screen_size(), h.options, wheel_style(h.options, superposed),
                          input)) {
        ctx.fail(kExitFailure, str(Str::WheelCannotWrite) + ": " + a.wheel);
        return ctx.exit_code;
    }
    std::cerr << text(Str::WheelWritten) << " " << a.wheel << "\n";
    return kExitOk;
}

int run_chart(const ChartArgs& a, CliContext& ctx) {
    std::optional<WheelFormat> wheel_format;
    std::optional<QSize> wheel_size;
    if (!a.wheel.empty()) {
        wheel_format = wheel_format_of(a.wheel);
        if (!wheel_format) {
            ctx.fail(kExitBadInput, str(Str::WheelBadExtension) + " " + a.wheel);
            return ctx.exit_code;
        }
        wheel_size = parse_wheel_size(a.wheel_size);
        if (!wheel_size) {
            ctx.fail(kExitBadInput, str(Str::WheelBadSize) + " " + a.wheel_size);
            return ctx.exit_code;
        }
    }

    auto chart = compute_birth_chart(a.birth, ctx);
    if (!chart) return ctx.exit_code;
    Horoscope& h = *chart->horoscope;
    const Options& options = chart->options;
    if (a.save) {
        std::string path =
            a.save_path.empty() ? default_horoscope_file_name(h, chart->settings->horoscopes_dir) : a.save_path;
        if (!save_horoscope(h, path, *ctx.messages)) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
        ctx.messages->tell(path, str(Str::HoroFileSaved), MessageIcon::Information);
    }
    // The new-chart dialog's two boxes: the save file, and the database (checked by default
    // when the options say so).
    if (a.save_line && !append_to_save_file(h, options.paths.save_file, *ctx.messages)) {
        ctx.exit_code = kExitFailure;
        return ctx.exit_code;
    }
    if (a.save_db || (options.database.default_save_to_db && !a.no_save_db)) {
        auto target = db_target(DbArgs{}, *chart->settings, ctx);
        if (!target || !save_to_database(h, *target, *ctx.messages)) {
            ctx.exit_code = kExitFailure;
            return ctx.exit_code;
        }
    }
    print_chart(h, *chart->library, a.json, a.star_orb, *ctx.messages);
    if (wheel_format)
        return write_wheel(a, *wheel_format, *wheel_size, chart->data, chart->correction_hours, h, *chart->library,
                           *chart->workers, ctx);
    return kExitOk;
}

}  // namespace

void register_chart_commands(CLI::App& app, CliContext& ctx) {
    auto args = std::make_shared<ChartArgs>();
    CLI::App* chart = app.add_subcommand("chart", "Compute one horoscope and print it");
    add_birth_options(chart, args->birth);
    chart->add_option("--star-orb", args->star_orb, "Orb of the star conjunctions in degrees (default 1)")
        ->check(CLI::Range(0.0, 180.0));
    chart->add_flag("--json", args->json, "JSON output");
    auto* save = chart->add_option("--save", args->save_path,
                                   "Save the horoscope file (default: LAST_FIRST.xml in the horoscopes directory)")
                     ->expected(0, 1);
    chart->add_flag("--save-line", args->save_line, "Append the horoscope's line to the options' horoscope save file");
    chart->add_flag("--save-db", args->save_db, "Insert the horoscope into the options' database");
    chart->add_flag("--no-save-db", args->no_save_db, "Do not insert it, even when the options say so by default");
    chart->add_option("--wheel", args->wheel, "Draw the chart wheel into FILE.png, FILE.svg or FILE.pdf");
    chart->add_option("--size", args->wheel_size, "The wheel's size in pixels, WIDTHxHEIGHT (default 800x800)");
    chart->add_option("--outside-ut", args->outside_ut,
                      "Superpose outside the wheel the same place at this universal date-hour (transits)");
    chart->callback([args, save, &ctx] {
        args->save = save->count() > 0;
        ctx.exit_code = run_chart(*args, ctx);
    });
}

}  // namespace tellurim
