// tellurim stars list|file, calc star, and the star conjunctions of tellurim chart, with the
// catalogue generated at setup (data/stars/stars.spra, the default stars file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>

#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::run;
namespace fs = std::filesystem;

const std::string kCatalogue = std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra";

class CliStars : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kCatalogue)) GTEST_SKIP() << "run tools/make-data.sh first";
        m_dir = fs::temp_directory_path() / ("tellurim-cli-stars-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    testing_cli::CliRun tellurim(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    fs::path m_dir;
};

TEST_F(CliStars, ListsTheCatalogue) {
    auto out = tellurim({"stars", "list", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    EXPECT_EQ(j["path"], kCatalogue);
    ASSERT_GT(j["stars"].size(), 1000u);
    EXPECT_EQ(j["stars"][0]["name"], "Aldebaran");
    EXPECT_EQ(j["stars"][0]["comment"], "Alpha Tau; also Rohini");
    EXPECT_EQ(j["stars"][0]["spectral_class"], "");
    // The list's reference points (poles, zero points, test entries) are no stars.
    for (const auto& star : j["stars"])
        for (const char* point : {"Test", "Zero2000", "ZerL2000", "GCRS00", "Gal.Pole", "Sun Pole", "AA11_page_B73"})
            EXPECT_NE(star["name"], point);
}

// Regulus at J2000.0 from SIMBAD's ICRS place, turned to the ecliptic of date with the mean
// obliquity 23.4392911 (Meeus eq. 13.1): longitude 149.82913, latitude 0.46484 degrees.
TEST_F(CliStars, CalcStarGivesThePositionOfDate) {
    auto out = tellurim({"calc", "star", "Regulus", "--ut", "2000-01-01 11:58:56", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    for (const char* key : {"name", "lon_deg", "lat_deg", "ra_deg", "dec_deg", "magnitude"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_NEAR(j["lon_deg"].get<double>(), 149.82913, 2e-5);
    EXPECT_NEAR(j["lat_deg"].get<double>(), 0.46484, 2e-5);
    EXPECT_NEAR(j["magnitude"].get<double>(), 1.40, 1e-9);

    auto unknown = tellurim({"calc", "star", "Nosuch", "--ut", "2000-01-01 12:00:00"});
    EXPECT_EQ(unknown.code, kExitFailure);
    ASSERT_FALSE(unknown.messages.empty());
    EXPECT_EQ(unknown.messages.back().text, "Unknown star: Nosuch");
}

// 2023 August 23, 12h UT: the Sun at about 150.1 degrees, Regulus at 150.15.
TEST_F(CliStars, ChartListsTheConjunctions) {
    auto out = tellurim({"chart", "--name", "Leo", "--ut", "2023-08-23 12:00:00", "--lon", "0", "--lat", "51",
                         "--ephemeris", "low", "--star-orb", "0.5", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    bool regulus = false;
    for (const auto& s : j["stars"]) {
        EXPECT_LT(s["distance_deg"].get<double>(), 0.5);
        if (s["planet"] == "Sun" && s["star"] == "Regulus") regulus = true;
    }
    EXPECT_TRUE(regulus) << j["stars"].dump();

    auto text = tellurim({"chart", "--name", "Leo", "--ut", "2023-08-23 12:00:00", "--lon", "0", "--lat", "51",
                          "--ephemeris", "low"});
    const std::size_t stars = text.out.find("\nAzimuth and elevation of stars, N=0\xC2\xB0, S=180\xC2\xB0");
    ASSERT_NE(stars, std::string::npos);
    EXPECT_NE(text.out.find("\nRegulus     \t", stars), std::string::npos);
}

TEST_F(CliStars, CorruptCatalogueIsRefusedWithItsTexts) {
    const std::string good = (m_dir / "stars.spra").string();
    fs::copy_file(kCatalogue, good);
    ASSERT_EQ(tellurim({"stars", "file", good}).code, kExitOk);
    EXPECT_NE(tellurim({"stars", "file"}).out.find("Stars file: " + good), std::string::npos);

    const std::string bad = (m_dir / "bad.spra").string();
    std::ofstream(bad, std::ios::binary) << std::string(705, '\0');
    auto refused = tellurim({"stars", "file", bad});
    EXPECT_EQ(refused.code, kExitBadInput);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0].text, "Not a correct value for this field: " + bad);

    // The stored file goes bad afterwards.
    fs::resize_file(good, 704 * 3 + 1);
    auto list = tellurim({"stars", "list"});
    EXPECT_EQ(list.code, kExitFailure);
    ASSERT_EQ(list.messages.size(), 2u);
    EXPECT_EQ(list.messages[0].text, "Not a stars catalogue (a file of 704-byte star records): " + good);
    EXPECT_EQ(list.messages[1].text, "***Error*** : Stars file not loaded in memory");

    auto chart = tellurim({"chart", "--name", "Leo", "--ut", "2023-08-23 12:00:00", "--lon", "0", "--lat", "51",
                           "--ephemeris", "low", "--json"});
    EXPECT_EQ(chart.code, kExitOk);
    EXPECT_TRUE(nlohmann::json::parse(chart.out)["stars"].empty());
    ASSERT_FALSE(chart.messages.empty());
    EXPECT_EQ(chart.messages.back().text,
              "*** Warning StarConjunctionWith ***  cannot find stars cunjunctions. Check stars file path please.");

    fs::remove(good);
    auto missing = tellurim({"calc", "star", "Regulus", "--ut", "2000-01-01 12:00:00"});
    EXPECT_EQ(missing.code, kExitFailure);
    // Once by the configuration check at start-up, once by the command that needs the file.
    ASSERT_EQ(missing.messages.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(missing.messages[i].caption, "Check your configuration. File not find:");
        EXPECT_EQ(missing.messages[i].text, good);
    }

    // No stars file at all: said once, and the chart goes on without stars.
    auto cleared = tellurim({"stars", "file", ""});
    EXPECT_EQ(cleared.out, "No stars file is set: charts go without stars (tellurim stars file PATH sets one).\n");
    auto starless = tellurim({"chart", "--name", "Leo", "--ut", "2023-08-23 12:00:00", "--lon", "0", "--lat", "51",
                              "--ephemeris", "low", "--json"});
    EXPECT_EQ(starless.code, kExitOk);
    EXPECT_EQ(starless.messages, (std::vector<Message>{{"No stars file is set: charts go without stars (tellurim stars "
                                                        "file PATH sets one).", "Stars", MessageIcon::Information}}));
}

}  // namespace
}  // namespace tellurim
