#include "report/results_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fmt/format.h>
#include <fmt/printf.h>
#include <numeric>
#include <vector>

#include "astro/ashtakavarga.h"
#include "astro/chart_grids.h"
#include "astro/hindu.h"
#include "astro/lunations.h"
#include "astro/planet_quality.h"
#include "astro/planets_signs.h"
#include "astro/strengths.h"
#include "sky/ayanamsa.h"
#include "base/strings.h"

namespace tellurim {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

// Widths of the plain-text name columns, in characters.
constexpr std::size_t kNameWidth = 12;
constexpr std::size_t kSignLongitudeWidth = 25;

std::string date_text(const DateHour& d) { return format_date_hour(d); }

// Characters of a UTF-8 text (its bytes that do not continue a character).
std::size_t characters(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string degrees_text(const AngleValue& a) { return format_signed_angle(a, false); }
std::string hours_text(const AngleValue& a) { return format_signed_angle(a, true); }

std::string sign_longitude_text(const AngleValue& lon) {
    if (!lon.is_finite()) return format_angle(lon);
    return format_sign_longitude(lon.to_degrees());
}

std::string planet_cell(int planet, const PlanetPosition& p) {
    std::string s(planet_name(planet));
    if (p.retrograde) s += text(Str::ChartRetrograde);
    return s;
}

// "05.23 rupas": a strength in virupas, written in rupas.
std::string rupas_text(double virupas) {
    if (!std::isfinite(virupas)) return "ERROR";
    return fmt::format("{:05.2f}{}", virupas / 60.0, text(Str::StrengthRupas));
}

// A strength component: a blank where a negative value has its minus sign, so that the
// columns line up.
std::string component_text(double v) {
    if (!std::isfinite(v)) return fmt::format(" {:>6}", "ERROR");
    return v >= 0 ? fmt::format(" {:06.2f}", v) : fmt::format("{:07.2f}", v);
}

std::string grid_value(double v) { return std::isfinite(v) ? fmt::format("{:6.2f}", v) : std::string(); }

std::string pair_text(int rasi, int navamsa, int undefined) {
    auto one = [undefined](int v) { return v == undefined ? std::string(".") : std::to_string(v); };
    return one(rasi) + "/" + one(navamsa);
}

std::string lord_text(int planet) {
    if (planet < 0 || planet >= kPlanetRows) return "-";
    return std::string(planet_name(planet));
}

std::string sign_text(int sign) {
    if (sign < 0 || sign >= kSignCount) return "-";
    return std::string(sign_name(sign));
}

// Row order strongest first; equal values keep their order, undefined ones come last.
template <std::size_t N>
std::array<int, N> strongest_first(const std::array<double, N>& values) {
    std::array<int, N> order{};
    std::iota(order.begin(), order.end(), 0);
    auto key = [&values](int i) { return std::isfinite(values[at(i)]) ? values[at(i)] : -kInfinity; };
    std::stable_sort(order.begin(), order.end(), [&key](int a, int b) { return key(a) > key(b); });
    return order;
}

bool has_positions(const Horoscope& h) { return is_valid(h.birth_ut) && h.geo_movable.at(0).is_valid(); }

class ReportWriter {
public:
    ReportWriter(const Horoscope& h, const ReportSources& sources, Document& doc)
        : m_h(h), m_sources(sources), m_doc(doc) {}

    void write();

private:
    void line(const std::string& s) {
        m_doc.styled(0, s);
        m_doc.new_line();
    }
    void title_line(Str title) {
        m_doc.new_line();
        m_doc.styled(1, text(title));
        m_doc.new_line();
    }
    // A title whose table follows: the table's first row starts the next line.
    void table_title(std::string_view title) {
        m_doc.new_line();
        m_doc.styled(1, title);
    }
    void table(std::span<const int> widths, std::vector<std::vector<std::string>> rows, bool bold = false) {
        pad_columns(rows);
        m_doc.table_start(widths);
        for (const auto& r : rows) m_doc.row(r, bold);
        m_doc.table_end();
        m_doc.new_line();
    }
    std::string name(std::string_view s) const { return m_doc.pad(s, kNameWidth); }
    // In the plain-text forms each cell is followed by a tab. Padded to the width of its
    // column's widest cell, every cell of a column ends at the same place, so the columns line
    // up at the tab stops whatever their texts (other formats leave the cells as they are).
    void pad_columns(std::vector<std::vector<std::string>>& rows) const {
        std::vector<std::size_t> widths;
        for (const auto& r : rows)
            for (std::size_t c = 0; c < r.size(); ++c) {
                if (widths.size() <= c) widths.resize(c + 1, 0);
                widths[c] = std::max(widths[c], characters(r[c]));
            }
        for (auto& r : rows)
            for (std::size_t c = 0; c < r.size(); ++c) r[c] = m_doc.pad(r[c], widths[c]);
    }

    void birth_data();
    void time_scales();
    void precession();
    void positions();
    void equatorial();
    void houses_and_aspects();
    void aspect_grid(Str title, const GridValues& values);
    void sun();
    void lunation();
    void planet_strengths();
    void house_strengths();
    void quality();
    void relationships();
    void time_lords();
    void subdivisions();
    void ashtakavarga();
    void horizon();
    void stars();

    const Horoscope& m_h;
    const ReportSources& m_sources;
    Document& m_doc;
};

void ReportWriter::write() {
    const auto shown = [this](ReportSection s) { return (m_sources.sections & section_bit(s)) != 0; };
    if (shown(ReportSection::Birth)) {
        birth_data();
        time_scales();
        precession();
    }
    if (!has_positions(m_h)) {
        m_doc.new_line();
        line(str(Str::ReportInvalidHoroscope));
        return;
    }
    if (shown(ReportSection::Positions)) {
        positions();
        equatorial();
    }
    if (shown(ReportSection::Houses)) houses_and_aspects();
    if (shown(ReportSection::Sun)) {
        sun();
        lunation();
    }
    if (shown(ReportSection::Strengths)) {
        planet_strengths();
        house_strengths();
        quality();
    }
    if (shown(ReportSection::Hindu)) {
        relationships();
        time_lords();
        subdivisions();
    }
    if (shown(ReportSection::Ashtakavarga)) ashtakavarga();
    if (shown(ReportSection::Horizon)) horizon();
    if (shown(ReportSection::Stars)) stars();
}

void ReportWriter::birth_data() {
    std::string person = m_h.last_name;
    if (!m_h.first_name.empty()) person += (person.empty() ? "" : " ") + m_h.first_name;
    m_doc.styled(0, person, true);
    m_doc.new_line();
    line(str(Str::ChartBirthLocal) + date_text(m_h.birth_local));
    line(str(Str::ChartBirthUt) + date_text(m_h.birth_ut));
    for (const std::string* part : {&m_h.place.city, &m_h.state, &m_h.place.county, &m_h.country})
        if (!part->empty()) line(*part);
    line(str(Str::ChartLon) + " " + format_angle(m_h.place.longitude));
    line(str(Str::ChartLat) + " " + format_angle(m_h.place.latitude));
}

void ReportWriter::time_scales() {
    const DateHour& ut = m_h.birth_ut;
    line(str(Str::ChartSiderealTime) + " " + format_angle(AngleValue::hours(m_h.local_sidereal_time.to_hours())));
    line(str(Str::ChartJulianDayUt) + " " + fmt::format("{:.2f}", ut.jd_ut));
    // The ephemeris-time date: the calendar reading of the Julian day ET.
    line(str(Str::ChartJulianDayEt) + " " + fmt::format("{:.2f}", ut.jd_et) + " " +
         date_text(date_hour_from_ut(ut.jd_et)));
    line(str(Str::ChartDeltaT) + " " + format_sexagesimal((ut.jd_et - ut.jd_ut) * 24.0, true));
    line(std::string(house_system_name(m_h.options.astro.house_system)));
    line(m_sources.ephemeris_name);
}

void ReportWriter::precession() {
    const DateHour& zero = m_h.options.astro.zero_date;
    title_line(Str::ChartPrecession);
    line(str(Str::ChartZeroYear) + " " + date_text(zero) + " JD ET=" + fmt::format("{:.2f}", zero.jd_et));
    line(str(Str::ChartAyanamsa) + " " + degrees_text(ayanamsa(m_h.birth_ut.jd_et, zero.jd_et)));
}

void ReportWriter::positions() {
    const std::pair<Str, const PositionTable*> tables[] = {
        {Str::ChartMovableGeo, &m_h.geo_movable},
        {Str::ChartFixedGeo, &m_h.geo_fixed},
        {Str::ChartMovableHelio, &m_h.helio_movable},
        {Str::ChartFixedHelio, &m_h.helio_fixed},
    };
    constexpr std::array<int, 3> kWidths{14, 26, 16};
    for (const auto& [title, table_rows] : tables) {
        std::vector<std::vector<std::string>> rows;
        for (int p = 0; p < kPlanetRows; ++p) {
            const PlanetPosition& r = table_rows->at(p);
            rows.push_back({name(planet_cell(p, r)), m_doc.pad(sign_longitude_text(r.longitude), kSignLongitudeWidth),
                            degrees_text(r.latitude)});
        }
        table_title(text(title));
        table(kWidths, rows);
    }
}

void ReportWriter::equatorial() {
    std::vector<std::vector<std::string>> rows;
    for (int p = 0; p < kPlanetRows; ++p) {
        const EquatorialPosition& e = m_h.equatorial[at(p)];
        rows.push_back({name(planet_name(p)), hours_text(e.right_ascension), degrees_text(e.declination)});
    }
    table_title(text(Str::ChartEquatorial));
    constexpr std::array<int, 3> kWidths{14, 16, 16};
    table(kWidths, rows);
}

void ReportWriter::houses_and_aspects() {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < kHouseCount; ++i)
        rows.push_back({name(house_roman(i + 1)),
                        m_doc.pad(sign_longitude_text(m_h.houses_movable[at(i)].longitude), kSignLongitudeWidth),
                        sign_longitude_text(m_h.houses_fixed[at(i)].longitude)});
    table_title(house_system_name(m_h.options.astro.house_system));
    constexpr std::array<int, 3> kWidths{14, 26, 26};
    table(kWidths, rows);

    const AspectGrids grids = aspect_grids(m_h);
    aspect_grid(Str::ReportGridDistances, grids.distance_deg);
    aspect_grid(Str::ReportGridAngles, grids.angle_deg);
    aspect_grid(Str::ReportGridOrbs, grids.orb_deg);
    aspect_grid(Str::ReportGridOpacities, grids.opacity);
}

void ReportWriter::aspect_grid(Str title, const GridValues& values) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header{name("")};
    for (int b = 0; b < kGridPlanets; ++b) header.push_back(fmt::format("  {}", planet_name(b)));
    rows.push_back(header);
    for (int a = 0; a < kGridPlanets; ++a) {
        std::vector<std::string> row{name(planet_name(a))};
        for (int b = 0; b < kGridPlanets; ++b) row.push_back(grid_value(values[at(a)][at(b)]));
        rows.push_back(row);
    }
    table_title(text(title));
    constexpr std::array<int, 10> kWidths{14, 11, 11, 11, 11, 11, 11, 11, 11, 11};
    table(kWidths, rows);
}

