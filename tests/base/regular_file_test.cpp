// What stands at a data file's path: only a regular file is read; a FIFO (which would block a
// reader forever), a directory, a device or nothing at all are refused alike.
#include "base/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace tellurim {
namespace {

namespace fs = std::filesystem;

TEST(RegularFile, OnlyRegularFilesAreRead) {
    const fs::path dir = fs::temp_directory_path() / ("tellurim-regular-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    { std::ofstream(dir / "file") << "abc"; }
    { std::ofstream(dir / "empty"); }
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directories(dir / "directory");
    fs::create_symlink(dir / "fifo", dir / "link-to-fifo");
    fs::create_symlink(dir / "file", dir / "link-to-file");

    const std::string not_regular = "not a regular file", missing = "No such file or directory";
    struct Row { std::string path; std::optional<std::string> content; std::string why; } rows[] = {
        {(dir / "file").string(), "abc", ""},
        {(dir / "empty").string(), "", ""},
        {(dir / "link-to-file").string(), "abc", ""},
        {(dir / "fifo").string(), std::nullopt, not_regular},
        {(dir / "link-to-fifo").string(), std::nullopt, not_regular},
        {(dir / "directory").string(), std::nullopt, not_regular},
        {(dir / "missing").string(), std::nullopt, missing},
        {"/dev/zero", std::nullopt, not_regular},
        {"", std::nullopt, missing},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(read_regular_text(r.path), r.content);
        std::string why;
        EXPECT_EQ(RegularFile::open(r.path, &why).has_value(), r.content.has_value());
        EXPECT_EQ(why, r.why);  // the cause that a refusal names
    }
    EXPECT_EQ(read_regular_text((dir / "file").string(), 2), std::nullopt);  // longer than allowed
    EXPECT_EQ(read_regular_head((dir / "file").string(), 2), (std::vector<std::uint8_t>{'a', 'b'}));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tellurim
