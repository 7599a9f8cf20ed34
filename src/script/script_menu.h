#pragma once
// The script menu file "menu_tcl_tk.ini" of the private directory: one line per entry of the
// Custom submenu, "position; file; menu text; TCL or TK". Comment lines start with "#".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

inline constexpr const char* kScriptMenuFileName = "menu_tcl_tk.ini";
// The command identifier of the entry at position p is kCustomCommandBase + p; the Custom
// submenu itself replaces the item kCustomMenuCommand.
inline constexpr int kCustomMenuCommand = 40072;
inline constexpr int kCustomCommandBase = 40073;

struct ScriptMenuEntry {
    std::int32_t position = -1;
    std::string file;  // relative names are taken in the script directory
    std::string text;
    bool is_tcl = true;  // false: a TK script, run on a worker slot
    bool operator==(const ScriptMenuEntry&) const = default;
};

std::string script_menu_path(const std::string& private_dir);

// The file written when none exists: a comment line and four entries, with the menu texts of
// the string table, each line ended by CR LF.
std::string default_script_menu();

// The entries of the file's text, in file order. Each line loses its CR and LF and its
// trailing spaces; empty lines and lines starting with "#" are skipped; the fields lose their
// surrounding spaces, and a blank field keeps the entry's default. nullopt, and no entry at
// all, as soon as a line's position is not a whole number or its kind is not exactly "TCL" or
// "TK".
std::optional<std::vector<ScriptMenuEntry>> parse_script_menu(std::string_view text);

// Reads the private directory's menu file, writing the default one first when it is missing.
// nullopt when it cannot be written, read or parsed: the Custom submenu then stays empty.
std::optional<std::vector<ScriptMenuEntry>> load_script_menu(const std::string& private_dir);

}  // namespace tellurim