void ReportWriter::sun() {
    const SunRecord& s = m_h.sun;
    title_line(Str::ChartSunTitle);
    line(str(Str::ChartSunset) + " " + sun_moment_text(s, s.sunset));
    line(str(Str::ChartSunsetLmt) + " " + sun_moment_text(s, local_mean_time(s.sunset, m_h.place.longitude)));
    line(str(Str::ChartSunrise) + " " + sun_moment_text(s, s.sunrise));
    line(str(Str::ChartSunriseLmt) + " " + sun_moment_text(s, local_mean_time(s.sunrise, m_h.place.longitude)));
    line(str(Str::ChartSolarHour) + std::to_string(s.planetary_hour));
}

void ReportWriter::lunation() {
    const LunationRecord& l = m_h.lunation;
    title_line(Str::ChartLunation);
    auto moment = [this](Str label, const DateHour& d, const EclipseRecord* e) {
        line(str(label) + " " + date_text(d));
        if (e && e->present) line(eclipse_text(*e));
    };
    moment(Str::ChartNewMoon, l.new_moon, &l.new_moon_eclipse);
    moment(Str::ChartFirstQuarter, l.first_quarter, nullptr);
    moment(Str::ChartFullMoon, l.full_moon, &l.full_moon_eclipse);
    moment(Str::ChartLastQuarter, l.last_quarter, nullptr);
    moment(Str::ChartNewMoon, l.next_new_moon, &l.next_new_moon_eclipse);
    line(str(Str::ChartLunarDay) + " " + std::to_string(l.lunar_day));
}

