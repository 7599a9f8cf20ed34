// Random bytes taken as the script menu file "menu_tcl_tk.ini". A parsed menu written back in
// its own line form must parse to the same entries.
#include <fmt/format.h>

#include "fuzz_util.h"
#include "script/script_menu.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto entries = parse_script_menu(fuzz::as_text(data, size));
    if (!entries) return 0;
    std::string text;
    for (const ScriptMenuEntry& e : *entries) {
        // Fields that hold the separators cannot be written back in this form.
        if (e.file.find_first_of(";\r\n") != std::string::npos || e.text.find_first_of(";\r\n") != std::string::npos)
            return 0;
        text += fmt::format("{};{};{};{}\n", e.position, e.file, e.text, e.is_tcl ? "TCL" : "TK");
    }
    const auto again = parse_script_menu(text);
    fuzz::check(again.has_value() && *again == *entries);
    return 0;
}
