#pragma once
// The settings a user can change without the dialogs: `tellurim options set KEY VALUE...`,
// `options get KEY` and `options show`. Each row of the table names one setting, the block
// of the options record it belongs to, how its values are checked and stored (with the
// rules and messages of the dialog that edits it) and how it is shown.
//
// Every block contributes its rows from a file of its own (option_keys_<block>.cpp); a new
// block adds such a file and one line in all_option_keys().

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

// What a row works on: the record being edited, the two directories and the messages.
struct OptionContext {
    Options& options;
    std::string private_dir;
    std::string horoscopes_dir;
    MessageSink& messages;
};

// The result of a set: nullopt when stored; else the message (shown with the caption
// "Error", exit status 2). An empty message means the row has already told the user.
using OptionSetResult = std::optional<std::string>;

struct OptionKey {
    OptionKey(std::string name_, std::string block_, std::string syntax_, int min_ = 1, int max_ = 1)
        : name(std::move(name_)), block(std::move(block_)), syntax(std::move(syntax_)), min_values(min_),
          max_values(max_) {}

    std::string name;          // "astro.house-system"
    std::string block;         // "Astrology"
    std::string syntax;        // the values, for the help: "NAME|CODE"
    int min_values = 1;
    int max_values = 1;
    // Checks the values and stores them in ctx.options (or, for the directories, in the
    // registry); empty for a row that is only shown.
    std::function<OptionSetResult(OptionContext& ctx, const std::vector<std::string>& values)> set;
    std::function<std::string(const OptionContext& ctx)> get;
    bool in_options_file = true;  // false: the options file is not rewritten after a set
    bool secret = false;          // shown as "(set)" by `options show`
    std::string note;             // said after a successful set
};
using OptionKeys = std::vector<OptionKey>;

// The whole table, block by block in the order of the record.
const OptionKeys& all_option_keys();
// The row of `name`, or nullptr.
const OptionKey* find_option_key(std::string_view name);

// Rows of each block (one file each).
void append_interface_keys(OptionKeys& keys);
void append_astrology_keys(OptionKeys& keys);
void append_paths_keys(OptionKeys& keys);
void append_font_keys(OptionKeys& keys);
void append_colour_keys(OptionKeys& keys);
void append_glyph_keys(OptionKeys& keys);  // planet glyph styles and planet-in-house halos
void append_drawing_keys(OptionKeys& keys);
void append_aspect_filter_keys(OptionKeys& keys);  // in the drawing settings, shown after them
void append_my_city_keys(OptionKeys& keys);
void append_database_keys(OptionKeys& keys);
void append_table_keys(OptionKeys& keys);  // exaltations, nakshatras, dasas; relationships (shown)
void append_ephemeris_keys(OptionKeys& keys);
void append_geocoding_keys(OptionKeys& keys);  // kept beside the options file

// --- building blocks for the rows ----------------------------------------------------------
// "yes"/"no" (also true/false, on/off, 1/0).
std::optional<bool> parse_yes_no(std::string_view text);
// "#AARRGGBB" or "0xAARRGGBB"; "#RRGGBB" takes alpha 0xFF.
std::optional<std::uint32_t> parse_argb(std::string_view text);
std::string format_argb(std::uint32_t argb);
// A decimal number in the C locale that is finite.
std::optional<double> parse_finite(std::string_view text);

// A flag of the record, "yes" or "no".
OptionKey flag_key(std::string name, std::string block, std::function<std::uint8_t&(Options&)> field);
// A text of the record, at most `units` - 1 UTF-16 units (the fixed array and its NUL).
OptionKey text_key(std::string name, std::string block, std::size_t units,
                   std::function<std::string&(Options&)> field);
// An ARGB colour of the record.
OptionKey argb_key(std::string name, std::string block, std::function<std::uint32_t&(Options&)> field);
// The values of a planet's style row after its sign and motion (PEN BRUSH PEN-SIZE HALO
// HALO-CENTRE HALO-BORDER HALO-SIZE) and of a house halo row after its house (ON CENTRE BORDER
// SIZE): an ARGB colour, a size in pixels from 0 to kMaxGlyphSize, or yes/no.
enum class GlyphField { Colour, Size, Flag };
inline constexpr double kMaxGlyphSize = 100.0;
bool glyph_value_ok(GlyphField field, std::string_view text);

// A row that is only shown.
OptionKey shown_key(std::string name, std::string block, std::function<std::string(const Options&)> get);

}  // namespace tellurim
