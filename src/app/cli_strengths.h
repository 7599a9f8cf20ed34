#pragma once
// The strength and Ashtakavarga sections of `chart`: the text tables and the JSON keys
// `strengths` and `ashtakavarga`.

#include <nlohmann/json.hpp>

#include "core/horoscope.h"

namespace tellurim {

// "Hindu strength of planets" to the Ashtakavarga quality lines, on standard output.
void print_strengths_text(const Horoscope& h);
nlohmann::json strengths_json(const Horoscope& h);
nlohmann::json ashtakavarga_json(const Horoscope& h);

}  // namespace tellurim
