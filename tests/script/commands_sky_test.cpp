// The commands on time, lunations, angles, Hindu analysis, fixed stars and the run's settings,
// in an interpreter that holds the sample chart of `make run`: each call's code and exact
// result or message. The chart's values are the ones `tellurim chart --ephemeris low --json`
// prints for the same birth.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/sample_script_run.h"
#include "script/script_commands.h"

namespace tellurim {
namespace {

using testing_data::SampleScriptRun;

struct Row {
    const char* script;
    int code;
    const char* result;
};

void run_rows(SampleScriptRun& run, std::initializer_list<Row> rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE(r.script);
        const auto [code, result] = run.eval(r.script);
        EXPECT_EQ(code, r.code);
        EXPECT_EQ(result, r.result);
    }
}

class SkyCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_run.ready()) GTEST_SKIP() << "libephlow.so not built";
    }
    SampleScriptRun m_run{std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra"};
};

// Every command of the group with a word count of its own answers a wrong count with its
// usage message (the commands that join their words are in the table below).
TEST_F(SkyCommands, WrongCountGivesTheUsage) {
    const auto all = script_command_reference();
    auto first = std::find_if(all.begin(), all.end(), [](const auto& c) { return c.name == "SunRiseUT"; });
    ASSERT_NE(first, all.end());
    const auto last = std::find_if(first, all.end(), [](const auto& c) { return c.name == "GetBackgroundColor"; });
    ASSERT_NE(last, all.end());
    for (auto c = first; c != last + 1; ++c) {
        if (c->usage.empty() || c->name == "DateUT2JD" || c->name == "SiderealTime" || c->name == "SetZeroDateUT")
            continue;
        SCOPED_TRACE(std::string(c->name));
        const auto [code, result] = m_run.eval(std::string(c->name) + " 0 0 0 0 0 0 0 0 0 0");
        EXPECT_EQ(code, TCL_ERROR);
        EXPECT_EQ(result, c->usage);
    }
}

