#pragma once
// The options file "options.pra" in the private directory: the default record, loading at
// start-up with every recovery case, saving, the check of the configured paths, and the
// validation of the directories-and-files dialog.

#include <functional>
#include <optional>
#include <string>

#include "core/messages.h"
#include "core/options.h"
#include "base/strings.h"

namespace tellurim {

inline constexpr const char* kOptionsFileName = "options.pra";

// Every default: the constant ones of the record, the paths under the base directory
// (core/paths.h) and `horoscopes_dir`, the system colours, "My city" with the system time
// zone's correction, and the dasa periods built from the default zero date and 365.25 days.
Options make_default_options(const std::string& horoscopes_dir);

// The path of "options.pra" in `private_dir`.
std::string options_file_path(const std::string& private_dir);

enum class OptionsLoadStatus {
    Loaded,        // read from the file
    Created,       // the file was missing: created with the defaults
    Recreated,     // the file had a wrong length: deleted and created again with the defaults
    CannotRead,    // the file gave no bytes: "Cannot read Options file, application must exit"
    CannotCreate,  // "Cannot create Options file, application must quit"
};

struct OptionsLoad {
    Options options;
    OptionsLoadStatus status = OptionsLoadStatus::Loaded;
    bool ok() const { return status != OptionsLoadStatus::CannotRead && status != OptionsLoadStatus::CannotCreate; }
    // The exit code the caller ends the process with when !ok(): 1.
    int exit_code() const { return ok() ? 0 : 1; }
};

// Loads "options.pra" from `private_dir` over the defaults. A file whose length is not a
// whole multiple of 65,280 bytes is reported corrupt ("Fatal error"), deleted and created
// again; a missing file is created ("Options file created with default values.", caption
// "File creation"). Of a longer file only the first 65,280 bytes are read.
OptionsLoad load_options(const std::string& private_dir, const std::string& horoscopes_dir, MessageSink& messages);

// Checks the fields that a file of the right length can still hold wrong (a house system of
// 200, a zero date that is not a date, an angle that is not a number): each one is named
// with the file's path (caption "Check your configuration. Bad value:", warning icon) and
// takes its value from `defaults`. The file itself is left as it is.
void repair_loaded_options(Options& options, const Options& defaults, const std::string& path, MessageSink& messages);

// Writes the 65,280-byte image (owner read and write) atomically: a reader sees the old or
// the new file, never a mix. True when it was written.
[[nodiscard]] bool save_options(const std::string& private_dir, const Options& options);

// A read-modify-write of the options file under its lock: the record is read again from the
// file as it is now (`options` when it cannot be read), the values it holds damaged are taken
// from `options` (see repair_loaded_options), `change` edits it and returns whether it is to
// be saved. `options` then holds the saved record. False when saving failed.
[[nodiscard]] bool update_options(const std::string& private_dir, Options& options,
                                  const std::function<bool(Options&)>& change);

// Checks, in this order, that the horoscopes directory, the Tcl script directory, the stars
// file, the countries directory and the database ini file exist; each missing one is shown
// (the path, caption "Check your configuration. Directory not find:" or "... File not
// find:", warning icon) and the check goes on. True when all five exist.
bool check_configuration(const Options& options, const std::string& horoscopes_dir, MessageSink& messages);

// Fields of the directories-and-files dialog, in their validation order.
enum class PathsField { None, TclScriptDir, StarsFile, CountriesDir, TextEditor, DbIniFile, SaveFile };

struct PathsCheck {
    PathsField failed = PathsField::None;
    Str message = Str::FilesNotACorrectValue;  // shown with the caption "Error"
    bool ok() const { return failed == PathsField::None; }
};

// The rule of one field of the dialog: the failure message, or nullopt with `value` as it is
// to be stored (the text editor without its double quotes).
std::optional<Str> check_paths_field(PathsField field, std::string& value,
                                     const std::function<bool(const std::string&)>& stars_load = nullptr);

// Validates the dialog's values; on success `values` holds what is to be stored (the text
// editor without its double quotes, country and state cut to 119 characters). `stars_load`
// tells whether a file loads as a stars catalogue; without it an existing regular file is
// accepted.
PathsCheck check_paths_dialog(OptionsPaths& values,
                              const std::function<bool(const std::string&)>& stars_load = nullptr);

}  // namespace tellurim
