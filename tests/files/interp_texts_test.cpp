// Interpretation texts: the anchor parser, the index and list records, the rebuild rule,
// find and extract, with the sample text tests/data/interp/sample.txt.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/data_table.h"
#include "common/golden_hex.h"
#include "common/temp_dir.h"
#include "base/strings.h"
#include "files/interp_texts.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;
using testing_data::TempDir;

const std::string kData = std::string(TELLURIM_TEST_DATA_DIR) + "/interp/";

TEST(InterpRecords, GoldenBytes) {
    const IndexRecord index{"\"mars\"", "Mars in Aries", 10, 45};
    ByteWriter out;
    write_index_record(out, index);
    EXPECT_EQ(out.bytes(), testing_data::read_hex_fixture(kData + "index_record.hex"));
    IndexRecord index_back;
    ByteReader in(out.bytes());
    ASSERT_TRUE(read_index_record(in, index_back));
    EXPECT_EQ(index_back, index);

    InterpFile file{7, "/data/txt/inter_us1.txt", {2049, 0xbeef, 0100644, 1, 1000, -2, 0, 12345, 1700000000, 1700000100, -1}, 8};
    const std::vector<std::uint8_t> bytes = interp_list_bytes({file});
    EXPECT_EQ(bytes, testing_data::read_hex_fixture(kData + "list_record.hex"));
    auto files = parse_interp_list(bytes);
    ASSERT_TRUE(files);
    EXPECT_EQ(files->at(0), file);
    EXPECT_FALSE(parse_interp_list(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1)));
    // A path filling all 260 units, without its NUL, keeps the 259 that a write keeps (found
    // by fuzzing: the list did not read back as it was written).
    ByteWriter full;
    full.u32(1);
    for (int i = 0; i < 260; ++i) full.u16('a');
    full.pad_to(kInterpListRecordSize);
    EXPECT_EQ(parse_interp_list(full.bytes())->at(0).path, std::string(259, 'a'));
    EXPECT_FALSE(parse_interp_list({}));
}

TEST(InterpAnchors, SampleFile) {
    const auto text = testing_data::read_text(kData + "sample.txt");
    const std::vector<IndexRecord> expected = {
        {"\"mars\"", "Mars in Aries", 47, 79},
        {"Venus", "Venus", 139, 164},  // capitals and spaces in the tags; empty title
        {"Mars", "Capital", 176, 200},
        {"\"last one\"", "last one", 205, 229},
    };
    EXPECT_EQ(scan_anchors(text), expected);
    EXPECT_EQ(find_identifier(expected, "mars"), 0);  // quotes removed for the comparison
    EXPECT_EQ(find_identifier(expected, "Mars"), 2);  // case counts
    EXPECT_EQ(find_identifier(expected, "last one"), 3);
    EXPECT_EQ(find_identifier(expected, "venus"), -1);
}

TEST(InterpAnchors, NotAnchorsAndComments) {
    for (const testing_data::DataRow& r : testing_data::data_rows("interp/anchors.txt")) {
        SCOPED_TRACE(r[1]);
        if (r[0] == "comments") {
            EXPECT_EQ(remove_comments(r[1]), r[2]);
        } else {
            EXPECT_FALSE(parse_anchor(r[1]));
        }
    }
    // The whole anchor must lie within 449 bytes of its "<".
    const std::string title(449 - 14, 't');
    EXPECT_TRUE(parse_anchor("<a name=x>" + title + "</a>"));
    EXPECT_FALSE(parse_anchor("<a name=x>" + title + "t</a>"));
    // Identifier and title keep at most 199 bytes.
    EXPECT_EQ(parse_anchor("<a name=" + std::string(300, 'i') + ">t</a>")->identifier.size(), 199u);
}

class InterpList_ : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(kData + "sample.txt", m_text);
        fs::create_directory(m_dir / "private");
        m_list = load_interp_list(m_dir.str("private"), m_dir.str("base"), m_messages);
    }
    std::uint64_t index_inode(std::uint32_t id) {
        struct stat st {};
        return ::stat(interp_index_path(m_list.private_dir, id)->c_str(), &st) == 0 ? st.st_ino : 0;
    }
    TempDir m_dir;
    std::string m_text = m_dir.str("sample.txt");
    RecordingMessages m_messages;
    InterpList m_list;
};

