#pragma once
// The mapping file of the database export: which named values (files/db_values.h) go into
// which columns of which tables.
//
//   ; a comment
//   [horoscope]
//   Id Field = horoscope_id
//   Name = last_name
//
// From each line a trailing CR, every tab and the surrounding spaces are removed. Empty lines
// and lines starting with ";" are ignored; "[...]" opens a table (every "[" and "]" removed,
// spaces trimmed); any other line is "field = column", and a line with either side empty is
// ignored. Tables keep their file order, columns their order within a table; a table without
// columns is dropped.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tellurim {

struct MappedTable {
    std::string name;
    std::vector<std::pair<std::string, std::string>> columns;  // (field name, column)
};

std::vector<MappedTable> parse_mapping(std::string_view text);
// nullopt when the file cannot be read.
std::optional<std::vector<MappedTable>> load_mapping(const std::string& path);

}  // namespace tellurim