void ReportWriter::planet_strengths() {
    const PlanetStrengthTable& t = m_h.strengths.planets;
    std::array<double, kStrengthPlanets> totals{};
    for (int p = 0; p < kStrengthPlanets; ++p) totals[at(p)] = t[at(p)].total;
    std::vector<std::vector<std::string>> rows;
    for (int p : strongest_first(totals)) {
        const double share = strength_share_percent(t, p);
        const std::string share_text = std::isfinite(share) ? fmt::format("{:06.2f}", share) : "ERROR";
        rows.push_back({name(planet_name(p)), rupas_text(totals[at(p)]) + " (" + share_text + "%)"});
    }
    table_title(text(Str::StrengthPlanetsTitle));
    constexpr std::array<int, 2> kWidths{14, 24};
    table(kWidths, rows);

    rows.clear();
    std::vector<std::string> header{""};
    for (int p = 0; p < kStrengthPlanets; ++p) header.push_back(std::string(planet_name(p)));
    rows.push_back(header);
    for (int c = 1; c <= kStrengthComponents + 1; ++c) {
        std::vector<std::string> row{std::string(text(strength_label(c)))};
        for (int p = 0; p < kStrengthPlanets; ++p)
            row.push_back(component_text(c <= kStrengthComponents ? t[at(p)].components[at(c - 1)] : t[at(p)].total));
        rows.push_back(row);
    }
    table_title(text(Str::StrengthDetailsTitle));
    constexpr std::array<int, 8> kDetailWidths{48, 9, 9, 9, 9, 9, 9, 9};
    table(kDetailWidths, rows);
}

