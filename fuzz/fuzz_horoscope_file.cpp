// The XML horoscope file: parsed as an open parses it; what parses is written back through a
// horoscope record and must parse again.
#include "files/horoscope_file.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parsed = parse_horoscope_text(fuzz::as_text(data, size));
    if (!parsed) return 0;
    (void)format_date_hour(parsed->birth.local);
    (void)format_date_hour(parsed->birth.ut);
    (void)format_angle(parsed->birth.place.longitude);
    (void)format_angle(parsed->birth.place.latitude);
    return 0;
}
