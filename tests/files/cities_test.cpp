// Find city and Find correction over small hand-made atlas trees, and one search in the
// generated world atlas when it is there.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "atlas_tree.h"
#include "core/date_hour.h"
#include "files/cities.h"
#include "common/test_dates.h"

namespace tellurim {
namespace {

using testing::TempTree;

DateHour at(std::string_view text) { return test_date(text); }

CorrectionRecord record(const char* begin, const char* end, double hours, const char* description) {
    return {at(begin), at(end), AngleValue::hours(hours), description};
}

BirthPlace place(const char* city, const char* county, double lon_deg, double lat_deg, std::int32_t tz) {
    return {city, county, AngleValue::degrees(lon_deg, kFormatEastWest), AngleValue::degrees(lat_deg, kFormatNorthSouth),
            tz};
}

// countries/
//   dircountries.pra
//   US/District of Columbia/{lonlat.pra, Z1.pra}   (the default state of "USA" by alias)
//   US/Georgia/lonlat.pra                           (a state named like a country)
//   Georgia/lonlat.pra
//   France/{lonlat.pra, Z2.pra}
//   Brazil/{lonlat.pra, Z3.pra}
//   Broken/lonlat.pra (295 bytes), Empty/ (no city file)
class CitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.index({
            {"United States", "US", ""},
            {"USA", "US", ""},
            {"District of Columbia", "District of Columbia", "USA"},
            {"Georgia", "Georgia", ""},
            {"France", "France", ""},
            {"Brazil", "Brazil", ""},
            {"Broken", "Broken", ""},
            {"Empty", "Empty", ""},
            {"Ile-de-France", "Ile-de-France", ""},
        });
        tree.cities("US/District of Columbia", {place("Washington", "", -77.036, 38.895, 1)});
        tree.corrections("US/District of Columbia/Z1.pra",
                         {record("1883-11-18 12:03:58 GD", "2100-12-31 23:59:59 GD", 5.0, "America/New_York EST")});
        tree.cities("US/Georgia", {place("Atlanta", "Fulton County", -84.388, 33.749, 1)});
        tree.cities("Georgia", {place("Tbilisi", "", 44.834, 41.694, 4)});
        tree.cities("France", {
            place("Saint-Denis", "Seine-Saint-Denis", 2.354, 48.936, 2),
            place("Saint-Denis", "La Réunion", 55.448, -20.882, 9),
            place("Paris", "Paris", 2.349, 48.853, 2),
            place("Gmünd", "", 15.0, 48.77, 2),
        });
        tree.cities("France/Ile-de-France", {place("Paris", "Paris", 2.349, 48.853, 2)});
        tree.corrections("France/Z2.pra", {
            record("-4712-01-01 12:00:00 JD", "1891-03-15 00:01:00 GD", kLocalMeanTimeMarker, "Europe/Paris LMT"),
            record("1891-03-15 00:01:00 GD", "2000-01-01 00:00:00 GD", -1.0, "Europe/Paris CET"),
            record("2000-01-01 00:00:00 GD", "2100-12-31 00:00:00 GD", -2.0, "Europe/Paris CEST"),
        });
        tree.cities("Brazil", {place("São Paulo", "", -46.636, -23.548, 3), place("Nowhere Zone", "", -50.0, -20.0, 8)});
        tree.corrections("Brazil/Z3.pra", {record("2000-01-01 00:00:00 GD", "2000-12-31 00:00:00 GD", 0.0, "Test UTC")});
        tree.write("Broken/lonlat.pra", std::vector<std::uint8_t>(kBirthPlaceSize - 1, 0));
        std::filesystem::create_directories(tree.path("Empty"));
        atlas = {tree.path(), "USA"};
    }

    // An expected text with its "@" standing for the countries directory.
    std::string in_tree(std::string text) const {
        if (auto at_sign = text.find('@'); at_sign != std::string::npos) text.replace(at_sign, 1, tree.path());
        return text;
    }

    TempTree tree;
    AtlasSettings atlas;
    NameCollator names;
};

struct FindCase {
    const char* label;
    const char* country;
    const char* state;
    const char* county;
    const char* city;
    bool ok;
    std::string feedback;  // exact; "@" stands for the countries directory
    const char* city_out;
    const char* county_out;
    const char* state_out;
    const char* country_out;
};

