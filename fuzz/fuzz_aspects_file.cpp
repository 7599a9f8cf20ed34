// "aspects.pra": the records read, sorted as a load sorts them, and written again; a table
// that reads must read back the same from its own image.
#include "astro/aspects.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto rows = read_aspect_image(fuzz::as_bytes(data, size));
    if (!rows) return 0;
    sort_aspect_rows(*rows);
    auto image = write_aspect_image(*rows);
    auto again = read_aspect_image(image);
    fuzz::check(again.has_value() && again->size() == rows->size());
    return 0;
}
