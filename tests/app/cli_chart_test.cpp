// tellurim chart: one horoscope end to end with the low-precision provider, in a private
// directory of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
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
    // The sample birth (Paris, 1944-06-06 06:00 UT, Placidus, libephlow.so) with `extra`.
    testing_cli::CliRun sample_chart(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--ut", "1944-06-06 06:00:00", "--lon", "2d20'56.00\"E", "--lat",
                                         "48d51'24.00\"N", "--house-system", "Placidus", "--ephemeris", "low"};
        args.insert(args.end(), extra.begin(), extra.end());
        return chart(args);
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
            // A warning, not a computation error: the chart is printed and the run succeeds.
            const std::vector<Message> warnings = {
                {"Cannot compute Sun rise and set (" + std::string(r.reason) + ")", "Warning", MessageIcon::Warning},
                {"The Sun does not rise or set on this day here; the chart is printed without them.", "Warning",
                 MessageIcon::Warning}};
            EXPECT_NE(std::search(out.messages.begin(), out.messages.end(), warnings.begin(), warnings.end()),
                      out.messages.end());
            for (const auto& m : out.messages) EXPECT_NE(m.caption, "Computation error") << m.text;
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

    // Every other date a command reads is refused the same way when its month has no such day.
    const std::string no_day = "2023-02-31 12:00:00";
    const std::string private_dir = (m_dir / "private").string();
    const std::vector<std::string> birth = {"--name", "S", "--ut", noon, "--lon", paris_lon, "--lat", paris_lat};
    struct DateRefusal {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string said = "Not a valid date. " + no_day + ": the month has no such day";
    const DateRefusal date_refusals[] = {
        {{"chart", "--ephemeris", "low", "--wheel", (m_dir / "w.png").string(), "--outside-ut", no_day}, said},
        {{"dasa", "--ephemeris", "low", "--from", no_day}, str(Str::DasaBadFrom) + no_day},
        {{"calc", "star", "Aldebaran", "--ut", no_day}, said},
        {{"calc", "positions", "--ut", no_day, "--ephemeris", "low"}, said},
        {{"calc", "sidereal-time", "--ut", no_day, "--lon", paris_lon}, said},
        {{"place", "find", "--city", "Paris", "--local", no_day}, said},
    };
    for (const DateRefusal& r : date_refusals) {
        std::vector<std::string> args = {"--private-dir", private_dir};
        args.insert(args.end(), r.args.begin(), r.args.end());
        if (r.args[0] == "chart" || r.args[0] == "dasa") args.insert(args.begin() + 3, birth.begin(), birth.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        auto refused = run(args);
        EXPECT_EQ(refused.code, kExitBadInput);
        ASSERT_FALSE(refused.messages.empty());
        EXPECT_EQ(refused.messages.back().text, r.message);
    }

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
    auto with = [&](std::vector<std::string> extra) { return sample_chart(std::move(extra)); };
    const fs::path png = m_dir / "w.png";
    EXPECT_EQ(with({"--wheel", png.string()}).code, kExitOk);
    EXPECT_EQ(png_size(png), std::make_pair(800, 800));

    const fs::path transit = m_dir / "t.png";
    EXPECT_EQ(with({"--wheel", transit.string(), "--size", "640x480", "--outside-ut", "2000-01-01 12:00:00"}).code,
              kExitOk);
    EXPECT_EQ(png_size(transit), std::make_pair(640, 480));

    // A saved horoscope superposed outside (synastry), from `chart` and from `open`; a file
    // and a moment cannot both be the outside chart.
    const fs::path saved = m_dir / "saved.xml";
    ASSERT_EQ(with({"--save", saved.string()}).code, kExitOk);
    const fs::path synastry = m_dir / "s.svg";
    EXPECT_EQ(with({"--wheel", synastry.string(), "--outside", saved.string()}).code, kExitOk);
    EXPECT_TRUE(fs::file_size(synastry) > 0);
    const fs::path opened = m_dir / "o.png";
    const std::vector<std::string> open = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                           (m_dir / "horoscopes").string(), "open", saved.string(), "--ephemeris",
                                           "low", "--wheel", opened.string(), "--size", "500x400", "--outside",
                                           saved.string()};
    EXPECT_EQ(run(open).code, kExitOk);
    EXPECT_EQ(png_size(opened), std::make_pair(500, 400));
    EXPECT_NE(with({"--wheel", png.string(), "--outside", saved.string(), "--outside-ut", "2000-01-01 12:00:00"}).code,
              kExitOk);
    auto missing = with({"--wheel", png.string(), "--outside", (m_dir / "none.xml").string()});
    EXPECT_EQ(missing.code, kExitFailure);
    ASSERT_FALSE(missing.messages.empty());
    EXPECT_EQ(missing.messages.back().caption, "Cannot open horoscope file:");

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

std::string file_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// --report writes the results report as "Convert to" would: the extension and --format decide.
TEST_F(CliChart, ReportFiles) {
    auto with = [&](std::vector<std::string> extra) { return sample_chart(std::move(extra)); };
    struct Row {
        const char* name;
        const char* format;  // null: none given
        const char* written;
        const char* begins;
    };
    const Row rows[] = {
        {"r.html", nullptr, "r.html", "<HTML><HEAD><style> td {color:"},
        {"r.rtf", nullptr, "r.rtf", "{\\rtf1\\ansi"},
        {"w", "rtf-word", "w.rtf", "{\\rtf1\\ansi"},
        {"d.txt", "dos-txt", "d.txt", "Sample\r\nBirth Date Hour Local: "},
        {"u.txt", nullptr, "u.txt", "Sample\nBirth Date Hour Local: "},
    };
    const std::string printed = with({}).out;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<std::string> extra = {"--report", (m_dir / r.name).string()};
        if (r.format) extra.insert(extra.end(), {"--format", r.format});
        auto out = with(extra);
        ASSERT_EQ(out.code, kExitOk);
        EXPECT_EQ(out.out, "");  // the report goes to its file only
        const std::string written = file_text(m_dir / r.written);
        EXPECT_EQ(written.rfind(r.begins, 0), 0u) << written.substr(0, 80);
        if (std::string(r.written) == "u.txt") {
            EXPECT_EQ(written, printed);  // what chart prints
        }
        if (std::string(r.format ? r.format : "") == "rtf-word") {
            EXPECT_NE(written.find("\\cellx"), std::string::npos);
        }
    }
    // An existing file is replaced only after the question (taken as yes without a terminal).
    auto again = with({"--report", (m_dir / "r.html").string()});
    EXPECT_EQ(again.code, kExitOk);
    ASSERT_FALSE(again.messages.empty());
    EXPECT_EQ(again.messages.back().text, "File " + (m_dir / "r.html").string() + " exits, overwrite?");
    EXPECT_EQ(again.messages.back().caption, "Confirmation");

    auto unwritable = with({"--report", (m_dir / "missing-dir" / "r.txt").string()});
    EXPECT_EQ(unwritable.code, kExitFailure);
    ASSERT_FALSE(unwritable.messages.empty());
    EXPECT_EQ(unwritable.messages.back().text, "Cannot create file!");
}

