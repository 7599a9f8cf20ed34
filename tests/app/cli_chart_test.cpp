// The files the command line writes that a transcript cannot read: the wheel images, and the
// refusals of a provider or a catalogue damaged on disk.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_run.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;
using testing_cli::CliTest;

// The PNG's width and height from its IHDR chunk (big-endian at bytes 16 and 20).
std::pair<int, int> png_size(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::array<unsigned char, 24> b{};
    in.read(reinterpret_cast<char*>(b.data()), b.size());
    auto be = [&](int at) { return (b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]; };
    return {be(16), be(20)};
}

TEST_F(CliTest, WheelFiles) {
    auto chart = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"chart", "--name", "Sample", "--ut", "1944-06-06 06:00:00", "--lon",
                                         "2d20'56.00\"E", "--lat", "48d51'24.00\"N", "--ephemeris", "low"};
        args.insert(args.end(), extra.begin(), extra.end());
        return tellurim(args);
    };
    const fs::path png = dir / "w.png", transit = dir / "t.png", saved = dir / "saved.xml";
    EXPECT_EQ(chart({"--wheel", png.string()}).code, kExitOk);
    EXPECT_EQ(png_size(png), std::make_pair(800, 800));
    EXPECT_EQ(chart({"--wheel", transit.string(), "--size", "640x480", "--outside-ut", "2000-01-01 12:00:00"}).code, kExitOk);
    EXPECT_EQ(png_size(transit), std::make_pair(640, 480));
    // The side panel names the outside chart as it was given, and the birth once.
    for (const auto& [moment, name] : {std::pair{"2000-01-01 12:00:00", ">Transit<"}, {"now", ">Now<"}}) {
        SCOPED_TRACE(moment);
        const fs::path svg = dir / "t.svg";
        ASSERT_EQ(chart({"--wheel", svg.string(), "--outside-ut", moment}).code, kExitOk);
        std::ifstream in(svg);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(text.find(name), std::string::npos);
        const std::size_t birth = text.find(">Sample<");
        ASSERT_NE(birth, std::string::npos);
        EXPECT_EQ(text.find(">Sample<", birth + 1), std::string::npos);
    }

    // A saved horoscope superposed outside (synastry), from `chart` and from `open`; a file
    // and a moment cannot both be the outside chart.
    ASSERT_EQ(chart({"--save", saved.string()}).code, kExitOk);
    EXPECT_EQ(chart({"--wheel", dir.str("s.svg"), "--outside", saved.string()}).code, kExitOk);
    EXPECT_GT(fs::file_size(dir / "s.svg"), 0u);
    EXPECT_EQ(tellurim({"open", saved.string(), "--ephemeris", "low", "--wheel", dir.str("o.png"), "--size", "500x400",
                        "--outside", saved.string()}).code, kExitOk);
    EXPECT_EQ(png_size(dir / "o.png"), std::make_pair(500, 400));
    EXPECT_NE(chart({"--wheel", png.string(), "--outside", saved.string(), "--outside-ut", "2000-01-01 12:00:00"}).code,
              kExitOk);
    auto missing = chart({"--wheel", png.string(), "--outside", dir.str("none.xml")});
    EXPECT_EQ(missing.code, kExitFailure);
    ASSERT_FALSE(missing.messages.empty());
    EXPECT_EQ(missing.messages.back().caption, "Cannot open horoscope file:");
    // On standard error a caption that ends in ":" takes its text after one space.
    EXPECT_EQ(message_line(missing.messages.back()), "Cannot open horoscope file: " + dir.str("none.xml"));
    EXPECT_EQ(message_line({"Bad input", "Error"}), "Error: Bad input");
    auto bad_ext = chart({"--wheel", dir.str("w.jpg")});
    EXPECT_EQ(bad_ext.code, kExitBadInput);
    ASSERT_FALSE(bad_ext.messages.empty());
    EXPECT_EQ(bad_ext.messages.back().text, "The wheel file must end in .png, .svg or .pdf: " + dir.str("w.jpg"));
    EXPECT_EQ(chart({"--wheel", png.string(), "--size", "800"}).code, kExitBadInput);
    EXPECT_FALSE(fs::exists(dir / "w.jpg"));
}

