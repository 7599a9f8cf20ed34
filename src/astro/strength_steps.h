#pragma once
// Pipeline steps 15 to 20: quality of planets, planet strengths, house strengths, the
// Ashtakavarga bindus and their trikona and ekadhipatya reductions. Each reads the computed
// horoscope (positions, houses, and the Hindu tables of steps 10 to 14) and fills its table.

#include "astro/strengths.h"
#include "core/horoscope.h"

namespace tellurim {

bool planet_quality_step(Horoscope& h);   // 15
// 16. On failure h.strengths.failed_component names the component (1..16) that stopped it.
bool planet_strengths_step(Horoscope& h);
bool house_strengths_step(Horoscope& h);  // 17
bool bindus_step(Horoscope& h);           // 18
bool trikona_step(Horoscope& h);          // 19
bool ekadhi_step(Horoscope& h);           // 20

// What the strength components read, gathered from a computed horoscope.
StrengthInputs strength_inputs(const Horoscope& h);
HouseStrengthInputs house_strength_inputs(const Horoscope& h);

}  // namespace tellurim
