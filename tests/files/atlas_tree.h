#pragma once
// Small hand-made atlas trees in a temporary directory, for the city and correction tests.

#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "base/byte_io.h"
#include "files/place_files.h"

namespace tellurim::testing {

class TempTree {
public:
    std::string path(const std::string& rel = "") const { return m_dir.str(rel); }

    void write(const std::string& rel, const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::create_directories((m_dir / rel).parent_path());
        testing_data::write_bytes(m_dir / rel, bytes);
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
    testing_data::TempDir m_dir;
};

}  // namespace tellurim::testing
