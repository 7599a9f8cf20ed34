// Place names compare as people type them: case, accents and symbols ignored.
#include <gtest/gtest.h>

#include "base/text.h"
#include "files/name_compare.h"

namespace tellurim {
namespace {

struct NameCase { const char* a; const char* b; bool equal; };

TEST(NameCollator, RootCollation) {
    const NameCase cases[] = {
        {"washington", "Washington", true},
        {"WASHINGTON", "Washington", true},
        {"Sao Paulo", "São Paulo", true},
        {"Zurich", "Zürich", true},
        {"Koln", "Köln", true},
        {"St-Denis", "St. Denis", true},
        {"Saint Denis", "Saint-Denis", true},
        {"Washington, D.C.", "Washington DC", true},
        {"Ile-de-France", "Île-de-France", true},
        {"Pariss", "Paris", false},
        {"Georgie", "Georgia", false},
        {"Springfield", "Springfeld", false},
        {"", "", true},
        {"", "Paris", false},
    };
    NameCollator names;
    ASSERT_TRUE(names.is_open());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(names.equal_utf8(c.a, c.b), c.equal);
        EXPECT_EQ(names.equal_utf8(c.b, c.a), c.equal);
        EXPECT_EQ(names.sort_key(utf8_to_utf16(c.a)) == names.sort_key(utf8_to_utf16(c.b)), c.equal);
    }
}

TEST(NameCollator, PosixLocaleStillIgnoresCase) {
    // "en_US_POSIX" collation treats capitals as other letters; the user's collator avoids it.
    NameCollator names = NameCollator::for_user();
    EXPECT_TRUE(names.equal_utf8("washington", "Washington"));
}

}  // namespace
}  // namespace tellurim
