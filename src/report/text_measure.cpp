#include "report/text_measure.h"

#include <cmath>
#include <cstdlib>

namespace tellurim {
namespace {

// Courier New's design units: 2048 per em, advance 1229, ascent 1705 + descent 615.
constexpr double kUnitsPerEm = 2048.0;
constexpr double kAdvance = 1229.0;
constexpr double kCellHeight = 2320.0;

std::size_t count_characters(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

std::optional<TextExtent> FixedMeasure96::measure(const LogFont& font, std::string_view text) const {
    // Height 0 asks for the device's default size; Windows then takes about 12 pixels.
    double em = font.height < 0 ? -double(font.height)
                : font.height > 0 ? font.height * kUnitsPerEm / kCellHeight
                                  : 12.0;
    int cell_width = static_cast<int>(std::lround(em * kAdvance / kUnitsPerEm));
    int cell_height = static_cast<int>(std::lround(em * kCellHeight / kUnitsPerEm));
    return TextExtent{cell_width * static_cast<int>(count_characters(text)), cell_height};
}

}  // namespace tellurim
