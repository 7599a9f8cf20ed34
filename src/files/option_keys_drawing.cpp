// Rows of the fonts, the colours and the chart drawing settings.
#include <fmt/format.h>

#include <array>
#include <cmath>

#include "core/angle_value.h"
#include "core/strings.h"
#include "core/text.h"
#include "files/option_keys.h"

namespace tellurim {
namespace {

// Font heights follow the size in points at 96 dots per inch: -MulDiv(size, 96, 72).
std::int32_t font_height(std::int32_t points) {
    return -static_cast<std::int32_t>(std::lround(static_cast<double>(points) * 96.0 / 72.0));
}

}  // namespace

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
    keys.push_back(shown_key("glyphs.planet-colours", "Planet glyphs", [](const Options& o) {
        std::string s;
        for (Argb c : o.glyphs.planet_colours) s += (s.empty() ? "" : " ") + format_argb(c);
        return s;
    }));
    keys.push_back(shown_key("house-halos.on", "Planet-in-house halos", [](const Options& o) {
        int on = 0;
        for (const auto& planet : o.house_halos.halos)
            for (const HouseHalo& h : planet) on += h.on != 0;
        return fmt::format("{} of {}", on, kPlanetRows * 12);
    }));
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
    keys.push_back(shown_key("drawing.aspect-filters", block, [](const Options& o) {
        const DrawingOptions& d = o.drawing;
        return fmt::format("planets {:#x} {:#x} / {:#x} {:#x} mode {}, houses {:#x} {:#x} / {:#x} {:#x} mode {}",
                           d.planets_masks_1[0], d.planets_masks_1[1], d.planets_masks_2[0], d.planets_masks_2[1],
                           d.planets_mode, d.houses_masks_1[0], d.houses_masks_1[1], d.houses_masks_2[0],
                           d.houses_masks_2[1], d.houses_mode);
    }));
}

}  // namespace tellurim
