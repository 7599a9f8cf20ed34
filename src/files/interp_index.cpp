#include "files/interp_index.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <unistd.h>

#include "base/regular_file.h"

namespace tellurim {
namespace {

constexpr std::size_t kMaxFieldBytes = kIndexTextUnits - 1;

void fixed_text(ByteWriter& out, std::string_view s) {
    s = s.substr(0, std::min(s.size(), kMaxFieldBytes));
    out.raw({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
    out.pad(kIndexTextUnits - s.size());
}

std::string read_fixed_text(ByteReader& in) {
    std::string s;
    for (std::size_t i = 0; i < kIndexTextUnits; ++i) {
        const auto c = static_cast<char>(in.u8());
        if (c == '\0') {
            in.skip(kIndexTextUnits - i - 1);
            break;
        }
        s.push_back(c);
    }
    return s;
}

// True when `tag` reads `word` once its spaces are removed, letters compared without case.
bool tag_reads(std::string_view tag, std::string_view word) {
    std::size_t w = 0;
    for (char c : tag) {
        if (c == ' ') continue;
        if (w == word.size() || std::tolower(static_cast<unsigned char>(c)) != word[w]) return false;
        ++w;
    }
    return w == word.size();
}

bool pread_all(int fd, char* data, std::size_t size, std::uint64_t offset) {
    for (std::size_t got = 0; got < size;) {
        const ssize_t n = ::pread(fd, data + got, size - got, static_cast<off_t>(offset + got));
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

std::string_view trim_spaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string field(std::string_view s) {
    s = trim_spaces(s);
    return std::string(s.substr(0, std::min(s.size(), kMaxFieldBytes)));
}

}  // namespace

void write_index_record(ByteWriter& out, const IndexRecord& r) {
    fixed_text(out, r.identifier);
    fixed_text(out, r.title);
    out.u32(r.anchor_offset);
    out.u32(r.text_offset);
}

bool read_index_record(ByteReader& in, IndexRecord& r) {
    ByteReader rec = in.sub(kIndexRecordSize);
    if (!in.ok()) return false;
    r.identifier = read_fixed_text(rec);
    r.title = read_fixed_text(rec);
    r.anchor_offset = rec.u32();
    r.text_offset = rec.u32();
    return rec.ok();
}

// The four parts must come in order, each delimited by the next "<" or ">" in the window:
// "<" tag "=" identifier ">" title "<" tag ">". Any other delimiter first means that this "<"
// is ordinary text.
std::optional<IndexRecord> parse_anchor(std::string_view text) {
    if (text.empty() || text[0] != '<') return std::nullopt;
    text = text.substr(0, std::min(text.size(), kAnchorWindow));
    const std::size_t eq = text.find_first_of("=<>", 1);
    if (eq == std::string_view::npos || text[eq] != '=' || !tag_reads(text.substr(1, eq - 1), "aname"))
        return std::nullopt;
    const std::size_t gt = text.find_first_of("<>", eq + 1);
    if (gt == std::string_view::npos || text[gt] != '>') return std::nullopt;
    const std::size_t lt = text.find_first_of("<>", gt + 1);
    if (lt == std::string_view::npos || text[lt] != '<') return std::nullopt;
    const std::size_t end = text.find_first_of("<>", lt + 1);
    if (end == std::string_view::npos || text[end] != '>' || !tag_reads(text.substr(lt + 1, end - lt - 1), "/a"))
        return std::nullopt;
    IndexRecord r;
    r.identifier = field(text.substr(eq + 1, gt - eq - 1));
    r.title = field(text.substr(gt + 1, lt - gt - 1));
    if (r.title.empty() && !r.identifier.empty()) r.title = std::string(unquoted_identifier(r.identifier));
    r.anchor_offset = 0;
    r.text_offset = static_cast<std::uint32_t>(end + 1);
    return r;
}

std::vector<IndexRecord> scan_anchors(std::string_view text) {
    std::vector<IndexRecord> records;
    std::size_t pos = text.find('<');
    while (pos != std::string_view::npos) {
        std::optional<IndexRecord> r = parse_anchor(text.substr(pos));
        std::size_t next = pos + 1;
        if (r) {
            r->anchor_offset = static_cast<std::uint32_t>(pos);
            r->text_offset += static_cast<std::uint32_t>(pos);
            next = r->text_offset;
            records.push_back(std::move(*r));
        }
        pos = text.find('<', next);
    }
    return records;
}

std::optional<std::vector<IndexRecord>> parse_index(std::span<const std::uint8_t> bytes, std::uint64_t text_size) {
    if (bytes.size() % kIndexRecordSize != 0) return std::nullopt;
    std::vector<IndexRecord> records(bytes.size() / kIndexRecordSize);
    ByteReader in(bytes);
    std::uint64_t previous_end = 0;
    for (IndexRecord& r : records) {
        if (!read_index_record(in, r)) return std::nullopt;
        if (r.anchor_offset < previous_end || r.text_offset <= r.anchor_offset || r.text_offset > text_size)
            return std::nullopt;
        previous_end = r.text_offset;
    }
    return records;
}

std::vector<std::uint8_t> index_bytes(const std::vector<IndexRecord>& records) {
    ByteWriter out(records.size() * kIndexRecordSize);
    for (const IndexRecord& r : records) write_index_record(out, r);
    return out.take();
}

std::string_view unquoted_identifier(std::string_view identifier) {
    const std::size_t first = identifier.find_first_not_of('"');
    if (first == std::string_view::npos) return {};
    return identifier.substr(first, identifier.find_last_not_of('"') - first + 1);
}

int find_identifier(const std::vector<IndexRecord>& records, std::string_view identifier) {
    for (std::size_t i = 0; i < records.size(); ++i)
        if (unquoted_identifier(records[i].identifier) == identifier) return static_cast<int>(i);
    return -1;
}

std::optional<int> find_identifier_in_file(const std::string& path, std::string_view identifier) {
    auto file = RegularFile::open(path);
    if (!file || file->size() % kIndexRecordSize != 0) return std::nullopt;
    // 160 records a block: few system calls, and a block stays in the processor's cache.
    constexpr std::size_t kBlockRecords = 160;
    std::vector<char> block(kBlockRecords * kIndexRecordSize);
    const std::uint64_t count = file->size() / kIndexRecordSize;
    for (std::uint64_t first = 0; first < count; first += kBlockRecords) {
        const std::size_t records = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockRecords, count - first));
        const std::size_t want = records * kIndexRecordSize;
        if (!pread_all(file->fd(), block.data(), want, first * kIndexRecordSize)) return std::nullopt;
        for (std::size_t i = 0; i < records; ++i) {
            const char* id = block.data() + i * kIndexRecordSize;
            const std::string_view stored(id, ::strnlen(id, kIndexTextUnits));
            if (unquoted_identifier(stored) == identifier) return static_cast<int>(first + i);
        }
    }
    return -1;
}

std::string remove_comments(std::string_view text) {
    static constexpr std::string_view kOpen = "<!--";
    static constexpr std::string_view kClose = "-->";
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = text.find(kOpen, pos);
        if (open == std::string_view::npos) break;
        // Walk the markers from the outer opening one until the nesting returns to zero.
        int depth = 0;
        std::size_t i = open;
        std::size_t close_end = std::string_view::npos;
        while (i < text.size()) {
            if (text.compare(i, kOpen.size(), kOpen) == 0) {
                ++depth;
                i += kOpen.size();
            } else if (text.compare(i, kClose.size(), kClose) == 0) {
                i += kClose.size();
                if (--depth == 0) {
                    close_end = i;
                    break;
                }
            } else {
                ++i;
            }
        }
        if (close_end == std::string_view::npos) break;
        out.append(text.substr(pos, open - pos));
        pos = close_end;
    }
    out.append(text.substr(pos));
    return out;
}

std::optional<std::string> extract_entry_text(std::string_view text, const std::vector<IndexRecord>& records,
                                              int number, const ExtractFlags& flags) {
    if (number < 1 || static_cast<std::size_t>(number) > records.size()) return std::nullopt;
    const auto i = static_cast<std::size_t>(number - 1);
    const IndexRecord& r = records[i];
    const std::uint64_t end = i + 1 == records.size() ? text.size() : records[i + 1].anchor_offset;
    if (r.text_offset > end || end > text.size()) return std::nullopt;
    return assemble_entry(r, text.substr(r.text_offset, end - r.text_offset), flags);
}

std::string assemble_entry(const IndexRecord& record, std::string_view entry_text, const ExtractFlags& flags) {
    std::string out;
    if (flags.identifier) out += record.identifier;
    if (flags.title) out += record.title;
    if (flags.text) out.append(entry_text);
    if (!flags.keep_comments) return remove_comments(out);
    return out;
}

std::optional<std::vector<IndexRecord>> read_index_records(const std::string& path, std::uint64_t first,
                                                           std::size_t count, std::uint64_t& total) {
    auto file = RegularFile::open(path);
    if (!file || file->size() % kIndexRecordSize != 0) return std::nullopt;
    total = file->size() / kIndexRecordSize;
    if (first >= total) return std::vector<IndexRecord>{};
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, total - first));
    std::vector<std::uint8_t> bytes(count * kIndexRecordSize);
    if (!pread_all(file->fd(), reinterpret_cast<char*>(bytes.data()), bytes.size(), first * kIndexRecordSize))
        return std::nullopt;
    std::vector<IndexRecord> records(count);
    ByteReader in(bytes);
    for (IndexRecord& r : records) (void)read_index_record(in, r);
    return records;
}

}  // namespace tellurim
