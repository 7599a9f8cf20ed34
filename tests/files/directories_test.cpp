// The two directories: registry file, prompts, write test, copy on change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/directories.h"

namespace tellurim {
namespace {
namespace fs = std::filesystem;

// A home, config and data directory of its own for each test.
class DirectoriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tellurim_dirs_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "home");
        ::setenv("HOME", (root / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root, fs::perms::owner_all, ec);
        fs::remove_all(root, ec);
    }
    std::string registry_text() {
        std::ifstream in(root / "config/tellurim/2.4.7/registry");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path root;
    RecordingMessages messages;
};

// Without the XDG variables the files fall back under the home directory.
TEST_F(DirectoriesTest, PathsFallBackToTheHome) {
    EXPECT_EQ(default_directory(DirectoryKind::Horoscopes), (root / "home/Tellurim/horoscopes").string());
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(registry_file_path(), (root / "home/.config/tellurim/2.4.7/registry").string());
    EXPECT_EQ(default_directory(DirectoryKind::Private), (root / "home/.local/share/tellurim").string());
}

TEST_F(DirectoriesTest, StoreAndReadBackBothValues) {
    EXPECT_FALSE(read_directory_value("private_dir"));
    ASSERT_TRUE(store_directory_value("/a/b", "private_dir", messages));
    ASSERT_TRUE(store_directory_value("/h", "horoscopes_dir", messages));
    ASSERT_TRUE(store_directory_value("/a/c=d", "private_dir", messages));  // replaced, '=' kept
    EXPECT_EQ(read_directory_value("private_dir"), "/a/c=d");
    EXPECT_EQ(read_directory_value("horoscopes_dir"), "/h");
    EXPECT_EQ(registry_text(), "private_dir=/a/c=d\nhoroscopes_dir=/h\n");
    EXPECT_TRUE(messages.messages.empty());
    // No temporary file is left beside the registry.
    int files = 0;
    for (auto& e : fs::directory_iterator(root / "config/tellurim/2.4.7"))
        files += e.is_regular_file() && e.path().extension() != ".lock" ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST_F(DirectoriesTest, StoreFailureSaysErrorWritingToTheRegistry) {
    fs::create_directories(root / "config");
    std::ofstream(root / "config/tellurim") << "not a directory";
    EXPECT_FALSE(store_directory_value("/a", "private_dir", messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Error writing to the registry!");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
}

TEST_F(DirectoriesTest, WriteTestLeavesNothingBehind) {
    EXPECT_TRUE(write_test(root.string()));
    EXPECT_FALSE(fs::exists(root / "write_test.txt"));
    EXPECT_FALSE(write_test((root / "missing").string()));
    EXPECT_FALSE(write_test(""));
}

TEST_F(DirectoriesTest, FirstRunPromptsCreatesTheProposedDirectoryAndStoresIt) {
    DirectoryResult r = get_directory(DirectoryKind::Private, messages);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.path, (root / "data/tellurim").string());
    EXPECT_TRUE(fs::is_directory(r.path));
    ASSERT_EQ(messages.prompts.size(), 1u);
    EXPECT_EQ(messages.prompts[0], "Give the name of the Tellurim private directory Please.");
    EXPECT_EQ(read_directory_value("private_dir"), r.path);

    DirectoryResult h = get_directory(DirectoryKind::Horoscopes, messages);
    EXPECT_TRUE(h.ok);
    EXPECT_EQ(messages.prompts.at(1), "Please choose the horoscopes directory.");
    EXPECT_EQ(read_directory_value("horoscopes_dir"), h.path);
    EXPECT_TRUE(messages.messages.empty());

    // Second run: nothing asked.
    EXPECT_EQ(get_directory(DirectoryKind::Private, messages).path, r.path);
    EXPECT_EQ(messages.prompts.size(), 2u);
}

TEST_F(DirectoriesTest, StoredDirectoryThatWasRemovedIsCreatedSilently) {
    std::string dir = (root / "gone/deep").string();
    ASSERT_TRUE(store_directory_value(dir, "private_dir", messages));
    DirectoryResult r = get_directory(DirectoryKind::Private, messages);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(fs::is_directory(dir));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(messages.prompts.empty());
}

TEST_F(DirectoriesTest, StoredDirectoryThatCannotBeCreated) {
    std::ofstream(root / "file") << "x";
    std::string dir = (root / "file/sub").string();
    ASSERT_TRUE(store_directory_value(dir, "private_dir", messages));
    DirectoryResult r = get_directory(DirectoryKind::Private, messages);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, dir);
    EXPECT_EQ(messages.messages[0].caption, "Cannot create directory");
}

TEST_F(DirectoriesTest, CancelledPrivatePromptStops) {
    messages.text_answers.push_back("");
    DirectoryResult r = get_directory(DirectoryKind::Private, messages);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Please give a directory!");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(read_directory_value("private_dir"));
}

TEST_F(DirectoriesTest, TypedPrivateDirectoryMustExist) {
    messages.text_answers.push_back((root / "nowhere").string());
    DirectoryResult r = get_directory(DirectoryKind::Private, messages);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Directory does'nt exist.");
    EXPECT_FALSE(fs::exists(root / "nowhere"));
}

TEST_F(DirectoriesTest, CancelledHoroscopesPromptGoesOnAndStoresTheEmptyPath) {
    messages.text_answers.push_back("");
    DirectoryResult r = get_directory(DirectoryKind::Horoscopes, messages);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.path, "");
    ASSERT_EQ(messages.messages.size(), 3u);
    EXPECT_EQ(messages.messages[0].text, "Please give a directory!");
    EXPECT_EQ(messages.messages[1].text, "Directory does'nt exist.");
    EXPECT_EQ(messages.messages[2].caption, "Cannot write in directory.");
    EXPECT_EQ(read_directory_value("horoscopes_dir"), "");
}

TEST_F(DirectoriesTest, UnwritablePrivateDirectoryStops) {
    // A read-only directory; root writes there anyway, but not in /proc.
    fs::create_directories(root / "ro");
    fs::permissions(root / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    std::string dir = (root / "ro").string();
    if (write_test(dir)) dir = "/proc";
    if (write_test(dir)) GTEST_SKIP() << "no unwritable directory found";
    messages.text_answers.push_back(dir);
    DirectoryResult r = get_directory(DirectoryKind::Private, messages);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, dir);
    EXPECT_EQ(messages.messages[0].caption, "Cannot write in directory.");
    EXPECT_FALSE(read_directory_value("private_dir"));
    fs::permissions(root / "ro", fs::perms::owner_all);
}

TEST_F(DirectoriesTest, SetDirectoryRefusesAMissingDirectory) {
    EXPECT_EQ(set_directory(DirectoryKind::Private, "", (root / "missing").string(), messages),
              SetDirectoryFailure::NotADirectory);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Not a correct value for this field");
    EXPECT_EQ(messages.messages[0].caption, "Error");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);
}

TEST_F(DirectoriesTest, SetDirectoryCopiesTheRegularFilesAndStores) {
    fs::create_directories(root / "old/sub");
    fs::create_directories(root / "new");
    std::ofstream(root / "old/options.pra") << "settings";
    std::ofstream(root / "old/aspects.pra") << "aspects";
    std::ofstream(root / "old/sub/inner.txt") << "inner";
    std::ofstream(root / "new/aspects.pra") << "stale";
    ASSERT_EQ(set_directory(DirectoryKind::Private, (root / "old").string(), (root / "new").string(), messages),
              SetDirectoryFailure::None);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(read_directory_value("private_dir"), (root / "new").string());
    auto content = [](const fs::path& p) {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(content(root / "new/options.pra"), "settings");
    EXPECT_EQ(content(root / "new/aspects.pra"), "aspects");  // replaced
    EXPECT_FALSE(fs::exists(root / "new/sub"));                // sub-directories are not copied
    EXPECT_FALSE(fs::exists(root / "new/write_test.txt"));
}

}  // namespace
}  // namespace tellurim
