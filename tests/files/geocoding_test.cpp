// The substring parsers of the geocoding answers on the quirks the end-to-end transcript
// (tests/data/cli/geocode.txt) does not reach, the request texts and the keys file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "common/temp_dir.h"
#include "files/geocoding.h"

namespace tellurim {
namespace {

TEST(Geocoding, PlaceNamesAreCutAtTheNextCommaAndClassifiedByQuotedType) {
    const std::string eleven = R"("address_components":[)" + std::string(10 * 2, ' ') + [] {
        std::string s;
        for (int i = 0; i < 10; ++i) s += R"({"types":["route"]},)";
        return s;
    }() + R"({"long_name":"Eleventh","types":["locality"]}])";
    struct Case { const char* label; std::string response; bool found; PlaceNames names; };
    const Case cases[] = {
        {"a sublocality is no locality; the first listed type found decides",
         R"("address_components":[{"long_name":"Soho","types":["sublocality"]},{"long_name":"A","types":["country"]},)"
         R"({"long_name":"B","types":["country","locality"]}])", true, {"B", "", "", "A"}},
        {"a name loses its colons; a comma inside it ends it",
         R"("address_components":[{"long_name" : "Port: Louis, Town","types":["locality"]}])", true, {"Port Louis", "", "", ""}},
        {"a component without a long name is skipped", R"("address_components":[{"types":["locality"]}])", false, {}},
        {"ten components at most", eleven, false, {}},
        {"a city keeps 59 characters", R"("address_components":[{"long_name":")" + std::string(70, 'x') + R"(","types":["locality"]}])",
         true, {std::string(59, 'x'), "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PlaceNames names;
        EXPECT_EQ(parse_place_names(c.response, names), c.found);
        EXPECT_EQ(std::tie(names.city, names.county, names.state, names.country),
                  std::tie(c.names.city, c.names.county, c.names.state, c.names.country));
    }
}

TEST(Geocoding, LocationAndTimeZoneTexts) {
    GeoLocation loc;
    EXPECT_FALSE(parse_location(R"("location":{"lat":"north","lng":2.5})", loc));
    EXPECT_FALSE(parse_location(R"("location":{"lat":1.5,"lng":2.5)", loc));  // no closing brace
    ASSERT_TRUE(parse_location("\"location\" :\r\n{ \"lat\" : -1.5,\r\n \"lng\" : 2.5 }", loc));
    EXPECT_EQ(loc.latitude, AngleValue::degrees(-1.5, kFormatNorthSouth));
    EXPECT_EQ(loc.longitude, AngleValue::degrees(2.5, kFormatEastWest));

    DateHour legal;
    ASSERT_TRUE(set_julian_day_ut(legal, 2451545.0));  // 2000-01-01 12:00
    struct Case { const char* response; bool found; long dst, raw; const char* errors; };
    const Case cases[] = {
        {R"({"dstOffset":0.9,"rawOffset":-3600.9,"timeZoneId":"X"})", true, 0, -3600, ""},
        {R"({"dstOffset":0,"rawOffset":-3600})", false, 0, 0, "Raw correction not found\r\n"},
        {R"({"dstOffset":2147483647,"rawOffset":0,})", false, 0, 0, "DST correction is not a number of seconds: 2147483647\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.response);
        const TimeZoneAnswer z = parse_time_zone(c.response, legal);
        EXPECT_EQ(z.found, c.found);
        EXPECT_EQ(z.errors, c.errors);
        if (!c.found) continue;
        EXPECT_EQ(std::pair(z.dst_offset_s, z.raw_offset_s), std::pair(c.dst, c.raw));
        EXPECT_EQ(format_date_hour(z.universal), "2000-01-01 13:00:00.00 GD");
    }
}

TEST(Geocoding, RequestTextsAndKeys) {
    EXPECT_EQ(geocode_address(" ", "Cook", "", "USA"), "Cook,USA");
    EXPECT_EQ(geocode_request_path("Saint-Étienne #2 & co", "K"),
              "/maps/api/geocode/json?address=Saint-%C3%89tienne%20%232%20&%20co&key=K");
    EXPECT_EQ(time_zone_request_path(-0.5, -74.00597275, -1.5e9, "K"),
              "/maps/api/timezone/json?location=-0.5000000000,-74.0059727500&timestamp=-1500000000&key=K");
    EXPECT_EQ(hide_keys("a k1 b k22 k1", {"k1", "k22"}), "a *** b *** ***");

    testing_data::TempDir dir;
    EXPECT_FALSE(read_google_keys(dir.str()));
    struct stat st {};
    ASSERT_EQ(::stat(google_keys_path(dir.str()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(testing_data::read_text(google_keys_path(dir.str())), "key_geocode=\r\nkey_timezone=\r\n");
}

}  // namespace
}  // namespace tellurim
