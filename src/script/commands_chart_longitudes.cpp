// Script commands on longitudes, latitudes, the horizon and the aspects: every angle in degrees.
#include <fmt/format.h>

#include <cmath>

#include "astro/aspects.h"
#include "script/commands_chart.h"

namespace tellurim::script_chart {
namespace {

const Horoscope& current(const Call& c) { return *c.ctx.current_horoscope(); }

PositionFrame geo(bool fixed) { return fixed ? PositionFrame::GeoFixed : PositionFrame::GeoMovable; }
PositionFrame helio(bool fixed) { return fixed ? PositionFrame::HelioFixed : PositionFrame::HelioMovable; }

// A planet number at word 1 and the required -mov|-fix after it: the position in that frame.
int frame_angle(Call& c, PositionFrame (*frame)(bool), bool latitude) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    const auto words = read_option_words(c, 2, kWordMov | kWordFix);
    if (!words) return TCL_ERROR;
    const PlanetPosition pos = current(c).position(frame(*words & kWordFix), *p);
    return c.ok_double(degrees_of(latitude ? pos.latitude : pos.longitude));
}

int fixed_house_longitude(Call& c, bool against, Str not_number, Str bad_house) {
    const auto n = read_house(c, 1, not_number, bad_house);
    if (!n) return TCL_ERROR;
    return c.ok_double(degrees_of(current(c).houses_fixed[static_cast<std::size_t>(cusp_row(*n, against))].longitude));
}

const AspectTable& aspect_table_of(const Horoscope& h) {
    static const AspectTable defaults{default_aspect_rows(), ""};
    return h.aspect_table ? *h.aspect_table : defaults;
}

// Three numbers for each aspect that holds, in the order of the aspect table: its nominal
// angle, its orb and the separation of the two points.
int aspect_list(Call& c, const AspectQuery& q) {
    std::vector<double> values;
    for (const AspectListing& a : q.aspects) values.insert(values.end(), {a.angle_deg, a.orb_deg, a.separation_deg});
    return c.ok_list(values);
}

}  // namespace

int cmd_fix_long_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    return c.ok_double(degrees_of(current(c).position(PositionFrame::GeoFixed, *p).longitude));
}

int cmd_mov_long_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    const double lon = degrees_of(current(c).position(PositionFrame::GeoMovable, *p).longitude);
    if (lon == kInfinity) return c.fail(Str::CmdMovLongMissing);
    return c.ok_double(lon);
}

int cmd_long_of_planet(Call& c) { return frame_angle(c, geo, false); }
int cmd_lat_of_planet(Call& c) { return frame_angle(c, geo, true); }
int cmd_helio_long(Call& c) { return frame_angle(c, helio, false); }
int cmd_helio_lat(Call& c) { return frame_angle(c, helio, true); }

// Without a word the fixed zodiac, as FixLongOfPlanet reads it.
int cmd_set_long_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    const auto lon = c.real(2);
    if (!lon) return c.fail(Str::CmdSetLongNotDouble);
    std::uint32_t words = kWordFix;
    if (c.objc > 3) {
        const auto read = read_option_words(c, 3, kWordMov | kWordFix);
        if (!read) return TCL_ERROR;
        words = *read;
    }
    PlanetPosition& pos = c.ctx.current_horoscope()->positions(geo(words & kWordFix)).at(*p);
    // Kept in the row's own unit, so that every reader converts it as before.
    pos.longitude = pos.longitude.unit == kUnitDegrees ? AngleValue::degrees(*lon, pos.longitude.format)
                                                       : AngleValue::radians(*lon / kDegreesPerRadian, pos.longitude.format);
    return c.ok_int(1);
}

int cmd_planet_is_retro(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    return c.ok_int(current(c).position(PositionFrame::GeoMovable, *p).retrograde ? 1 : 0);
}

int cmd_fix_long_of_house(Call& c) {
    return fixed_house_longitude(c, false, Str::CmdFixLongOfHouseNotNumber, Str::CmdFixLongOfHouseBadHouse);
}
int cmd_fix_long_of_house2(Call& c) {
    return fixed_house_longitude(c, true, Str::CmdFixLongOfHouse2NotNumber, Str::CmdFixLongOfHouse2BadHouse);
}

int cmd_mov_long_of_house(Call& c) {
    const auto n = read_house(c, 1);
    if (!n) return TCL_ERROR;
    return c.ok_double(degrees_of(current(c).houses_movable[static_cast<std::size_t>(*n - 1)].longitude));
}

// With -nav the cusp's navamsa longitude: nine times its fixed longitude, reduced into
// [0, 360), whose sign is the cusp's navamsa sign.
int cmd_long_of_house(Call& c) {
    const auto n = read_house(c, 1);
    if (!n) return TCL_ERROR;
    const auto words = read_option_words(c, 2, kWordMov | kWordFix | kWordShsd | kWordShod | kWordRasi | kWordNav);
    if (!words) return TCL_ERROR;
    const Horoscope& h = current(c);
    const std::size_t row = static_cast<std::size_t>(cusp_row(*n, *words & kWordShod));
    const double lon = degrees_of(((*words & kWordFix) ? h.houses_fixed : h.houses_movable)[row].longitude);
    if (!(*words & kWordNav)) return c.ok_double(lon);
    if (lon == kInfinity) return c.fail(Str::CmdLongOfHouseNavamsa);
    const double nav = std::fmod(lon * 9.0, 360.0);
    return c.ok_double(nav < 0 ? nav + 360.0 : nav);
}

int cmd_azimuth_elevation(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    bool elevation = false;
    if (c.objc > 2) {
        const std::string w = c.word(2);
        if (w == "-elevation") elevation = true;
        else if (w != "-azimuth") return c.fail(Str::CmdAzimuthBadWord);
    }
    const HorizontalPosition& hp = current(c).horizontal[static_cast<std::size_t>(*p)];
    return c.ok_double(degrees_of(elevation ? hp.elevation : hp.azimuth));
}

int cmd_aspect_pp(Call& c) {
    const auto a = c.integer(1);
    const auto b = c.integer(2);
    if (!a || !b) return c.fail(Str::CmdNotNumber);
    if (static_cast<unsigned>(*a) >= kPlanetRows) return c.fail(Str::CmdAspectPPFirst);
    if (static_cast<unsigned>(*b) >= kPlanetRows) return c.fail(Str::CmdAspectPPSecond);
    if (*a == *b) return c.fail(Str::CmdAspectPPSame);
    const Horoscope& h = current(c);
    return aspect_list(c, get_aspects_pp(&h, aspect_table_of(h), *a, *b));
}

int cmd_aspect_ph(Call& c) {
    const auto p = c.integer(1);
    const auto n = c.integer(2);
    if (!p || !n) return c.fail(Str::CmdNotNumber);
    if (static_cast<unsigned>(*p) >= kPlanetRows) return c.fail(Str::CmdAspectPHPlanet);
    if (*n < 1 || *n > 12) return c.fail(Str::CmdAspectPHHouse);
    const Horoscope& h = current(c);
    return aspect_list(c, get_aspects_ph(&h, aspect_table_of(h), *p, *n));
}

}  // namespace tellurim::script_chart
