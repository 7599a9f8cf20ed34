#pragma once
// The aspect table's file "aspects.pra" in the private directory: loading at start-up, with
// the default table built and written back whenever the file cannot give a table, and saving.

#include <string>

#include "core/aspect_record.h"
#include "core/messages.h"

namespace tellurim {

inline constexpr const char* kAspectsFileName = "aspects.pra";

// The path of "aspects.pra" in `private_dir`.
std::string aspects_file_path(const std::string& private_dir);

enum class AspectsLoadStatus {
    Loaded,    // read from the file
    Defaults,  // missing, empty, of a length not a multiple of 136 or unreadable: the
               // defaults were built and written (a row that cannot be used is kept)
};

struct AspectsLoad {
    AspectTable table;  // sorted by angle; table.path is the file
    AspectsLoadStatus status = AspectsLoadStatus::Loaded;
    bool saved = true;  // with Defaults: whether writing them back succeeded
};

// Loads the table from `path`. When the file gives no table the default rows are built and
// written to it; a failed write is shown ("Cannot write aspects file. Check your private
// Tellurim directory.", caption "Cannot open file for writing") and the defaults are used.
AspectsLoad load_aspect_table(const std::string& path, MessageSink& messages);

// Sorts `table` by angle and writes it to table.path, one 136-byte record per row (owner read
// and write), through a temporary file in the same directory renamed over the old one, so a
// reader sees the old table or the new one. False when the file cannot be written.
[[nodiscard]] bool save_aspect_table(AspectTable& table);

}  // namespace tellurim
