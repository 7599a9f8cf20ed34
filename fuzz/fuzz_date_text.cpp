// The date-hour text: parse, then the storage and display forms of what parsed, which must
// read back to the same Julian day.
#include <cmath>

#include "base/date_hour.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DateParse p = parse_date_hour(fuzz::as_text(data, size));
    if (!p.ok) return 0;
    const std::string text = format_date_hour(p.value);
    (void)display_date_hour(p.value);
    (void)display_date_hour(p.value, Language::French);
    DateParse again = parse_date_hour(text);
    fuzz::check(again.ok);
    // Seconds are written with two decimals: the day may move by up to 0.005 s.
    fuzz::check(std::fabs(again.value.jd_ut - p.value.jd_ut) <= 0.0051 / 86400.0 + 1e-9);
    return 0;
}