// libephbdl.so without its data file: the loader's text, the cause on a second line, status 1.
TEST_F(CliTest, ProviderWithoutItsDataFile) {
    fs::create_directories(dir / "lib");
    fs::copy_file(fs::path(TELLURIM_BIN_DIR) / "libephbdl.so", dir / "lib/libephbdl.so");
    const char* old = std::getenv("TELLURIM_LIB_DIR");
    const std::string saved = old ? old : "";
    ::setenv("TELLURIM_LIB_DIR", dir.str("lib").c_str(), 1);
    auto r = tellurim({"calc", "positions", "--ut", "2020-03-01 00:00:00", "--ephemeris", "bdl"});
    if (old)
        ::setenv("TELLURIM_LIB_DIR", saved.c_str(), 1);
    else
        ::unsetenv("TELLURIM_LIB_DIR");
    EXPECT_EQ(r.code, kExitFailure);
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages.back().text, "Error loading ephemeris dll\n" + dir.str("lib/ephbdl.dat") + ": No such file or directory");
}

// Each provider's two descriptions fit the 260 characters the program keeps, whole: a JPL
// file deep in long directory names is named without them.
TEST_F(CliTest, ProviderDescriptionsFitTheirField) {
    const fs::path eph = fs::path(TELLURIM_SOURCE_DIR) / "data/ephemeris/de405_1960_2060.eph";
    const fs::path deep = dir / std::string(120, 'd') / std::string(120, 'e');
    fs::create_directories(deep);
    if (fs::exists(eph)) fs::create_symlink(eph, deep / "de405.eph");
    for (const char* e : {"low", "bdl", "jpl"}) {
        SCOPED_TRACE(e);
        if (std::string(e) == "jpl" && !fs::exists(eph)) continue;
        auto r = tellurim({"calc", "positions", "--ut", "2020-03-01 00:00:00", "--ephemeris", e, "--jpl-file",
                           (deep / "de405.eph").string(), "--json"});
        ASSERT_EQ(r.code, kExitOk);
        const auto infos = nlohmann::json::parse(r.out)["infos"];
        for (int i : {1, 2}) {
            const std::string t = infos[i];
            EXPECT_LT(t.size(), 260u) << t;
            EXPECT_EQ(t.back(), '.') << t;
        }
    }
}

TEST_F(CliTest, DamagedStarsCatalogue) {
    const std::string catalogue = std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra";
    if (!fs::exists(catalogue)) GTEST_SKIP() << "run tools/make-data.sh first";
    const std::string good = dir.str("stars.spra"), bad = dir.str("bad.spra");
    fs::copy_file(catalogue, good);
    ASSERT_EQ(tellurim({"stars", "file", good}).code, kExitOk);
    EXPECT_NE(tellurim({"stars", "file"}).out.find("Stars file: " + good), std::string::npos);
    testing_data::write_text(bad, std::string(705, '\0'));
    auto refused = tellurim({"stars", "file", bad});
    EXPECT_EQ(refused.code, kExitBadInput);
    EXPECT_EQ(refused.messages, (std::vector<Message>{{"Not a correct value for this field: " + bad, "Error", MessageIcon::Error}}));

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

    // Once by the configuration check at start-up, once by the command that needs the file.
    fs::remove(good);
    auto missing = tellurim({"calc", "star", "Regulus", "--ut", "2000-01-01 12:00:00"});
    EXPECT_EQ(missing.code, kExitFailure);
    ASSERT_EQ(missing.messages.size(), 3u);
    for (int i : {0, 1}) EXPECT_EQ(missing.messages[i], (Message{good, "Check your configuration. File not find:", MessageIcon::Warning}));
}

}  // namespace
}  // namespace tellurim
