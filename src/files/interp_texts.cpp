#include "files/interp_texts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "core/paths.h"
#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/settings_file.h"

namespace tellurim {
namespace {

constexpr std::size_t kPathUnits = 260;
// A list of more records than this is not a list the dialog could have made.
constexpr std::size_t kMaxListBytes = 100000 * kInterpListRecordSize;

std::int64_t read_i64(ByteReader& in) {
    const std::uint64_t lo = in.u32();
    const std::uint64_t hi = in.u32();
    return static_cast<std::int64_t>(lo | (hi << 32));
}

void write_i64(ByteWriter& out, std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v);
    out.u32(static_cast<std::uint32_t>(u));
    out.u32(static_cast<std::uint32_t>(u >> 32));
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}



bool same_file(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

// Builds the index of one text file; a failure removes what was written.
bool build_index(const std::string& text_path, const std::string& index_path) {
    const auto text = read_regular_text(text_path, UINT32_MAX);
    if (!text) return false;
    const std::vector<std::uint8_t> bytes = index_bytes(scan_anchors(*text));
    if (write_settings_file(index_path, bytes)) return true;
    std::error_code ec;
    std::filesystem::remove(index_path, ec);
    return false;
}

std::string state_error(const InterpFile& f) { return str(Str::InterpErrorOpeningFile) + f.path; }

// The listed file of `id` when its last check found it usable; otherwise nullptr and `error`
// says why.
const InterpFile* usable_file(const InterpList& list, std::uint32_t id, std::string& error) {
    const InterpFile* f = list.find(id);
    if (!f) {
        error = str(Str::InterpCannotFindFileFromId) + std::to_string(id);
        return nullptr;
    }
    if (f->state != 0) {
        error = state_error(*f);
        return nullptr;
    }
    return f;
}

}  // namespace

void write_interp_file_record(ByteWriter& out, const InterpFile& f) {
    const InterpFileStatus& s = f.status;
    out.u32(f.id);
    out.utf16_fixed_utf8(f.path, kPathUnits);
    out.pad(4);
    out.u32(s.device);
    out.u16(s.inode);
    out.u16(s.mode);
    out.i16(s.links);
    out.i16(s.user);
    out.i16(s.group);
    out.pad(2);
    out.u32(s.special_device);
    out.i32(s.size);
    write_i64(out, s.access_time);
    write_i64(out, s.modification_time);
    write_i64(out, s.change_time);
    out.u32(f.state);
    out.pad(4);
}

bool read_interp_file_record(ByteReader& in, InterpFile& f) {
    ByteReader rec = in.sub(kInterpListRecordSize);
    if (!in.ok()) return false;
    InterpFileStatus& s = f.status;
    f.id = rec.u32();
    // A path that fills the whole array, without its NUL, keeps what the writer would keep.
    f.path = truncate_utf16_units(rec.utf16_fixed_utf8(kPathUnits), kPathUnits);
    rec.skip(4);
    s.device = rec.u32();
    s.inode = rec.u16();
    s.mode = rec.u16();
    s.links = rec.i16();
    s.user = rec.i16();
    s.group = rec.i16();
    rec.skip(2);
    s.special_device = rec.u32();
    s.size = rec.i32();
    s.access_time = read_i64(rec);
    s.modification_time = read_i64(rec);
    s.change_time = read_i64(rec);
    f.state = rec.u32();
    rec.skip(4);
    return rec.ok();
}

const InterpFile* InterpList::find(std::uint32_t id) const {
    auto it = std::lower_bound(files.begin(), files.end(), id,
                               [](const InterpFile& f, std::uint32_t v) { return f.id < v; });
    return it != files.end() && it->id == id ? &*it : nullptr;
}

std::string interp_list_path(const std::string& private_dir) { return join_path(private_dir, kInterpListFileName); }

std::optional<std::string> interp_index_path(const std::string& private_dir, std::uint32_t id) {
    if (private_dir.empty()) return std::nullopt;
    std::string path = join_path(private_dir, "index" + std::to_string(id) + ".pra");
    if (path.size() >= PATH_MAX) return std::nullopt;
    return path;
}

std::optional<InterpFileStatus> read_interp_file_status(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    InterpFileStatus s;
    s.device = static_cast<std::uint32_t>(st.st_dev);
    s.inode = static_cast<std::uint16_t>(st.st_ino);
    s.mode = static_cast<std::uint16_t>(st.st_mode);
    s.links = static_cast<std::int16_t>(st.st_nlink);
    s.user = static_cast<std::int16_t>(st.st_uid);
    s.group = static_cast<std::int16_t>(st.st_gid);
    s.special_device = static_cast<std::uint32_t>(st.st_rdev);
    s.size = static_cast<std::int32_t>(st.st_size);
    s.access_time = st.st_atime;
    s.modification_time = st.st_mtime;
    s.change_time = st.st_ctime;
    return s;
}

std::vector<InterpFile> default_interp_files(const std::string& base_dir) {
    std::vector<InterpFile> files;
    for (std::uint32_t id = 1; id <= 3; ++id) {
        InterpFile f;
        f.id = id;
        f.path = join_path(join_path(base_dir, "txtinterpretation/us"), "inter_us" + std::to_string(id) + ".txt");
        if (auto status = read_interp_file_status(f.path)) {
            f.status = *status;
            f.state = kInterpIndexStale;
        } else {
            f.state = kInterpTextMissing;
        }
        files.push_back(std::move(f));
    }
    return files;
}

std::optional<std::vector<InterpFile>> parse_interp_list(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kInterpListRecordSize || bytes.size() % kInterpListRecordSize != 0) return std::nullopt;
    std::vector<InterpFile> files(bytes.size() / kInterpListRecordSize);
    ByteReader in(bytes);
    for (InterpFile& f : files)
        if (!read_interp_file_record(in, f)) return std::nullopt;
    return files;
}

