// tellurim chart: one horoscope end to end with the low-precision provider, in a private
// directory of the test's own.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>

#include "cli_run.h"
#include "core/date_hour.h"
#include "core/strings.h"

namespace tellurim {
namespace {

using testing_cli::run;
namespace fs = std::filesystem;

class CliChart : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-chart-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    testing_cli::CliRun chart(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string(), "chart", "--name", "Sample"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    fs::path m_dir;
};

// Paris, 1944-06-06 06:00 UT. The full moon of that night is dated 1944 June 6, 18:59 UT in
// the published lunation tables; the bisection stops within a minute or two of it.
TEST_F(CliChart, JsonHasEveryPartAndTheLunationsSurroundTheBirth) {
    auto out = chart({"--ut", "1944-06-06 06:00:00", "--lon", "2d20'56.00\"E", "--lat", "48d51'24.00\"N",
                      "--ephemeris", "low", "--house-system", "Placidus", "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    for (const char* key : {"person", "time", "place", "positions", "houses", "equatorial", "horizontal", "sun",
                            "lunation", "provenance"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["houses"]["system"], "PLACIDUS");
    EXPECT_EQ(j["provenance"]["ephemeris_library"], "libephlow.so");

    const auto& lun = j["lunation"];
    double birth = j["time"]["jd_ut"].get<double>();
    double previous = 0;
    for (const char* key : {"new_moon", "first_quarter", "full_moon", "last_quarter", "next_new_moon"}) {
        SCOPED_TRACE(key);
        double jd = lun[key]["jd_ut"].get<double>();
        EXPECT_GT(jd, previous);
        EXPECT_GT(lun[key]["jd_et"].get<double>(), jd);
        EXPECT_FALSE(lun[key]["text"].get<std::string>().empty());
        previous = jd;
    }
    EXPECT_LE(lun["new_moon"]["jd_ut"].get<double>(), birth);
    EXPECT_GT(lun["next_new_moon"]["jd_ut"].get<double>(), birth);
    double full_moon_published = 2431248.0 + (18.0 + 59.0 / 60.0) / 24.0 - 0.5;
    EXPECT_NEAR(lun["full_moon"]["jd_ut"].get<double>(), full_moon_published, 3.0 / 1440.0);
    EXPECT_TRUE(lun["eclipses"].contains("full_moon"));

    double sunrise = j["sun"]["sunrise"]["jd_ut"].get<double>();
    double sunset = j["sun"]["sunset"]["jd_ut"].get<double>();
    EXPECT_LT(sunrise, birth);  // 06:00 UT is after sunrise in June in Paris
    EXPECT_GT(sunset, birth);
    // Paris lies 2d20'56" east, 9m23.7s of time: its mean solar clock runs that much ahead.
    for (const char* key : {"sunrise", "sunset"}) {
        DateParse lmt = parse_date_hour(j["sun"][std::string(key) + "_local_mean_time"].get<std::string>());
        ASSERT_TRUE(lmt.ok);
        EXPECT_NEAR((lmt.value.jd_ut - j["sun"][key]["jd_ut"].get<double>()) * 86400.0, 563.73, 0.01) << key;
    }
    int hour = j["sun"]["planetary_hour"].get<int>();
    EXPECT_GE(hour, 1);
    EXPECT_LE(hour, 12);  // a day hour
}

// Near the poles the birth day may have no sunrise or sunset: the chart is still printed,
// with null moments and the reason, and a rise weeks away is never taken as the day's.
TEST_F(CliChart, PolarDaysPrintTheChartWithoutSunriseAndSunset) {
    struct Row {
        const char* ut;
        const char* lat;
        const char* reason;  // null: a normal day
    };
    const Row rows[] = {
        {"1990-12-21 11:00:00", "69d39'N", "polar night"},
        {"1990-06-21 11:00:00", "69d39'N", "polar day"},
        {"1990-06-21 11:00:00", "80d00'S", "polar night"},
        {"1990-03-21 11:00:00", "69d39'N", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.ut) + " " + r.lat);
        auto out = chart({"--ut", r.ut, "--lon", "18d57'E", "--lat", r.lat, "--ephemeris", "low", "--json"});
        ASSERT_EQ(out.code, kExitOk);
        auto sun = nlohmann::json::parse(out.out)["sun"];
        if (r.reason) {
            EXPECT_TRUE(sun["sunrise"].is_null());
            EXPECT_TRUE(sun["sunset"].is_null());
            EXPECT_EQ(sun["reason"], r.reason);
            bool told = false;
            for (const auto& m : out.messages) told = told || m.text == "Cannot compute Sun rise and set";
            EXPECT_TRUE(told);
        } else {
            EXPECT_TRUE(sun["reason"].is_null());
            EXPECT_LT(std::abs(sun["sunrise"]["jd_ut"].get<double>() - 2447971.70), 0.05);  // 04:50 UT
        }
    }
}

// Bytes that are not UTF-8 in a name or a city come out replaced, never as an abort.
TEST_F(CliChart, JsonReplacesBytesThatAreNotUtf8) {
    const std::vector<std::vector<std::string>> cases = {
        {"--first-name", "Jo\xff\xfe", "--ut", "2000-01-01 12:00:00", "--lon", "2dE", "--lat", "48dN", "--ephemeris",
         "low", "--json"},
        {"--city", "Par\xc3", "--country", "Fr\x80nce", "--ut", "2000-01-01 12:00:00", "--ephemeris", "low", "--json"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[1]);
        auto out = chart(c);
        if (out.out.empty()) continue;  // refused before any JSON, with its message
        auto j = nlohmann::json::parse(out.out);
        EXPECT_TRUE(j.is_object());
        EXPECT_NE(out.out.find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD
    }
}

TEST_F(CliChart, RefusalsAndFailures) {
    // Birth input follows the new-chart dialog: E/W and N/S angles (or plain degrees within
    // range), seconds below 59.9999, days that their month has, a correction of at most a day.
    // `directions` and `dasa` read the same options and refuse the same way.
    const std::string paris_lon = "2d20'E", paris_lat = "48d51'N", noon = "2000-01-01 12:00:00";
    const std::string bad_correction = str(Str::BirthBadCorrection);
    struct Refusal {
        std::vector<std::string> args;
        std::string message;
        bool prefix = false;  // the message only starts with `message`
    };
    const Refusal refusals[] = {
        {{"--ut", noon, "--lon", "abc", "--lat", paris_lat}, "Not a valid longitude."},
        {{"--ut", noon, "--lon", "250d", "--lat", paris_lat}, "Not a valid longitude."},
        {{"--ut", noon, "--lon", "181", "--lat", paris_lat}, "Not a valid longitude."},
        {{"--ut", noon, "--lon", "1000", "--lat", paris_lat}, "Not a valid longitude."},
        {{"--ut", noon, "--lon", "25h", "--lat", paris_lat}, "Not a valid longitude."},
        {{"--ut", noon, "--lon", paris_lon, "--lat", "48d51'24.00\"E"}, "Not a valid latitude."},
        {{"--ut", noon, "--lon", paris_lon, "--lat", "100"}, "Not a valid latitude."},
        {{"--ut", noon, "--lon", paris_lon, "--lat", "-90.72"}, "Not a valid latitude."},
        {{"--ut", noon, "--lon", paris_lon, "--lat", "99999999999999"}, "Not a valid latitude."},
        {{"--ut", noon, "--lon", paris_lon, "--lat", "3hN"}, "Not a valid latitude."},
        {{"--ut", "2000-01-01 23:59:59.9999", "--lon", paris_lon, "--lat", paris_lat}, "Second not valid"},
        {{"--ut", "2000-13-01 12:00:00", "--lon", paris_lon, "--lat", paris_lat}, "Not a valid date. out of range month"},
        {{"--ut", "2023-02-31 12:00:00", "--lon", paris_lon, "--lat", paris_lat},
         "Not a valid date. 2023-02-31 12:00:00: the month has no such day"},
        {{"--local", "1900-02-29 12:00:00 GD", "--correction", "0", "--lon", paris_lon, "--lat", paris_lat},
         "Not a valid date. 1900-02-29 12:00:00 GD: the month has no such day"},
        {{"--ut", noon, "--correction", "1e9", "--lon", paris_lon, "--lat", paris_lat}, bad_correction, true},
        {{"--ut", noon, "--correction", "nan", "--lon", paris_lon, "--lat", paris_lat}, bad_correction, true},
        {{"--local", noon, "--correction", "1e308", "--lon", paris_lon, "--lat", paris_lat}, bad_correction, true},
        {{"--ut", noon, "--correction", "-24.5", "--lon", paris_lon, "--lat", paris_lat}, bad_correction, true},
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> args = r.args;
        args.insert(args.end(), {"--ephemeris", "low"});
        SCOPED_TRACE(::testing::PrintToString(args));
        auto check = [&](const testing_cli::CliRun& out) {
            EXPECT_EQ(out.code, kExitBadInput);
            EXPECT_TRUE(out.out.empty());
            ASSERT_FALSE(out.messages.empty());
            const std::string& text = out.messages.back().text;
            EXPECT_EQ(r.prefix ? text.substr(0, r.message.size()) : text, r.message);
        };
        check(chart(args));
        std::vector<std::string> dasa = {"--private-dir", (m_dir / "private").string(), "dasa", "--name", "Sample"};
        dasa.insert(dasa.end(), args.begin(), args.end());
        check(run(dasa));
    }
    std::vector<std::string> directions = {"--private-dir", (m_dir / "private").string(), "directions", "--name", "S",
                                           "--ut", noon, "--lon", "1000", "--lat", paris_lat, "--from", "0", "--to", "1"};
    auto out = run(directions);
    EXPECT_EQ(out.code, kExitBadInput);
    ASSERT_FALSE(out.messages.empty());
    EXPECT_EQ(out.messages.back().text, "Not a valid longitude.");

    // A date the JPL file does not cover (the converted DE405 starts in 1959; without it the
    // provider does not load): the position step fails with the pipeline's caption.
    auto missing = chart({"--ut", "1900-01-01 12:00:00", "--lon", "2d20'56.00\"E", "--lat", "48d51'24.00\"N",
                          "--ephemeris", "jpl"});
    EXPECT_EQ(missing.code, kExitFailure);
    bool positions_refused = false;
    for (const Message& m : missing.messages) {
        EXPECT_EQ(m.caption, "Computation error");
        if (m.text.rfind("Cannot compute planets positions\ncomputePositions ", 0) == 0) positions_refused = true;
    }
    EXPECT_TRUE(positions_refused);
}

}  // namespace
}  // namespace tellurim

namespace tellurim {
namespace {

// With a place from the generated atlas and no correction of the user's, the historical
// correction of the date applies: France kept German summer time (UTC+2) in June 1944.
TEST_F(CliChart, AtlasPlaceGivesTheHistoricalCorrection) {
    if (!fs::exists(fs::path(TELLURIM_SOURCE_DIR) / "data/countries/dircountries.pra"))
        GTEST_SKIP() << "the world atlas has not been generated";
    auto out = chart({"--local", "1944-06-06 08:00:00", "--city", "Paris", "--country", "France", "--ephemeris", "low",
                      "--json"});
    ASSERT_EQ(out.code, kExitOk);
    auto j = nlohmann::json::parse(out.out);
    EXPECT_EQ(j["time"]["ut"], "1944-06-06 06:00:00.00 GD");
    EXPECT_EQ(j["place"]["city"], "Paris");
}

}  // namespace
}  // namespace tellurim

namespace tellurim {
namespace {

// The PNG's width and height from its IHDR chunk (big-endian at bytes 16 and 20).
std::pair<int, int> png_size(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::array<unsigned char, 24> b{};
    in.read(reinterpret_cast<char*>(b.data()), b.size());
    auto be = [&](int at) { return (b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]; };
    return {be(16), be(20)};
}

TEST_F(CliChart, WheelFiles) {
    const std::vector<std::string> birth = {"--ut", "1944-06-06 06:00:00", "--lon", "2d20'56.00\"E", "--lat",
                                            "48d51'24.00\"N", "--house-system", "Placidus", "--ephemeris", "low"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = birth;
        args.insert(args.end(), extra.begin(), extra.end());
        return chart(args);
    };
    const fs::path png = m_dir / "w.png";
    EXPECT_EQ(with({"--wheel", png.string()}).code, kExitOk);
    EXPECT_EQ(png_size(png), std::make_pair(800, 800));

    const fs::path transit = m_dir / "t.png";
    EXPECT_EQ(with({"--wheel", transit.string(), "--size", "640x480", "--outside-ut", "2000-01-01 12:00:00"}).code,
              kExitOk);
    EXPECT_EQ(png_size(transit), std::make_pair(640, 480));

    auto bad_ext = with({"--wheel", (m_dir / "w.jpg").string()});
    EXPECT_EQ(bad_ext.code, kExitBadInput);
    ASSERT_FALSE(bad_ext.messages.empty());
    EXPECT_EQ(bad_ext.messages.back().text, "The wheel file must end in .png, .svg or .pdf: " + (m_dir / "w.jpg").string());
    auto bad_size = with({"--wheel", png.string(), "--size", "800"});
    EXPECT_EQ(bad_size.code, kExitBadInput);
    EXPECT_FALSE(fs::exists(m_dir / "w.jpg"));
}

}  // namespace
}  // namespace tellurim

namespace tellurim {
namespace {

// Far outside the span that libephlow states (-2000 to 3000) the chart is still printed, with
// a warning naming the span; the JSON provenance carries both.
TEST_F(CliChart, DatesOutsideTheProviderRangeAreWarnedAbout) {
    const std::string warning = str(Str::BirthOutsideRange) + " -2000-01-01 JD to 3000-12-31 GD.";
    struct Row { const char* ut; bool outside; } rows[] = {
        {"2000-01-01 12:00:00", false}, {"-20000-01-01 12:00:00", true}, {"3100-01-01 12:00:00", true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.ut);
        auto out = chart({"--ut", r.ut, "--lon", "2d20'E", "--lat", "48d51'N", "--ephemeris", "low", "--json"});
        ASSERT_EQ(out.code, kExitOk);
        auto prov = nlohmann::json::parse(out.out)["provenance"];
        EXPECT_EQ(prov["valid_range"]["first"], "-2000-01-01 JD");
        EXPECT_EQ(prov["valid_range"]["last"], "3000-12-31 GD");
        EXPECT_EQ(prov["range_warning"], r.outside ? nlohmann::json(warning) : nlohmann::json(nullptr));
        bool told = false;
        for (const Message& m : out.messages) told = told || m.text == warning;
        EXPECT_EQ(told, r.outside);
    }
}

}  // namespace
}  // namespace tellurim
