#pragma once
// Helpers for the --json outputs: undefined numbers (infinities) become null.

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "core/text.h"

namespace tellurim {

inline nlohmann::json json_number(double v) {
    if (!std::isfinite(v)) return nullptr;
    return v;
}

inline std::string trim_message(std::string_view m) { return std::string(trim(m)); }

}  // namespace tellurim
