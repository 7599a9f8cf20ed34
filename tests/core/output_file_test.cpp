// Output files appear whole or not at all, never replace what they must not, and refuse what
// is not a regular file; names taken at once by several writers stay distinct; appends from
// several writers all arrive; a writer killed at any moment leaves the old file or the new.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <set>
#include <thread>

#include "common/temp_dir.h"
#include "core/output_file.h"

namespace tellurim {
namespace {

using namespace testing_data;

// Files of the directory, hidden ones (the temporary files) included.
std::set<std::string> names_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

TEST(OutputFile, ReplaceCreateAppendAndRefusals) {
    TempDir tmp;
    const std::string file = write_text(tmp / "a.txt", "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("a.txt", tmp / "link.txt");
    fs::create_directory(tmp / "dir");
    ASSERT_EQ(::mkfifo(tmp.str("fifo").c_str(), 0600), 0);

    // In order (a braced list is evaluated left to right): the status, and a.txt afterwards.
    struct Row {
        const char* what;
        OutputStatus status;
        OutputStatus expected;
        std::string a_txt;
    } rows[] = {
        {"create over a.txt", create_output_file(file, "new"), OutputStatus::Exists, read_text(file)},
        {"replace a.txt", replace_output_file(file, "new"), OutputStatus::Written, read_text(file)},
        {"append to a text without its line end", append_output_file(file, "line\r\n"), OutputStatus::Written,
         read_text(file)},
        {"replace through the link", replace_output_file(tmp.str("link.txt"), "linked"), OutputStatus::Written,
         read_text(file)},
        {"append to a new file", append_output_file(tmp.str("b.txt"), "b"), OutputStatus::Written, read_text(file)},
        {"create a new file", create_output_file(tmp.str("c.txt"), "c"), OutputStatus::Written, read_text(file)},
    };
    const char* after[] = {"old", "new", "new\r\nline\r\n", "linked", "linked", "linked"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].what);
        EXPECT_EQ(rows[i].status, rows[i].expected);
        EXPECT_EQ(rows[i].a_txt, after[i]);
    }
    EXPECT_EQ(read_text(file), "linked");
    EXPECT_TRUE(fs::is_symlink(tmp / "link.txt"));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(read_text(tmp / "b.txt"), "b");
    EXPECT_EQ(read_text(tmp / "c.txt"), "c");

    // A FIFO (which would block) and a directory are refused by every writer and stay.
    for (const char* name : {"fifo", "dir"}) {
        SCOPED_TRACE(name);
        const std::string path = tmp.str(name);
        EXPECT_FALSE(is_output_path(path));
        EXPECT_EQ(replace_output_file(path, "x"), OutputStatus::NotRegular);
        EXPECT_EQ(append_output_file(path, "x"), OutputStatus::NotRegular);
        EXPECT_EQ(create_output_file(path, "x"), OutputStatus::NotRegular);
    }
    EXPECT_TRUE(fs::is_fifo(tmp / "fifo"));
    EXPECT_EQ(replace_output_file(tmp.str("no/such/dir/x"), "x"), OutputStatus::Failed);
    EXPECT_EQ(names_in(tmp.root), (std::set<std::string>{"a.txt", "b.txt", "c.txt", "dir", "fifo", "link.txt"}));
}

// Four writers take names "n0" ... at once, each trying the counters in order as the import
// does, and append one line each to one file: no name is given twice, no line is lost.
TEST(OutputFile, WritersAtOnceKeepEveryFileAndLine) {
    TempDir tmp;
    constexpr int kWriters = 4, kEach = 50;
    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w)
        threads.emplace_back([&tmp, w] {
            int counter = 0;
            for (int i = 0; i < kEach; ++i) {
                OutputFile f;
                ASSERT_EQ(f.open(tmp.str("n0")), OutputStatus::Written);
                ASSERT_TRUE(f.write("writer " + std::to_string(w)));
                OutputStatus s;
                while ((s = f.commit_new(tmp.str("n" + std::to_string(counter)), false)) == OutputStatus::Exists)
                    ++counter;
                ASSERT_EQ(s, OutputStatus::Written);
                ASSERT_EQ(append_output_file(tmp.str("lines.txt"), "line\r\n"), OutputStatus::Written);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(names_in(tmp.root).size(), kWriters * kEach + 1u);
    const std::string lines = read_text(tmp / "lines.txt");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), kWriters * kEach);
}

// A child process replaces a 4 MB file and is killed at a random moment: the file is always
// the old one or the new one, whole.
TEST(OutputFile, KilledWriterLeavesTheOldFileOrTheNew) {
    TempDir tmp;
    const std::string old_text(4 << 20, 'o'), new_text(4 << 20, 'n');
    const std::string path = write_text(tmp / "big.txt", old_text);
    int saw_new = 0;
    for (int round = 0; round < 8; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) (void)replace_output_file(path, new_text, false);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + 7 * round));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = read_text(path);
        ASSERT_TRUE(now == old_text || now == new_text) << "round " << round << ": " << now.size() << " bytes";
        saw_new += now == new_text;
    }
    EXPECT_GT(saw_new, 0);
}

}  // namespace
}  // namespace tellurim
