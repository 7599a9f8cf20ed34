#pragma once
// Manual pages in roff (man(7)) and the bash completion script, both made from the command
// table itself (`tellurim --help-man`, `tellurim --completion bash`, `tellurim-gui
// --help-man`), so that the installed pages cannot drift from the programs' options.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace tellurim {

// One option of a page: its names ("-h, --help"), the kind of value it takes ("TEXT", empty
// for a flag) and what it does.
struct ManItem {
    std::string names;
    std::string value;
    std::string text;
};

// A section (.SH) or, with `sub`, a subsection (.SS): a paragraph, then its options.
struct ManBlock {
    std::string heading;
    std::string text;
    std::vector<ManItem> items;
    bool sub = false;
};

struct ManPage {
    std::string name;      // "tellurim"
    std::string version;   // "2.4.7"
    std::string summary;   // the NAME line's text after the dash
    std::string synopsis;  // plain text after the program's name
    std::vector<ManBlock> blocks;
};

// Roff text: every line of the text escaped ("-" as "\-", "\" as "\e", a leading "." or "'"
// kept literal).
std::string roff_escape(const std::string& text);
std::string render_man_page(const ManPage& page);

// The sections that both programs' pages end with: FILES, ENVIRONMENT, and SEE ALSO naming
// the other program.
std::vector<ManBlock> manual_blocks(const std::string& see_also);

// The page of a CLI11 program: its options, then one subsection per command (hidden options
// and commands left out); `extra` blocks (files, environment, see also) follow.
ManPage cli_man_page(const CLI::App& app, const std::string& version, std::vector<ManBlock> extra);

// A bash completion script for `app`: commands, options, the choices of an option, and file
// names where a command takes a value or an argument.
std::string bash_completion(const CLI::App& app);

}  // namespace tellurim
