// Rows of the planet glyph styles and the planet-in-house halos: for each planet, its colour,
// one row per sign and motion for its style, and one per house for its halo.
#include <fmt/format.h>

#include <array>

#include "base/strings.h"
#include "base/text.h"
#include "files/option_keys.h"

namespace tellurim {
namespace {

// The planets as the keys name them, rows 0 to 17 of the record.
constexpr std::array<const char*, kPlanetRows> kPlanetKeys{
    "sun",    "moon",   "mercury", "venus",   "mars",    "jupiter", "saturn", "ascendant", "midheaven",
    "rahu",   "kethu",  "uranus",  "neptune", "pluto",   "fortune", "gulika", "mandi",     "arudha"};
constexpr std::array<const char*, 12> kSignKeys{"aries", "taurus",  "gemini",      "cancer",      "leo",      "virgo",
                                                "libra", "scorpio", "sagittarius", "capricornus", "aquarius", "pisces"};
constexpr std::array<const char*, 2> kMotionKeys{"direct", "retrograde"};

std::string number_text(float v) { return fmt::format("{}", v); }

// Checks values[first ...] against `fields`; stores nothing.
bool values_ok(const std::vector<std::string>& values, std::size_t first, std::initializer_list<GlyphField> fields) {
    std::size_t i = first;
    for (GlyphField f : fields)
        if (!glyph_value_ok(f, values[i++])) return false;
    return true;
}

std::string style_text(const GlyphStyle& s) {
    return fmt::format("{} {} {} {} {} {} {}", format_argb(s.pen_colour), format_argb(s.brush_colour),
                       number_text(s.pen_size), s.halo_on ? "yes" : "no", format_argb(s.halo_centre),
                       format_argb(s.halo_border), number_text(s.halo_size));
}

std::string halo_text(const HouseHalo& h) {
    return fmt::format("{} {} {} {}", h.on ? "yes" : "no", format_argb(h.centre), format_argb(h.border),
                       number_text(h.size));
}

}  // namespace

bool glyph_value_ok(GlyphField field, std::string_view text) {
    switch (field) {
        case GlyphField::Colour: return parse_argb(text).has_value();
        case GlyphField::Flag: return parse_yes_no(text).has_value();
        case GlyphField::Size: {
            // Pen widths and halo sizes in pixels of the wheel.
            auto v = parse_finite(text);
            return v && *v >= 0.0 && *v <= kMaxGlyphSize;
        }
    }
    return false;
}

void append_glyph_keys(OptionKeys& keys) {
    using enum GlyphField;
    const std::string glyphs = "Planet glyphs";
    for (std::size_t p = 0; p < kPlanetRows; ++p) {
        const std::string planet = kPlanetKeys[p];
        keys.push_back(argb_key("glyphs." + planet + ".colour", glyphs,
                                [p](Options& o) -> std::uint32_t& { return o.glyphs.planet_colours[p]; }));
        for (std::size_t sign = 0; sign < 12; ++sign)
            for (std::size_t m = 0; m < 2; ++m) {
                OptionKey style{"glyphs." + planet + "." + kSignKeys[sign] + "." + kMotionKeys[m], glyphs,
                                "PEN BRUSH PEN-SIZE HALO(yes|no) HALO-CENTRE HALO-BORDER HALO-SIZE", 7, 7};
                style.set = [p, sign, m](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
                    if (!values_ok(v, 0, {Colour, Colour, Size, Flag, Colour, Colour, Size}))
                        return str(Str::FilesNotACorrectValue);
                    GlyphStyle& s = ctx.options.glyphs.styles[p][sign][m];
                    s.pen_colour = *parse_argb(v[0]);
                    s.brush_colour = *parse_argb(v[1]);
                    s.pen_size = static_cast<float>(*parse_finite(v[2]));
                    s.halo_on = *parse_yes_no(v[3]) ? 1 : 0;
                    s.halo_centre = *parse_argb(v[4]);
                    s.halo_border = *parse_argb(v[5]);
                    s.halo_size = static_cast<float>(*parse_finite(v[6]));
                    return std::nullopt;
                };
                style.get = [p, sign, m](const OptionContext& ctx) { return style_text(ctx.options.glyphs.styles[p][sign][m]); };
                keys.push_back(std::move(style));
            }
    }
    for (std::size_t p = 0; p < kPlanetRows; ++p)
        for (std::size_t h = 0; h < 12; ++h) {
            OptionKey halo{std::string("house-halos.") + kPlanetKeys[p] + "." + std::to_string(h + 1),
                           "Planet-in-house halos", "ON(yes|no) CENTRE BORDER SIZE", 4, 4};
            halo.set = [p, h](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
                if (!values_ok(v, 0, {Flag, Colour, Colour, Size})) return str(Str::FilesNotACorrectValue);
                HouseHalo& x = ctx.options.house_halos.halos[p][h];
                x.on = *parse_yes_no(v[0]) ? 1 : 0;
                x.centre = *parse_argb(v[1]);
                x.border = *parse_argb(v[2]);
                x.size = static_cast<float>(*parse_finite(v[3]));
                return std::nullopt;
            };
            halo.get = [p, h](const OptionContext& ctx) { return halo_text(ctx.options.house_halos.halos[p][h]); };
            keys.push_back(std::move(halo));
        }
}

}  // namespace tellurim