void ReportWriter::house_strengths() {
    const HouseStrengthTable& t = m_h.strengths.houses;
    std::array<double, kHouseCount> totals{};
    for (int i = 0; i < kHouseCount; ++i) totals[at(i)] = t[at(i)].total;
    std::vector<std::vector<std::string>> rows;
    for (int i : strongest_first(totals)) rows.push_back({name(house_roman(i + 1)), rupas_text(totals[at(i)])});
    table_title(text(Str::StrengthHousesTitle));
    constexpr std::array<int, 2> kWidths{14, 14};
    table(kWidths, rows);

    rows.clear();
    std::vector<std::string> header{""};
    for (int i = 0; i < kHouseCount; ++i) header.push_back(std::string(house_roman(i + 1)));
    rows.push_back(header);
    const std::pair<Str, double HouseStrength::*> components[] = {
        {Str::StrengthHouseLord, &HouseStrength::lord},
        {Str::StrengthHouseDigBala, &HouseStrength::direction},
        {Str::StrengthHouseAspects, &HouseStrength::aspects},
        {Str::StrengthHouseTotal, &HouseStrength::total},
    };
    for (const auto& [label, member] : components) {
        std::vector<std::string> row{std::string(text(label))};
        for (int i = 0; i < kHouseCount; ++i) row.push_back(component_text(t[at(i)].*member));
        rows.push_back(row);
    }
    table_title(text(Str::StrengthHouseDetailsTitle));
    constexpr std::array<int, 13> kDetailWidths{10, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    table(kDetailWidths, rows);
}

void ReportWriter::quality() {
    const PlanetQualityTable& q = m_h.strengths.quality;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header{name("")};
    for (int k = 0; k < kQualityCrossChecks; ++k) header.push_back(std::string(text(quality_cross_check_label(k))));
    header.push_back(str(Str::QualityAverage));
    rows.push_back(header);
    for (int p = 0; p < kPlanetRows; ++p) {
        if (!std::isfinite(q.average[at(p)])) continue;  // a row no cross-check could judge
        std::vector<std::string> row{name(planet_name(p))};
        for (std::int8_t v : q.values[at(p)]) row.push_back(quality_value_text(v));
        row.push_back(fmt::format("{:.2f}", q.average[at(p)]));
        rows.push_back(row);
    }
    table_title(text(Str::QualityTitle));
    constexpr std::array<int, 5> kWidths{14, 6, 6, 6, 7};
    table(kWidths, rows, true);

    const HinduData& d = m_h.hindu;
    line(str(Str::NaturalQualityMoon) + " " + std::string(quality_text(d.moon_quality)));
    line(str(Str::NaturalQualityMercury) + " " + std::string(quality_text(d.mercury_quality)));
    const std::string note = natural_quality_of_mercury(d.moon_quality, d).note;
    if (!note.empty()) line(note);
}

void ReportWriter::relationships() {
    const HinduAspectTable defaults = m_sources.hindu_aspects ? HinduAspectTable{} : default_hindu_aspects();
    const HinduAspectTable& aspects = m_sources.hindu_aspects ? *m_sources.hindu_aspects : defaults;
    std::vector<std::string> header{name("")};
    for (int b = 0; b < kPlanetRows; ++b) header.push_back(std::string(planet_name(b, true)));
    std::vector<std::vector<std::string>> friends{header};
    std::vector<std::vector<std::string>> qualities{header};
    for (int a = 0; a < kPlanetRows; ++a) {
        std::vector<std::string> f{name(planet_name(a))};
        std::vector<std::string> q{name(planet_name(a))};
        for (int b = 0; b < kPlanetRows; ++b) {
            const Relationship& r = m_h.hindu.relationships[at(a)][at(b)];
            f.push_back(pair_text(r.rasi, r.navamsa, kRelationshipUndefined));
            // Row a is the aspected planet, column b the aspecting one.
            q.push_back(pair_text(hindu_aspect_quality(aspects, m_h, a, b, false),
                                  hindu_aspect_quality(aspects, m_h, a, b, true), kNoAspectQuality));
        }
        friends.push_back(f);
        qualities.push_back(q);
    }
    std::array<int, kPlanetRows + 1> widths{};
    widths.fill(6);
    widths[0] = 14;
    table_title(text(Str::ChartRelationships));
    table(widths, friends);
    table_title(text(Str::ReportAspectQualities));
    table(widths, qualities);
}

void ReportWriter::time_lords() {
    const TimeLords& t = m_h.hindu.time_lords;
    title_line(Str::ReportTimeLords);
    line(str(Str::ReportYear) + " " + lord_text(t.year));
    line(str(Str::ReportMonth) + " " + lord_text(t.month));
    line(str(Str::ReportDay) + " " + lord_text(t.day));
    line(str(Str::ReportHour) + " " + lord_text(t.hour));
}

void ReportWriter::subdivisions() {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header{name("")};
    for (int s = 0; s < kSubDivisions; ++s) header.push_back(std::string(subdivision_label(s)));
    rows.push_back(header);
    for (int p = 0; p < kPlanetRows; ++p) {
        std::vector<std::string> row{name(planet_name(p))};
        for (int s = 0; s < kSubDivisions; ++s) row.push_back(sign_text(m_h.hindu.divisions[at(p)][at(s)]));
        rows.push_back(row);
    }
    std::array<int, kSubDivisions + 1> widths{};
    widths.fill(12);
    widths[0] = 14;
    table_title(text(Str::ReportSubdivisions));
    table(widths, rows, true);
}

void ReportWriter::ashtakavarga() {
    const BinduTable& t = m_h.bindus;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> header{name("")};
    for (int p = 0; p < kStrengthPlanets; ++p) header.push_back(std::string(planet_name(p)));
    header.push_back(str(Str::AshtakaTotal));
    rows.push_back(header);
    for (int s = 0; s < kSignCount; ++s) {
        std::vector<std::string> row{name(sign_name(s))};
        for (int c = 0; c < kBinduColumns; ++c)
            row.push_back(fmt::format("{}/{}", t[at(s)][at(c)].before, t[at(s)][at(c)].after));
        rows.push_back(row);
    }
    table_title(text(Str::AshtakaBindusTitle));
    constexpr std::array<int, 9> kWidths{14, 8, 8, 8, 8, 8, 8, 8, 8};
    table(kWidths, rows);
    line(str(Str::AshtakaCheckLine) + " " + std::to_string(bindus_total_before(t)));

    // The quality follows from the sign of the Ascendant; each row shows the planet's own sign.
    const int ascendant = m_h.hindu.divisions[kAscendant][kRasi];
    rows.clear();
    for (int p = 0; p < kStrengthPlanets; ++p) {
        const AshtakavargaQuality q = ashtakavarga_quality(p, ascendant);
        std::string words(quality_code_text(q.quality));
        const std::string_view killer = killer_code_text(q.killer);
        if (!killer.empty()) words += (words.empty() ? "" : " ") + std::string(killer);
        rows.push_back({name(planet_name(p)), sign_text(m_h.hindu.divisions[at(p)][kRasi]), words});
    }
    table_title(text(Str::AshtakaQualityTitle));
    constexpr std::array<int, 3> kQualityWidths{14, 13, 44};
    table(kQualityWidths, rows);
}

void ReportWriter::horizon() {
    std::vector<std::vector<std::string>> rows;
    for (int p = 0; p < kPlanetRows; ++p) {
        const HorizontalPosition& z = m_h.horizontal[at(p)];
        rows.push_back({name(planet_name(p)), degrees_text(z.azimuth), degrees_text(z.elevation)});
    }
    table_title(text(Str::ChartHorizontal));
    constexpr std::array<int, 3> kWidths{14, 16, 16};
    table(kWidths, rows);
}

void ReportWriter::stars() {
    std::vector<std::vector<std::string>> rows;
    if (m_sources.stars) {
        for (const StarHorizon& s : star_horizon(*m_sources.stars, m_h)) {
            const StarRecord& r = m_sources.stars->stars[at(s.star)];
            rows.push_back({name(r.name), r.comment, degrees_text(s.azimuth), degrees_text(s.elevation)});
        }
    }
    table_title(text(Str::ReportStarsHorizon));
    constexpr std::array<int, 4> kWidths{14, 24, 16, 16};
    table(kWidths, rows);
}

}  // namespace

