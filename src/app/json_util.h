#pragma once
// Helpers for the --json outputs: undefined numbers (infinities) become null.

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "base/text.h"

namespace tellurim {

inline nlohmann::json json_number(double v) {
    if (!std::isfinite(v)) return nullptr;
    return v;
}

// The JSON text of every --json output. Names, places and paths come from the user and from
// files and may hold bytes that are not UTF-8: each such byte prints as U+FFFD instead of
// aborting the output.
inline std::string json_text(const nlohmann::json& j) {
    return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

inline std::string trim_message(std::string_view m) { return std::string(trim(m)); }

}  // namespace tellurim
