#pragma once
// The Hindu aspect file "hindus_aspects.ini" in the private directory: read at start-up,
// written with the default content when it is missing, rewritten atomically (temporary file
// in the same directory, flushed, renamed) when the table changes.

#include <string>

#include "astro/hindu_aspects.h"
#include "core/messages.h"

namespace tellurim {

// <private_dir>/hindus_aspects.ini
std::string hindu_aspects_path(const std::string& private_dir);

struct HinduAspectsLoad {
    bool ok = false;          // false: the file exists but a line does not read (the defaults are used)
    bool created = false;     // the file was missing and the default content was written
    HinduAspectTable table = default_hindu_aspects();
};
// Reads the file; a missing file is replaced by the default content. A line that does not
// read is reported ("Bad line in the Hindu aspects file: " and the line) and the defaults are
// used; a file that cannot be written is reported and the defaults are used.
HinduAspectsLoad load_hindu_aspects(const std::string& private_dir, MessageSink& messages);

// Writes the table in its file form; false when the file cannot be written.
[[nodiscard]] bool save_hindu_aspects(const std::string& private_dir, const HinduAspectTable& table);
// Saves a table edited from `load`. A file whose lines did not read (it gave the defaults) is
// first kept beside, as a damaged options file is, and the user told its new name.
[[nodiscard]] bool save_edited_hindu_aspects(const std::string& private_dir, const HinduAspectsLoad& load,
                                             MessageSink& messages);
// Writes the default content; false when the file cannot be written.
[[nodiscard]] bool reset_hindu_aspects(const std::string& private_dir);

}  // namespace tellurim