TEST_F(CitiesTest, FindCityFeedbackAndSpellings) {
    const FindCase cases[] = {
        {"lower case city, default country, state from the alias", "", "", "", "washington", true,
         "Ok, city found.( find in  )\r\n ", "Washington", "", "District of Columbia", "USA"},
        {"accents ignored", "brazil", "", "", "Sao Paulo", true, "Ok, city found.( find in  )\r\n ", "São Paulo", "",
         "", "brazil"},
        {"empty county takes the first in file order", "France", "", "", "saint denis", true,
         "Ok, city found.( find in Seine-Saint-Denis )\r\n ", "Saint-Denis", "Seine-Saint-Denis", "", "France"},
        {"county picks the second", "France", "", "la reunion", "Saint-Denis", true,
         "Ok, city found.( find in La Réunion )\r\n ", "Saint-Denis", "La Réunion", "", "France"},
        {"county matching neither", "France", "", "Nord", "Saint-Denis", false,
         "City found, but not in the given county.( find in Seine-Saint-Denis )\r\n"
         "City found, but not in the given county.( find in La Réunion )\r\n"
         "City not found.",
         "Saint-Denis", "Nord", "", "France"},
        {"Georgia the country", "Georgia", "", "", "Tbilisi", true, "Ok, city found.( find in  )\r\n ", "Tbilisi", "",
         "", "Georgia"},
        {"Georgia the US state", "United States", "Georgia", "", "Atlanta", true,
         "Ok, city found.( find in Fulton County )\r\n ", "Atlanta", "Fulton County", "Georgia", "United States"},
        {"unknown country", "Atlantis", "", "", "Paris", false, "Country not found.", "Paris", "", "", "Atlantis"},
        {"unknown state", "France", "Texas", "", "Paris", false, "State not found.", "Paris", "", "Texas", "France"},
        {"a state of another country", "France", "Georgia", "", "Paris", false,
         "State not found. Georgia is not a state of France.", "Paris", "", "Georgia", "France"},
        {"unknown city", "France", "", "", "Lyon", false, "City not found.", "Lyon", "", "", "France"},
        {"invalid city file", "Broken", "", "", "Paris", false, "Error with cities file.", "Paris", "", "", "Broken"},
        {"missing city file", "Empty", "", "", "Paris", false, "Cities file not found. @/Empty/lonlat.pra", "Paris", "",
         "", "Empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CityQuery q;
        q.country = c.country;
        q.state = c.state;
        q.county = c.county;
        q.city = c.city;
        EXPECT_EQ(find_city(q, atlas, false, names), c.ok);
        const std::string feedback = in_tree(c.feedback);
        EXPECT_EQ(q.feedback, feedback);
        // A failure of one step is its own cause; the cause never repeats "Ok, city found.".
        if (!c.ok && feedback.find("\r\n") == std::string::npos) {
            EXPECT_EQ(q.cause, feedback);
        }
        EXPECT_EQ(q.city, c.city_out);
        EXPECT_EQ(q.county, c.county_out);
        EXPECT_EQ(q.state, c.state_out);
        EXPECT_EQ(q.country, c.country_out);
        EXPECT_TRUE(q.date_hour.empty());
    }
}

TEST_F(CitiesTest, FoundPlaceTexts) {
    CityQuery q;
    q.country = "France";
    q.city = "Paris";
    ASSERT_TRUE(find_city(q, atlas, false, names));
    EXPECT_EQ(q.longitude, "2d20'56.40\"E");
    EXPECT_EQ(q.latitude, "48d51'10.80\"N");
    EXPECT_EQ(q.time_zone, 2);
    EXPECT_FALSE(q.universal);
    // Found in the country's file, the place lies in the state whose file holds it; a place of
    // no state's file has none.
    EXPECT_EQ(state_of_place(tree.path("France"), q.place, atlas), "Ile-de-France");
    EXPECT_EQ(state_of_place(tree.path("France"), place("Gmünd", "", 15.0, 48.77, 2), atlas), "");
}

TEST_F(CitiesTest, MissingIndex) {
    AtlasSettings nowhere{tree.path("nothing-here"), "USA"};
    CityQuery q;
    q.city = "Paris";
    EXPECT_FALSE(find_city(q, nowhere, false, names));
    EXPECT_EQ(q.feedback, "Cannot open file: " + tree.path("nothing-here") + "/dircountries.pra");
}

struct CorrectionCase {
    const char* label;
    const char* country;
    const char* city;
    const char* local;
    bool ok;
    const char* universal;  // "" when no correction was found
    std::string feedback;   // after the "Ok, city found." line; "@" stands for the countries directory
};

TEST_F(CitiesTest, FindCityWithCorrection) {
    const std::string ok_paris = "Ok, city found.( find in Paris )\r\n ";
    const CorrectionCase cases[] = {
        {"standard offset", "France", "Paris", "1944-06-06 08:00:00", true, "1944-06-06 07:00:00.00 GD",
         "Ok, correction found.\r\nEurope/Paris CET"},
        {"local mean time at 15 degrees east", "France", "Gmünd", "1850-03-01 12:00:00", true,
         "1850-03-01 11:00:00.00 GD", "Ok, correction found.\r\nEurope/Paris LMT"},
        {"the first record wins at a shared boundary", "France", "Paris", "2000-01-01 00:00:00", true,
         "1999-12-31 23:00:00.00 GD",
         "Ok, correction found.\r\nEurope/Paris CET\r\n"
         "Warning! Date is near a time change boundary. Carefully check the given correction please."},
        {"one day after the begin warns", "Brazil", "São Paulo", "2000-01-02 00:00:00", true,
         "2000-01-02 00:00:00.00 GD",
         "Ok, correction found.\r\nTest UTC\r\n"
         "Warning! Date is near a time change boundary. Carefully check the given correction please."},
        {"a day and a half after the begin does not", "Brazil", "São Paulo", "2000-01-02 12:00:00", true,
         "2000-01-02 12:00:00.00 GD", "Ok, correction found.\r\nTest UTC"},
        {"one day before the end warns", "Brazil", "São Paulo", "2000-12-30 00:00:00", true,
         "2000-12-30 00:00:00.00 GD",
         "Ok, correction found.\r\nTest UTC\r\n"
         "Warning! Date is near a time change boundary. Carefully check the given correction please."},
        {"no record holds the date", "Brazil", "São Paulo", "1999-06-01 12:00:00", true, "",
         "Cannot find correction."},
        {"correction file missing", "Brazil", "Nowhere Zone", "2000-06-01 12:00:00", false, "2000-06-01 12:00:00",
         "Time zones file not found. @/Brazil/Z8.pra"},
        {"date text refused", "France", "Paris", "2000-13-01 12:00:00", false, "2000-13-01 12:00:00",
         "out of range month"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CityQuery q;
        q.country = c.country;
        q.city = c.city;
        q.date_hour = c.local;
        EXPECT_EQ(find_city(q, atlas, true, names), c.ok);
        EXPECT_EQ(q.date_hour, c.universal);
        const std::string feedback = in_tree(c.feedback);
        ASSERT_EQ(q.feedback.substr(0, q.feedback.find("\r\n ") + 3).rfind("Ok, city found.", 0), 0u);
        EXPECT_EQ(q.feedback.substr(q.feedback.find("\r\n ") + 3), feedback);
    }
}

// The cause is what a command tells alone: the failing correction step without the
// "Ok, city found." that comes before it in the feedback, and the missing correction of a
// successful search. The causes of the city search itself are checked with its feedback.
TEST_F(CitiesTest, CauseNamesTheFailingStepAlone) {
    struct Row {
        const char* label;
        const char* country;
        const char* city;
        const char* local;
        bool ok;
        std::string cause;  // "@" stands for the countries directory
    } rows[] = {
        {"found", "France", "Paris", "1944-06-06 08:00:00", true, ""},
        {"correction file missing", "Brazil", "Nowhere Zone", "2000-06-01 12:00:00", false,
         "Time zones file not found. @/Brazil/Z8.pra"},
        {"date past the last record", "Brazil", "São Paulo", "2001-06-01 12:00:00", true,
         "Cannot find correction. No record of the time zones file @/Brazil/Z3.pra holds 2001-06-01 12:00:00.00 GD "
         "(its records cover 2000-01-01 00:00:00.00 GD to 2000-12-31 00:00:00.00 GD)."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.label);
        CityQuery q;
        q.country = r.country;
        q.city = r.city;
        q.date_hour = r.local;
        EXPECT_EQ(find_city(q, atlas, true, names), r.ok);
        EXPECT_EQ(q.cause, in_tree(r.cause));
    }
}

// A FIFO where a data file is expected is refused like a missing file instead of blocking the
// search until a writer comes.
TEST_F(CitiesTest, FifoIsRefusedLikeAMissingFile) {
    std::filesystem::create_directories(tree.path("Fifo"));
    ASSERT_EQ(::mkfifo(tree.path("Fifo/lonlat.pra").c_str(), 0600), 0);
    TempTree other;
    ASSERT_EQ(::mkfifo(other.path(kDirCountriesFile).c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(tree.path("France/Z7.pra").c_str(), 0600), 0);
    tree.index({{"Fifo", "Fifo", ""}, {"France", "France", ""}});

    CityQuery q;
    q.country = "Fifo";
    q.city = "Paris";
    EXPECT_FALSE(find_city(q, atlas, false, names));
    EXPECT_EQ(q.feedback, "Cities file not found. " + tree.path("Fifo/lonlat.pra"));

    CityQuery q2;
    q2.city = "Paris";
    EXPECT_FALSE(find_city(q2, AtlasSettings{other.path(), "USA"}, false, names));
    EXPECT_EQ(q2.feedback, "Cannot open file: " + other.path(kDirCountriesFile));

    DateHour d = at("2000-06-01 12:00:00");
    CorrectionResult r = find_correction(d, tree.path("France/Z7.pra"), place("Paris", "", 2.3, 48.8, 7));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.feedback, "Time zones file not found. " + tree.path("France/Z7.pra"));
}

TEST_F(CitiesTest, LocalMeanTimeNeedsALongitude) {
    DateHour d = at("1850-03-01 12:00:00");
    BirthPlace p = place("Nowhere", "", 0, 0, 2);
    p.longitude = AngleValue::not_available();
    CorrectionResult r = find_correction(d, tree.path("France/Z2.pra"), p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.feedback, "Cannot compute UT time because longitude is not known and correction is local hour");
    EXPECT_EQ(format_date_hour(d), "1850-03-01 12:00:00.00 GD");
}

TEST_F(CitiesTest, InvalidCorrectionFileIsNotUsed) {
    tree.write("France/Z5.pra", std::vector<std::uint8_t>(kCorrectionRecordSize - 1, 0));
    DateHour d = at("2000-06-01 12:00:00");
    CorrectionResult r = find_correction(d, tree.path("France/Z5.pra"), place("Paris", "", 2.3, 48.8, 5));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.feedback, "Time zones file not found. " + tree.path("France/Z5.pra"));
}

// The generated atlas (tools/data.d/30-atlas.sh); skipped when it has not been built.
class WorldAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        // the source tree's data/, next to tests/
        dir = (std::filesystem::path(TELLURIM_TEST_DATA_DIR).parent_path().parent_path() / "data" / "countries").string();
        if (!std::filesystem::exists(dir + "/dircountries.pra")) GTEST_SKIP() << "no generated atlas in " << dir;
    }
    std::string dir;
    NameCollator names;
};