TEST_F(SkyCommands, Values) {
    run_rows(m_run, {
        // time, lunations and lords of time, as the chart prints them
        {"SunRiseUT", TCL_OK, "1944-06-06 03:54:59.66 GD"},
        {"SunSetUT", TCL_OK, "1944-06-06 19:43:35.89 GD"},
        {"FirstNewMoonUT", TCL_OK, "1944-05-22 06:12:27.60 GD"},
        {"FirstQuarterUT", TCL_OK, "1944-05-30 00:06:22.76 GD"},
        {"FullMoonUT", TCL_OK, "1944-06-06 18:57:39.58 GD"},
        {"LastQuarterUT", TCL_OK, "1944-06-13 15:56:16.47 GD"},
        {"SecondNewMoonUT", TCL_OK, "1944-06-20 16:59:27.16 GD"},
        {"IsFullMoonEclipse", TCL_OK, ""},
        {"MoonDay", TCL_OK, "16"},
        {"list [YearLord] [MonthLord] [DayLord] [HourLord]", TCL_OK, "6 5 4 0"},
        {"format %.6f [R2D [Ayanamsa]]", TCL_OK, "28.892818"},
        {"format %.5f [expr {[SiderealTime] * 12 / acos(-1)}]", TCL_OK, "23.12524"},
        {"format %.6f [R2D [EpsilonAngleEOD]]", TCL_OK, "23.446517"},
        // dates and Julian days
        {"DateUT2JD 01/01/2000 12h00'00\"", TCL_OK, "2451545.0"},
        {"DateUT2JD 10/04/1582", TCL_OK, "2299159.5"},
        {"DateUT2JD -ET", TCL_ERROR, "***Error*** Usage: DateUT2JD [-ET] MM/DD/YYYY HHhMM'SS\" "},
        {"DateUT2JD 2000-01-01", TCL_ERROR, "***Error*** DateUT2JD can't get date "},
        {"DateUT2JD 13/01/2000", TCL_ERROR, "***Error*** DateUT2JD can't get date "},
        {"JD2UTDate 2451545.0 -UT", TCL_OK, "2000-01-01 12:00:00.00 GD"},
        {"JD2UTDate 2299160.0 -UT", TCL_OK, "1582-10-04 12:00:00.00 JD"},
        {"JD2UTDate x -UT", TCL_ERROR, "*** Error JD2UTDate *** errror parsing jd first argument "},
        {"JD2UTDate 2451545 UT", TCL_ERROR, "*** Error JD2UTDate *** errror parsing second argument "},
        {"JD2UTDate 1e300 -UT", TCL_ERROR, "***Error*** JD2UTDate can't translate date to string. "},
        {"format %.2f [R2D [Ayanamsa 2451544.5 [ZeroJDET]]]", TCL_OK, "29.67"},
        {"Ayanamsa [ZeroJDET] [ZeroJDET]", TCL_OK, "0.0"},
        {"Ayanamsa 1", TCL_ERROR, "***Error*** Usage: Ayanamsa [jd_et jd_zero_et] "},
        {"Ayanamsa Inf 0", TCL_ERROR, "***Error*** Ayanamsa : cannot compute ayanamsa value "},
        {"string range [JD2UTDate [Aya2JDET [D2R 30]] -ET] 0 3", TCL_OK, "2023"},
        {"Aya2JDET 4", TCL_ERROR, "***Error*** Aya2JDET: cannot compute year from ayanamsa value "},
        {"format %.4f [R2D [SiderealTime 2000-01-01 00:00:00 -place_longitude 0d00'00\"E]]", TCL_OK, "99.9678"},
        {"SiderealTime 2000-01-01", TCL_ERROR,
         "*** Error *** Usage: SiderealTime [YYYY-MM-DD HH:MM:SS -place_longitude HHhMM'SS\" E/W] "},
        {"EpsilonAngleEOD -date", TCL_ERROR, "*** Error *** EpsilonAngleEOD missing date "},
        {"EpsilonAngleEOD -date 2000-13-01", TCL_ERROR, "*** Error *** EpsilonAngleEOD date is not valid "},
        // the Naibod key: one year of life for each degree of the Sun's mean motion
        {"format %.7f [R2D [MeanRASunSpeed]]", TCL_OK, "0.9856474"},
        {"PrimaryDirection 1 0 1 0 0.8 1 0.4 0.017", TCL_OK, "0.0"},
        {"PrimaryDirection 7 0 1 0 0.8 1 0.4 0.017", TCL_ERROR,
         "*** Error *** PrimaryDirection: longitudeA must by between [0, 2Pi["},
        {"PrimaryDirection 1 0 1 0 0.8 1 0 0.017", TCL_ERROR,
         "*** Error *** PrimaryDirection: epsilon_rads must be as a mininum between ]0, Pi/2["},
        {"PrimaryDirection 1 0 1 0 0.8 1 x 0.017", TCL_ERROR, "***Error*** : must by a number "},
        // angles
        {"D2R 180", TCL_OK, "3.141592653589793"},
        {"R2D x", TCL_ERROR, "***Error*** : must by a number "},
        {"list [ToZ360 -30] [ToZ360 720]", TCL_OK, "330.0 0.0"},
        {"FormatSignLongitude -0.25", TCL_OK, "29d45'00.00\" Pisces"},
        // Hindu analysis of the sample chart
        {"list [HAspectedBy 0 1 -rasi] [HAspectedBy 0 2 -rasi]", TCL_OK, "1 0"},
        {"HAspectedBy 0 18 -rasi", TCL_ERROR, "*** Error *** Bad number of planet "},
        {"HAspectedBy 0 1 -rasi -nav", TCL_ERROR, "***Error***\"HAspectedBy\": -rasi and -nav cannot be both specified."},
        {"HAspectedBy 0 1 -mov", TCL_ERROR, "***Error***\"HAspectedBy\": bad argument -mov"},
        {"list [HFriendShip 0 3 -rasi] [HFriendShip 0 6 -nav] [HFriendShip 0 0 -rasi]", TCL_OK, "-2 -2 3"},
        {"HFriendShip -1 0 -rasi", TCL_ERROR, "*** Error HFriendShip *** Bad number of planet "},
        {"list [HQualityOfPlanet 0 0] [HQualityOfPlanet 0 1] [HQualityOfPlanet 0 2] [HQualityOfPlanet 0 18]", TCL_OK,
         "1 2 -2 99"},
        {"HQualityOfPlanet 0 19", TCL_ERROR, "***Error*** : bad number of crosschecking "},
        {"list [HQualityOfAspect 0 1 0] [HQualityOfAspect 6 1 0] [HQualityOfAspect 0 6 0]", TCL_OK, "0 -1 99"},
        {"format %.4f [StrengthOfPlanet 0]", TCL_OK, "500.0954"},
        {"StrengthOfPlanet 7", TCL_ERROR, "***Error*** : bad number of planet "},
        {"format %.4f [StrengthOfHouse 1]", TCL_OK, "495.7415"},
        {"StrengthOfHouse 13", TCL_ERROR, "***Error*** : bad number of house "},
        {"format %.4f [GetKalaBala 1]", TCL_OK, "196.9041"},
        {"list [NumberOfBindus 4 0 -BR] [NumberOfBindus 4 0 -AR] [NumberOfBindus 3 5 -BR]", TCL_OK, "6 2 7"},
        {"NumberOfBindus 12 0 -BR", TCL_ERROR, "Error: NumberOfBindus: first argument nsign must be from 0 to 11 "},
        {"NumberOfBindus 0 7 -BR", TCL_ERROR,
         "Error: NumberOfBindus: second argument nashtaka must be from 0 to 6, Sun to Saturn "},
        {"NumberOfBindus 0 0 BR", TCL_ERROR, "Error: NumberOfBindus: third argument must be -BR or -AR "},
        // fixed stars: the Sun's closest stars, as the chart lists them
        {"NameOfStar [StarConjunctionWith 0 1.5]", TCL_OK, "2 Cam"},
        {"NameOfStar [IdStar2Num [IdStarConjunctionWithPlanet 0 1 1.5]]", TCL_OK, "Batentaban Borealis"},
        {"StarConjunctionWith 0 0.001", TCL_OK, "-1"},
        {"StarConjunctionWith 15 1", TCL_ERROR, "Error: StarConjunctionWith: first argument nplanet must be from 0 to 14"},
        {"IdStarConjunctionWithPlanet 0 99 1.5", TCL_ERROR,
         "Error: IdStarConjunctionWithPlanet: second argument star position is out of range"},
        {"NameOfStar [GetStarsCount]", TCL_ERROR, "***Error*** : NameOfStar cannot read record, out of range"},
        {"IdStar2Num -5", TCL_ERROR, "***Error*** : IdStar2Num cannot read record"},
    });
}

