#pragma once
// Reads a golden byte fixture written as hexadecimal pairs ("# " lines are comments).

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tellurim::testing_data {

inline std::vector<std::uint8_t> read_hex_fixture(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string w;
        while (words >> w) bytes.push_back(static_cast<std::uint8_t>(std::stoul(w, nullptr, 16)));
    }
    return bytes;
}

}  // namespace tellurim::testing_data
