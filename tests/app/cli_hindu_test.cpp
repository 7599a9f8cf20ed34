// The Hindu commands end to end: the chart's Hindu section and JSON key, dasa, calc
// subdivision and nakshatra, and the settings commands, in a private directory of their own.
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

class CliHindu : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-hindu-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    testing_cli::CliRun cmd(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    // Paris, 1944-06-06 06:00 UT (a Tuesday).
    std::vector<std::string> birth(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--name", "Sample", "--ut", "1944-06-06 06:00:00", "--lon", "2d20'56.00\"E",
                                         "--lat", "48d51'24.00\"N", "--ephemeris", "low"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    fs::path m_dir;
};

TEST_F(CliHindu, ChartJsonHasTheHinduKey) {
    auto args = birth({"--json"});
    args.insert(args.begin(), "chart");
    auto out = cmd(args);
    ASSERT_EQ(out.code, kExitOk);
    const auto j = nlohmann::json::parse(out.out)["hindu"];
    ASSERT_EQ(j["divisions"].size(), 18u);
    for (const auto& d : j["divisions"]) {
        ASSERT_EQ(d["signs"].size(), 13u);
        for (int s : d["signs"]) EXPECT_TRUE(s >= -1 && s <= 11);
    }
    EXPECT_EQ(j["divisions"][0]["body"], "Sun");
    EXPECT_EQ(j["nakshatras"].size(), 18u) << "every row has a fixed longitude, Gulika to Arudha included";
    // 1944 began on a Saturday, June 1944 on a Thursday; 6 June was a Tuesday.
    EXPECT_EQ(j["time_lords"]["year"], "Saturn");
    EXPECT_EQ(j["time_lords"]["month"], "Jupiter");
    EXPECT_EQ(j["time_lords"]["day"], "Mars");
    for (const char* chart : {"rasi", "navamsa"}) {
        ASSERT_EQ(j["relationships"][chart].size(), 18u);
        EXPECT_EQ(j["relationships"][chart][0].size(), 18u);
        EXPECT_EQ(j["relationships"][chart][4][4], 3);
    }
    ASSERT_EQ(j["aspect_strengths"]["planets"].size(), 18u);
    ASSERT_EQ(j["aspect_strengths"]["houses"].size(), 12u);
    EXPECT_EQ(j["aspect_strengths"]["houses"][11].size(), 18u);
    EXPECT_TRUE(j["dasa"]["at_birth"]["dasa"].is_string());
    EXPECT_TRUE(j["dasa"]["cycle_start_jd_et"].is_number());
    // The Moon's nakshatra is the one calc nakshatra gives for its fixed longitude.
    const auto moon = j["nakshatras"][1];
    const double lon = nlohmann::json::parse(out.out)["positions"]["geocentric_fixed"][1]["longitude_deg"];
    auto nak = cmd({"calc", "nakshatra", "--lon", std::to_string(lon), "--json"});
    ASSERT_EQ(nak.code, kExitOk);
    EXPECT_EQ(nlohmann::json::parse(nak.out)["index"], moon["index"]);
    EXPECT_EQ(nlohmann::json::parse(nak.out)["lord"], moon["lord"]);
}

TEST_F(CliHindu, ChartTextHasTheHinduSection) {
    auto args = birth({});
    args.insert(args.begin(), "chart");
    auto out = cmd(args);
    ASSERT_EQ(out.code, kExitOk);
    for (const char* s : {"\nLord of year, month, day, hour\n", "\nDay Mars\n", "\nSubdivisions array\n",
                          "\nNatural quality of moon: ", "\nNatural quality of mercury: ",
                          "\nPlanets relationships, rasi and navamsa\n", "\nAspects qualities, rasi and navamsa\n"})
        EXPECT_NE(out.out.find(s), std::string::npos) << s;
}

TEST_F(CliHindu, DasaListsConsecutivePeriodsBetweenTheDates) {
    auto args = birth({"--from", "1950-01-01", "--to", "1952-01-01", "--json"});
    args.insert(args.begin(), "dasa");
    auto out = cmd(args);
    ASSERT_EQ(out.code, kExitOk) << (out.messages.empty() ? "" : out.messages[0].text);
    const auto periods = nlohmann::json::parse(out.out)["periods"];
    ASSERT_GE(periods.size(), 2u);
    for (std::size_t i = 1; i < periods.size(); ++i)
        EXPECT_NEAR(periods[i]["start_jd_et"].get<double>(), periods[i - 1]["end_jd_et"].get<double>(), 1e-6);
    EXPECT_TRUE(periods[0]["antara"].is_string());

    args = birth({"--from", "not a date"});
    args.insert(args.begin(), "dasa");
    out = cmd(args);
    EXPECT_EQ(out.code, kExitBadInput);
}

TEST_F(CliHindu, CalcSubdivisionAndNakshatra) {
    auto out = cmd({"calc", "subdivision", "--lon", "45", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    const auto subs = nlohmann::json::parse(out.out)["subdivisions"];
    ASSERT_EQ(subs.size(), 13u);
    EXPECT_EQ(subs[1]["label"], "1/2");
    EXPECT_EQ(subs[1]["name"], "Leo");
    EXPECT_EQ(subs[0]["name"], "Taurus");
    out = cmd({"calc", "subdivision", "--lon", "360"});
    EXPECT_EQ(out.code, kExitBadInput);
    out = cmd({"calc", "nakshatra", "--lon", "0"});
    ASSERT_EQ(out.code, kExitOk);
    EXPECT_EQ(out.out, "0 Ashwini (Kethu): the horsemen\n");
}

TEST_F(CliHindu, SettingsCommands) {
    // A planet by name or by number.
    auto out = cmd({"hindu-aspects", "set", "Mars", "--offsets", "3,6", "--pen", "ffff0000 2 1"});
    ASSERT_EQ(out.code, kExitOk);
    EXPECT_EQ(out.out, "4@3:ffff0000 02.00 1:ffff0000 02.00 1:ffff0000 02.00 1:ffff0000 02.00 1@6:ffff0000 02.00 "
                       "1:ffff0000 02.00 1:ffff0000 02.00 1:ffff0000 02.00 1\n");
    out = cmd({"hindu-aspects", "show", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    EXPECT_EQ(nlohmann::json::parse(out.out)["rows"][4]["aspects"].size(), 2u);
    for (const char* bad : {"18", "-1", "Mars2", "Earth"}) {
        out = cmd({"hindu-aspects", "set", bad, "--offsets", "6"});
        EXPECT_EQ(out.code, kExitBadInput) << bad;
        EXPECT_EQ(out.messages.at(0).text, std::string("*** Error *** Bad number of planet: ") + bad);
    }
    EXPECT_EQ(cmd({"hindu-aspects", "set", "4", "--offsets", "12"}).code, kExitBadInput);
    ASSERT_EQ(cmd({"hindu-aspects", "reset"}).code, kExitOk);
    out = cmd({"hindu-aspects", "show", "--json"});
    EXPECT_EQ(nlohmann::json::parse(out.out)["rows"][4]["aspects"].size(), 3u);

    // A change over a damaged file starts from the defaults but keeps the damaged file.
    const fs::path file = m_dir / "private" / "hindus_aspects.ini";
    { std::ofstream(file, std::ios::binary) << "4@99:not a pen\n"; }
    out = cmd({"hindu-aspects", "set", "4", "--offsets", "6"});
    ASSERT_EQ(out.code, kExitOk);
    ASSERT_FALSE(out.messages.empty());
    EXPECT_EQ(out.messages.back().text, "The damaged file was kept as " + file.string() + ".bad");
    std::ifstream kept(file.string() + ".bad", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "4@99:not a pen\n");

    // The dasa and nakshatra settings are options: a preset sets both dasa fields.
    ASSERT_EQ(cmd({"options", "set", "dasa.zero-date", "Fagan-Bradley"}).code, kExitOk);
    EXPECT_EQ(cmd({"options", "get", "dasa.year-length"}).out, "360\n");
    ASSERT_EQ(cmd({"options", "set", "nakshatras.0.name", "Aswini"}).code, kExitOk);
    ASSERT_EQ(cmd({"options", "set", "nakshatras.0.colour", "#64112233"}).code, kExitOk);
    out = cmd({"nakshatras", "show", "--json"});
    const auto n0 = nlohmann::json::parse(out.out)[0];
    EXPECT_EQ(n0["name"], "Aswini");
    EXPECT_EQ(n0["colour"], "64112233");
    EXPECT_EQ(n0["meaning"], "the horsemen");
}

}  // namespace
}  // namespace tellurim
