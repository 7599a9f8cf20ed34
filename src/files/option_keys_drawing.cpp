// Rows of the fonts, the colours, the chart drawing settings and the aspect filters.
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

#include "astro/planets_signs.h"
#include "base/angle_value.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/option_keys.h"

namespace tellurim {
namespace {

// Font heights follow the size in points at 96 dots per inch: -MulDiv(size, 96, 72).
std::int32_t font_height(std::int32_t points) {
    return -static_cast<std::int32_t>(std::lround(static_cast<double>(points) * 96.0 / 72.0));
}

// --- aspect filters ("Aspects on Planets", "Aspects on Houses") ------------------------------
// Each dialog has two tabs; a tab holds the boxes of its "Aspects" column (a set bit is a ticked
// box) and of its "Hide:" column (stored inverted: a set bit shows the body). Only the bits of
// the boxes change; the others keep their value.

// The boxes of a filter: their names, another accepted name and bits.
struct FilterBox {
    std::string name;
    std::string alias;
    std::uint32_t bit;
};
std::vector<FilterBox> planet_boxes() {
    std::vector<FilterBox> boxes;
    for (int p : {kSun, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kRahu, kKethu, kUranus, kNeptune, kPluto,
                  kFortune})
        boxes.push_back({std::string(planet_name(p)), p == kKethu ? "Ketu" : p == kFortune ? "Fortune" : "", 1u << p});
    return boxes;
}
std::vector<FilterBox> house_boxes() {
    std::vector<FilterBox> boxes;
    for (int h = 1; h <= 12; ++h) boxes.push_back({std::string(house_roman(h)), std::to_string(h), 1u << (h - 1)});
    return boxes;
}
// The four modes of a dialog: bit 0, 2, 3 and 4 of its mode word.
std::vector<FilterBox> mode_boxes() {
    return {{"outside", "", 1u << 0},
            {"inside", "", 1u << 2},
            {"outside-on-inside", "", 1u << 3},
            {"inside-on-outside", "", 1u << 4}};
}

std::string lower_text(std::string_view t) {
    std::string s(t);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The bits of the boxes named in `values` (names separated by blanks or commas, any case;
// houses also by number; "all" or "none"); nullopt for an unknown name.
std::optional<std::uint32_t> named_bits(const std::vector<FilterBox>& boxes, const std::vector<std::string>& values) {
    std::uint32_t bits = 0;
    std::string all;
    for (const std::string& v : values) all += v + " ";
    std::replace(all.begin(), all.end(), ',', ' ');
    for (std::size_t at = 0; at < all.size();) {
        const std::size_t end = std::min(all.find(' ', at), all.size());
        const std::string word = lower_text(all.substr(at, end - at));
        at = end + 1;
        if (word.empty() || word == "none") continue;
        bool found = false;
        for (const FilterBox& b : boxes) {
            if (word == "all" || word == lower_text(b.name) || (!b.alias.empty() && word == lower_text(b.alias))) {
                bits |= b.bit;
                found = true;
            }
        }
        if (!found) return std::nullopt;
    }
    return bits;
}

std::string box_names(const std::vector<FilterBox>& boxes, std::uint32_t bits) {
    std::string names;
    int n = 0;
    for (const FilterBox& b : boxes)
        if (bits & b.bit) {
            names += (names.empty() ? "" : " ") + b.name;
            ++n;
        }
    if (n == 0) return "none";
    return n == static_cast<int>(boxes.size()) ? "all" : names;
}

// A row over the boxes of one word of the drawing settings; `inverted` for the "Hide:" column.
OptionKey filter_key(std::string name, std::vector<FilterBox> boxes, bool inverted,
                     std::function<std::uint32_t&(Options&)> word) {
    OptionKey k{std::move(name), "Aspect filters", "NAME... | all | none", 1, 32};
    std::uint32_t mask = 0;
    for (const FilterBox& b : boxes) mask |= b.bit;
    k.set = [boxes, inverted, word, mask](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto bits = named_bits(boxes, v);
        if (!bits) return str(Str::FilesNotACorrectValue);
        const std::uint32_t stored = inverted ? ~*bits & mask : *bits;
        std::uint32_t& w = word(ctx.options);
        w = (w & ~mask) | stored;
        return std::nullopt;
    };
    k.get = [boxes, inverted, word, mask](const OptionContext& ctx) {
        const std::uint32_t w = word(ctx.options);
        return box_names(boxes, inverted ? ~w & mask : w & mask);
    };
    return k;
}

}  // namespace

void append_aspect_filter_keys(OptionKeys& keys) {
    // The first pair of masks of each dialog is its first tab, the second pair its second tab.
    struct Tab {
        const char* name;
        std::array<std::uint32_t, 2> DrawingOptions::*masks;
        bool houses;
    };
    static constexpr Tab kTabs[] = {
        {"aspect-filters.planets.1", &DrawingOptions::planets_masks_1, false},
        {"aspect-filters.planets.2", &DrawingOptions::planets_masks_2, false},
        {"aspect-filters.houses.1", &DrawingOptions::houses_masks_1, true},
        {"aspect-filters.houses.2", &DrawingOptions::houses_masks_2, true},
    };
    for (const Tab& t : kTabs) {
        auto masks = t.masks;
        const auto boxes = t.houses ? house_boxes() : planet_boxes();
        keys.push_back(filter_key(std::string(t.name) + ".aspects", boxes, false,
                                  [masks](Options& o) -> std::uint32_t& { return (o.drawing.*masks)[0]; }));
        keys.push_back(filter_key(std::string(t.name) + ".hide", boxes, true,
                                  [masks](Options& o) -> std::uint32_t& { return (o.drawing.*masks)[1]; }));
    }
    keys.push_back(filter_key("aspect-filters.planets.modes", mode_boxes(), false,
                              [](Options& o) -> std::uint32_t& { return o.drawing.planets_mode; }));
    keys.push_back(filter_key("aspect-filters.houses.modes", mode_boxes(), false,
                              [](Options& o) -> std::uint32_t& { return o.drawing.houses_mode; }));
}

void append_font_keys(OptionKeys& keys) {
    const std::string block = "Fonts";
    static constexpr std::array<const char*, kFontCount> kEntries{"global", "title", "eclipse", "informations", "tooltips"};
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        const std::string prefix = std::string("fonts.") + kEntries[i];
        auto font = [i](Options& o) -> FontSetting& { return o.fonts[i]; };

        OptionKey face{prefix + ".face", block, "NAME"};
        face.set = [font](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            const std::string name(trim(v[0]));
            if (name.empty() || truncate_utf16_units(name, kFaceNameUnits) != name) return str(Str::FilesNotACorrectValue);
            // The name goes into the reports' HTML and rich text: no markup, no control.
            constexpr std::string_view kMarkup = "<>&\";{}\\";
            for (char c : name)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || kMarkup.find(c) != std::string_view::npos)
                    return str(Str::FontFaceRefused);
            font(ctx.options).font.face_name = name;
            return std::nullopt;
        };
        face.get = [font](const OptionContext& ctx) { return font(ctx.options).font.face_name; };
        keys.push_back(std::move(face));

        OptionKey size{prefix + ".size", block, "POINTS (1-400)"};
        size.set = [font](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            auto points = parse_integer(trim(v[0]));
            if (!points || *points < 1 || *points > 400) return str(Str::FilesNotACorrectValue);
            FontSetting& f = font(ctx.options);
            // The default tooltip font is 8 points drawn at the 9-point height: kept unless
            // the size changes.
            if (f.size_points == *points) return std::nullopt;
            f.size_points = static_cast<std::int32_t>(*points);
            f.font.height = font_height(f.size_points);
            return std::nullopt;
        };
        size.get = [font](const OptionContext& ctx) { return std::to_string(font(ctx.options).size_points); };
        keys.push_back(std::move(size));

        // A COLORREF in the record (red in the low byte), "#RRGGBB" for the user.
        OptionKey colour{prefix + ".colour", block, "#RRGGBB"};
        colour.set = [font](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            auto c = parse_argb(v[0]);
            if (!c || (*c >> 24) != 0xFF) return str(Str::FilesNotACorrectValue);
            font(ctx.options).colour = ((*c & 0xFF) << 16) | (*c & 0xFF00) | ((*c >> 16) & 0xFF);
            return std::nullopt;
        };
        colour.get = [font](const OptionContext& ctx) {
            const ColorRef c = font(ctx.options).colour;
            return fmt::format("#{:02X}{:02X}{:02X}", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        };
        keys.push_back(std::move(colour));

        OptionKey bold{prefix + ".bold", block, "yes|no"};
        bold.set = [font](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            auto b = parse_yes_no(v[0]);
            if (!b) return str(Str::FilesNotACorrectValue);
            font(ctx.options).font.weight = *b ? 700 : 400;  // FW_BOLD, FW_NORMAL
            return std::nullopt;
        };
        bold.get = [font](const OptionContext& ctx) -> std::string { return font(ctx.options).font.weight >= 600 ? "yes" : "no"; };
        keys.push_back(std::move(bold));
        keys.push_back(flag_key(prefix + ".italic", block, [font](Options& o) -> std::uint8_t& { return font(o).font.italic; }));
        keys.push_back(flag_key(prefix + ".underline", block,
                                [font](Options& o) -> std::uint8_t& { return font(o).font.underline; }));
    }
}

void append_colour_keys(OptionKeys& keys) {
    const std::string block = "Colours";
    static constexpr std::string_view kClasses = "OBAFGKMRNS";
    for (std::size_t i = 0; i < kClasses.size(); ++i)
        keys.push_back(argb_key(fmt::format("colours.spectral-{}", static_cast<char>(kClasses[i] + ('a' - 'A'))), block,
                                [i](Options& o) -> std::uint32_t& { return o.colours.spectral[i]; }));
    struct Row {
        const char* name;
        Argb ColourSettings::*member;
    };
    static constexpr Row kRows[] = {
        {"colours.houses-outside", &ColourSettings::houses_outside},
        {"colours.houses-inside", &ColourSettings::houses_inside},
        {"colours.pen", &ColourSettings::pen},
        {"colours.drawing-background", &ColourSettings::drawing_background},
        {"colours.text-background", &ColourSettings::text_background},
        {"colours.tooltip-background", &ColourSettings::tooltip_background},
    };
    for (const Row& r : kRows) {
        auto member = r.member;
        keys.push_back(argb_key(r.name, block, [member](Options& o) -> std::uint32_t& { return o.colours.*member; }));
    }
    static constexpr std::array<const char*, 12> kSigns{"aries", "taurus", "gemini", "cancer", "leo", "virgo", "libra",
                                                        "scorpio", "sagittarius", "capricornus", "aquarius", "pisces"};
    for (std::size_t i = 0; i < kSigns.size(); ++i)
        keys.push_back(argb_key(std::string("colours.sign-") + kSigns[i], block,
                                [i](Options& o) -> std::uint32_t& { return o.colours.signs[i]; }));
    keys.push_back(text_key("colours.background-image", block, kPathUnits,
                            [](Options& o) -> std::string& { return o.colours.background_image; }));
}

void append_drawing_keys(OptionKeys& keys) {
    const std::string block = "Drawing";
    struct Flag {
        const char* name;
        std::uint8_t DrawingOptions::*member;
    };
    // The dialog's "Hide ..." boxes store the opposite: the rows name what is stored.
    static constexpr Flag kFlags[] = {
        {"drawing.use-wingdings", &DrawingOptions::use_wingdings},
        {"drawing.horizontal-horizon", &DrawingOptions::horizontal_horizon},
        {"drawing.counterclockwise", &DrawingOptions::counterclockwise},
        {"drawing.nice-planets", &DrawingOptions::nice_planets},
        {"drawing.tooltips", &DrawingOptions::tooltips},
        {"drawing.show-stars", &DrawingOptions::show_stars},
        {"drawing.show-moon-naks", &DrawingOptions::show_moon_naks},
        {"drawing.colour-naks", &DrawingOptions::colour_naks},
        {"drawing.colour-signs", &DrawingOptions::colour_signs},
        {"drawing.show-informations", &DrawingOptions::show_informations},
        {"drawing.show-signs", &DrawingOptions::show_signs},
        {"drawing.show-exaltations", &DrawingOptions::show_exaltations},
        {"drawing.show-graduations", &DrawingOptions::show_graduations},
        {"drawing.use-gradient", &DrawingOptions::use_gradient},
    };
    for (const Flag& f : kFlags) {
        auto member = f.member;
        keys.push_back(flag_key(f.name, block, [member](Options& o) -> std::uint8_t& { return o.drawing.*member; }));
    }

    OptionKey origin{"drawing.zodiac-origin", block, "ANGLE in [0, 360) degrees, e.g. 180d or 12h"};
    origin.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        // Radians, degrees or hours whose value in degrees lies in [0, 360).
        auto a = parse_angle(v[0]);
        if (!a || !a->is_angle()) return str(Str::FilesNotACorrectValue);
        const double deg = a->to_degrees();
        if (!(deg >= 0.0 && deg < 360.0)) return str(Str::FilesNotACorrectValue);
        ctx.options.drawing.zodiac_origin = *a;
        return std::nullopt;
    };
    origin.get = [](const OptionContext& ctx) { return format_angle(ctx.options.drawing.zodiac_origin); };
    keys.push_back(std::move(origin));

