#pragma once
// The private directory (settings, aspect table, interpretation list, keys file) and the
// horoscopes directory (saved horoscopes, default save file), remembered between runs as the
// values "private_dir" and "horoscopes_dir" of a small "name=value" text file,
// $XDG_CONFIG_HOME/tellurim/2.4.7/registry (~/.config/tellurim/2.4.7/registry when the
// variable is unset). The file is rewritten atomically (files/settings_file.h) under a lock.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"

namespace tellurim {

enum class DirectoryKind { Private, Horoscopes };

// One "name=value" line of the registry file.
struct RegistryLine {
    std::string name;
    std::string value;
};
// The lines of the file's text that hold a "="; a CR before the LF is dropped.
std::vector<RegistryLine> parse_registry_lines(std::string_view text);

// "private_dir" or "horoscopes_dir".
std::string_view directory_value_name(DirectoryKind kind);
// The registry file's path.
std::string registry_file_path();
// The value stored under `name`, or nullopt when the file or the value is absent.
std::optional<std::string> read_directory_value(std::string_view name);
// A value the registry may hold: an absolute path (or nothing) without line breaks or NULs.
bool is_acceptable_directory_value(std::string_view path);
// Stores `path` under `name`, creating the file and its directories when needed. On failure
// says "Error writing to the registry!" (error icon) and returns false.
[[nodiscard]] bool store_directory_value(const std::string& path, std::string_view name, MessageSink& messages);

// The directory proposed when none is stored: $XDG_DATA_HOME/tellurim
// (~/.local/share/tellurim) for the private directory, ~/Tellurim/horoscopes for the other.
std::string default_directory(DirectoryKind kind);

// Creates (or truncates) "write_test.txt" in `dir`, writes the 10 bytes "Write test" and
// deletes it again; true when the bytes could be written.
[[nodiscard]] bool write_test(const std::string& dir);

struct DirectoryResult {
    std::string path;
    // False when the directory could not be established. For the private directory the
    // caller ends the process with exit code 1; the horoscopes directory only reports.
    bool ok = true;
};

// Creates `path` with its missing parents when it does not exist; on failure shows the path
// with the caption "Cannot create directory" (error icon).
DirectoryResult ensure_directory(const std::string& path, MessageSink& messages);

// The stored directory (created again when it was removed), or, when none is stored or the
// stored value is not an absolute path (said with the caption "Check your configuration.
// Registry value:"), the one the user gives at the prompt ("Give the name of the Tellurim private directory Please." /
// "Please choose the horoscopes directory."), write-tested and stored. The proposed default
// is created when the user takes it. For the horoscopes directory every failure is reported
// and the remaining steps still run, so the answer (possibly empty) is stored and returned.
DirectoryResult get_directory(DirectoryKind kind, MessageSink& messages);

// Which step of a directory change failed.
enum class SetDirectoryFailure { None, NotADirectory, CannotWrite, CannotStore };

// The directory dialogs' OK: `new_path` must be an existing directory ("Not a correct value
// for this field", caption "Error", warning icon), pass the write test (the path, caption
// "Cannot write in directory.") and be stored (the path, caption "Cannot write in windows
// registry."). Then every regular file directly in `current_path` is copied into the new
// directory under the same name, replacing what is there.
SetDirectoryFailure set_directory(DirectoryKind kind, const std::string& current_path, const std::string& new_path,
                                  MessageSink& messages);

}  // namespace tellurim
