// The Hindu aspect table, its text form and the sign aspect test.
#include "astro/hindu_aspects.h"

#include <gtest/gtest.h>

#include "astro/planets_signs.h"
#include "common/data_table.h"
#include "common/temp_dir.h"

namespace tellurim {
namespace {

// The default file, written out by hand from the table of defaults
// (tests/data/hindu/hindus_aspects.ini): four comments, then one line per planet, every pen
// "colour 1.0 0", CR LF line ends.
TEST(HinduAspects, DefaultFileByteForByteReadsAsTheDefaultTable) {
    EXPECT_EQ(default_hindu_aspects_text(), testing_data::read_text(testing_data::data_path("hindu/hindus_aspects.ini")));
    HinduAspectTable t;
    ASSERT_TRUE(parse_hindu_aspects(default_hindu_aspects_text(), t));
    EXPECT_EQ(t, default_hindu_aspects());
    EXPECT_EQ(t.rows[kMars].pens[7][2], (HinduPen{0xFF00FF00, 1.0f, 0}));
    EXPECT_EQ(t.rows[kAscendant].planet, -1);
}

TEST(HinduAspects, SavedFormUsesTheFixedPenFormatAndReadsBack) {
    HinduAspectTable t = default_hindu_aspects();
    t.rows[kMars].pens[3][1] = HinduPen{0x80FF0000, 2.5f, kDashDot};
    t.rows[kArudha].planet = kArudha;
    const std::string text = format_hindu_aspects(t);
    EXPECT_NE(text.find("\r\n4@3:ffff0000 01.00 0:80ff0000 02.50 2:ffff0000 01.00 0:"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n17\r\n"), std::string::npos) << "a row without aspects is its number alone";
    HinduAspectTable back;
    ASSERT_TRUE(parse_hindu_aspects(text, back));
    EXPECT_EQ(back, t);
}

TEST(HinduAspects, LinesThatDoNotReadAreRefused) {
    for (const testing_data::DataRow& r : testing_data::data_rows("hindu/aspect_cases.txt")) {
        if (r[0] != "bad-line") continue;
        SCOPED_TRACE(r[1]);
        HinduAspectTable t = default_hindu_aspects();
        std::string bad;
        EXPECT_FALSE(parse_hindu_aspects("# comment\n" + r[1] + "\n", t, &bad));
        EXPECT_EQ(bad, r[1]);
        EXPECT_EQ(t, default_hindu_aspects()) << "left as it was";
    }
    HinduAspectTable t;
    EXPECT_TRUE(parse_hindu_aspects("4@6 : FF000000 1.0 7 : FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0\n", t))
        << "blanks around ':', and a dash style that is none of 0 to 4 (kept, drawn solid)";
    EXPECT_TRUE(t.rows[kMars].offsets[6]);
    EXPECT_EQ(t.rows[kMars].pens[6][0].style, 7);
}

TEST(HinduAspects, SignAspectTestWithTheDefaultTable) {
    HinduAspectTable t = default_hindu_aspects();
    for (const testing_data::DataRow& r : testing_data::data_rows("hindu/aspect_cases.txt")) {
        if (r[0] != "sign-aspect") continue;
        SCOPED_TRACE(r.line);
        const int aspecting = planet_from_name(r[1]);
        DivisionTable div = empty_division_table();
        div[kMoon][kRasi] = static_cast<std::int8_t>(sign_from_name(r[3]));
        div[static_cast<std::size_t>(aspecting)][kRasi] = static_cast<std::int8_t>(sign_from_name(r[2]));
        EXPECT_EQ(hindu_aspected_by(t, div, kMoon, aspecting, false), r[4] == "yes");
        EXPECT_FALSE(hindu_aspected_by(t, div, kMoon, aspecting, true)) << "no navamsa signs";
    }
    EXPECT_FALSE(hindu_aspected_by(t, empty_division_table(), 18, kSun, false));
}

}  // namespace
}  // namespace tellurim
