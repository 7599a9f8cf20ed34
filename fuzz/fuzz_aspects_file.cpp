// Random bytes taken as the user's aspect table on disk. Whatever reads must survive sorting
// and must read back, row for row, from the bytes it writes.
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
