// The commands on time, lunations, angles, Hindu analysis, fixed stars and the run's settings,
// in an interpreter that holds the sample chart of `make run`: the calls and their exact
// results and messages are in tests/data/script/commands_sky.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "common/sample_script_run.h"
#include "script/script_commands.h"

namespace tellurim {
namespace {

using testing_data::SampleScriptRun;

class SkyCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_run.ready()) GTEST_SKIP() << "libephlow.so not built";
    }
    SampleScriptRun m_run{std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra"};
};

TEST_F(SkyCommands, Calls) {
    std::ifstream in(std::string(TELLURIM_TEST_DATA_DIR) + "/script/commands_sky.txt");
    ASSERT_TRUE(in);
    const Options before = m_run.context.options;
    std::string script;
    int calls = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line == "@ no horoscope") m_run.context.current = -1;
        else if (line == "@ no stars") m_run.context.stars = nullptr;
        else if (line[0] != '=' && line[0] != '!') script = line;
        else {
            SCOPED_TRACE(script);
            const auto [code, result] = m_run.eval(script);
            EXPECT_EQ(code, line[0] == '=' ? TCL_OK : TCL_ERROR);
            EXPECT_EQ(result, line.size() > 2 ? line.substr(2) : "");
            ++calls;
        }
    }
    EXPECT_GT(calls, 90);
    // Only the run's copy of the options changed, and only where the script set it; the
    // horoscope keeps the options it was computed with.
    Options changed = before;
    changed.astro = {parse_date_hour("222-03-13 15:19:32.89 JD").value, kCampanus, 0, 1, 1, 1};
    EXPECT_TRUE(m_run.context.options == changed);
    EXPECT_TRUE(m_run.context.horoscopes[0]->options == before);
}

// Every command of the group with a word count of its own answers a wrong count with its
// usage message (the commands that join their words are in the calls above).
TEST_F(SkyCommands, WrongCountGivesTheUsage) {
    const auto all = script_command_reference();
    auto first = std::find_if(all.begin(), all.end(), [](const auto& c) { return c.name == "SunRiseUT"; });
    const auto last = std::find_if(first, all.end(), [](const auto& c) { return c.name == "GetBackgroundColor"; });
    ASSERT_NE(last, all.end());
    for (auto c = first; c != last + 1; ++c) {
        if (c->usage.empty() || c->name == "DateUT2JD" || c->name == "SiderealTime" || c->name == "SetZeroDateUT")
            continue;
        SCOPED_TRACE(std::string(c->name));
        const auto [code, result] = m_run.eval(std::string(c->name) + " 0 0 0 0 0 0 0 0 0 0");
        EXPECT_EQ(code, TCL_ERROR);
        EXPECT_EQ(result, c->usage);
    }
}

}  // namespace
}  // namespace tellurim
