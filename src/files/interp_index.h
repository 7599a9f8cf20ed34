#pragma once
// Interpretation texts: the anchors that open each entry of a text file, the binary index of
// one file ("index{n}.pra", one 408-byte record per anchor), and the extraction of one entry.
//
// An entry starts with an anchor such as `<a name="mars">Mars in the first house</a>`: "<", a
// tag that reads "aname" once its spaces are removed (case ignored), "=", the identifier, ">",
// the title, "<", a tag that reads "/a" under the same rule, ">". Its text runs from the byte
// after that ">" to the "<" of the next anchor, or to the end of the file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_io.h"

namespace tellurim {

// index{n}.pra: 408-byte records. 0 identifier char[200] NUL-terminated | 200 title char[200]
// NUL-terminated | 400 anchor offset u32 (its "<") | 404 text offset u32 (the byte after its ">")
inline constexpr std::size_t kIndexRecordSize = 408;
inline constexpr std::size_t kIndexTextUnits = 200;
// An anchor must be whole within this many bytes from its "<".
inline constexpr std::size_t kAnchorWindow = 449;

struct IndexRecord {
    std::string identifier;  // as written, quotes kept; at most 199 bytes
    std::string title;       // at most 199 bytes
    std::uint32_t anchor_offset = 0;
    std::uint32_t text_offset = 0;
    bool operator==(const IndexRecord&) const = default;
};

void write_index_record(ByteWriter& out, const IndexRecord& r);  // exactly kIndexRecordSize bytes
bool read_index_record(ByteReader& in, IndexRecord& r);           // false past the end

// The anchor that starts at text[0] (a "<"), looking no further than kAnchorWindow bytes:
// the record with offsets relative to `text`, or nullopt when it is not an anchor.
std::optional<IndexRecord> parse_anchor(std::string_view text);

// Every anchor of a text file, in file order.
std::vector<IndexRecord> scan_anchors(std::string_view text);

// The bytes of an index file; nullopt when its length is not a whole number of records or an
// offset does not follow the previous one or lies beyond `text_size` (a damaged index, or one
// built from another version of the text).
std::optional<std::vector<IndexRecord>> parse_index(std::span<const std::uint8_t> bytes, std::uint64_t text_size);
std::vector<std::uint8_t> index_bytes(const std::vector<IndexRecord>& records);

// The identifier without its leading and trailing double quotes.
std::string_view unquoted_identifier(std::string_view identifier);

// The 0-based number of the first record whose unquoted identifier equals `identifier`
// (compared byte for byte, case counts), or -1.
int find_identifier(const std::vector<IndexRecord>& records, std::string_view identifier);

// The 0-based number of the first record of the index file at `path` whose unquoted identifier
// equals `identifier`, or -1; nullopt when the file cannot be read or is not a whole number
// of records. Reads the file in blocks and compares in place, without building the records.
std::optional<int> find_identifier_in_file(const std::string& path, std::string_view identifier);

// Removes every "<!--" ... "-->" comment; nested comments go as one block, from the outer
// opening marker through its matching closing marker. An opening marker without its closing
// marker stays.
std::string remove_comments(std::string_view text);

struct ExtractFlags {
    bool title = true;
    bool identifier = false;
    bool text = true;
    bool keep_comments = false;
};

// The identifier, the title and the entry's text, as the flags ask, in that order without
// separators; comments removed unless they are to be kept.
std::string assemble_entry(const IndexRecord& record, std::string_view entry_text, const ExtractFlags& flags);

// Records `first` to `first + count - 1` of the index file at `path` (fewer at its end), with
// the file's record count in `total`; nullopt when the file cannot be read or is not a whole
// number of records.
std::optional<std::vector<IndexRecord>> read_index_records(const std::string& path, std::uint64_t first,
                                                           std::size_t count, std::uint64_t& total);

// Entry `number` (from 1) of a text whose index is `records`: the identifier, the title and
// the text, as the flags ask, in that order without separators. nullopt when the number is
// outside 1 to the record count or the offsets lie outside the text.
std::optional<std::string> extract_entry_text(std::string_view text, const std::vector<IndexRecord>& records,
                                              int number, const ExtractFlags& flags);

}  // namespace tellurim
