// "aspects.pra" at start-up: missing, truncated at every length, unreadable; saving.
#include "files/aspects_file.h"

#include <gtest/gtest.h>

#include "astro/aspects.h"
#include "common/golden_hex.h"
#include "common/temp_dir.h"

namespace tellurim {
namespace {
using namespace testing_data;

// The golden default file, written from the record layout independently of the C++ writer.
std::vector<std::uint8_t> golden() {
    return testing_data::read_hex_fixture(std::string(TELLURIM_TEST_DATA_DIR) + "/aspects/default_aspects.hex");
}

class AspectsFileTest : public ::testing::Test {
protected:
    // Every save is flushed to disk; the sweep saves some 600 times, which on a disk costs
    // seconds, so the files live in memory when the machine offers it.
    TempDir tmp{fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()};
    fs::path dir = tmp.root, file = dir / "aspects.pra";
};

TEST_F(AspectsFileTest, MissingFileGetsTheDefaultsWritten) {
    RecordingMessages messages;
    AspectsLoad load = load_aspect_table(file.string(), messages);
    EXPECT_EQ(load.status, AspectsLoadStatus::Defaults);
    EXPECT_TRUE(load.saved);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(load.table.rows, default_aspect_rows());
    EXPECT_EQ(load.table.path, file.string());
    EXPECT_EQ(read_bytes(file), golden());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    // Nothing but the file itself is left in the directory (no temporary file).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

// Every truncation of the default file: a length that is 0 or not a whole number of records
// gives the defaults back and rewrites the whole file; a whole number k of records gives the
// first k rows and leaves the file alone. The options file beside it is never touched.
TEST_F(AspectsFileTest, TruncationSweep) {
    const std::vector<std::uint8_t> full = golden();
    const std::vector<std::uint8_t> options(65280, 0x5A);
    write_bytes(dir / "options.pra", options);
    const std::vector<AspectDef> defaults = default_aspect_rows();
    for (std::size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE("length " + std::to_string(n));
        write_bytes(file, std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(n)));
        SilentMessages messages;
        AspectsLoad load = load_aspect_table(file.string(), messages);
        if (n != 0 && n % kAspectRecordSize == 0) {
            const std::size_t k = n / kAspectRecordSize;
            EXPECT_EQ(load.status, AspectsLoadStatus::Loaded);
            EXPECT_EQ(load.table.rows, std::vector<AspectDef>(defaults.begin(), defaults.begin() + static_cast<long>(k)));
            EXPECT_EQ(read_bytes(file).size(), n);
        } else {
            EXPECT_EQ(load.status, AspectsLoadStatus::Defaults);
            EXPECT_EQ(load.table.rows, defaults);
            EXPECT_EQ(read_bytes(file), full);
        }
    }
    EXPECT_EQ(read_bytes(dir / "options.pra"), options);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 2);
}

TEST_F(AspectsFileTest, RowsAreSortedAfterLoadingAndBeforeSaving) {
    std::vector<AspectDef> rows = default_aspect_rows();
    std::reverse(rows.begin(), rows.end());
    write_bytes(file, write_aspect_image(rows));
    SilentMessages messages;
    AspectsLoad load = load_aspect_table(file.string(), messages);
    EXPECT_EQ(load.table.rows, default_aspect_rows());

    AspectTable t{rows, file.string()};
    ASSERT_TRUE(save_aspect_table(t));
    EXPECT_EQ(t.rows, default_aspect_rows());
    EXPECT_EQ(read_bytes(file), golden());
}

TEST_F(AspectsFileTest, UnreadableAndUnwritable) {
    // A directory where the file should be cannot be read, and cannot be replaced.
    fs::create_directory(file);
    RecordingMessages messages;
    AspectsLoad load = load_aspect_table(file.string(), messages);
    EXPECT_EQ(load.status, AspectsLoadStatus::Defaults);
    EXPECT_FALSE(load.saved);
    EXPECT_EQ(load.table.rows, default_aspect_rows());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Cannot write aspects file. Check your private Tellurim directory.");
    EXPECT_EQ(messages.messages[0].caption, "Cannot open file for writing");

    AspectTable t{default_aspect_rows(), (dir / "no such dir" / "aspects.pra").string()};
    EXPECT_FALSE(save_aspect_table(t));
}

}  // namespace
}  // namespace tellurim