TEST_F(InterpList_, DefaultListThenOneFile) {
    ASSERT_EQ(m_list.files.size(), 3u);
    for (const InterpFile& f : m_list.files) EXPECT_EQ(f.state, kInterpTextMissing) << f.path;
    EXPECT_EQ(m_list.files[1].path, m_dir.str("base") + "/txtinterpretation/us/inter_us2.txt");
    EXPECT_EQ(fs::file_size(interp_list_path(m_list.private_dir)), 3 * kInterpListRecordSize);
    EXPECT_EQ(interp_entry_count(m_list, 1), -1);
    EXPECT_EQ(extract_interp_entry(m_list, 1, 1, {}).error, " Error opening file: " + m_list.files[0].path);

    ASSERT_EQ(replace_interp_files(m_list, {{5, m_text, {}, 0}}), std::nullopt);
    ASSERT_EQ(m_list.files.size(), 1u);
    EXPECT_EQ(m_list.files[0].state, 0u);
    EXPECT_EQ(interp_entry_count(m_list, 5), 4);
    EXPECT_EQ(fs::file_size(*interp_index_path(m_list.private_dir, 5)), 4 * kIndexRecordSize);

    // Read back from the saved list, as the next run does.
    RecordingMessages messages;
    InterpList again = load_interp_list(m_list.private_dir, m_dir.str("base"), messages);
    EXPECT_EQ(again.files, m_list.files);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(InterpList_, FindAndExtract) {
    ASSERT_EQ(replace_interp_files(m_list, {{5, m_text, {}, 0}}), std::nullopt);
    InterpFind f = find_interp_entry(m_list, 5, "mars");
    EXPECT_TRUE(f.found);
    EXPECT_EQ(f.number, 0);
    EXPECT_FALSE(find_interp_entry(m_list, 5, "nothing").found);
    EXPECT_EQ(find_interp_entry(m_list, 9, "mars").error, "Cannot find file name from id 9");

    struct Case { int n; ExtractFlags flags; std::optional<std::string> text; } cases[] = {
        {1, {}, "Mars in Aries\nEnergy.  Courage.\n"},
        {1, {true, true, true, true}, "\"mars\"Mars in Aries\nEnergy. <!-- outer <!-- inner --> still outer --> Courage.\n"},
        {2, {false, false, true, false}, "Venus text.\n"},
        {3, {true, false, false, false}, "Capital"},
        {4, {}, "last oneLast <? PutTxt -nonewline x ?> entry.\n"},  // the last entry runs to the end
        {0, {}, std::nullopt},
        {5, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(extract_interp_entry(m_list, 5, c.n, c.flags).text, c.text);
    }
    EXPECT_EQ(extract_interp_entry(m_list, 5, 9, {}).error,
              "Cannot find interpretation for file: " + *interp_index_path(m_list.private_dir, 5));
}

TEST_F(InterpList_, RebuildRule) {
    ASSERT_EQ(replace_interp_files(m_list, {{5, m_text, {}, 0}}), std::nullopt);
    const std::uint64_t built = index_inode(5);
    ASSERT_TRUE(rebuild_interp_indexes(m_list));
    EXPECT_EQ(index_inode(5), built);  // unchanged text: not indexed again

    fs::last_write_time(m_text, fs::last_write_time(m_text) + std::chrono::seconds(5));
    ASSERT_TRUE(rebuild_interp_indexes(m_list));
    EXPECT_NE(index_inode(5), built);

    // A damaged index is rebuilt, never trusted.
    testing_data::write_text(*interp_index_path(m_list.private_dir, 5), std::string(100, 'x'));
    EXPECT_EQ(interp_entry_count(m_list, 5), -1);
    ASSERT_TRUE(rebuild_interp_indexes(m_list));
    EXPECT_EQ(interp_entry_count(m_list, 5), 4);

    // A text file that shrinks under an index: an error text, not a read past its end.
    testing_data::write_text(m_text, "short");
    EXPECT_EQ(extract_interp_entry(m_list, 5, 4, {}).error,
              "Cannot find interpretation for file: " + *interp_index_path(m_list.private_dir, 5));

    fs::remove(m_text);
    ASSERT_TRUE(rebuild_interp_indexes(m_list));
    EXPECT_EQ(m_list.files[0].state & kInterpTextMissing, kInterpTextMissing);
    EXPECT_EQ(find_interp_entry(m_list, 5, "mars").error, " Error opening file: " + m_text);
}

TEST_F(InterpList_, DamagedListGivesTheDefaults) {
    const std::string path = interp_list_path(m_list.private_dir);
    testing_data::write_text(path, std::string(kInterpListRecordSize + 1, '\0'));
    InterpList list = load_interp_list(m_list.private_dir, m_dir.str("base"), m_messages);
    EXPECT_EQ(list.files.size(), 3u);
    EXPECT_TRUE(fs::exists(path + ".bad"));
}

TEST_F(InterpList_, ListRules) {
    const std::string missing = m_dir.str("missing.txt");
    struct Case { std::vector<InterpFile> files; std::optional<std::string> refusal; } cases[] = {
        {{}, "Empty list not allowed."},
        {{{1, m_text, {}, 0}, {2, m_text, {}, 0}}, "Duplicated file was found."},
        {{{1, m_text, {}, 0}, {2, m_dir.str(".") + "/sample.txt", {}, 0}}, "Duplicated file was found."},
        {{{1, missing, {}, 0}}, "Error: file does not exist: " + missing},
        {{{1, m_text, {}, 0}}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.size());
        EXPECT_EQ(check_interp_files(c.files), c.refusal);
    }
    // A file that vanished may stay in the list it was in, so that it can be deleted.
    InterpList current{m_list.private_dir, {{1, missing, {}, kInterpTextMissing}}};
    EXPECT_EQ(check_interp_files({{1, missing, {}, 0}, {2, m_text, {}, 0}}, &current), std::nullopt);
    EXPECT_EQ(check_interp_files({{3, missing, {}, 0}}, &current), "Error: file does not exist: " + missing);
}

}  // namespace
}  // namespace tellurim