    OptionKey ratio{"drawing.aspect-ratio", block, "NUMBER (not zero)"};
    ratio.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        auto r = parse_finite(v[0]);
        // The record holds a float: a value that rounds to zero or overflows is no ratio.
        if (!r || !std::isfinite(static_cast<float>(*r)) || static_cast<float>(*r) == 0.0f)
            return str(Str::FilesNotACorrectValue);
        ctx.options.drawing.aspect_ratio = static_cast<float>(*r);
        return std::nullopt;
    };
    ratio.get = [](const OptionContext& ctx) { return fmt::format("{}", ctx.options.drawing.aspect_ratio); };
    keys.push_back(std::move(ratio));

    static constexpr std::array<const char*, 5> kSmoothing{"SmoothingModeDefault", "SmoothingModeHighSpeed",
                                                           "SmoothingModeHighQuality", "SmoothingModeNone",
                                                           "SmoothingModeAntiAlias"};
    OptionKey smoothing{"drawing.smoothing-mode", block, "0-4 or SmoothingModeDefault ... SmoothingModeAntiAlias"};
    smoothing.set = [](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
        const std::string_view t = trim(v[0]);
        for (std::size_t i = 0; i < kSmoothing.size(); ++i)
            if (t == kSmoothing[i] || t == std::to_string(i)) {
                ctx.options.drawing.smoothing_mode = static_cast<std::int32_t>(i);
                return std::nullopt;
            }
        return str(Str::FilesNotACorrectValue);
    };
    smoothing.get = [](const OptionContext& ctx) -> std::string {
        const std::int32_t m = ctx.options.drawing.smoothing_mode;
        return m >= 0 && m < 5 ? kSmoothing[static_cast<std::size_t>(m)] : std::to_string(m);
    };
    keys.push_back(std::move(smoothing));

    // One type of picture: the chart wheel.
    keys.push_back(shown_key("drawing.picture-type", block,
                             [](const Options& o) { return std::to_string(o.drawing.picture_type); }));
}

}  // namespace tellurim
