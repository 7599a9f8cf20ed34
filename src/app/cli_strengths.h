#pragma once
// The JSON keys `strengths` and `ashtakavarga` of `chart` (the results report prints the
// same tables as text).

#include <nlohmann/json.hpp>

#include "core/horoscope.h"

namespace tellurim {

nlohmann::json strengths_json(const Horoscope& h);
nlohmann::json ashtakavarga_json(const Horoscope& h);

}  // namespace tellurim