std::vector<std::uint8_t> interp_list_bytes(const std::vector<InterpFile>& files) {
    ByteWriter out(files.size() * kInterpListRecordSize);
    for (const InterpFile& f : files) write_interp_file_record(out, f);
    return out.take();
}

InterpList load_interp_list(const std::string& private_dir, const std::string& base_dir, MessageSink& messages) {
    InterpList list;
    list.private_dir = private_dir;
    const std::string path = interp_list_path(private_dir);
    const auto bytes = read_settings_file(path, kMaxListBytes);
    std::optional<std::vector<InterpFile>> files;
    if (bytes) files = parse_interp_list(*bytes);
    if (files) {
        list.files = std::move(*files);
    } else {
        if (file_exists(path)) (void)keep_damaged_file(path);
        list.files = default_interp_files(base_dir);
    }
    std::stable_sort(list.files.begin(), list.files.end(),
                     [](const InterpFile& a, const InterpFile& b) { return a.id < b.id; });
    if (!files) (void)save_interp_list(list);
    if (!rebuild_interp_indexes(list)) messages.tell(path, str(Str::InterpListCaption), MessageIcon::Error);
    return list;
}

bool save_interp_list(const InterpList& list) {
    return write_settings_file(interp_list_path(list.private_dir), interp_list_bytes(list.files));
}

