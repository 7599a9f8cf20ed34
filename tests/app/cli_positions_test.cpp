// tellurim calc positions, run in-process with a recording message sink.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/cli.h"
#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::CliRun;
using testing_cli::run;

const std::vector<std::string> kBase = {"calc", "positions", "--ut", "2020-03-01 00:00:00",
                                        "--zero", "-134-02-03 12:00:00.00 JD"};

std::vector<std::string> with(std::vector<std::string> extra) {
    std::vector<std::string> a = kBase;
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

TEST(CliPositions, JsonHoldsEveryBodyInFourFrames) {
    CliRun r = run(with({"--ephemeris", "low", "--json"}));
    ASSERT_EQ(r.code, kExitOk);
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["ephemeris"], "low");
    ASSERT_EQ(j["infos"].size(), 3u);
    EXPECT_NEAR(j["jd_et"].get<double>(), 2458909.5, 0.01);
    ASSERT_EQ(j["bodies"].size(), 12u);
    const auto& mercury = j["bodies"][2];
    EXPECT_EQ(mercury["name"], "Mercury");
    for (const char* frame : {"geo_mov", "geo_fix", "helio_mov", "helio_fix"}) ASSERT_EQ(mercury[frame].size(), 3u);
    EXPECT_TRUE(mercury["retrograde"].get<bool>());  // retrograde 2020 Feb 17 to Mar 10
    // the Sun's apparent longitude on 2020 March 1.0 UT: 340.86573 deg (Swiss Ephemeris 2.10,
    // DE431); the command's own Delta T may differ from the one used there by a few seconds
    EXPECT_NEAR(j["bodies"][0]["geo_mov"][0].get<double>(), 340.86573, 0.01);
}

TEST(CliPositions, TextHasTheFourTables) {
    CliRun r = run(with({"--ephemeris", "low"}));
    ASSERT_EQ(r.code, kExitOk);
    for (const char* title : {"Heliocentric positions, movable zodiac", "Heliocentric positions, fixed zodiac",
                              "Geocentric positions, movable zodiac", "Geocentric positions, fixed zodiac"})
        EXPECT_NE(r.out.find(title), std::string::npos) << title;
    EXPECT_NE(r.out.find("Pisces"), std::string::npos);
}

TEST(CliPositions, MissingJplFileFailsWithItsCause) {
    CliRun r = run(with({"--ephemeris", "jpl", "--jpl-file", "/nowhere/de406.bin"}));
    EXPECT_EQ(r.code, kExitFailure);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text, "Error loading libephjpl.so\ncannot open /nowhere/de406.bin: No such file or directory");
    EXPECT_EQ(r.messages[0].caption, "Error");
}

TEST(CliPositions, BadInputExitsTwo) {
    EXPECT_EQ(run(with({"--ephemeris", "medium"})).code, kExitBadInput);
    EXPECT_EQ(run({"calc", "positions", "--ut", "2020-13-45 99:00:00", "--ephemeris", "low", "--zero",
                   "-134-02-03 12:00:00.00 JD"})
                  .code,
              kExitBadInput);
}

}  // namespace
}  // namespace tellurim