// Settings commands change the run's copy of the options and nothing else.
TEST_F(SkyCommands, Settings) {
    const Options before = m_run.context.options;
    run_rows(m_run, {
        {"list [GetAstroType] [isSHSD] [isHouseCuspCenter] [GetFortunDayNight] [FillSignsOption]", TCL_OK, "1 0 0 0 1"},
        {"SetAstroType 0; SetSHSD 1; SetHouseCuspCenter -true; SetFortunDayNight 1", TCL_OK, ""},
        {"list [GetAstroType] [isSHSD] [isHouseCuspCenter] [GetFortunDayNight]", TCL_OK, "0 1 1 1"},
        {"SetAstroType 2", TCL_ERROR,
         "***Error*** : bad astotype number must be 0 for fixed astrolgie and 1 for movable astrology "},
        {"SetSHSD x", TCL_ERROR, "***Error*** : must by a number "},
        {"SetHouseCuspCenter true", TCL_ERROR, "***Error**** SetHouseCuspCenter: first parameter must be -true or -false "},
        {"GetZeroDateUT", TCL_OK, "-134-02-03 12:00:00.00 JD"},
        {"SetZeroDateUT 222-03-13 15:19:32.89 JD; GetZeroDateUT", TCL_OK, "0222-03-13 15:19:32.89 JD"},
        {"SetZeroDateUT { }", TCL_ERROR, "***Error*** : cannot read date_hour_stringr "},
        {"SetZeroDateUT 2000-02-30x", TCL_ERROR, "***Error*** : bad date_hour_string "},
        {"SetHousesDomification Campanus; GetHousesDomification", TCL_OK, "Campanus"},
        {"SetHousesDomification placidus", TCL_ERROR, "***Error**** SetHousesDomification : unknown domification"},
        // the current horoscope keeps the house system it was computed with
        {"list [TypeOfHouse] [TypeOfHouse -name]", TCL_OK, "4 Placidus"},
        {"TypeOfHouse name", TCL_ERROR, "***Error*** Usage: TypeOfHouse [-name] "},
        {"GetHoroscopeDirectory", TCL_OK, "/tmp/horoscopes"},
        {"concat [GetSignColor 0] [GetSignColor 0 -pseudoAlpha] [GetPenColor] [GetBackgroundColor]", TCL_OK,
         "#FF5555 #FFBCBC #000000 #FFFFFF"},
        {"GetSignColor 12", TCL_ERROR, "***Error*** GetSignColor : bad nSign argument, must be in [0,12["},
        {"GetSignColor 0 -alpha", TCL_ERROR, "***Error*** Usage: GetSignColor nSign [-pseudoAlpha] "},
        {"GetPlanetColor 0 12 -pen", TCL_ERROR, "***Error*** GetPlanetColor : bad nSign argument, must be in [0,12["},
        {"GetPlanetColor 18 0 -pen", TCL_ERROR, "***Error*** : bad number of planet "},
        {"GetPlanetColor 0 0 -pen retro", TCL_ERROR,
         "***Error*** Usage: GetPlanetColor nPlanet nSign {-pen | -brush}  [-retro]"},
    });
    Options changed = before;
    changed.astro.zodiac_movable = 0;
    changed.astro.same_direction = 1;
    changed.astro.house_cusp_center = 1;
    changed.astro.fortune_day_night = 1;
    changed.astro.zero_date = parse_date_hour("222-03-13 15:19:32.89 JD").value;
    changed.astro.house_system = 0;
    EXPECT_TRUE(m_run.context.options == changed);
    EXPECT_EQ(m_run.context.current_horoscope()->options.astro.house_system, 4);
}

// Without a current horoscope the commands that read one say so first, whatever their words.
TEST_F(SkyCommands, NoHoroscope) {
    m_run.context.current = -1;
    run_rows(m_run, {
        {"SunRiseUT x", TCL_ERROR, "***Error*** No horoscope avalaible "},
        {"Ayanamsa", TCL_ERROR, "***Error*** No horoscope avalaible "},
        {"NumberOfBindus", TCL_ERROR, "***Error*** No horoscope avalaible "},
        {"StarConjunctionWith 0 1", TCL_ERROR, "***Error*** No horoscope avalaible "},
        {"D2R 90", TCL_OK, "1.5707963267948966"},
    });
    m_run.context.stars = nullptr;
    run_rows(m_run, {{"GetStarsCount", TCL_ERROR, "***Error*** : Stars file not loaded in memory"}});
}

}  // namespace
}  // namespace tellurim
