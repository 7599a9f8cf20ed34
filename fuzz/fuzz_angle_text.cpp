// The angle text: parse, then the text of what parsed, which must read back to the same value
// (to the hundredth of a second the text keeps).
#include <cmath>

#include "base/angle_value.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::as_text(data, size);
    auto a = parse_angle(input);
    (void)angle_units_too_large(input);
    if (!a) return 0;
    const std::string text = format_angle(*a);
    for (int decimals = 0; decimals <= 4; ++decimals) (void)format_angle(*a, decimals);
    if (!a->is_finite()) return 0;
    auto again = parse_angle(text);
    fuzz::check(again.has_value());
    const double tolerance = a->unit == kUnitNone || a->unit == kUnitRadians ? 0.0 : 0.0051 / 3600.0;
    fuzz::check(std::fabs(again->value - a->value) <= tolerance * 1.000001 + std::fabs(a->value) * 1e-15);
    return 0;
}
