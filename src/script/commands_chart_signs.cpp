// Script commands on signs, houses and lords.
#include <fmt/format.h>

#include <vector>

#include "astro/hindu.h"
#include "astro/planets_signs.h"
#include "script/commands_chart.h"
#include "sky/houses.h"

namespace tellurim::script_chart {

double degrees_of(const AngleValue& a) { return a.is_angle() ? a.to_degrees() : kInfinity; }

int cusp_row(int house, bool against) { return against ? (13 - house) % 12 : house - 1; }

int navamsa_sign(const Horoscope& h, int planet) {
    if (planet < 0 || planet >= kPlanetRows) return -1;
    const int s = h.hindu.divisions[static_cast<std::size_t>(planet)][4];
    return s >= 0 && s < kSignCount ? s : -1;
}

int navamsa_house(const Horoscope& h, int sign, bool against) {
    const int asc = navamsa_sign(h, kAscendant);
    if (asc < 0 || sign < 0) return -1;
    const int d = (sign - asc + 12) % 12;
    return (against ? (12 - d) % 12 : d) + 1;
}

int navamsa_sign_of_house(const Horoscope& h, int house, bool against) {
    const int asc = navamsa_sign(h, kAscendant);
    if (asc < 0) return -1;
    return ((against ? asc - (house - 1) : asc + (house - 1)) % 12 + 12) % 12;
}

namespace {

const Horoscope& current(const Call& c) { return *c.ctx.current_horoscope(); }

// Reads the option words from `from` on as read_option_words does, with the rank words of
// the lords: -first, -second, -third (at most one), into `rank` (0, 1, 2).
std::optional<std::uint32_t> read_options_with_rank(Call& c, int from, std::uint32_t accepted, int& rank) {
    std::vector<Tcl_Obj*> kept{c.objv[0]};
    int ranks = 0;
    rank = 0;
    for (int i = from; i < c.objc; ++i) {
        const std::string w = c.word(i);
        const int r = w == "-first" ? 0 : w == "-second" ? 1 : w == "-third" ? 2 : -1;
        if (r < 0) {
            kept.push_back(c.objv[i]);
            continue;
        }
        rank = r;
        ++ranks;
    }
    if (ranks > 1) {
        c.fail(fmt::format(fmt::runtime(text(Str::CmdLordOfHouseOneRankFormat)), c.name()));
        return std::nullopt;
    }
    Call rest{c.ctx, c.interp, static_cast<int>(kept.size()), kept.data()};
    return read_option_words(rest, 1, accepted);
}

int sign_occupied(Call& c, PositionFrame frame) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    return c.ok_int(sign_of_longitude(current(c).position(frame, *p).longitude));
}

int house_occupied(Call& c, bool against) {
    bool center = false;
    if (c.objc == 3) {
        if (c.word(1) != "-center") return c.fail(against ? Str::CmdHouseOccupied2Usage : Str::CmdHouseOccupiedUsage);
        center = true;
    }
    const auto p = read_planet(c, c.objc - 1);
    if (!p) return TCL_ERROR;
    const int house = house_of_planet(current(c), *p, against, center);
    if (house < 0) return c.fail(Str::CmdCannotFindHouse);
    return c.ok_int(house);
}

int lord_of_house_cmd(Call& c, bool against, bool fixed) {
    const auto n = read_house(c, 1);
    if (!n) return TCL_ERROR;
    return c.ok_int(lord_of_house(current(c), *n, 0, against, fixed));
}

}  // namespace

int cmd_fix_sign_of_planet(Call& c) { return sign_occupied(c, PositionFrame::GeoFixed); }
int cmd_mov_sign_of_planet(Call& c) { return sign_occupied(c, PositionFrame::GeoMovable); }

int cmd_sign_of_planet(Call& c) {
    const auto p = read_planet(c, 1, Str::CmdSignOfPlanetNotNumber, Str::CmdSignOfPlanetBadPlanet);
    if (!p) return TCL_ERROR;
    const auto words = read_option_words(c, 2, kWordMov | kWordFix | kWordRasi | kWordNav);
    if (!words) return TCL_ERROR;
    const Horoscope& h = current(c);
    const int sign = (*words & kWordNav) ? navamsa_sign(h, *p)
                     : sign_of_longitude(h.position((*words & kWordFix) ? PositionFrame::GeoFixed : PositionFrame::GeoMovable, *p).longitude);
    if (sign < 0) return c.fail(Str::CmdSignOfPlanetNoLongitude);
    return c.ok_int(sign);
}

int cmd_sign_of_point(Call& c) {
    const auto lon = c.real(1);
    if (!lon) return c.fail(Str::CmdNotNumber);
    if (!(*lon >= 0.0 && *lon < 360.0)) return c.fail(Str::CmdSignOfPointRange);
    return c.ok_int(sign_of_longitude(AngleValue::degrees(*lon)));
}

int cmd_sign_of_house(Call& c) {
    const auto n = read_house(c, 1, Str::CmdNotNumber, Str::CmdSignOfHouseBadHouse);
    if (!n) return TCL_ERROR;
    const auto words = read_option_words(c, 2, kWordMov | kWordFix | kWordShsd | kWordShod | kWordRasi | kWordNav);
    if (!words) return TCL_ERROR;
    const bool against = *words & kWordShod;
    const Horoscope& h = current(c);
    if (*words & kWordNav) return c.ok_int(navamsa_sign_of_house(h, *n, against));
    return c.ok_int(sign_of_house(h, *n, against, *words & kWordFix));
}

