// The "Movings" custom step: its units and refusals.
#include "astro/movings.h"

#include <gtest/gtest.h>

namespace tellurim {
namespace {

TEST(Movings, CustomStepInMinutes) {
    struct Row {
        const char* text;
        double minutes;
    } rows[] = {
        {"90 S", 1.5},          {"15 MN", 15.0},         {"-2 H", -120.0},        {"1 D", 1440.0},
        {"1 J", 1440.0},        {"1 M", 43830.0},        {"-2 A", -1051920.0},    {"1 Y", 525960.0},
        {"+1.5 h", 90.0},       {"90s", 1.5},            {" 0 mn ", 0.0},         {"1e1 MN", 10.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        auto m = parse_step(r.text);
        ASSERT_TRUE(m);
        EXPECT_DOUBLE_EQ(*m, r.minutes);
    }
    for (const char* bad : {"", "15", "MN", "15 W", "15 MNS", "1,5 H", "++1 H", "x MN", "1e400 MN", "- 1 H"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parse_step(bad));
    }
    EXPECT_EQ(custom_step_minutes("-2", "A"), -1051920.0);
    EXPECT_FALSE(custom_step_minutes("2", "MIN"));
    EXPECT_EQ(text(Str::MovingBadValue), "Not a valid value for this field");
}

}  // namespace
}  // namespace tellurim