DateHour local_mean_time(const DateHour& ut, const AngleValue& longitude) {
    DateHour lmt = ut;
    if (!is_valid(ut) || !longitude.is_angle() || !set_julian_day_ut(lmt, ut.jd_ut + longitude.to_hours() / 24.0))
        return DateHour{};
    return lmt;
}

namespace {
constexpr std::array<std::string_view, static_cast<std::size_t>(ReportSection::Count)> kSectionNames = {
    "birth", "positions", "houses", "sun", "strengths", "hindu", "ashtakavarga", "horizon", "stars",
};
}  // namespace

std::string_view report_section_name(ReportSection s) { return kSectionNames.at(static_cast<std::size_t>(s)); }

std::optional<ReportSection> report_section_from_name(std::string_view name) {
    for (std::size_t i = 0; i < kSectionNames.size(); ++i)
        if (name == kSectionNames[i]) return static_cast<ReportSection>(i);
    return std::nullopt;
}

std::string sun_moment_text(const SunRecord& sun, const DateHour& moment) {
    if (is_valid(moment) || sun.polar == SunPolar::None) return format_date_hour(moment);
    return str(Str::SunNone) + " (" + str(sun.polar == SunPolar::PolarDay ? Str::SunPolarDay : Str::SunPolarNight) + ")";
}

bool write_results_report(const Horoscope& h, const ReportSources& sources, int format, const DocStyle& style,
                          const TextMeasure& device, std::string& text) {
    if (std::getenv("TELLURIM_DEBUG")) std::fputs(std::string(tellurim::text(Str::ReportTrace)).c_str(), stderr);
    Document doc(format, device, style.fonts, style.colours);
    // HTML: the table cells take the body font and colour from the style element.
    const LogFont& body = style.fonts[0];
    const DocColour c = style.colours[0];
    const int points = std::abs(doc::mul_div(body.height, 72, device.pixels_per_inch_y()));
    const std::string colour = fmt::sprintf(std::string(tellurim::text(Str::ReportHtmlColour)), unsigned{c.red},
                                            unsigned{c.green}, unsigned{c.blue});
    doc.start(format == kDocHtml ? fmt::sprintf(std::string(tellurim::text(Str::ReportHtmlStyle)), colour,
                                                doc::css_face_name(body.face_name), points)
                                 : std::string());
    ReportWriter(h, sources, doc).write();
    doc.end();
    text += doc.text();
    return doc.ok();
}

}  // namespace tellurim
