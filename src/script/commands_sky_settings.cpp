// The script commands on the stars catalogue and on the run's settings. Settings commands
// read and change only the context's private copy of the options, which dies with the run.
#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string>

#include "astro/star_commands.h"
#include "base/text.h"
#include "script/commands_sky.h"

namespace tellurim::script_sky {
namespace {

// --- fixed stars ---------------------------------------------------------------------------

int star_answer(Call& c, const StarCommandAnswer& a, bool number) {
    if (!a.ok) return c.fail(a.text);
    if (!number) return c.ok_text(a.text);
    return c.ok_long(static_cast<long>(parse_integer(a.text).value_or(-1)));
}

// The conjunction searches cache each star's position of date in its record. The catalogue
// is the application's, shared with other runs (TK runs on other threads among them), so each
// thread searches a copy of its own, kept while the catalogue stays the same: the positions of
// one date are computed once.
StarCatalogue* searchable(const StarCatalogue* shared) {
    thread_local StarCatalogue copy;
    thread_local const StarCatalogue* source = nullptr;
    if (!shared || !shared->loaded()) return nullptr;
    if (source != shared || copy.path != shared->path || copy.stars.size() != shared->stars.size()) {
        copy = *shared;
        source = shared;
    }
    return &copy;
}

// --- settings ------------------------------------------------------------------------------

// 0 or 1 from word 1; the command's message for another number.
std::optional<std::uint8_t> read_flag(Call& c, Str bad) {
    const std::optional<int> n = c.integer(1);
    if (!n) {
        c.fail(Str::CmdNotNumber);
        return std::nullopt;
    }
    if (*n != 0 && *n != 1) {
        c.fail(bad);
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*n);
}

constexpr std::array<std::string_view, kHouseSystemCount> kHouseNames{
    "Campanus", "Alcabitus", "Abenragel", "Regiomontanus", "Placidus", "Hindu", "ModusAequalis"};

std::string_view house_name(int system) {
    if (system < 0 || system >= kHouseSystemCount) return text(Str::SkyHousesNameUnknown);
    return kHouseNames[static_cast<std::size_t>(system)];
}

int ok_colour(Call& c, Argb colour) {
    return c.ok_text(fmt::format("#{:02X}{:02X}{:02X}", (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
}

// Each channel of `colour` over the same channel of `background` by the colour's alpha; each
// product is divided by 255 on its own, rounding toward zero.
Argb blend(Argb colour, Argb background) {
    const unsigned a = colour >> 24;
    Argb out = 0xFF000000;
    for (int shift : {16, 8, 0}) {
        const unsigned c = (colour >> shift) & 0xFF, b = (background >> shift) & 0xFF;
        out |= std::min(255u, c * a / 255 + b * (255 - a) / 255) << shift;
    }
    return out;
}

}  // namespace

int cmd_stars_count(Call& c) {
    if (!c.ctx.stars || !c.ctx.stars->loaded()) return c.fail(Str::StarsNotLoaded);
    return c.ok_long(static_cast<long>(c.ctx.stars->stars.size()));
}
int cmd_name_of_star(Call& c) { return star_answer(c, name_of_star(c.ctx.stars, c.word(1)), false); }
int cmd_comment_of_star(Call& c) { return star_answer(c, comment_of_star(c.ctx.stars, c.word(1)), false); }
int cmd_id_of_star(Call& c) { return star_answer(c, id_of_star(c.ctx.stars, c.word(1)), true); }
int cmd_id_star_to_num(Call& c) { return star_answer(c, id_star_to_num(c.ctx.stars, c.word(1)), true); }

int cmd_star_conjunction(Call& c) {
    return star_answer(c, star_conjunction_with(searchable(c.ctx.stars), *c.ctx.current_horoscope(), c.word(1), c.word(2)),
                       true);
}

int cmd_id_star_conjunction(Call& c) {
    return star_answer(c,
                       id_star_conjunction_with_planet(searchable(c.ctx.stars), *c.ctx.current_horoscope(), c.word(1),
                                                       c.word(2), c.word(3)),
                       true);
}

int cmd_get_astro_type(Call& c) { return c.ok_int(c.ctx.options.astro.zodiac_movable ? 1 : 0); }
int cmd_set_astro_type(Call& c) {
    const auto v = read_flag(c, Str::SkySetAstroTypeBad);
    if (!v) return TCL_ERROR;
    c.ctx.options.astro.zodiac_movable = *v;
    return c.ok_empty();
}

int cmd_is_shsd(Call& c) { return c.ok_int(c.ctx.options.astro.same_direction ? 1 : 0); }
int cmd_set_shsd(Call& c) {
    const auto v = read_flag(c, Str::SkySetShsdBad);
    if (!v) return TCL_ERROR;
    c.ctx.options.astro.same_direction = *v;
    return c.ok_empty();
}

int cmd_is_cusp_center(Call& c) { return c.ok_int(c.ctx.options.astro.house_cusp_center ? 1 : 0); }
int cmd_set_cusp_center(Call& c) {
    const std::string w = c.word(1);
    if (w != "-true" && w != "-false") return c.fail(Str::SkySetCuspCenterBad);
    c.ctx.options.astro.house_cusp_center = w == "-true" ? 1 : 0;
    return c.ok_empty();
}

int cmd_get_fortune(Call& c) { return c.ok_int(c.ctx.options.astro.fortune_day_night ? 1 : 0); }
int cmd_set_fortune(Call& c) {
    const auto v = read_flag(c, Str::SkySetFortuneBad);
    if (!v) return TCL_ERROR;
    c.ctx.options.astro.fortune_day_night = *v;
    return c.ok_empty();
}

int cmd_get_zero_date(Call& c) { return c.ok_text(format_date_hour(c.ctx.options.astro.zero_date)); }

// The words are joined, so that the date may be given unquoted.
int cmd_set_zero_date(Call& c) {
    std::string s;
    for (int i = 1; i < c.objc; ++i) s += (i > 1 ? " " : "") + c.word(i);
    if (trim(s).empty()) return c.fail(Str::SkySetZeroDateUnread);
    const DateParse p = parse_date_hour(s);
    if (!p.ok || !is_valid(p.value)) return c.fail(Str::SkySetZeroDateBad);
    c.ctx.options.astro.zero_date = p.value;
    return c.ok_empty();
}

int cmd_get_houses(Call& c) { return c.ok_text(house_name(c.ctx.options.astro.house_system)); }
int cmd_set_houses(Call& c) {
    const std::string w = c.word(1);
    const auto it = std::find(kHouseNames.begin(), kHouseNames.end(), w);
    if (it == kHouseNames.end()) return c.fail(Str::SkySetHousesUnknown);
    c.ctx.options.astro.house_system = static_cast<std::uint8_t>(it - kHouseNames.begin());
    return c.ok_empty();
}

// The house system the current horoscope was computed with.
int cmd_type_of_house(Call& c) {
    const int system = c.ctx.current_horoscope()->options.astro.house_system;
    if (c.objc == 1) return c.ok_int(system);
    if (c.word(1) != "-name") return c.fail(Str::SkyTypeOfHouseUsage);
    return c.ok_text(house_name(system));
}

int cmd_fill_signs(Call& c) { return c.ok_int(c.ctx.options.drawing.colour_signs ? 1 : 0); }
int cmd_horoscope_dir(Call& c) { return c.ok_text(c.ctx.horoscopes_dir); }

int cmd_sign_color(Call& c) {
    const std::optional<int> sign = c.integer(1);
    if (!sign) return c.fail(Str::CmdNotNumber);
    if (*sign < 0 || *sign > 11) return c.fail(Str::SkySignColorBadSign);
    const bool pseudo_alpha = c.objc == 3;
    if (pseudo_alpha && c.word(2) != "-pseudoAlpha") return c.fail(Str::SkySignColorUsage);
    const ColourSettings& colours = c.ctx.options.colours;
    const Argb colour = colours.signs[static_cast<std::size_t>(*sign)];
    return ok_colour(c, pseudo_alpha ? blend(colour, colours.drawing_background) : colour);
}

int cmd_planet_color(Call& c) {
    const auto planet = read_planet(c, 1);
    if (!planet) return TCL_ERROR;
    const std::optional<int> sign = c.integer(2);
    if (!sign) return c.fail(Str::CmdNotNumber);
    if (*sign < 0 || *sign > 11) return c.fail(Str::SkyPlanetColorBadSign);
    const std::string kind = c.word(3);
    if (kind != "-pen" && kind != "-brush") return c.fail(Str::SkyPlanetColorUsage);
    const bool retro = c.objc == 5;
    if (retro && c.word(4) != "-retro") return c.fail(Str::SkyPlanetColorUsage);
    const GlyphStyle& style = c.ctx.options.glyphs.styles[static_cast<std::size_t>(*planet)]
                                                         [static_cast<std::size_t>(*sign)][retro ? 1 : 0];
    return ok_colour(c, kind == "-pen" ? style.pen_colour : style.brush_colour);
}

int cmd_pen_color(Call& c) { return ok_colour(c, c.ctx.options.colours.pen); }
int cmd_background_color(Call& c) { return ok_colour(c, c.ctx.options.colours.drawing_background); }

}  // namespace tellurim::script_sky
