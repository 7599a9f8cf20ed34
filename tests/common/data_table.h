#pragma once
// Reference data under tests/data/, one row a line: fields separated by blanks, or by '|' when
// the line holds one (each field then trimmed, and free to hold blanks); "#" starts a comment
// line. A missing or empty file fails the test that reads it.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tellurim::testing_data {

struct DataRow {
    int line = 0;  // in the file, for the trace of a failure
    std::vector<std::string> fields;
    const std::string& operator[](std::size_t i) const { return fields.at(i); }
    // The field with \n, \r, \t and \s (a blank that trimming keeps) unescaped; "" past the end.
    std::string text(std::size_t i) const {
        std::string out;
        const std::string& f = i < fields.size() ? fields[i] : out;
        for (std::size_t k = 0; k < f.size(); ++k) {
            const char c = f[k] == '\\' && k + 1 < f.size() ? f[++k] : '\0';
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == 's' ? ' ' : c ? c : f[k];
        }
        return out;
    }
    double num(std::size_t i) const { return std::stod(fields.at(i)); }
    int integer(std::size_t i) const { return std::stoi(fields.at(i)); }
    std::size_t size() const { return fields.size(); }
};

inline std::string data_path(const std::string& name) { return std::string(TELLURIM_TEST_DATA_DIR) + "/" + name; }

inline std::vector<DataRow> data_rows(const std::string& name) {
    std::ifstream in(data_path(name));
    std::vector<DataRow> rows;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[line.find_first_not_of(" \t")] == '#') continue;
        DataRow row{number, {}};
        if (line.find('|') == std::string::npos) {
            std::istringstream words(line);
            for (std::string w; words >> w;) row.fields.push_back(w);
        } else {
            std::istringstream cells(line);
            for (std::string c; std::getline(cells, c, '|');) {
                const auto first = c.find_first_not_of(" \t\r");
                row.fields.push_back(first == std::string::npos ? "" : c.substr(first, c.find_last_not_of(" \t\r") - first + 1));
            }
        }
        rows.push_back(std::move(row));
    }
    EXPECT_FALSE(rows.empty()) << "no rows in " << data_path(name);
    return rows;
}

}  // namespace tellurim::testing_data
