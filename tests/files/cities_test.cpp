// Find city and Find correction over small hand-made atlas trees.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "atlas_tree.h"
#include "common/data_table.h"
#include "base/date_hour.h"
#include "files/cities.h"
#include "common/test_dates.h"

namespace tellurim {
namespace {

using testing::TempTree;
using testing_data::DataRow;
using testing_data::data_rows;

DateHour at(std::string_view text) { return test_date(text); }

BirthPlace place(const char* city, const char* county, double lon_deg, double lat_deg, std::int32_t tz) {
    return {city, county, AngleValue::degrees(lon_deg, kFormatEastWest), AngleValue::degrees(lat_deg, kFormatNorthSouth),
            tz};
}

// The hand-made atlas of tests/data/files/atlas.txt, and the searches listed there.
class CitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<DirectoryEntry> index;
        std::map<std::string, std::vector<BirthPlace>> cities;
        std::map<std::string, std::vector<CorrectionRecord>> corrections;
        for (const DataRow& r : data_rows("files/atlas.txt")) {
            const std::string verb = r[0].substr(0, r[0].find(' ')), first = r[0].substr(r[0].find(' ') + 1);
            if (verb == "index") index.push_back({first, r[1], r.text(2)});
            if (verb == "city") cities[first].push_back(place(r[1].c_str(), r.text(2).c_str(), r.num(3), r.num(4), r.integer(5)));
            if (verb == "correction")
                corrections[first].push_back({at(r[1]), at(r[2]), AngleValue::hours(r[3] == "lmt" ? kLocalMeanTimeMarker : r.num(3)), r[4]});
            if (verb == "broken") tree.write(first, std::vector<std::uint8_t>(kBirthPlaceSize - 1, 0));
            if (verb == "empty") std::filesystem::create_directories(tree.path(first));
            if (verb == "find" || verb == "correct" || verb == "cause") searches.push_back(r);
        }
        tree.index(index);
        for (const auto& [dir, places] : cities) tree.cities(dir, places);
        for (const auto& [file, records] : corrections) tree.corrections(file, records);
        atlas = {tree.path(), "USA"};
    }

    // A text of the table, unescaped, its "@" standing for the countries directory.
    std::string in_tree(const DataRow& r, std::size_t i) const {
        std::string text = r.text(i);
        if (auto at_sign = text.find('@'); at_sign != std::string::npos) text.replace(at_sign, 1, tree.path());
        return text;
    }
    std::vector<DataRow> of(const std::string& verb) const {
        std::vector<DataRow> rows;
        for (const DataRow& r : searches)
            if (r[0].rfind(verb + " ", 0) == 0) rows.push_back(r);
        return rows;
    }

    TempTree tree;
    AtlasSettings atlas;
    NameCollator names;
    std::vector<DataRow> searches;
};

TEST_F(CitiesTest, FindCityFeedbackAndSpellings) {
    for (const DataRow& r : of("find")) {
        SCOPED_TRACE(r[10]);
        CityQuery q;
        q.country = r.text(0).size() > 5 ? r.text(0).substr(5) : "";
        q.state = r.text(1);
        q.county = r.text(2);
        q.city = r.text(3);
        EXPECT_EQ(find_city(q, atlas, false, names), r[4] == "found");
        const std::string feedback = in_tree(r, 5);
        EXPECT_EQ(q.feedback, feedback);
        // A failure of one step is its own cause; the cause never repeats "Ok, city found.".
        if (r[4] != "found" && feedback.find("\r\n") == std::string::npos) {
            EXPECT_EQ(q.cause, feedback);
        }
        EXPECT_EQ(std::vector<std::string>({q.city, q.county, q.state, q.country}),
                  std::vector<std::string>({r.text(6), r.text(7), r.text(8), r.text(9)}));
        EXPECT_TRUE(q.date_hour.empty());
    }
}

TEST_F(CitiesTest, FindCityWithCorrection) {
    for (const DataRow& r : of("correct")) {
        SCOPED_TRACE(r[6]);
        CityQuery q;
        q.country = r[0].substr(8);
        q.city = r[1];
        q.date_hour = r[2];
        EXPECT_EQ(find_city(q, atlas, true, names), r[3] == "found");
        EXPECT_EQ(q.date_hour, r.text(4));
        ASSERT_EQ(q.feedback.substr(0, q.feedback.find("\r\n ") + 3).rfind("Ok, city found.", 0), 0u);
        EXPECT_EQ(q.feedback.substr(q.feedback.find("\r\n ") + 3), in_tree(r, 5));
    }
}

// The cause is what a command tells alone: the failing correction step without the
// "Ok, city found." that comes before it in the feedback, and the missing correction of a
// successful search. The causes of the city search itself are checked with its feedback.
TEST_F(CitiesTest, CauseNamesTheFailingStepAlone) {
    for (const DataRow& r : of("cause")) {
        SCOPED_TRACE(r[5]);
        CityQuery q;
        q.country = r[0].substr(6);
        q.city = r[1];
        q.date_hour = r[2];
        EXPECT_EQ(find_city(q, atlas, true, names), r[3] == "found");
        EXPECT_EQ(q.cause, in_tree(r, 4));
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

// The generated world atlas is searched end to end in tests/data/cli/places.txt.

}  // namespace
}  // namespace tellurim