// --sections and --no-stars choose the sections printed, as text and as JSON, and written by
// --report; a command that writes files prints the chart only when asked.
TEST_F(CliChart, SectionsChooseWhatIsPrinted) {
    const std::string stars = "\nAzimuth and elevation of stars", positions = "\nMovable longitudes and latitudes";
    const std::string png = (m_dir / "w.png").string(), txt = (m_dir / "r.txt").string();
    struct Row {
        std::vector<std::string> args;
        std::vector<std::string> shown, hidden;  // texts printed (or, with --report, written) and not
    };
    const Row rows[] = {
        {{}, {"Birth Date Hour Local", positions, "\nLunation\n", stars}, {}},
        {{"--sections", "positions, houses"}, {positions, "\nPLACIDUS\n"}, {"Birth Date Hour Local", "\nLunation\n", stars}},
        {{"--no-stars"}, {"Birth Date Hour Local", "\nAzimuth and elevation of planets"}, {stars}},
        {{"--json", "--sections", "birth,stars"}, {"\"star_horizon\"", "\"person\""}, {"\"positions\"", "\"hindu\""}},
        {{"--json", "--no-stars"}, {"\"positions\"", "\"ashtakavarga\""}, {"\"star_horizon\"", "\"stars\""}},
        {{"--wheel", png}, {}, {"Birth Date Hour Local"}},
        {{"--wheel", png, "--print"}, {"Birth Date Hour Local", stars}, {}},
        {{"--save", (m_dir / "s.xml").string(), "--sections", "sun"}, {"\nLunation\n"}, {positions}},
        {{"--report", txt, "--sections", "hindu"}, {"\nSubdivisions array\n"}, {positions, stars}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.args));
        auto out = sample_chart(r.args);
        ASSERT_EQ(out.code, kExitOk);
        const std::string seen = !r.args.empty() && r.args.front() == "--report" ? file_text(txt) : out.out;
        for (const std::string& s : r.shown) EXPECT_NE(seen.find(s), std::string::npos) << s;
        for (const std::string& s : r.hidden) EXPECT_EQ(seen.find(s), std::string::npos) << s;
        if (r.shown.empty()) {
            EXPECT_EQ(out.out, "");
            EXPECT_EQ(out.err, "Wheel written to " + png + "\n");  // what was written, in one line
        }
    }
    auto bad = sample_chart({"--sections", "positions,planets"});
    EXPECT_EQ(bad.code, kExitBadInput);
    ASSERT_EQ(bad.messages.size(), 1u);
    EXPECT_EQ(bad.messages[0].text, "Unknown report section (birth, positions, houses, sun, strengths, hindu, "
                                    "ashtakavarga, horizon, stars): planets");
}

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
