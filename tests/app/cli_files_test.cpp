// tellurim chart --save, open, import, export text and db test, in-process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <cstdlib>
#include <unistd.h>

#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::run;
namespace fs = std::filesystem;

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-clifiles-" + std::to_string(::getpid()));
        fs::create_directories(m_dir / "out");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    testing_cli::CliRun cli(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    fs::path m_dir;
};

TEST_F(CliFiles, OpenPrintsExactlyWhatChartPrinted) {
    const std::vector<std::string> birth = {"chart", "--name", "Sample", "--first-name", "Birth", "--sex", "F",
                                            "--local", "1944-06-06 08:00:00", "--correction", "-2", "--lon",
                                            "2d20'56.00\"E", "--lat", "48d51'24.00\"N", "--city", "Paris",
                                            "--country", "France", "--house-system", "Placidus", "--ephemeris", "low"};
    // With the user's aspect table (no Square), and at 80 N, where 6 June has no sunset: the
    // two commands compute alike, and a polar day still prints the chart.
    ASSERT_EQ(cli({"aspects", "delete", "Square"}).code, kExitOk);
    for (const char* lat : {"", "80dN"})
    for (bool json : {false, true}) {
        SCOPED_TRACE(std::string(lat) + (json ? " json" : " text"));
        auto args = birth;
        if (*lat) args[14] = lat;
        args.insert(args.end(), {"--save", "--print"});
        if (json) args.push_back("--json");
        auto charted = cli(args);
        ASSERT_EQ(charted.code, kExitOk);
        EXPECT_EQ(charted.out.find("Square"), std::string::npos);
        const fs::path file = m_dir / "horoscopes" / "Sample_Birth.xml";
        ASSERT_TRUE(fs::exists(file));
        // A bare name not in the current directory is found in the horoscopes directory.
        std::vector<std::string> open = {"open", json ? file.string() : "Sample_Birth.xml", "--house-system",
                                         "Placidus", "--ephemeris", "low"};
        if (json) open.push_back("--json");
        auto opened = cli(open);
        ASSERT_EQ(opened.code, kExitOk);
        EXPECT_EQ(opened.out, charted.out);
        if (json) continue;
        // --report writes the same report to a file.
        open.insert(open.end(), {"--report", (m_dir / "opened.txt").string()});
        ASSERT_EQ(cli(open).code, kExitOk);
        std::ifstream report(m_dir / "opened.txt", std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(report)), {}), charted.out);
    }
    // The save file of the options (save.txt in the horoscopes directory) gets the line.
    auto args = birth;
    args.push_back("--save-line");
    auto appended = cli(args);
    ASSERT_EQ(appended.code, kExitOk);
    EXPECT_EQ(appended.err, "Horoscope line added to " + (m_dir / "horoscopes" / "save.txt").string() + "\n");
    std::ifstream save(m_dir / "horoscopes" / "save.txt", std::ios::binary);
    std::string saved((std::istreambuf_iterator<char>(save)), {});
    EXPECT_EQ(saved, "Sample;Birth;Woman;1944-06-06 08:00:00.00 GD;Paris;;;France;0h09'23.73\"E;48d51'24.00\"N;"
                     "1944-06-06 06:00:00.00 GD;\r\n");

    auto bad = cli({"open", (m_dir / "missing.xml").string()});
    EXPECT_EQ(bad.code, kExitFailure);
    ASSERT_FALSE(bad.messages.empty());
    EXPECT_EQ(bad.messages.back().caption, "Cannot open horoscope file:");
}

TEST_F(CliFiles, ImportExportTextAndDbTest) {
    const std::string line =
        "Doe;John;M;1980-05-17 14:30:00.00 GD;Paris;;Ile-de-France;France;0h09'23.73\"E;48d51'24.00\"N;"
        "1980-05-17 12:30:00.00 GD;\r\n";
    const std::string input = (m_dir / "in.txt").string();
    std::ofstream(input, std::ios::binary) << line << "Bad;Line\r\n";
    auto imported = cli({"import", input, "--to", (m_dir / "out").string(), "--log", (m_dir / "log.txt").string(),
                         "--ephemeris", "low", "--json"});
    EXPECT_EQ(imported.code, kExitFailure);  // one line failed
    auto j = nlohmann::json::parse(imported.out);
    EXPECT_EQ(j["lines"], 2);
    EXPECT_EQ(j["imported"], 1);
    EXPECT_EQ(j["warnings"], 1);  // the empty county
    EXPECT_EQ(j["errors"], 1);
    ASSERT_EQ(j["files"].size(), 1u);
    EXPECT_EQ(imported.messages.back().text, "Import has errors");

    auto refused = cli({"import", input, "--to", (m_dir / "nope").string()});
    EXPECT_EQ(refused.code, kExitBadInput);
    EXPECT_EQ(refused.messages.back().text, "Target directory does not exist");

    const std::string out = (m_dir / "export.txt").string();
    auto exported = cli({"export", "text", j["files"][0].get<std::string>(), "--out", out, "--ephemeris", "low"});
    EXPECT_EQ(exported.code, kExitOk);
    std::ifstream in(out, std::ios::binary);
    std::string written((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(written, "Doe;John;Man" + line.substr(std::string("Doe;John;M").size()));
    EXPECT_EQ(exported.messages.back().caption, "Export success");

    // The driver manager creates the user's odbc.ini when it looks a name up: keep it here.
    ::setenv("ODBCINI", (m_dir / "odbc.ini").c_str(), 1);
    auto no_db = cli({"db", "test", "--dsn", "NoSuchTellurimSource"});
    EXPECT_EQ(no_db.code, kExitFailure);
    EXPECT_EQ(no_db.messages.back().text, "Failure while trying to connect to database");
}

}  // namespace
}  // namespace tellurim
