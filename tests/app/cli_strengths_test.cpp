// tellurim chart: the strength, quality and Ashtakavarga parts, text and JSON.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>

#include "cli_run.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

class CliStrengths : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-strengths-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    testing_cli::CliRun chart(bool json) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string(), "chart", "--name", "Sample",
                                         "--ut", "1990-06-15 10:00:00", "--lon", "2d20'E", "--lat", "48d51'N",
                                         "--ephemeris", "low"};
        if (json) args.push_back("--json");
        return testing_cli::run(args);
    }
    fs::path m_dir;
};

TEST_F(CliStrengths, JsonKeys) {
    auto out = chart(true);
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    const auto& s = j["strengths"];
    ASSERT_EQ(s["planets"].size(), 7u);
    EXPECT_EQ(s["planets"][0]["body"], "Sun");
    EXPECT_EQ(s["planets"][6]["body"], "Saturn");
    for (const auto& p : s["planets"]) {
        ASSERT_EQ(p["components"].size(), 16u);
        double sum = 0;
        for (const auto& c : p["components"]) sum += c.get<double>();
        EXPECT_NEAR(p["total"].get<double>(), sum, 1e-9);
    }
    EXPECT_DOUBLE_EQ(s["planets"][0]["components"][14].get<double>(), 60.0);  // natural strength of the Sun
    ASSERT_EQ(s["houses"].size(), 12u);
    EXPECT_EQ(s["houses"][0]["house"], 1);
    EXPECT_EQ(s["houses"][11]["house"], 12);
    for (const char* key : {"lord", "direction", "aspects", "total"}) EXPECT_TRUE(s["houses"][3].contains(key)) << key;
    EXPECT_EQ(s["quality"]["cross_checks"], nlohmann::json({"As", "Moon", "Nav"}));

    const auto& a = j["ashtakavarga"];
    ASSERT_EQ(a["before"].size(), 7u);
    ASSERT_EQ(a["after"][6].size(), 12u);
    EXPECT_EQ(a["sum_before"].size(), 12u);
    EXPECT_EQ(a["sum_after"].size(), 12u);
    EXPECT_EQ(a["total_before"], 337);
    ASSERT_EQ(a["quality"].size(), 7u);
    // The Ascendant of this chart is in Leo (fixed zodiac): Saturn is bad and cannot kill.
    EXPECT_EQ(a["ascendant_sign"], "Leo");
    EXPECT_EQ(a["quality"][6]["quality"], "Bad");
    EXPECT_EQ(a["quality"][6]["killer"], "Cannot kill even if Maraka");
}

TEST_F(CliStrengths, TextSections) {
    auto out = chart(false);
    ASSERT_EQ(out.code, kExitOk);
    for (const char* t : {"Hindu strength of planets\n", "Planet strength details\n", "Exaltation (Oochchabala)",
                          "Aspect of planets (Drikbala)", "Total (Bhavabala)",
                          "Hindu strength of houses, signs houses same direction\n", "House strength details\n",
                          "Quality of planets in crosscheckings, aspects not taken in account\n",
                          "Bindus, before and after reduction, by sign and by ashtakavargas\n",
                          "Total bindus before reduction, should be 337: 337\n",
                          "Simplified quality of planets in Ashtakavarga system\n"})
        EXPECT_NE(out.out.find(t), std::string::npos) << t;
    // A negative component takes the place of the blank before a positive one.
    EXPECT_NE(out.out.find("\t-0"), std::string::npos);
}

}  // namespace
}  // namespace tellurim
