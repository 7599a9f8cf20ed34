// tellurim aspects, the aspects of tellurim chart, tellurim directions and calc direction,
// end to end in a private directory of the test's own.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>

#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::run;
namespace fs = std::filesystem;

class CliAspects : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-aspects-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    testing_cli::CliRun tellurim(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    std::vector<std::string> birth() {
        return {"--name", "Sample", "--first-name", "Birth", "--ut", "1944-06-06 06:00:00", "--lon",
                "2d20'56.00\"E", "--lat", "48d51'24.00\"N", "--ephemeris", "low", "--house-system", "Placidus"};
    }
    fs::path m_dir;
};

TEST_F(CliAspects, ShowCreatesTheDefaultFile) {
    auto out = tellurim({"aspects", "show", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    ASSERT_EQ(j.size(), 5u);
    EXPECT_EQ(j[2]["name"], "Square");
    EXPECT_EQ(j[2]["angle_deg"], 90.0);
    EXPECT_EQ(j[2]["orb_deg"], 4.0);
    EXPECT_EQ(j[2]["colour"], "#FFFF0000");
    EXPECT_EQ(j[2]["pen_type"], "Dash");
    EXPECT_EQ(j[2]["pen_size"], 1.5);
    EXPECT_EQ(j[2]["hot_spot_size"], 2.0);
    EXPECT_EQ(j[0]["draw"], false);
    EXPECT_EQ(j[0]["more_opaque"], true);
    EXPECT_EQ(j[0]["show_information"], false);
    EXPECT_EQ(fs::file_size(m_dir / "private" / "aspects.pra"), 680u);
}

TEST_F(CliAspects, EditsGoThroughTheEditorsRulesAndAreSaved) {
    struct Step {
        std::vector<std::string> args;
        int code;
        std::string message;  // the first message's text, when one is expected
    };
    const Step steps[] = {
        {{"aspects", "add", "--name", "Quintile", "--angle", "72", "--orb", "2"}, kExitOk, ""},
        {{"aspects", "set", "Square", "--orb", "6", "--pen-type", "Dot"}, kExitOk, ""},
        {{"aspects", "set", "Square", "--orb", "0"}, kExitBadInput, "Not a valid orb."},
        {{"aspects", "set", "Square", "--angle", "190"}, kExitBadInput, "Not a valid angle."},
        {{"aspects", "set", "Square", "--pen-type", "Wavy"}, kExitBadInput, "Not a valid pen type."},
        {{"aspects", "set", "Square", "--pen-size", "0"}, kExitBadInput, "Not a valid pen size."},
        {{"aspects", "set", "Square", "--hot-spot-size", "0"}, kExitBadInput, "Not a valid square size"},
        {{"aspects", "set", "Nonagon", "--orb", "1"}, kExitBadInput, "No aspect of this name: Nonagon"},
        {{"aspects", "add", "--angle", "45", "--orb", "1"}, kExitOk, ""},
        {{"aspects", "delete", "Trine"}, kExitOk, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.args[1] + " " + s.args[2]);
        auto out = tellurim(s.args);
        EXPECT_EQ(out.code, s.code);
        if (!s.message.empty()) {
            ASSERT_FALSE(out.messages.empty());
            EXPECT_EQ(out.messages.back().text, s.message);
            EXPECT_EQ(out.messages.back().caption, "Error");
        }
    }
    auto j = nlohmann::json::parse(tellurim({"aspects", "show", "--json"}).out);
    std::vector<std::string> names;
    for (const auto& r : j) names.push_back(r["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{"Conjunction", "New aspect", "Sextil", "Quintile", "Square", "Opposition"}));
    EXPECT_EQ(j[4]["orb_deg"], 6.0);
    EXPECT_EQ(j[4]["pen_type"], "Dot");
    EXPECT_EQ(fs::file_size(m_dir / "private" / "aspects.pra"), 6u * 136u);

    ASSERT_EQ(tellurim({"aspects", "reset"}).code, kExitOk);
    EXPECT_EQ(nlohmann::json::parse(tellurim({"aspects", "show", "--json"}).out).size(), 5u);
}

TEST_F(CliAspects, ChartListsPlanetAndHouseAspects) {
    auto args = birth();
    args.insert(args.begin(), "chart");
    args.push_back("--json");
    auto out = tellurim(args);
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    ASSERT_TRUE(j["aspects"].is_array());
    ASSERT_FALSE(j["aspects"].empty());
    ASSERT_FALSE(j["house_aspects"].empty());
    // Every listed aspect is within its orb, and the pair is in index order.
    std::map<std::string, int> index;
    for (const auto& p : j["positions"]["geocentric_movable"]) index[p["name"]] = p["planet"];
    for (const auto& a : j["aspects"]) {
        SCOPED_TRACE(a.dump());
        EXPECT_LT(index.at(a["a"]), index.at(a["b"]));
        double diff = std::fabs(a["separation_deg"].get<double>() - a["angle_deg"].get<double>());
        EXPECT_LE(diff, a["orb_deg"].get<double>() + 1e-9);
        EXPECT_GE(a["opacity"].get<int>(), 0);
        EXPECT_LE(a["opacity"].get<int>(), 255);
    }
    for (const auto& a : j["house_aspects"]) {
        EXPECT_GE(a["house"].get<int>(), 1);
        EXPECT_LE(a["house"].get<int>(), 12);
    }
    // The Ascendant is the cusp of house I.
    bool as_on_first = false;
    for (const auto& a : j["house_aspects"])
        as_on_first |= a["planet"] == "AS" && a["house"] == 1 && a["name"] == "Conjunction";
    EXPECT_TRUE(as_on_first);

    args.pop_back();
    auto text = tellurim(args);
    ASSERT_EQ(text.code, kExitOk);
    EXPECT_NE(text.out.find("\nAspects between planets, nominal angle of the closest aspect\n"), std::string::npos);
}

TEST_F(CliAspects, DirectionsListAndRefusals) {
    auto args = birth();
    args.insert(args.begin(), "directions");
    for (const char* a : {"--from", "0", "--to", "60", "--planets", "Sun,Moon,AS,MH", "--sort"}) args.push_back(a);
    auto out = tellurim(args);
    ASSERT_EQ(out.code, kExitOk) << (out.messages.empty() ? "" : out.messages[0].text);
    EXPECT_EQ(out.out.rfind("Primary directions for Sample Birth from 0.00 to 60.00 without latitude\n", 0), 0u);
    EXPECT_NE(out.out.find("Number of directions found : "), std::string::npos);

    args.push_back("--json");
    auto j = nlohmann::json::parse(tellurim(args).out);
    EXPECT_NEAR(j["key_deg_per_year"].get<double>(), 0.985647, 1e-6);
    ASSERT_FALSE(j["directions"].empty());
    double previous = 0;
    for (const auto& d : j["directions"]) {
        EXPECT_GE(d["age"].get<double>(), previous);
        EXPECT_LE(d["age"].get<double>(), 60.0);
        previous = d["age"].get<double>();
    }
    // The text's count is the JSON's length.
    EXPECT_NE(out.out.find("Number of directions found : " + std::to_string(j["directions"].size())), std::string::npos);

    struct Refusal {
        std::vector<std::string> extra;
        std::string message;
    };
    const Refusal refusals[] = {
        {{"--from", "0", "--to", "60", "--planets", ""}, "Please choose at least one planet!"},
        {{"--from", "0", "--to", "60", "--aspects", ""}, "Please choose at least one aspect!"},
        {{"--from", "60", "--to", "60"}, "Bad input"},
        {{"--from", "ten", "--to", "60"}, "Bad input"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.message);
        auto a = birth();
        a.insert(a.begin(), "directions");
        a.insert(a.end(), r.extra.begin(), r.extra.end());
        auto o = tellurim(a);
        EXPECT_EQ(o.code, kExitBadInput);
        ASSERT_FALSE(o.messages.empty());
        EXPECT_EQ(o.messages.back().text, r.message);
    }
}

TEST_F(CliAspects, DirectionsDocument) {
    auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    struct Case {
        const char* file;
        const char* begins;
        const char* holds;
    };
    const Case cases[] = {
        {"d.txt", "Primary directions for Sample Birth from 0.00 to 60.00 without latitude\n", "\nNumber of directions found : "},
        {"d.rtf", "{\\rtf1", "Number of directions found : "},
        {"d.html", "<HTML><HEAD><TITLE>Primary directions for Sample Birth", "<TABLE BORDER = 1>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto args = birth();
        args.insert(args.begin(), "directions");
        for (const std::string a : {"--from", "0", "--to", "60", "--planets", "Sun,Moon,AS,MH", "--out"}) args.push_back(a);
        args.push_back((m_dir / c.file).string());
        auto out = tellurim(args);
        ASSERT_EQ(out.code, kExitOk);
        EXPECT_TRUE(out.out.empty());
        const std::string doc = read(m_dir / c.file);
        EXPECT_EQ(doc.rfind(c.begins, 0), 0u) << doc.substr(0, 80);
        EXPECT_NE(doc.find(c.holds), std::string::npos);
    }
    auto args = birth();
    args.insert(args.begin(), "directions");
    for (const char* a : {"--from", "0", "--to", "60", "--out"}) args.push_back(a);
    args.push_back((m_dir / "d.doc").string());
    auto unknown = tellurim(args);
    EXPECT_EQ(unknown.code, kExitBadInput);
    args.back() = (m_dir / "no such dir" / "d.txt").string();
    auto unwritable = tellurim(args);
    EXPECT_EQ(unwritable.code, kExitFailure);
    ASSERT_FALSE(unwritable.messages.empty());
    EXPECT_EQ(unwritable.messages.back().text.rfind("Error while trying to create result text file", 0), 0u);
}

TEST_F(CliAspects, CalcDirection) {
    auto ok = tellurim({"calc", "direction", "0.2618", "0", "1.309", "0", "0.7854", "1.745", "0.4091", "0", "--json"});
    ASSERT_EQ(ok.code, kExitOk);
    double arc = nlohmann::json::parse(ok.out)["age"];
    EXPECT_GT(arc, 0.0);
    EXPECT_LT(arc, 360.0);
    auto bad = tellurim({"calc", "direction", "7", "0", "1.309", "0", "0.7854", "1.745", "0.4091", "0.0172"});
    EXPECT_EQ(bad.code, kExitBadInput);
    ASSERT_EQ(bad.messages.size(), 1u);
    EXPECT_EQ(bad.messages[0].text, "*** Error *** PrimaryDirection: longitudeA must by between [0, 2Pi[");
    auto negative = tellurim({"calc", "direction", "0.2618", "-0.1", "1.309", "0", "0.7854", "1.745", "0.4091", "0.0172"});
    EXPECT_EQ(negative.code, kExitOk);
}

}  // namespace
}  // namespace tellurim
