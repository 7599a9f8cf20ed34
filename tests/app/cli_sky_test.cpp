// tellurim calc sidereal-time, houses and ayanamsa, run in-process with a recording message
// sink: outputs, exit statuses and the exact refusal texts.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/cli.h"
#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::CliRun;
using testing_cli::run;

const std::string kParisLon = "2d20'14.00\" E";
const std::string kParisLat = "48d51'24.00\" N";

// Astronomical Almanac: GMST on 2000 January 1, 12h UT, 18h41m50.5484s.
TEST(CliSky, SiderealTimeJson) {
    CliRun r = run({"calc", "sidereal-time", "--ut", "2000-01-01 12:00:00", "--lon", "0d00'00.00\" E", "--json"});
    ASSERT_EQ(r.code, kExitOk);
    auto j = nlohmann::json::parse(r.out);
    EXPECT_NEAR(j["lst_hours"].get<double>(), 18.0 + 41.0 / 60 + 50.5484 / 3600, 1e-6);
    EXPECT_NEAR(j["obliquity_rad"].get<double>() * 57.29577951308232 * 3600.0, 84381.448, 0.01);
}

TEST(CliSky, HousesJsonDefaultsToHinduHouses) {
    CliRun r = run({"calc", "houses", "--ut", "2000-01-01 12:00:00", "--lon", kParisLon, "--lat", kParisLat, "--json"});
    ASSERT_EQ(r.code, kExitOk);
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["system"], "HINDOUE");
    ASSERT_EQ(j["cusps_movable_deg"].size(), 12u);
    ASSERT_EQ(j["cusps_fixed_deg"].size(), 12u);
    EXPECT_EQ(j["ascendant_deg"], j["cusps_movable_deg"][0]);
    EXPECT_EQ(j["midheaven_deg"], j["cusps_movable_deg"][9]);
    EXPECT_EQ(j["zero_date"], "-134-02-03 12:00:00.00 JD");
    EXPECT_TRUE(j.contains("lst_rad"));
    EXPECT_TRUE(j.contains("obliquity_rad"));
    // The fixed cusps lie about one ayanamsa (29.67 degrees in 2000) behind the movable ones.
    double d = j["cusps_movable_deg"][0].get<double>() - j["cusps_fixed_deg"][0].get<double>();
    if (d < 0) d += 360.0;
    EXPECT_NEAR(d, 29.67, 0.1);
}

TEST(CliSky, HousesAcceptEverySystemNameAndThePole) {
    for (const char* name : {"Campanus", "ALCABITUS", "Abenragel", "Regiomontanus", "Placidus", "Hindu",
                              "MODUSAEQUALIS"}) {
        SCOPED_TRACE(name);
        CliRun r = run({"calc", "houses", "--ut", "1987-04-10 19:21:00", "--lon", "77d03'56.00\" W", "--lat",
                        "90d00'00.00\" N", "--system", name, "--json"});
        ASSERT_EQ(r.code, kExitOk);
        auto j = nlohmann::json::parse(r.out);
        for (const auto& c : j["cusps_movable_deg"]) EXPECT_TRUE(c.is_number());
    }
}

TEST(CliSky, HousesTextShowsSigns) {
    CliRun r = run({"calc", "houses", "--ut", "2000-01-01 12:00:00", "--lon", kParisLon, "--lat", kParisLat});
    ASSERT_EQ(r.code, kExitOk);
    EXPECT_NE(r.out.find("House system:        HINDOUE"), std::string::npos);
    EXPECT_NE(r.out.find("\" Capricornus"), std::string::npos);  // the Midheaven
}

