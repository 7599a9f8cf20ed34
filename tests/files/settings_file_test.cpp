// Settings files survive concurrent runs and damage: atomic replacement, the read-modify-write
// lock, damaged files kept aside, and bad values inside a file of the right length.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "common/temp_dir.h"
#include "files/options_image.h"
#include "files/options_file.h"
#include "files/settings_file.h"

namespace tellurim {
namespace {
using namespace testing_data;

class SettingsFileTest : public ::testing::Test {
protected:
    TempDir tmp;
    fs::path root = tmp.root;
};

// Twenty processes each add 1 to a counter 4 times by read-modify-write, while readers
// check that every file they see is whole. Without the lock increments are lost; without the
// rename a reader sees a short file.
TEST_F(SettingsFileTest, ConcurrentProcessesLoseNothingAndNeverSeeHalfAFile) {
    const std::string path = (root / "counter.pra").string();
    constexpr std::size_t kSize = 4096;  // a counter repeated, so that a torn write shows
    auto image = [](std::uint32_t n) { return std::vector<std::uint8_t>(kSize, static_cast<std::uint8_t>(n % 251)); };
    ASSERT_TRUE(write_settings_file(path, image(0)));
    std::ofstream(root / "count") << 0;
    constexpr int kProcesses = 20, kRounds = 4;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid > 0) {
            children.push_back(pid);
            continue;
        }
        bool ok = true;
        for (int r = 0; r < kRounds; ++r) {
            auto seen = read_settings_file(path, kSize);  // unlocked reader
            ok = ok && seen && seen->size() == kSize && std::equal(seen->begin() + 1, seen->end(), seen->begin());
            SettingsLock lock(path);
            std::uint32_t n = 0;
            std::ifstream(root / "count") >> n;
            ok = ok && write_settings_file(path, image(n + 1));
            std::ofstream(root / "count") << n + 1;
        }
        ::_exit(ok ? 0 : 1);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::uint32_t n = 0;
    std::ifstream(root / "count") >> n;
    EXPECT_EQ(n, std::uint32_t(kProcesses * kRounds));
    EXPECT_EQ(read_settings_file(path, kSize), image(kProcesses * kRounds));
    // Only the file and its lock remain: no temporary file is left behind.
    int others = 0;
    for (auto& e : fs::directory_iterator(root)) {
        const std::string name = e.path().filename().string();
        others += name != "counter.pra" && name != ".counter.pra.lock" && name != "count";
    }
    EXPECT_EQ(others, 0);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SettingsFileTest, NonRegularFilesAreNotRead) {
    const std::string fifo = (root / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(read_settings_file(fifo, 100));  // refused at once, not blocked on
    EXPECT_FALSE(read_settings_file(root.string(), 100));
    EXPECT_FALSE(read_settings_file((root / "missing").string(), 100));
}

TEST_F(SettingsFileTest, DamagedFilesKeepTheLastThree) {
    const std::string path = (root / "options.pra").string();
    for (int i = 1; i <= 5; ++i) {
        write_text(path, std::to_string(i));
        EXPECT_EQ(keep_damaged_file(path), path + ".bad");
    }
    EXPECT_EQ(read_text(path + ".bad"), "5");
    EXPECT_EQ(read_text(path + ".bad.1"), "4");
    EXPECT_EQ(read_text(path + ".bad.2"), "3");
    EXPECT_FALSE(fs::exists(path + ".bad.3"));
    EXPECT_FALSE(fs::exists(path));
}

// Something that is not a file where options.pra should be is damage too: kept aside as
// options.pra.bad, said in the message, and recreated (wrong lengths: options_file_test).
TEST_F(SettingsFileTest, DamagedOptionsFileIsKeptAndRecreated) {
    const std::string dir = root.string(), path = (root / "options.pra").string();
    for (bool fifo : {false, true}) {
        SCOPED_TRACE(fifo ? "a FIFO" : "a directory");
        std::error_code ec;
        fs::remove_all(path, ec);
        if (fifo)
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else
            fs::create_directory(path);
        RecordingMessages messages;
        OptionsLoad r = load_options(dir, dir, messages);
        EXPECT_EQ(r.status, OptionsLoadStatus::Recreated);
        ASSERT_EQ(messages.messages.size(), 2u);
        EXPECT_EQ(messages.messages[0].text,
                  "Options file is corrupt and is about to be deleted\nThe damaged file was kept as " + path + ".bad");
        EXPECT_TRUE(fs::exists(fs::symlink_status(path + ".bad")));
        EXPECT_EQ(fs::file_size(path), kOptionsFileSize);
    }
}

// A file of the right length with wrong values: each is named with the file, the default
// takes its place, and nothing else is touched.
TEST_F(SettingsFileTest, BadValuesAreNamedByField) {
    const std::string dir = root.string(), path = (root / "options.pra").string();
    Options o = make_default_options(dir);
    o.astro.house_system = 200;
    o.astro.zero_date.jd_ut = std::nan("");
    o.dasas.zero_date.month = 13;
    o.drawing.aspect_ratio = 0.0f;
    o.my_city.place.city = "Mine";
    ASSERT_TRUE(write_settings_file(path, write_options_image(o)));
    RecordingMessages messages;
    OptionsLoad r = load_options(dir, dir, messages);
    EXPECT_EQ(r.status, OptionsLoadStatus::Loaded);
    std::vector<std::string> texts;
    for (const Message& m : messages.messages) {
        EXPECT_EQ(m.caption, "Check your configuration. Bad value:");
        texts.push_back(m.text);
    }
    auto said = [&](const char* field) {
        return "The options file " + path + " holds a value that is not valid for \"" + field +
               "\"; the default value is used.";
    };
    EXPECT_EQ(texts, (std::vector<std::string>{said("zero date"), said("house system"), said("aspect ratio"),
                                               said("dasa zero date")}));
    const Options defaults = make_default_options(dir);
    EXPECT_EQ(r.options.astro.house_system, defaults.astro.house_system);
    EXPECT_EQ(r.options.astro.zero_date, defaults.astro.zero_date);
    EXPECT_EQ(r.options.dasas, defaults.dasas);
    EXPECT_EQ(r.options.my_city.place.city, "Mine");

    // A read-modify-write (as when "My city" follows the system's time zone before the first
    // chart) reads the file again, damage included: the repairs hold, in memory and on disk.
    ASSERT_TRUE(update_options(dir, r.options, [](Options&) { return true; }));
    EXPECT_EQ(r.options.astro.house_system, defaults.astro.house_system);
    EXPECT_EQ(r.options.astro.zero_date, defaults.astro.zero_date);
    EXPECT_EQ(r.options.my_city.place.city, "Mine");
    RecordingMessages again;
    EXPECT_EQ(load_options(dir, dir, again).options.astro.house_system, defaults.astro.house_system);
    EXPECT_TRUE(again.messages.empty());
}

}  // namespace
}  // namespace tellurim
