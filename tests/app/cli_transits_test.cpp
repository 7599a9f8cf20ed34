// tellurim return, tellurim transits and calc step: the outputs the user relies on and the
// refusals, with the low-precision provider in a private directory of the test's own.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "common/temp_dir.h"

namespace tellurim {
namespace {

using testing_cli::run;

class CliTransits : public ::testing::Test {
protected:
    // `command` for the sample birth (Paris, 1944-06-06 06:00 UT, libephlow.so) with `extra`.
    testing_cli::CliRun sample(const char* command, std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir.root / "private").string(), "--horoscopes-dir",
                                         (m_dir.root / "horoscopes").string(), command, "--name", "Sample", "--ut",
                                         "1944-06-06 06:00:00", "--lon", "2.35", "--lat", "48.86", "--ephemeris", "low"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    testing_data::TempDir m_dir;
};

TEST(CliStep, MinutesAndRefusal) {
    struct Row {
        const char* text;
        const char* out;
    } rows[] = {{"90 S", "1.5\n"}, {"1 M", "43830\n"}, {"-2 A", "-1051920\n"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        auto out = run({"calc", "step", r.text});
        ASSERT_EQ(out.code, kExitOk);
        EXPECT_EQ(out.out, r.out);
    }
    auto bad = run({"calc", "step", "15 W"});
    EXPECT_EQ(bad.code, kExitBadInput);
    ASSERT_EQ(bad.messages.size(), 1u);
    EXPECT_EQ(bad.messages[0].text, "Not a valid value for this field");
}

TEST_F(CliTransits, ReturnJsonAndRefusals) {
    auto out = sample("return", {"--age", "30", "--json"});
    ASSERT_EQ(out.code, kExitOk) << (out.messages.empty() ? "" : out.messages[0].text);
    auto j = nlohmann::json::parse(out.out);
    EXPECT_EQ(j["zodiac"], "fixed");
    const double birth = j["birth_sun_deg"], back = j["return_sun_deg"];
    EXPECT_NEAR(birth, 75.39 - 28.9, 0.1);  // 15d23' Gemini less the ayanamsa of 1944
    EXPECT_LT(std::fabs(birth - back) * 3600.0, 1.0);
    EXPECT_NEAR(j["return_jd_ut"].get<double>(), 2431247.75 + 30 * 365.25, 1.0);
    EXPECT_EQ(j["chart"]["person"]["last_name"], "Sample SR");
    EXPECT_EQ(j["chart"]["time"]["ut"], j["return_ut"]);
    EXPECT_EQ(j["chart"]["place"]["latitude_deg"], 48.86);

    auto london = sample("return", {"--age", "0", "--movable", "--title", "Zero", "--at-lon", "-0.1275", "--at-lat",
                                    "51.5072", "--json"});
    ASSERT_EQ(london.code, kExitOk);
    auto z = nlohmann::json::parse(london.out);
    EXPECT_EQ(z["return_ut"], "1944-06-06 06:00:00.00 GD");  // age 0: the birth itself
    EXPECT_EQ(z["zodiac"], "movable");
    EXPECT_NEAR(z["birth_sun_deg"].get<double>(), 75.39, 0.01);
    EXPECT_EQ(z["chart"]["person"]["last_name"], "Zero SR");
    EXPECT_EQ(z["chart"]["place"]["longitude_deg"], -0.1275);

    struct Row {
        std::vector<std::string> args;
        int code;
        const char* message;
    } rows[] = {
        {{"--age", "thirty"}, kExitBadInput, "Bad sidereal solar return age."},
        {{"--age", "-1"}, kExitBadInput, "Bad sidereal solar return age."},
        {{"--age", "1", "--at-lon", "200", "--at-lat", "10"}, kExitBadInput, "Not a valid longitude."},
        {{"--age", "1", "--at-lon", "20", "--at-lat", "north"}, kExitBadInput, "Not a valid latitude."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args[1]);
        auto bad = sample("return", r.args);
        EXPECT_EQ(bad.code, r.code);
        ASSERT_FALSE(bad.messages.empty());
        EXPECT_EQ(bad.messages.back().text, r.message);
    }
}

// A year of the Sun and Mercury over three natal points: the events come in time order, with
// only the bodies, points and aspects asked for.
TEST_F(CliTransits, TransitsJsonInTimeOrderAndRefusals) {
    auto out = sample("transits", {"--from", "2024-01-01 00:00:00", "--to", "2024-12-31 00:00:00", "--bodies",
                                   "Sun,Mercury", "--points", "Sun,AS,MC", "--aspects", "Conjunction,Square", "--json"});
    ASSERT_EQ(out.code, kExitOk) << (out.messages.empty() ? "" : out.messages[0].text);
    auto j = nlohmann::json::parse(out.out);
    const auto& events = j["events"];
    ASSERT_FALSE(events.empty());
    double last = 0;
    for (const auto& e : events) {
        EXPECT_GE(e["jd_ut"].get<double>(), last);
        last = e["jd_ut"];
        EXPECT_TRUE(e["transiting"] == "Sun" || e["transiting"] == "Mercury");
        EXPECT_TRUE(e["natal"] == "Sun" || e["natal"] == "AS" || e["natal"] == "MH");
        EXPECT_TRUE(e["aspect"] == "Conjunction" || e["aspect"] == "Square");
        if (e["transiting"] == "Sun") {
            EXPECT_FALSE(e["retrograde"].get<bool>());
        }
    }
    struct Row {
        std::vector<std::string> args;
        const char* message;
    } rows[] = {
        {{"--bodies", "AS"}, "Not a transiting body (Sun to Pluto, Rahu, Kethu): AS"},
        {{"--points", "Earth"}, "Not a natal point (Sun to Pluto, Rahu, Kethu, AS, MH, Fortun): Earth"},
        {{"--aspects", "Quincunx"}, "Not an aspect of the aspect table: Quincunx"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args[0]);
        std::vector<std::string> args = {"--from", "2024-01-01 00:00:00", "--to", "2024-02-01 00:00:00"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        auto bad = sample("transits", args);
        EXPECT_EQ(bad.code, kExitBadInput);
        ASSERT_FALSE(bad.messages.empty());
        EXPECT_EQ(bad.messages.back().text, r.message);
    }
    auto backwards = sample("transits", {"--from", "2024-02-01 00:00:00", "--to", "2024-01-01 00:00:00"});
    EXPECT_EQ(backwards.code, kExitBadInput);
    EXPECT_EQ(backwards.messages.back().text, "The end of the window must follow its start.");
}

// --step: one JSON line a step, each a day further on, with the aspects to the inside chart.
TEST_F(CliTransits, ChartStepsAreJsonLines) {
    auto out = sample("chart", {"--outside-ut", "2024-06-06 00:00:00", "--step", "1 D", "--count", "3", "--json"});
    ASSERT_EQ(out.code, kExitOk) << (out.messages.empty() ? "" : out.messages[0].text);
    std::istringstream lines(out.out);
    std::vector<nlohmann::json> steps;
    for (std::string line; std::getline(lines, line);) steps.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0]["ut"], "2024-06-06 00:00:00.00 GD");
    EXPECT_EQ(steps[2]["ut"], "2024-06-08 00:00:00.00 GD");
    EXPECT_EQ(steps[0]["positions"][0]["planet"], "Sun");
    // The Sun of 6 June 2024 stands within a degree of the sample's natal Sun.
    EXPECT_EQ(steps[0]["aspects"][0]["outside"], "Sun");
    EXPECT_EQ(steps[0]["aspects"][0]["inside"], "Sun");
    EXPECT_EQ(steps[0]["aspects"][0]["name"], "Conjunction");

    auto bad = sample("chart", {"--outside-ut", "2024-06-06 00:00:00", "--step", "1 W"});
    EXPECT_EQ(bad.code, kExitBadInput);
    EXPECT_EQ(bad.messages.back().text, "Not a valid value for this field");
}

}  // namespace
}  // namespace tellurim
