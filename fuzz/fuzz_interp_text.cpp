// Random bytes taken as an interpretation text file. Every anchor found must lie inside the
// text, in order; its index must read back record for record against the same text; every
// entry must extract, with and without its comments.
#include "files/interp_index.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::as_text(data, size);
    const std::vector<IndexRecord> records = scan_anchors(text);
    const std::vector<std::uint8_t> bytes = index_bytes(records);
    fuzz::check(bytes.size() == records.size() * kIndexRecordSize);
    const auto again = parse_index(bytes, text.size());
    fuzz::check(again.has_value() && again->size() == records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const IndexRecord& r = records[i];
        fuzz::check(r.text_offset - r.anchor_offset <= kAnchorWindow && r.identifier.size() < kIndexTextUnits &&
                    r.title.size() < kIndexTextUnits);
        // Identifiers and titles with a NUL byte are cut there in the index.
        if (r.identifier.find('\0') == std::string::npos && r.title.find('\0') == std::string::npos)
            fuzz::check((*again)[i] == r);
        fuzz::check(extract_entry_text(text, records, static_cast<int>(i + 1), {true, true, true, false}).has_value());
        fuzz::check(extract_entry_text(text, records, static_cast<int>(i + 1), {true, true, true, true}).has_value());
    }
    fuzz::check(remove_comments(text).size() <= text.size());
    return 0;
}
