#include "files/db_mapping.h"

#include <fstream>
#include <sstream>

#include "base/regular_file.h"
#include "base/text.h"

namespace tellurim {
namespace {

std::string trim_spaces(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

}  // namespace

std::vector<MappedTable> parse_mapping(std::string_view text) {
    std::vector<MappedTable> tables;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view raw = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        std::string line;
        for (char c : raw)
            if (c != '\t') line += c;
        line = trim_spaces(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::string name;
            for (char c : line)
                if (c != '[' && c != ']') name += c;
            tables.push_back({trim_spaces(name), {}});
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos || tables.empty()) continue;
        std::string field = trim_spaces(std::string_view(line).substr(0, eq));
        std::string column = trim_spaces(std::string_view(line).substr(eq + 1));
        if (field.empty() || column.empty()) continue;
        tables.back().columns.emplace_back(std::move(field), std::move(column));
    }
    std::erase_if(tables, [](const MappedTable& t) { return t.columns.empty(); });
    return tables;
}

std::optional<std::vector<MappedTable>> load_mapping(const std::string& path) {
    auto text = read_regular_text(path);
    if (!text) return std::nullopt;
    return parse_mapping(*text);
}

}  // namespace tellurim
