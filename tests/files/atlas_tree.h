#pragma once
// Small hand-made atlas trees in a temporary directory, for the city and correction tests.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/byte_io.h"
#include "files/place_files.h"

namespace tellurim::testing {

class TempTree {
public:
    TempTree() {
        auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            m_root = base / ("tellurim-atlas-" + std::to_string(::getpid()) + "-" + std::to_string(i));
            if (std::filesystem::create_directory(m_root)) break;
        }
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::string path(const std::string& rel = "") const { return rel.empty() ? m_root.string() : (m_root / rel).string(); }

    void write(const std::string& rel, const std::vector<std::uint8_t>& bytes) const {
        auto p = m_root / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream f(p, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void index(const std::vector<DirectoryEntry>& entries) const {
        ByteWriter w;
        for (const auto& e : entries) write_directory_entry(w, e);
        write(kDirCountriesFile, w.bytes());
    }
    void cities(const std::string& dir, const std::vector<BirthPlace>& places) const {
        ByteWriter w;
        for (const auto& p : places) write_birth_place(w, p);
        write(dir + "/" + kCitiesFile, w.bytes());
    }
    void corrections(const std::string& rel, const std::vector<CorrectionRecord>& records) const {
        ByteWriter w;
        for (const auto& r : records) write_correction_record(w, r);
        write(rel, w.bytes());
    }

private:
    std::filesystem::path m_root;
};

}  // namespace tellurim::testing
