// The two directories: registry file, prompts, write test, copy on change.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/temp_dir.h"
#include "files/directories.h"

namespace tellurim {
namespace {
using namespace testing_data;

// A home, config and data directory of its own for each test.
class DirectoriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "home");
        ::setenv("HOME", (root / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }
    // The one message said.
    void said(const std::string& text, const std::string& caption, MessageIcon icon) {
        EXPECT_EQ(messages.messages, (std::vector<Message>{{text, caption, icon}}));
    }
    TempDir tmp;
    fs::path root = tmp.root;
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
    EXPECT_EQ(read_text(root / "config/tellurim/2.4.7/registry"), "private_dir=/a/c=d\nhoroscopes_dir=/h\n");
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
    said("Error writing to the registry!", "Error", MessageIcon::Error);
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
    said(dir, "Cannot create directory", MessageIcon::Error);
}

// The private directory stops at a cancelled prompt or a directory that does not exist.
TEST_F(DirectoriesTest, PrivatePromptRefusals) {
    const std::pair<std::string, const char*> cases[] = {{"", "Please give a directory!"},
                                                         {(root / "nowhere").string(), "Directory does'nt exist."}};
    for (const auto& [answer, text] : cases) {
        SCOPED_TRACE(answer);
        messages = RecordingMessages{};
        messages.text_answers.push_back(answer);
        EXPECT_FALSE(get_directory(DirectoryKind::Private, messages).ok);
        said(text, "Error", MessageIcon::Error);
        EXPECT_FALSE(read_directory_value("private_dir"));
    }
    EXPECT_FALSE(fs::exists(root / "nowhere"));
}

TEST_F(DirectoriesTest, CancelledHoroscopesPromptGoesOnAndStoresTheEmptyPath) {
    messages.text_answers.push_back("");
    DirectoryResult r = get_directory(DirectoryKind::Horoscopes, messages);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.path, "");
    EXPECT_EQ(messages.messages, (std::vector<Message>{{"Please give a directory!", "Error", MessageIcon::Error},
                                                       {"Directory does'nt exist.", "Error", MessageIcon::Error},
                                                       {"", "Cannot write in directory.", MessageIcon::Error}}));
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
    said(dir, "Cannot write in directory.", MessageIcon::Error);
    EXPECT_FALSE(read_directory_value("private_dir"));
    fs::permissions(root / "ro", fs::perms::owner_all);
}

TEST_F(DirectoriesTest, SetDirectoryRefusesAMissingDirectory) {
    EXPECT_EQ(set_directory(DirectoryKind::Private, "", (root / "missing").string(), messages),
              SetDirectoryFailure::NotADirectory);
    said("Not a correct value for this field", "Error", MessageIcon::Warning);
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
    EXPECT_EQ(read_text(root / "new/options.pra"), "settings");
    EXPECT_EQ(read_text(root / "new/aspects.pra"), "aspects");  // replaced
    EXPECT_FALSE(fs::exists(root / "new/sub"));                // sub-directories are not copied
    EXPECT_FALSE(fs::exists(root / "new/write_test.txt"));
}

}  // namespace
}  // namespace tellurim
