// tellurim calc positions, run in-process with a recording message sink.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <unistd.h>

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

// Each provider's two descriptions fit the 260 characters the program keeps, whole: a JPL
// file deep in long directory names is named without them.
TEST(CliPositions, ProviderDescriptionsFitTheirField) {
    namespace fs = std::filesystem;
    const fs::path eph = fs::path(TELLURIM_SOURCE_DIR) / "data/ephemeris/de405_1960_2060.eph";
    const fs::path deep = fs::temp_directory_path() / ("tellurim-infos-" + std::to_string(::getpid())) /
                          std::string(120, 'd') / std::string(120, 'e');
    fs::create_directories(deep);
    if (fs::exists(eph)) fs::create_symlink(eph, deep / "de405.eph");
    for (const char* e : {"low", "bdl", "jpl"}) {
        SCOPED_TRACE(e);
        if (std::string(e) == "jpl" && !fs::exists(eph)) continue;
        CliRun r = run(with({"--ephemeris", e, "--jpl-file", (deep / "de405.eph").string(), "--json"}));
        ASSERT_EQ(r.code, kExitOk);
        const auto infos = nlohmann::json::parse(r.out)["infos"];
        for (int i : {1, 2}) {
            const std::string t = infos[i];
            EXPECT_LT(t.size(), 260u) << t;
            EXPECT_EQ(t.back(), '.') << t;
        }
    }
    fs::remove_all(deep.parent_path().parent_path());
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
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages.back().text, "Error loading libephjpl.so\ncannot open /nowhere/de406.bin: No such file or directory");
    EXPECT_EQ(r.messages.back().caption, "Error");
}

TEST(CliPositions, NodeChoiceMovesRahuOnly) {
    CliRun mean = run(with({"--ephemeris", "bdl", "--node", "mean", "--json"}));
    CliRun osculating = run(with({"--ephemeris", "bdl", "--node", "true", "--json"}));
    ASSERT_EQ(mean.code, kExitOk);
    ASSERT_EQ(osculating.code, kExitOk);
    auto m = nlohmann::json::parse(mean.out), t = nlohmann::json::parse(osculating.out);
    EXPECT_EQ(m["lunar_node"], "mean");
    EXPECT_EQ(t["lunar_node"], "true");
    EXPECT_EQ(m["bodies"][1], t["bodies"][1]);  // the Moon
    // the true node swings up to 1.7 degrees about the mean one
    const double rahu_mean = m["bodies"][7]["geo_mov"][0].get<double>();
    const double rahu_true = t["bodies"][7]["geo_mov"][0].get<double>();
    EXPECT_NE(rahu_mean, rahu_true);
    EXPECT_NEAR(rahu_mean, rahu_true, 1.8);
    EXPECT_EQ(run(with({"--ephemeris", "bdl", "--node", "osculating"})).code, kExitBadInput);
}

// libephbdl.so without its data file: the loader's text, the cause on a second line, status 1.
TEST(CliPositions, MissingDataFileFailsWithItsCause) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("cli_positions_bdl_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(TELLURIM_BIN_DIR) / "libephbdl.so", dir / "libephbdl.so",
                  fs::copy_options::overwrite_existing);
    const char* old = std::getenv("TELLURIM_LIB_DIR");
    const std::string saved = old ? old : "";
    setenv("TELLURIM_LIB_DIR", dir.c_str(), 1);
    CliRun r = run(with({"--ephemeris", "bdl"}));
    if (old)
        setenv("TELLURIM_LIB_DIR", saved.c_str(), 1);
    else
        unsetenv("TELLURIM_LIB_DIR");
    fs::remove_all(dir);
    EXPECT_EQ(r.code, kExitFailure);
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages.back().text, "Error loading ephemeris dll\n" + (dir / "ephbdl.dat").string() +
                                      ": No such file or directory");
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
