#include "files/option_keys.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/strings.h"
#include "base/text.h"

namespace tellurim {

const OptionKeys& all_option_keys() {
    // Built once, read-only afterwards.
    static const OptionKeys keys = [] {
        OptionKeys k;
        append_interface_keys(k);
        append_astrology_keys(k);
        append_paths_keys(k);
        append_font_keys(k);
        append_colour_keys(k);
        append_glyph_keys(k);
        append_drawing_keys(k);
        append_aspect_filter_keys(k);
        append_my_city_keys(k);
        append_database_keys(k);
        append_table_keys(k);
        append_ephemeris_keys(k);
        append_geocoding_keys(k);
        return k;
    }();
    return keys;
}

const OptionKey* find_option_key(std::string_view name) {
    for (const OptionKey& k : all_option_keys())
        if (k.name == name) return &k;
    return nullptr;
}

std::optional<bool> parse_yes_no(std::string_view text) {
    std::string t(trim(text));
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return std::tolower(c); });
    if (t == "yes" || t == "true" || t == "on" || t == "1") return true;
    if (t == "no" || t == "false" || t == "off" || t == "0") return false;
    return std::nullopt;
}

std::optional<std::uint32_t> parse_argb(std::string_view text) {
    std::string_view t = trim(text);
    if (t.starts_with('#'))
        t.remove_prefix(1);
    else if (t.starts_with("0x") || t.starts_with("0X"))
        t.remove_prefix(2);
    else
        return std::nullopt;
    if (t.size() != 6 && t.size() != 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : t) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                            : -1;
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return t.size() == 6 ? 0xFF000000u | v : v;
}

std::string format_argb(std::uint32_t argb) { return fmt::format("#{:08X}", argb); }

std::optional<double> parse_finite(std::string_view text) {
    auto v = parse_decimal(trim(text));
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

OptionKey flag_key(std::string name, std::string block, std::function<std::uint8_t&(Options&)> field) {
    OptionKey k{std::move(name), std::move(block), "yes|no"};
    k.set = [field](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto b = parse_yes_no(v[0]);
        if (!b) return str(Str::FilesNotACorrectValue);
        field(ctx.options) = *b ? 1 : 0;
        return std::nullopt;
    };
    k.get = [field](const OptionContext& ctx) -> std::string { return field(ctx.options) ? "yes" : "no"; };
    return k;
}

OptionKey text_key(std::string name, std::string block, std::size_t units, std::function<std::string&(Options&)> field) {
    OptionKey k{std::move(name), std::move(block), "TEXT"};
    k.set = [field, units](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        // The record holds units - 1 characters and the terminating NUL.
        if (truncate_utf16_units(v[0], units) != v[0]) return str(Str::FilesNotACorrectValue);
        field(ctx.options) = v[0];
        return std::nullopt;
    };
    k.get = [field](const OptionContext& ctx) { return field(ctx.options); };
    return k;
}

OptionKey argb_key(std::string name, std::string block, std::function<std::uint32_t&(Options&)> field) {
    OptionKey k{std::move(name), std::move(block), "#AARRGGBB"};
    k.set = [field](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto c = parse_argb(v[0]);
        if (!c) return str(Str::FilesNotACorrectValue);
        field(ctx.options) = *c;
        return std::nullopt;
    };
    k.get = [field](const OptionContext& ctx) { return format_argb(field(ctx.options)); };
    return k;
}

OptionKey shown_key(std::string name, std::string block, std::function<std::string(const Options&)> get) {
    OptionKey k{std::move(name), std::move(block), ""};
    k.get = [get](const OptionContext& ctx) { return get(ctx.options); };
    return k;
}

}  // namespace tellurim
