#pragma once
// The list of interpretation text files, "interlist.pra" in the private directory: each text
// file with the small id that scripts name it by, the file's status when its index was last
// built, and state flags. The list keeps each file's index ("index{id}.pra", see
// files/interp_index.h) current, finds an entry by identifier and extracts one entry.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_io.h"
#include "core/messages.h"
#include "files/interp_index.h"

namespace tellurim {

// The text file's status as last seen, with a 32-bit size and 64-bit times in seconds; the
// narrow fields keep the low bits of what the system gives.
struct InterpFileStatus {
    std::uint32_t device = 0;
    std::uint16_t inode = 0;
    std::uint16_t mode = 0;
    std::int16_t links = 0;
    std::int16_t user = 0;
    std::int16_t group = 0;
    std::uint32_t special_device = 0;
    std::int32_t size = 0;
    std::int64_t access_time = 0;
    std::int64_t modification_time = 0;
    std::int64_t change_time = 0;
    bool operator==(const InterpFileStatus&) const = default;
};

// State flags of a list entry; 0 when the index is current.
inline constexpr std::uint32_t kInterpTextMissing = 1;
inline constexpr std::uint32_t kInterpNoIndexName = 2;
inline constexpr std::uint32_t kInterpNoStatus = 4;
inline constexpr std::uint32_t kInterpIndexStale = 8;

// interlist.pra: 584-byte records. 0 id u32 | 4 path UTF-16[260] | 524 pad 4 | 528 status
// (0 device u32, 4 inode u16, 6 mode u16, 8 links i16, 10 user i16, 12 group i16, 14 pad 2,
// 16 special device u32, 20 size i32, 24 access i64, 32 modification i64, 40 change i64)
// | 576 state u32 | 580 pad 4
inline constexpr std::size_t kInterpListRecordSize = 584;
inline constexpr const char* kInterpListFileName = "interlist.pra";

struct InterpFile {
    std::uint32_t id = 0;
    std::string path;  // UTF-8; at most 259 UTF-16 units in the file
    InterpFileStatus status;
    std::uint32_t state = 0;
    bool operator==(const InterpFile&) const = default;
};

void write_interp_file_record(ByteWriter& out, const InterpFile& f);  // exactly kInterpListRecordSize bytes
bool read_interp_file_record(ByteReader& in, InterpFile& f);

struct InterpList {
    std::string private_dir;
    std::vector<InterpFile> files;  // sorted by id
    // The entry of `id` (binary search), or nullptr.
    const InterpFile* find(std::uint32_t id) const;
};

std::string interp_list_path(const std::string& private_dir);
// "index{id}.pra" in the private directory; nullopt when no such path can be made (no
// private directory, or a path longer than the system allows).
std::optional<std::string> interp_index_path(const std::string& private_dir, std::uint32_t id);

// The status of `path` in the list's form; nullopt when it cannot be read.
std::optional<InterpFileStatus> read_interp_file_status(const std::string& path);

// The list used when "interlist.pra" is missing or damaged: ids 1 to 3 for
// "<base>/txtinterpretation/us/inter_us{id}.txt", each with state 1 when its file is missing,
// else its status and state 8.
std::vector<InterpFile> default_interp_files(const std::string& base_dir);

// The list file's bytes: nullopt unless its length is at least one record and a whole number
// of records.
std::optional<std::vector<InterpFile>> parse_interp_list(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> interp_list_bytes(const std::vector<InterpFile>& files);

// Loads "interlist.pra", or builds and saves the default list (a damaged file is kept aside
// as "interlist.pra.bad"), sorts it and rebuilds the indexes. When the rebuild fails the list
// path is shown with the caption "Cannot open file:".
InterpList load_interp_list(const std::string& private_dir, const std::string& base_dir, MessageSink& messages);
// Writes every entry; false when the file cannot be written.
[[nodiscard]] bool save_interp_list(const InterpList& list);

// Brings every index up to date (see the .cpp for the rule) and saves a changed list. False
// when an index name could not be made for some entry.
bool rebuild_interp_indexes(InterpList& list);

// Brings the index of file `id` up to date alone; false when the file is not in the list or
// its state is not 0 afterwards.
bool update_interp_index(InterpList& list, std::uint32_t id);

// The number of entries of file `id`, or -1 when its index cannot be read.
int interp_entry_count(const InterpList& list, std::uint32_t id);

// Look-ups answer a value or the error text that scripts show.
struct InterpFind {
    int number = -1;  // 0-based
    bool found = false;
    std::string error;  // set when the look-up itself failed
};
InterpFind find_interp_entry(const InterpList& list, std::uint32_t id, std::string_view identifier);

struct InterpExtract {
    std::optional<std::string> text;
    std::string error;
};
// Entry `number` (from 1) of file `id`.
InterpExtract extract_interp_entry(const InterpList& list, std::uint32_t id, int number, const ExtractFlags& flags);

// The list dialog's rules for a new list: the message refusing it, or nullopt when it may
// replace the current list ("Empty list not allowed.", "Duplicated file was found.", "Error:
// file does not exist: PATH"). An entry kept as it is in `current` (same id, same path) may
// name a missing file, so that a list with a vanished file can still be edited.
std::optional<std::string> check_interp_files(const std::vector<InterpFile>& files,
                                              const InterpList* current = nullptr);

// The id a file added without one takes: one more than the largest in `files` (1 for none).
std::uint32_t next_interp_id(const std::vector<InterpFile>& files);
// A row of the list dialog read back from its texts: nullopt unless the id is a whole number
// from 0 to 4294967295 and the path is not blank.
std::optional<InterpFile> interp_file_from_texts(std::string_view id, std::string_view path);

// Replaces the list's files with `files` (checked above), saves the list and rebuilds the
// indexes. The refusal, or a failure to save ("Error processing file list"), is the result.
std::optional<std::string> replace_interp_files(InterpList& list, std::vector<InterpFile> files);

}  // namespace tellurim
