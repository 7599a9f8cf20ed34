#pragma once
// The script commands on time, lunations, angles, Hindu analysis, fixed stars and the run's settings:
// their handlers, whose rows are in commands_sky.inc.

#include "script/command_call.h"

namespace tellurim::script_sky {

// Time, lunations and lords of time (commands_sky.cpp).
int cmd_sunrise(Call& c);
int cmd_sunset(Call& c);
int cmd_first_new_moon(Call& c);
int cmd_first_quarter(Call& c);
int cmd_full_moon(Call& c);
int cmd_last_quarter(Call& c);
int cmd_second_new_moon(Call& c);
int cmd_first_new_moon_eclipse(Call& c);
int cmd_full_moon_eclipse(Call& c);
int cmd_second_new_moon_eclipse(Call& c);
int cmd_moon_day(Call& c);
int cmd_year_lord(Call& c);
int cmd_month_lord(Call& c);
int cmd_day_lord(Call& c);
int cmd_hour_lord(Call& c);
int cmd_date_to_jd(Call& c);
int cmd_jd_to_date(Call& c);
int cmd_ayanamsa(Call& c);
int cmd_ayanamsa_to_jd(Call& c);
int cmd_zero_jd(Call& c);
int cmd_sidereal_time(Call& c);
int cmd_epsilon(Call& c);
int cmd_mean_ra_sun_speed(Call& c);
int cmd_primary_direction(Call& c);

// Angles.
int cmd_d2r(Call& c);
int cmd_r2d(Call& c);
int cmd_to_z360(Call& c);
int cmd_format_sign_longitude(Call& c);

// Hindu analysis.
int cmd_h_aspected_by(Call& c);
int cmd_h_friendship(Call& c);
int cmd_h_quality_of_planet(Call& c);
int cmd_h_quality_of_aspect(Call& c);
int cmd_strength_of_planet(Call& c);
int cmd_strength_of_house(Call& c);
int cmd_kala_bala(Call& c);
int cmd_number_of_bindus(Call& c);

// Fixed stars (commands_sky_settings.cpp).
int cmd_stars_count(Call& c);
int cmd_name_of_star(Call& c);
int cmd_comment_of_star(Call& c);
int cmd_id_of_star(Call& c);
int cmd_id_star_to_num(Call& c);
int cmd_star_conjunction(Call& c);
int cmd_id_star_conjunction(Call& c);

// Settings of the run: the context's private copy of the options.
int cmd_get_astro_type(Call& c);
int cmd_set_astro_type(Call& c);
int cmd_is_shsd(Call& c);
int cmd_set_shsd(Call& c);
int cmd_is_cusp_center(Call& c);
int cmd_set_cusp_center(Call& c);
int cmd_get_fortune(Call& c);
int cmd_set_fortune(Call& c);
int cmd_get_zero_date(Call& c);
int cmd_set_zero_date(Call& c);
int cmd_get_houses(Call& c);
int cmd_set_houses(Call& c);
int cmd_type_of_house(Call& c);
int cmd_fill_signs(Call& c);
int cmd_horoscope_dir(Call& c);
int cmd_sign_color(Call& c);
int cmd_planet_color(Call& c);
int cmd_pen_color(Call& c);
int cmd_background_color(Call& c);

}  // namespace tellurim::script_sky