struct WorldCase {
    const char* country;
    const char* state;
    const char* city;
    const char* local;
    const char* universal;
    const char* city_out;
};

TEST_F(WorldAtlasTest, LegalToUniversal) {
    const WorldCase cases[] = {
        // France kept German summer time (UTC+2) until the autumn of 1944.
        {"France", "", "Paris", "1944-06-06 08:00:00", "1944-06-06 06:00:00.00 GD", "Paris"},
        // The options' defaults: country "USA", state "District of Columbia".
        {"USA", "District of Columbia", "washington", "2024-07-04 12:00:00", "2024-07-04 16:00:00.00 GD",
         "Washington"},
        {"", "", "Washington", "2024-01-15 12:00:00", "2024-01-15 17:00:00.00 GD", "Washington"},
        {"Georgia", "", "Tbilisi", "2024-01-15 12:00:00", "2024-01-15 08:00:00.00 GD", "Tbilisi"},
        {"United States", "Georgia", "Atlanta", "2024-01-15 12:00:00", "2024-01-15 17:00:00.00 GD", "Atlanta"},
        {"Brazil", "", "sao paulo", "2024-01-15 12:00:00", "2024-01-15 15:00:00.00 GD", "São Paulo"},
        // India: Indian Standard Time since 1955.
        {"India", "", "Mumbai", "2000-01-01 05:30:00", "2000-01-01 00:00:00.00 GD", "Mumbai"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.country) + " / " + c.city);
        CityQuery q;
        q.country = c.country;
        q.state = c.state;
        q.city = c.city;
        q.date_hour = c.local;
        ASSERT_TRUE(find_city(q, {dir, "USA"}, true, names)) << q.feedback;
        EXPECT_EQ(q.date_hour, c.universal);
        EXPECT_EQ(q.city, c.city_out);
    }
}

}  // namespace
}  // namespace tellurim