int cmd_name_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    return c.ok_text(planet_name(*p));
}

int cmd_name_of_sign(Call& c) {
    const auto s = read_planet(c, 1, Str::CmdNotNumber, Str::CmdBadSign, kSignCount);
    if (!s) return TCL_ERROR;
    return c.ok_text(sign_name(*s));
}

int cmd_name_of_sub(Call& c) {
    const auto s = read_planet(c, 1, Str::CmdNotNumber, Str::CmdBadSub, kSubDivisions);
    if (!s) return TCL_ERROR;
    return c.ok_text(subdivision_label(*s));
}

// The sign's name rather than its number: scripts print it, and NameOfSign turns a number
// into the same text.
int cmd_fix_sub_of_planet(Call& c) {
    const auto sub = read_planet(c, 1, Str::CmdNotNumber, Str::CmdFirstOutOfRange, kSubDivisions);
    if (!sub) return TCL_ERROR;
    const auto p = read_planet(c, 2, Str::CmdNotNumber, Str::CmdSecondOutOfRange);
    if (!p) return TCL_ERROR;
    return c.ok_text(sign_name(current(c).hindu.divisions[static_cast<std::size_t>(*p)][static_cast<std::size_t>(*sub)]));
}

int cmd_house_occupied(Call& c) { return house_occupied(c, false); }
int cmd_house_occupied2(Call& c) { return house_occupied(c, true); }

int cmd_house_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    const auto words = read_option_words(c, 2, kWordCenter | kWordNoCenter | kWordShsd | kWordShod | kWordRasi | kWordNav);
    if (!words) return TCL_ERROR;
    const Horoscope& h = current(c);
    const bool against = *words & kWordShod;
    const int house = (*words & kWordNav) ? navamsa_house(h, navamsa_sign(h, *p), against)
                                          : house_of_planet(h, *p, against, *words & kWordCenter);
    if (house < 0) return c.fail(Str::CmdCannotFindHouse);
    return c.ok_int(house);
}

int cmd_house_of_point(Call& c) {
    const auto lon = c.real(1);
    if (!lon) return c.fail(Str::CmdNotNumber);
    const auto words = read_option_words(
        c, 2, kWordCenter | kWordNoCenter | kWordShsd | kWordShod | kWordRasi | kWordNav | kWordMov | kWordFix);
    if (!words) return TCL_ERROR;
    const Horoscope& h = current(c);
    const bool against = *words & kWordShod;
    int house = -1;
    if (*words & kWordNav)
        house = navamsa_house(h, subdivision_sign(4, *lon), against);
    else
        house = house_of_point(against, *words & kWordCenter, (*words & kWordFix) ? h.houses_fixed : h.houses_movable,
                               AngleValue::degrees(*lon));
    if (house < 0) return c.fail(Str::CmdCannotFindHouse);
    return c.ok_int(house);
}

int cmd_fix_lord_of_house(Call& c) { return lord_of_house_cmd(c, false, true); }
int cmd_fix_lord_of_house2(Call& c) { return lord_of_house_cmd(c, true, true); }
int cmd_mov_lord_of_house(Call& c) { return lord_of_house_cmd(c, false, false); }
int cmd_mov_lord_of_house2(Call& c) { return lord_of_house_cmd(c, true, false); }

int cmd_lord_of_house(Call& c) {
    const auto n = read_house(c, 1);
    if (!n) return TCL_ERROR;
    int rank = 0;
    const auto words = read_options_with_rank(c, 2, kWordMov | kWordFix | kWordShsd | kWordShod | kWordRasi | kWordNav, rank);
    if (!words) return TCL_ERROR;
    const Horoscope& h = current(c);
    const bool against = *words & kWordShod;
    if (*words & kWordNav) {
        const int sign = navamsa_sign_of_house(h, *n, against);
        return c.ok_int(sign < 0 ? -1 : lord_of_sign(sign, rank));
    }
    return c.ok_int(lord_of_house(h, *n, rank, against, *words & kWordFix));
}

int cmd_lord_of_planet(Call& c) {
    const auto p = read_planet(c, 1);
    if (!p) return TCL_ERROR;
    int rank = 0;
    const auto words = read_options_with_rank(c, 2, kWordMov | kWordFix | kWordRasi | kWordNav, rank);
    if (!words) return TCL_ERROR;
    const Horoscope& h = current(c);
    const int sign = (*words & kWordNav) ? navamsa_sign(h, *p)
                     : sign_of_longitude(h.position((*words & kWordFix) ? PositionFrame::GeoFixed : PositionFrame::GeoMovable, *p).longitude);
    if (sign < 0) return c.fail(Str::CmdLordOfPlanetNoLongitude);
    return c.ok_int(lord_of_sign(sign, rank));
}

int cmd_lord_of_sign(Call& c) {
    int rank = 0;
    if (c.objc == 3) {
        if (c.word(2) != "-second") return c.fail(Str::CmdLordOfSignUsage);
        rank = 1;
    }
    const int sign = sign_from_number_or_name(c.word(1));
    if (sign < 0) return c.fail(Str::CmdLordOfSignBadSign);
    return c.ok_int(lord_of_sign(sign, rank));
}

}  // namespace tellurim::script_chart
