#include "script/script_menu.h"

#include <sys/stat.h>

#include "core/paths.h"
#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/settings_file.h"

namespace tellurim {
namespace {

// The menu file is a few lines; anything much longer is not one.
constexpr std::size_t kMaxMenuBytes = 1 << 20;

std::string_view strip(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string script_menu_path(const std::string& private_dir) { return join_path(private_dir, kScriptMenuFileName); }

std::string default_script_menu() {
    std::string out = "#menu position; filename; menu txt; TCL or TK\r\n";
    out += "0; interpre.tcl;" + str(Str::MenuInterpretHoroscope) + "; TCL\r\n";
    out += "1; yogas.tcl;" + str(Str::MenuScanYogas) + "; TCL\r\n";
    out += "2; rs.tcl;" + str(Str::MenuSolarReturn) + "; TCL\r\n";
    out += "3; hindu_horoscope_tk.tcl;" + str(Str::MenuDrawHindu) + "; TK\r\n";
    return out;
}

std::optional<std::vector<ScriptMenuEntry>> parse_script_menu(std::string_view text) {
    std::vector<ScriptMenuEntry> entries;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string_view> fields;
        for (std::size_t start = 0;;) {
            const std::size_t semi = line.find(';', start);
            fields.push_back(strip(line.substr(start, semi == std::string_view::npos ? semi : semi - start)));
            if (semi == std::string_view::npos) break;
            start = semi + 1;
        }
        ScriptMenuEntry e;
        const auto position = parse_integer(fields[0]);
        if (!position || *position < INT32_MIN || *position > INT32_MAX) return std::nullopt;
        e.position = static_cast<std::int32_t>(*position);
        if (fields.size() > 1) e.file = std::string(fields[1]);
        if (fields.size() > 2) e.text = std::string(fields[2]);
        const std::string_view kind = fields.size() > 3 ? fields[3] : std::string_view();
        if (kind == "TCL") e.is_tcl = true;
        else if (kind == "TK") e.is_tcl = false;
        else return std::nullopt;
        entries.push_back(std::move(e));
    }
    return entries;
}

std::optional<std::vector<ScriptMenuEntry>> load_script_menu(const std::string& private_dir) {
    const std::string path = script_menu_path(private_dir);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && !write_settings_file(path, default_script_menu())) return std::nullopt;
    const auto text = read_regular_text(path, kMaxMenuBytes);
    if (!text) return std::nullopt;
    return parse_script_menu(*text);
}

}  // namespace tellurim
