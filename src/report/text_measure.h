#pragma once
// What the document writer needs to know of an output device: its resolution and the extent
// of a text in a font. The command line and the tests use the fixed 96-dpi device below; the
// graphical interface measures with its toolkit's font metrics behind the same interface.

#include <optional>
#include <string_view>

#include "core/options.h"

namespace tellurim {

struct TextExtent {
    int width = 0;   // pixels
    int height = 0;  // pixels
};

class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // Pixels per inch across (LOGPIXELSX) and down (LOGPIXELSY).
    virtual int pixels_per_inch_x() const = 0;
    virtual int pixels_per_inch_y() const = 0;
    // The extent of `text` (UTF-8) written in `font`; nullopt when the font cannot be made.
    virtual std::optional<TextExtent> measure(const LogFont& font, std::string_view text) const = 0;
};

// A screen of 96 dots per inch whose every font has the proportions of Courier New: a
// character cell 1229/2048 em wide and 2320/2048 em high (ascent plus descent). A negative
// font height is the em size in pixels, a positive one the cell height, as in a LOGFONTW.
// The width of a text is the number of its characters times the cell width, so a report laid
// out with it is the same on every machine.
class FixedMeasure96 final : public TextMeasure {
public:
    int pixels_per_inch_x() const override { return 96; }
    int pixels_per_inch_y() const override { return 96; }
    std::optional<TextExtent> measure(const LogFont& font, std::string_view text) const override;
};

}  // namespace tellurim
