#pragma once
// A throw-away directory removed with its content when the test ends, whole-file reads and
// writes, and readable failures for recorded messages.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "core/messages.h"

namespace tellurim {

inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "{\"" << m.text << "\", \"" << m.caption << "\", icon " << static_cast<int>(m.icon) << "}";
}

namespace testing_data {

namespace fs = std::filesystem;

struct TempDir {
    fs::path root;
    explicit TempDir(const fs::path& base = fs::temp_directory_path()) {
        std::string pattern = (base / "tellurim_test_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        root = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(root, fs::perms::owner_all, ec);
        fs::remove_all(root, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    fs::path operator/(const std::string& name) const { return root / name; }
    std::string str(const std::string& name = "") const { return name.empty() ? root.string() : (root / name).string(); }
};

inline std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline std::vector<std::uint8_t> read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}
inline std::string write_text(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
}
inline std::string write_bytes(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
}

}  // namespace testing_data
}  // namespace tellurim
