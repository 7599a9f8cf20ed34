#pragma once
// The script commands on the horoscope list, the birth data, signs, houses, lords, longitudes and aspects:
// their handlers, whose rows are in commands_chart.inc.

#include <memory>

#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "script/command_call.h"

namespace tellurim::script_chart {

// What a run needs to compute horoscopes: the ephemeris provider of its options, loaded by the
// first command that computes, and a worker table when the run was given none.
struct ComputeTools {
    EphemerisLibrary library;
    WorkerThreads own_workers;
};
// The run's tools, made (and the provider loaded) on first use.
ComputeTools& compute_tools(ScriptContext& ctx);
// Computes `data` with the run's options into a new horoscope, appended to the list and made
// current. False when the computation fails (its messages have gone to the run's sink).
bool compute_and_append(ScriptContext& ctx, const BirthData& data);

// Horoscope list and run control
int cmd_set_current_horoscope(Call& c);
int cmd_compute_horoscope(Call& c);
int cmd_remove_horoscope(Call& c);
int cmd_horoscope_count(Call& c);
int cmd_current_horoscope_number(Call& c);
int cmd_current_horoscope_valid(Call& c);
int cmd_planet_count(Call& c);

// Birth data
int cmd_name(Call& c);
int cmd_first_name(Call& c);
int cmd_sex(Call& c);
int cmd_birth_city(Call& c);
int cmd_birth_county(Call& c);
int cmd_birth_state(Call& c);
int cmd_birth_country(Call& c);
int cmd_birth_tz(Call& c);
int cmd_birth_date_hour_ut(Call& c);
int cmd_longitude_of_birth_place(Call& c);
int cmd_latitude_of_birth_place(Call& c);

}  // namespace tellurim::script_chart

namespace tellurim::script_chart {

// Signs, houses and lords (commands_chart_signs.cpp)
int cmd_fix_sign_of_planet(Call& c);
int cmd_mov_sign_of_planet(Call& c);
int cmd_sign_of_planet(Call& c);
int cmd_sign_of_point(Call& c);
int cmd_sign_of_house(Call& c);
int cmd_name_of_planet(Call& c);
int cmd_name_of_sign(Call& c);
int cmd_name_of_sub(Call& c);
int cmd_fix_sub_of_planet(Call& c);
int cmd_house_occupied(Call& c);
int cmd_house_occupied2(Call& c);
int cmd_house_of_planet(Call& c);
int cmd_house_of_point(Call& c);
int cmd_fix_lord_of_house(Call& c);
int cmd_fix_lord_of_house2(Call& c);
int cmd_mov_lord_of_house(Call& c);
int cmd_mov_lord_of_house2(Call& c);
int cmd_lord_of_house(Call& c);
int cmd_lord_of_planet(Call& c);
int cmd_lord_of_sign(Call& c);

// Longitudes, latitudes and aspects (commands_chart_longitudes.cpp)
int cmd_fix_long_of_planet(Call& c);
int cmd_mov_long_of_planet(Call& c);
int cmd_long_of_planet(Call& c);
int cmd_set_long_of_planet(Call& c);
int cmd_lat_of_planet(Call& c);
int cmd_helio_long(Call& c);
int cmd_helio_lat(Call& c);
int cmd_planet_is_retro(Call& c);
int cmd_fix_long_of_house(Call& c);
int cmd_fix_long_of_house2(Call& c);
int cmd_mov_long_of_house(Call& c);
int cmd_long_of_house(Call& c);
int cmd_azimuth_elevation(Call& c);
int cmd_aspect_pp(Call& c);
int cmd_aspect_ph(Call& c);

// Helpers shared by the files of this group.
// Degrees of an angle, positive infinity when it is not one.
double degrees_of(const AngleValue& a);
// The cusp row of house 1..12: counted with the signs (h - 1), or against them ((13 - h) mod 12).
int cusp_row(int house, bool against);
// The navamsa sign (0..11) of a planet, -1 when undefined.
int navamsa_sign(const Horoscope& h, int planet);
// The house (1..12) of a navamsa sign, counted from the Ascendant's navamsa sign; -1 when undefined.
int navamsa_house(const Horoscope& h, int sign, bool against);
// The navamsa sign of house 1..12; -1 when undefined.
int navamsa_sign_of_house(const Horoscope& h, int house, bool against);

}  // namespace tellurim::script_chart
