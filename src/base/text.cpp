#include "base/text.h"

#include <charconv>
#include <cmath>

namespace tellurim {

std::u16string utf8_to_utf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 0x6 && i + 1 < s.size()) {
            cp = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F);
            len = 2;
        } else if ((c >> 4) == 0xE && i + 2 < s.size()) {
            cp = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            len = 3;
        } else if ((c >> 3) == 0x1E && i + 3 < s.size()) {
            cp = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) |
                 (s[i + 3] & 0x3F);
            len = 4;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string truncate_utf16_units(std::string_view utf8, std::size_t units) {
    if (units == 0) return {};
    std::u16string wide = utf8_to_utf16(utf8);
    if (wide.size() <= units - 1) return std::string(utf8);
    std::size_t keep = units - 1;
    // never split a surrogate pair
    if (keep > 0 && wide[keep - 1] >= 0xD800 && wide[keep - 1] < 0xDC00) --keep;
    return utf16_to_utf8(std::u16string_view(wide).substr(0, keep));
}

std::string_view trim(std::string_view text) {
    const char* ws = " \t\r\n";
    auto b = text.find_first_not_of(ws);
    if (b == std::string_view::npos) return {};
    auto e = text.find_last_not_of(ws);
    return text.substr(b, e - b + 1);
}

std::vector<std::string_view> split_tokens(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = text.find_first_not_of(separators, i);
        if (b == std::string_view::npos) break;
        auto e = text.find_first_of(separators, b);
        if (e == std::string_view::npos) e = text.size();
        out.push_back(text.substr(b, e - b));
        i = e;
    }
    return out;
}

std::optional<long long> parse_integer(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<double> parse_decimal(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

}  // namespace tellurim
