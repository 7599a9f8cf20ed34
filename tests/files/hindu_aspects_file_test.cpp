// The file "hindus_aspects.ini": written with the default content when missing, read back,
// rewritten atomically, and a bad line reported.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "files/hindu_aspects_file.h"

namespace tellurim {
namespace {
using namespace testing_data;

class HinduAspectsFile : public ::testing::Test {
protected:
    std::string content() { return read_text(dir / "hindus_aspects.ini"); }
    TempDir tmp;
    fs::path dir = tmp.root;
    RecordingMessages messages;
};

TEST_F(HinduAspectsFile, WrittenWhenMissingSavedAndReset) {
    HinduAspectsLoad load = load_hindu_aspects(dir.string(), messages);
    EXPECT_TRUE(load.ok);
    EXPECT_TRUE(load.created);
    EXPECT_EQ(load.table, default_hindu_aspects());
    EXPECT_EQ(content(), default_hindu_aspects_text());
    EXPECT_TRUE(messages.messages.empty());
    // A second load reads the file; a saved table reads back and leaves no temporary file.
    EXPECT_FALSE(load_hindu_aspects(dir.string(), messages).created);
    HinduAspectTable t = default_hindu_aspects();
    t.rows[5].offsets[4] = false;  // an offset without its flag keeps no pens in the file
    t.rows[5].pens[4].fill(HinduPen{});
    ASSERT_TRUE(save_hindu_aspects(dir.string(), t));
    EXPECT_EQ(load_hindu_aspects(dir.string(), messages).table, t);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
    ASSERT_TRUE(reset_hindu_aspects(dir.string()));
    EXPECT_EQ(content(), default_hindu_aspects_text());
}

TEST_F(HinduAspectsFile, BadLineIsReportedAndTheDefaultsServe) {
    std::ofstream(dir / "hindus_aspects.ini") << "# mine\n4@6:nonsense\n";
    HinduAspectsLoad load = load_hindu_aspects(dir.string(), messages);
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.table, default_hindu_aspects());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Bad line in the Hindu aspects file: 4@6:nonsense");
}

}  // namespace
}  // namespace tellurim
