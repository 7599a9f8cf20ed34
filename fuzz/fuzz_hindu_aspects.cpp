// Random text taken as the Hindu aspect table's text file. Whatever parses must parse again
// from the text it is written back as.
#include "astro/hindu_aspects.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HinduAspectTable table;
    std::string bad;
    if (!parse_hindu_aspects(fuzz::as_text(data, size), table, &bad)) return 0;
    HinduAspectTable again;
    fuzz::check(parse_hindu_aspects(format_hindu_aspects(table), again));
    return 0;
}
