// tellurim options: the start-up sequence of every command (directories, options file,
// configuration check) and set/get through the command line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::run;
namespace fs = std::filesystem;

class CliOptions : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-options-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "horoscopes");
    }
    void TearDown() override {
        ::unsetenv("TELLURIM_DEV");
        ::unsetenv("OWLNEXT_TELLURIM");
        fs::remove_all(m_dir);
    }
    testing_cli::CliRun options(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string(), "options"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    std::vector<char> file() {
        std::ifstream in(m_dir / "private/options.pra", std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    }
    fs::path m_dir;
};

// First run with the shipped data: the file is created, and every default path exists, so
// the configuration check says nothing.
TEST_F(CliOptions, FirstRunCreatesTheFileAndEveryDefaultPathExists) {
    auto out = options({"show"});
    EXPECT_EQ(out.code, kExitOk);
    ASSERT_EQ(out.messages.size(), 1u);
    EXPECT_EQ(out.messages[0].text, "Options file created with default values.");
    EXPECT_EQ(file().size(), 65280u);
    // A second run reads the file and says nothing at all.
    EXPECT_TRUE(options({"show"}).messages.empty());
}

// With a base directory that holds nothing, the check names each missing path in its order.
TEST_F(CliOptions, StartUpChecksTheFivePathsInOrder) {
    ::setenv("TELLURIM_DEV", "1", 1);
    const std::string base = (m_dir / "nobase").string();
    ::setenv("OWLNEXT_TELLURIM", base.c_str(), 1);
    auto out = options({"get", "astro.zodiac"});
    EXPECT_EQ(out.code, kExitOk);
    EXPECT_EQ(out.out, "fixed\n");
    const std::string dir = "Check your configuration. Directory not find:";
    const std::string file = "Check your configuration. File not find:";
    const std::vector<Message> expected = {
        {"Options file created with default values.", "File creation", MessageIcon::Information},
        {base + "/tcltkscript", dir, MessageIcon::Warning},
        {base + "/stars/stars.spra", file, MessageIcon::Warning},
        {base + "/countries", dir, MessageIcon::Warning},
        {base + "/db/sqlite/tellurimdb.ini", file, MessageIcon::Warning},
    };
    EXPECT_EQ(out.messages, expected);
}

TEST_F(CliOptions, SetStoresGetReadsAndBadValuesExitTwo) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;
        std::string message;  // the first message after start-up, "" for none
    };
    const Case cases[] = {
        {{"set", "astro.house-system", "Placidus"}, kExitOk, "astro.house-system = PLACIDUS\n", ""},
        {{"get", "astro.house-system"}, kExitOk, "PLACIDUS\n", ""},
        {{"set", "astro.house-system", "Koch"}, kExitBadInput, "",
         "Unknown house system (Campanus, Alcabitus, Abenragel, Regiomontanus, Placidus, Hindu, ModusAequalis): Koch"},
        {{"set", "--", "astro.zero-date", "-100-02-03 12:00:00.00 JD"}, kExitOk,
         "astro.zero-date = -100-02-03 12:00:00.00 JD\n", ""},
        {{"set", "exaltations.zero-date", "Fagan-Bradley"}, kExitOk,
         "exaltations.zero-date = 0222-03-13 15:19:32.89 JD\n", ""},
        {{"set", "ephemeris.node", "True"}, kExitOk, "ephemeris.node = true\n", ""},
        {{"set", "ephemeris.node", "osculating"}, kExitBadInput, "", "Not a correct value for this field"},
        {{"set", "dasa.year-length", "100"}, kExitBadInput, "", "Not a correct value for this field"},
        {{"set", "interface.top-speed-bar", "no"}, kExitOk,
         "interface.top-speed-bar = no\nRestart needed for changes to take effect .\n", ""},
        {{"set", "no.such.key", "1"}, kExitBadInput, "", "Unknown setting (tellurim options keys lists them): no.such.key"},
        {{"set", "interface.window", "1"}, kExitBadInput, "",
         "This setting is shown only; no dialog edits it: interface.window"},
        {{"set", "my-city.coordinates", "1dE"}, kExitBadInput, "",
         "Wrong number of values for this setting; it takes: LONGITUDE LATITUDE [CORRECTION]"},
    };
    options({"show"});  // creates the file
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        auto out = options(c.args);
        EXPECT_EQ(out.code, c.code);
        EXPECT_EQ(out.out, c.out);
        if (c.message.empty()) {
            EXPECT_TRUE(out.messages.empty());
            continue;
        }
        ASSERT_EQ(out.messages.size(), 1u);
        EXPECT_EQ(out.messages[0].text, c.message);
        EXPECT_EQ(out.messages[0].caption, "Error");
    }
    const std::vector<char> bytes = file();
    ASSERT_EQ(bytes.size(), 65280u);
    EXPECT_EQ(bytes[64], 4);  // Placidus
    EXPECT_EQ(bytes[3], 0);   // top speed bar off

    auto json = nlohmann::json::parse(options({"get", "astro.zero-date", "--json"}).out);
    EXPECT_EQ(json["block"], "Astrology");
    EXPECT_EQ(json["value"], "-100-02-03 12:00:00.00 JD");
    auto show = nlohmann::json::parse(options({"show", "--json"}).out);
    EXPECT_EQ(show["blocks"]["Astrology"]["astro.house-system"], "PLACIDUS");
    EXPECT_EQ(show["blocks"]["Database"]["database.password"], "");
}

}  // namespace
}  // namespace tellurim
