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

struct BadLine { const char* line; };

TEST(HinduAspects, LinesThatDoNotReadAreRefused) {
    const BadLine cases[] = {
        {"18@6:FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0"},   // planet 18
        {"4@12:FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0"},   // offset 12
        {"4@6:FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0"},                   // three pens
        {"x@6"},
    };
    for (const BadLine& c : cases) {
        SCOPED_TRACE(c.line);
        HinduAspectTable t = default_hindu_aspects();
        std::string bad;
        EXPECT_FALSE(parse_hindu_aspects(std::string("# comment\n") + c.line + "\n", t, &bad));
        EXPECT_EQ(bad, c.line);
        EXPECT_EQ(t, default_hindu_aspects()) << "left as it was";
    }
    HinduAspectTable t;
    EXPECT_TRUE(parse_hindu_aspects("4@6 : FF000000 1.0 7 : FF000000 1.0 0:FF000000 1.0 0:FF000000 1.0 0\n", t))
        << "blanks around ':', and a dash style that is none of 0 to 4 (kept, drawn solid)";
    EXPECT_TRUE(t.rows[kMars].offsets[6]);
    EXPECT_EQ(t.rows[kMars].pens[6][0].style, 7);
}

struct SignAspectCase { int aspected_sign; int aspecting; int aspecting_sign; bool aspected; };

TEST(HinduAspects, SignAspectTestWithTheDefaultTable) {
    const SignAspectCase cases[] = {
        {kCancer, kMars, kAries, true},        // 4th sign from Mars
        {kLibra, kMars, kAries, true},         // 7th
        {kScorpio, kMars, kAries, true},       // 8th
        {kTaurus, kMars, kAries, false},
        {kLibra, kSun, kAries, true},
        {kCancer, kSun, kAries, false},
        {kLeo, kJupiter, kAries, true},        // 5th
        {kSagittarius, kJupiter, kAries, true},// 9th
        {kAries, kSaturn, kCapricornus, false},// 4th: not one of Saturn's
        {kPisces, kSaturn, kCapricornus, true},// 3rd
        {kLibra, kSaturn, kCapricornus, true}, // 10th
        {kAries, kAscendant, kLibra, false},   // the Ascendant has no row
    };
    HinduAspectTable t = default_hindu_aspects();
    for (const SignAspectCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.aspecting << " in " << c.aspecting_sign << " on sign " << c.aspected_sign);
        DivisionTable div = empty_division_table();
        div[kMoon][kRasi] = static_cast<std::int8_t>(c.aspected_sign);
        div[static_cast<std::size_t>(c.aspecting)][kRasi] = static_cast<std::int8_t>(c.aspecting_sign);
        EXPECT_EQ(hindu_aspected_by(t, div, kMoon, c.aspecting, false), c.aspected);
        EXPECT_FALSE(hindu_aspected_by(t, div, kMoon, c.aspecting, true)) << "no navamsa signs";
    }
    EXPECT_FALSE(hindu_aspected_by(t, empty_division_table(), 18, kSun, false));
}

}  // namespace
}  // namespace tellurim
