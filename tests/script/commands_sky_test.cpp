// The commands on time, lunations, angles, Hindu analysis, fixed stars and the run's settings,
// in an interpreter that holds the sample chart of `make run`: each call's code and exact
// result or message. The chart's values are the ones `tellurim chart --ephemeris low --json`
// prints for the same birth.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/sample_script_run.h"
#include "script/script_commands.h"

namespace tellurim {
namespace {

using testing_data::SampleScriptRun;

struct Row {
    const char* script;
    int code;
    const char* result;
};

void run_rows(SampleScriptRun& run, std::initializer_list<Row> rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE(r.script);
        const auto [code, result] = run.eval(r.script);
        EXPECT_EQ(code, r.code);
        EXPECT_EQ(result, r.result);
    }
}

class SkyCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_run.ready()) GTEST_SKIP() << "libephlow.so not built";
    }
    SampleScriptRun m_run{std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra"};
};

// Every command of the group with a word count of its own answers a wrong count with its
// usage message (the commands that join their words are in the table below).
TEST_F(SkyCommands, WrongCountGivesTheUsage) {
    const auto all = script_command_reference();
    auto first = std::find_if(all.begin(), all.end(), [](const auto& c) { return c.name == "SunRiseUT"; });
    ASSERT_NE(first, all.end());
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

TEST_F(SkyCommands, Values) {
    run_rows(m_run, {
        // time, lunations and lords of time
        {"SunRiseUT", TCL_OK, "1944-06-06 03:49:47.46 GD"},
    });
}

}  // namespace
}  // namespace tellurim
