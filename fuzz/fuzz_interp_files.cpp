// Random bytes taken as the list "interlist.pra" and as an index "index{n}.pra" (with its
// text file's length in the first 4 bytes). What reads must write back to the same bytes (the
// list, whose paths read back up to their first NUL) and must fit the text (the index).
#include <cstring>

#include "files/interp_index.h"
#include "files/interp_texts.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzz::as_bytes(data, size);
    if (auto files = parse_interp_list(bytes)) {
        const auto image = interp_list_bytes(*files);
        fuzz::check(image.size() == size);
        const auto again = parse_interp_list(image);
        fuzz::check(again.has_value() && *again == *files);
    }
    if (size < 4) return 0;
    std::uint32_t text_size = 0;
    std::memcpy(&text_size, data, 4);
    if (auto records = parse_index(bytes.subspan(4), text_size)) {
        std::uint64_t previous = 0;
        for (const IndexRecord& r : *records) {
            fuzz::check(r.anchor_offset >= previous && r.text_offset > r.anchor_offset && r.text_offset <= text_size);
            previous = r.text_offset;
        }
        // Extraction stays within a text of that length.
        const std::string text(std::min<std::uint32_t>(text_size, 1 << 16), 'x');
        if (text.size() == text_size && !records->empty())
            fuzz::check(extract_entry_text(text, *records, static_cast<int>(records->size()), {}).has_value());
    }
    return 0;
}