namespace {

bool index_whole(const std::string& index_path) {
    struct stat st {};
    return ::stat(index_path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<std::uint64_t>(st.st_size) % kIndexRecordSize == 0;
}

// One entry of the rebuild: a missing text file sets bit 1; a missing index name bit 2 (and
// false); an unreadable status bit 4. The index is current when the text's size,
// modification and change times equal the stored ones, its index file is a whole number of
// records and the state is 0; otherwise the new status is stored with bit 8, and a
// successful build clears the state. Bit 8 stays after a failed build, so the next rebuild
// tries again. An index whose records do not fit its text is found by the readers, which
// answer an error text instead.
bool refresh_entry(const std::string& private_dir, InterpFile& f, bool& changed) {
    if (!file_exists(f.path)) {
        changed |= (f.state & kInterpTextMissing) == 0;
        f.state |= kInterpTextMissing;
        return true;
    }
    const auto index_path = interp_index_path(private_dir, f.id);
    if (!index_path) {
        f.state |= kInterpNoIndexName;
        return false;
    }
    const auto status = read_interp_file_status(f.path);
    if (!status) {
        f.state |= kInterpNoStatus;
        return true;
    }
    const bool same = status->size == f.status.size && status->modification_time == f.status.modification_time &&
                      status->change_time == f.status.change_time;
    if (same && f.state == 0 && index_whole(*index_path)) return true;
    f.status = *status;
    f.state = kInterpIndexStale;
    changed = true;
    if (build_index(f.path, *index_path)) f.state = 0;
    return true;
}

}  // namespace

bool rebuild_interp_indexes(InterpList& list) {
    bool names_ok = true;
    bool changed = false;
    for (InterpFile& f : list.files) names_ok &= refresh_entry(list.private_dir, f, changed);
    if (changed) (void)save_interp_list(list);
    return names_ok;
}

bool update_interp_index(InterpList& list, std::uint32_t id) {
    auto it = std::find_if(list.files.begin(), list.files.end(), [&](const InterpFile& f) { return f.id == id; });
    if (it == list.files.end()) return false;
    bool changed = false;
    refresh_entry(list.private_dir, *it, changed);
    if (changed) (void)save_interp_list(list);
    return it->state == 0;
}

int interp_entry_count(const InterpList& list, std::uint32_t id) {
    const auto index_path = interp_index_path(list.private_dir, id);
    if (!index_path) return -1;
    auto file = RegularFile::open(*index_path);
    if (!file || file->size() % kIndexRecordSize != 0) return -1;
    return static_cast<int>(file->size() / kIndexRecordSize);
}

InterpFind find_interp_entry(const InterpList& list, std::uint32_t id, std::string_view identifier) {
    InterpFind out;
    const InterpFile* f = usable_file(list, id, out.error);
    if (!f) return out;
    const auto index_path = interp_index_path(list.private_dir, id);
    std::optional<int> number;
    if (index_path) number = find_identifier_in_file(*index_path, identifier);
    if (!number) {
        out.error = str(Str::InterpCannotFindInterpretation) + index_path.value_or("");
        return out;
    }
    out.number = *number;
    out.found = *number >= 0;
    return out;
}

// Reads only the entry's record and the next one, then the entry's bytes of the text file,
// so that the cost does not grow with the size of the file. The records are checked against
// the text as it is now: a text that changed since its indexing gives an error text.
InterpExtract extract_interp_entry(const InterpList& list, std::uint32_t id, int number, const ExtractFlags& flags) {
    InterpExtract out;
    const InterpFile* f = usable_file(list, id, out.error);
    if (!f) return out;
    const auto index_path = interp_index_path(list.private_dir, id);
    const std::string index_error = str(Str::InterpCannotFindInterpretation) + index_path.value_or("");
    auto text = RegularFile::open(f->path);
    if (!text) {
        out.error = str(Str::InterpCannotOpenFile) + f->path;
        return out;
    }
    std::uint64_t total = 0;
    std::optional<std::vector<IndexRecord>> records;
    if (index_path && number >= 1)
        records = read_index_records(*index_path, static_cast<std::uint64_t>(number - 1), 2, total);
    if (!records || records->empty()) {
        out.error = index_error;
        return out;
    }
    const IndexRecord& r = records->front();
    const std::uint64_t end = records->size() > 1 ? (*records)[1].anchor_offset : text->size();
    if (r.anchor_offset >= r.text_offset || r.text_offset > end || end > text->size()) {
        out.error = index_error;
        return out;
    }
    std::string entry(end - r.text_offset, '\0');
    std::size_t got = 0;
    while (got < entry.size()) {
        const ssize_t n = ::pread(text->fd(), entry.data() + got, entry.size() - got,
                                  static_cast<off_t>(r.text_offset + got));
        if (n <= 0) {
            // The file shrank while it was read.
            out.error = index_error;
            return out;
        }
        got += static_cast<std::size_t>(n);
    }
    out.text = assemble_entry(r, entry, flags);
    return out;
}

std::optional<std::string> check_interp_files(const std::vector<InterpFile>& files, const InterpList* current) {
    if (files.empty()) return str(Str::InterpEmptyList);
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (same_file(files[i].path, files[j].path)) return str(Str::InterpDuplicatedFile);
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (files[i].id == files[j].id) return str(Str::InterpIdInUse) + std::to_string(files[i].id);
        const InterpFile* kept = current ? current->find(files[i].id) : nullptr;
        const bool unchanged = kept && kept->path == files[i].path;
        if (!unchanged && !file_exists(files[i].path)) return str(Str::InterpFileDoesNotExist) + " " + files[i].path;
        if (utf8_to_utf16(files[i].path).size() >= kPathUnits) return str(Str::InterpErrorProcessing);
    }
    return std::nullopt;
}

std::uint32_t next_interp_id(const std::vector<InterpFile>& files) {
    std::uint32_t id = 1;
    for (const InterpFile& f : files) id = std::max(id, f.id + 1);
    return id;
}

std::optional<InterpFile> interp_file_from_texts(std::string_view id, std::string_view path) {
    const auto n = parse_integer(trim(id));
    if (!n || *n < 0 || *n > 0xFFFFFFFFLL || trim(path).empty()) return std::nullopt;
    InterpFile f;
    f.id = static_cast<std::uint32_t>(*n);
    f.path = std::string(path);
    return f;
}

std::optional<std::string> replace_interp_files(InterpList& list, std::vector<InterpFile> files) {
    if (auto refusal = check_interp_files(files, &list)) return refusal;
    for (InterpFile& f : files) {
        // A file new to the list, or one whose entry changed, is indexed afresh.
        const InterpFile* old = list.find(f.id);
        if (!old || old->path != f.path) {
            f.status = {};
            f.state = kInterpIndexStale;
        }
    }
    std::stable_sort(files.begin(), files.end(), [](const InterpFile& a, const InterpFile& b) { return a.id < b.id; });
    list.files = std::move(files);
    if (!save_interp_list(list)) return str(Str::InterpErrorProcessing);
    (void)rebuild_interp_indexes(list);
    return std::nullopt;
}

}  // namespace tellurim
