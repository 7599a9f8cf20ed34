#pragma once
// Shared by the fuzz targets: views of the input and a check that stops the run on a broken
// invariant (libFuzzer then keeps the input as a crash).

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tellurim::fuzz {

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}
inline std::span<const std::uint8_t> as_bytes(const std::uint8_t* data, std::size_t size) { return {data, size}; }

// Splits the input at its first line feed: the head (names of a query) and the rest (a file).
inline std::pair<std::string_view, std::string_view> split_first_line(std::string_view text) {
    const auto nl = text.find('\n');
    if (nl == std::string_view::npos) return {text, {}};
    return {text.substr(0, nl), text.substr(nl + 1)};
}

// Splits a query line "a|b" into its two names (b empty without a bar).
inline std::pair<std::string, std::string> split_bar(std::string_view query) {
    const auto bar = query.find('|');
    if (bar == std::string_view::npos) return {std::string(query), {}};
    return {std::string(query.substr(0, bar)), std::string(query.substr(bar + 1))};
}

inline void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace tellurim::fuzz
