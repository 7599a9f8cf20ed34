// Place names compare as people type them: case, accents and symbols ignored.
#include <gtest/gtest.h>

#include "base/text.h"
#include "common/data_table.h"
#include "files/name_compare.h"

namespace tellurim {
namespace {

TEST(NameCollator, RootCollation) {
    NameCollator names;
    ASSERT_TRUE(names.is_open());
    for (const testing_data::DataRow& r : testing_data::data_rows("files/name_pairs.txt")) {
        SCOPED_TRACE(r.line);
        const bool equal = r[2] == "equal";
        EXPECT_EQ(names.equal_utf8(r[0], r[1]), equal);
        EXPECT_EQ(names.equal_utf8(r[1], r[0]), equal);
        EXPECT_EQ(names.sort_key(utf8_to_utf16(r[0])) == names.sort_key(utf8_to_utf16(r[1])), equal);
    }
}

TEST(NameCollator, PosixLocaleStillIgnoresCase) {
    // "en_US_POSIX" collation treats capitals as other letters; the user's collator avoids it.
    NameCollator names = NameCollator::for_user();
    EXPECT_TRUE(names.equal_utf8("washington", "Washington"));
}

}  // namespace
}  // namespace tellurim
