// The script menu file: its default content, the parsing rules and the all-or-nothing failure.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "script/script_menu.h"

namespace tellurim {
namespace {

using testing_data::TempDir;

TEST(ScriptMenu, MissingFileGetsTheDefaults) {
    TempDir dir;
    const auto entries = load_script_menu(dir.str());
    EXPECT_EQ(testing_data::read_text(script_menu_path(dir.str())),
              "#menu position; filename; menu txt; TCL or TK\r\n"
              "0; interpre.tcl;Interpreter an horoscope...; TCL\r\n"
              "1; yogas.tcl;Scan for horoscope yogas...; TCL\r\n"
              "2; rs.tcl;Interpreter a sidereal solar return...; TCL\r\n"
              "3; hindu_horoscope_tk.tcl;Draw hindu horoscope...; TK\r\n");
    ASSERT_TRUE(entries);
    const std::vector<ScriptMenuEntry> expected = {
        {0, "interpre.tcl", "Interpreter an horoscope...", true},
        {1, "yogas.tcl", "Scan for horoscope yogas...", true},
        {2, "rs.tcl", "Interpreter a sidereal solar return...", true},
        {3, "hindu_horoscope_tk.tcl", "Draw hindu horoscope...", false},
    };
    EXPECT_EQ(*entries, expected);
}

TEST(ScriptMenu, ParsingRules) {
    struct Case { const char* text; std::optional<std::vector<ScriptMenuEntry>> entries; } cases[] = {
        {"5;a.tcl;A;TK \n", std::vector<ScriptMenuEntry>{{5, "a.tcl", "A", false}}},  // kind with a space
        {"1;a.tcl;A;TCL\n# comment\n\n2;b.tk;B;TK", std::vector<ScriptMenuEntry>{{1, "a.tcl", "A", true}, {2, "b.tk", "B", false}}},
        {"1; ;  ;TCL\r\n", std::vector<ScriptMenuEntry>{{1, "", "", true}}},  // blank fields keep the defaults
        {"", std::vector<ScriptMenuEntry>{}},
        {"1;a.tcl;A;TCL\n2;b.tcl;B;tcl\n", std::nullopt},  // lower case: the whole load fails
        {"x;a.tcl;A;TCL\n", std::nullopt},
        {"1.5;a.tcl;A;TCL\n", std::nullopt},
        {"1;a.tcl;A\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parse_script_menu(c.text), c.entries);
    }
}

}  // namespace
}  // namespace tellurim