TEST(CliSky, RefusedInputs) {
    struct Row { std::vector<std::string> args; std::string message; } rows[] = {
        {{"calc", "houses", "--ut", "2000-01-01", "--lon", "2d20'", "--lat", kParisLat},
         "Not a valid longitude (an east/west angle such as 2d20'14.00\" E or 05h08'08.00\" W): \"2d20'\""},
        {{"calc", "houses", "--ut", "2000-01-01", "--lon", kParisLon, "--lat", "48d E"},
         "Not a valid latitude (a north/south angle such as 48d51'24.00\" N): \"48d E\""},
        {{"calc", "houses", "--ut", "2000-01-01", "--lon", kParisLon, "--lat", "91d N"},
         "Latitude out of range (at most 90 degrees north or south): \"91d N\""},
        {{"calc", "houses", "--ut", "2000-01-01", "--lon", kParisLon, "--lat", kParisLat, "--system", "Koch"},
         "Unknown house system (Campanus, Alcabitus, Abenragel, Regiomontanus, Placidus, Hindu, ModusAequalis): "
         "\"Koch\""},
        {{"calc", "houses", "--ut", "2000-13-01", "--lon", kParisLon, "--lat", kParisLat}, "Not a valid date. out of range month"},
        {{"calc", "sidereal-time", "--ut", "2000-01-01", "--lon", "12d N"},
         "Not a valid longitude (an east/west angle such as 2d20'14.00\" E or 05h08'08.00\" W): \"12d N\""},
        {{"calc", "ayanamsa", "--et-jd", "abc"}, "Not a valid Julian day: \"abc\""},
        {{"calc", "ayanamsa", "--value", "x"}, "Not a valid ayanamsa value in degrees: \"x\""},
        {{"calc", "ayanamsa", "--value", "10", "--ut", "2000-01-01"}, "Give at most one of --et-jd, --ut and --value"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        CliRun r = run(row.args);
        EXPECT_EQ(r.code, kExitBadInput);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0].text, row.message);
    }
}

TEST(CliSky, AyanamsaOfADateAndDateOfAValue) {
    CliRun r = run({"calc", "ayanamsa", "--ut", "2000-01-01 00:00:00", "--json"});
    ASSERT_EQ(r.code, kExitOk);
    auto j = nlohmann::json::parse(r.out);
    EXPECT_NEAR(j["ayanamsa_deg"].get<double>(), 29.67, 0.005);
    EXPECT_NEAR(j["ayanamsa_rad"].get<double>() * 57.29577951308232, j["ayanamsa_deg"].get<double>(), 1e-12);
    EXPECT_TRUE(j.contains("jd_et"));
    EXPECT_TRUE(j.contains("zero_jd_et"));
    // The settings test of the zero date: the same 2000 value, and the Aquarius era in 2023.
    EXPECT_NEAR(j["ayanamsa_2000_deg"].get<double>(), j["ayanamsa_deg"].get<double>(), 1e-12);
    EXPECT_EQ(j["aquarius_era"].get<std::string>().substr(0, 5), "2023-");
    r = run({"calc", "ayanamsa", "--ut", "2000-01-01 00:00:00"});
    EXPECT_NE(r.out.find("\nAyanamsa for 2000: 29d40'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nAquarius Era: 2023-"), std::string::npos) << r.out;

    r = run({"calc", "ayanamsa", "--value", "30", "--json"});
    ASSERT_EQ(r.code, kExitOk);
    j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["date"].get<std::string>().substr(0, 5), "2023-");

    r = run({"calc", "ayanamsa", "--value", "200"});
    EXPECT_EQ(r.code, kExitFailure);

    // A preset's caption, in any case, stands for its zero date.
    const std::pair<const char*, const char*> presets[] = {{"fagan-bradley", "222-03-13 15:19:32.89 JD"},
                                                           {"Raman", "390-03-21"},
                                                           {"Default Tellurim", "-134-02-03 12:00:00.00 JD"}};
    for (const auto& [preset, date] : presets) {
        SCOPED_TRACE(preset);
        r = run({"calc", "ayanamsa", "--ut", "2000-01-01", "--zero", preset, "--json"});
        ASSERT_EQ(r.code, kExitOk);
        EXPECT_EQ(r.out, run({"calc", "ayanamsa", "--ut", "2000-01-01", "--zero", date, "--json"}).out);
    }
}

}  // namespace
}  // namespace tellurim
