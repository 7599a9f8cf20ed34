// The stars catalogue: record bytes, malformed images, the position of date against Meeus's
// worked examples, the cache, conjunctions and the script commands' texts.
#include "astro/stars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "astro/star_commands.h"
#include "common/data_table.h"
#include "common/le_bytes.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

DateHour j2000() {
    DateHour d;
    set_julian_day_ut(d, 2451545.0);
    d.jd_et = 2451545.0;
    return d;
}

StarRecord star(std::string name, double ra_hours, double dec_deg, double pm_ra_deg = 0.0, double pm_dec_deg = 0.0) {
    StarRecord s;
    s.name = std::move(name);
    s.identifier = 7;
    s.magnitude = 1.25;
    s.ra = AngleValue::hours(ra_hours);
    s.dec = AngleValue::degrees(dec_deg);
    s.pm_ra = AngleValue::degrees(pm_ra_deg);
    s.pm_dec = AngleValue::degrees(pm_dec_deg);
    s.comment = "Alpha Leo";
    s.epoch = j2000();
    s.reference = j2000();
    return s;
}

std::vector<std::uint8_t> image(const std::vector<StarRecord>& stars) {
    ByteWriter out;
    for (const StarRecord& s : stars) write_star(out, s);
    return out.take();
}

using testing_data::f64_at;
using testing_data::u32_at;

TEST(StarRecord, FieldsSitAtTheirOffsets) {
    StarRecord s = star("Regulus", 10.0, 12.0, 1e-5, -2e-5);
    s.number = 3;
    s.spectral_class = "B8";
    s.reserved.jd_ut = 1234.5;
    s.spare2 = AngleValue::radians(0.5);
    auto b = image({s});
    ASSERT_EQ(b.size(), kStarRecordSize);
    for (const testing_data::DataRow& r : testing_data::data_rows("astro/star_record.txt")) {
        SCOPED_TRACE(r[3]);
        const std::size_t at = std::stoul(r[0]);
        if (r[1] == "u32") {
            EXPECT_EQ(u32_at(b, at), std::stoul(r[2]));
        } else if (r[1] == "f64") {
            EXPECT_EQ(f64_at(b, at), r.num(2));
        } else {
            EXPECT_EQ(b[at], r[2][0]);
        }
    }
    StarRecord back;
    ByteReader in(b);
    ASSERT_TRUE(read_star(in, back));
    EXPECT_EQ(back, s);
}

// An image of a wrong length, or without one readable record, is refused; a malformed record
// beside readable ones is left out.
TEST(StarRecord, MalformedImagesAndRecords) {
    const auto two = image({star("A", 1, 2), star("B", 3, 4)});
    ASSERT_TRUE(parse_stars(two));
    EXPECT_EQ(parse_stars(two)->size(), 2u);

    std::mt19937 random(42);
    std::vector<std::uint8_t> noise(2 * kStarRecordSize);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());

    auto no_nul = two;
    for (std::size_t i = 8; i < 68; i += 2) no_nul[i] = 'x';  // a name that fills its array
    auto bad_unit = two;
    bad_unit[704 + 112] = 9;  // second star's right ascension: unit 9

    struct Case { const char* name; std::vector<std::uint8_t> bytes; const char* kept; };
    const Case cases[] = {
        {"empty", {}, nullptr},
        {"705 bytes", std::vector<std::uint8_t>(two.begin(), two.begin() + 705), nullptr},
        {"truncated", std::vector<std::uint8_t>(two.begin(), two.end() - 100), nullptr},
        {"random", noise, nullptr},
        {"first name without its zero", no_nul, "B"},
        {"second star's unit unknown", bad_unit, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto stars = parse_stars(c.bytes);
        ASSERT_EQ(stars.has_value(), c.kept != nullptr);
        if (!c.kept) continue;
        ASSERT_EQ(stars->size(), 1u);
        EXPECT_EQ(stars->front().name, c.kept);
    }
}

// Meeus, Astronomical Algorithms (2nd ed.), example 21.b: theta Persei, J2000.0 to
// 2028 Nov 13.19 TD (JD 2462088.69), proper motion +0.03425 s and -0.0895" a year. Meeus:
// RA 2h46m11.331s, Dec +49d20'54.54".
TEST(StarPosition, MeeusExamples) {
    StarRecord s = star("Theta Per", 2.0 + 44.0 / 60 + 11.986 / 3600, 49.0 + 13.0 / 60 + 42.48 / 3600,
                        0.03425 * 15.0 / 3600.0, -0.0895 / 3600.0);
    auto p = star_position(s, 2462088.69, 2462088.69);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->ra.to_hours() * 3600.0, 2 * 3600 + 46 * 60 + 11.331, 0.002);
    EXPECT_NEAR(p->dec.to_degrees() * 3600.0, 49 * 3600 + 20 * 60 + 54.54, 0.02);
    // Meeus example 13.a: Pollux, RA 116.328942, Dec 28.026183 for the equinox J2000.0 with the
    // obliquity 23.4392911 of that date: longitude 113.215630, latitude 6.684170 degrees.
    s = star("Pollux", 116.328942 / 15.0, 28.026183);
    p = star_position(s, 2451545.0, 2451545.0);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->lon.to_degrees(), 113.215630, 2e-6);
    EXPECT_NEAR(p->lat.to_degrees(), 6.684170, 2e-6);
}

TEST(StarPosition, SameDateReadsTheCache) {
    StarRecord s = star("Regulus", 10.139, 11.967);
    auto first = star_position(s, 2460000.5, 2460000.5008);
    ASSERT_TRUE(first);
    EXPECT_EQ(s.cached_date.jd_ut, 2460000.5);
    EXPECT_EQ(s.cached_date.jd_et, 2460000.5008);
    s.ra = AngleValue::hours(3.0);  // a changed catalogue value shows only when recomputed
    auto again = star_position(s, 2460000.5, 2460000.5008);
    EXPECT_EQ(again->lon, first->lon);
    auto other = star_position(s, 2460000.5, 2460000.5009);
    EXPECT_GT(std::fabs(other->lon.to_degrees() - first->lon.to_degrees()), 10.0);
    EXPECT_FALSE(star_position(s, kInfinity, 1.0));
}

TEST(StarConjunction, DistanceFoldsAcrossZeroClosestFirstStrictlyInsideTheOrb) {
    const struct { double a, b, d; } cases[] = {
        {359.5, 0.3, 0.8}, {0.3, 359.5, 0.8}, {10, 190, 180}, {100, 100, 0}, {720.5, 0, 0.5}, {0, 181, 179},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " " + std::to_string(c.b));
        EXPECT_NEAR(longitude_distance_deg(c.a, c.b), c.d, 1e-12);
    }
    // Stars on the ecliptic at J2000 (declination from the longitude), nearest first, strictly
    // inside the orb.
    StarCatalogue c;
    const double eps = 23.4392911 * kPi / 180.0;
    for (double lon : {0.8, 359.9, 0.5, 1.0, 30.0}) {
        double l = lon * kPi / 180.0;
        double ra = reduce_radians(std::atan2(std::sin(l) * std::cos(eps), std::cos(l)));
        double dec = std::asin(std::sin(eps) * std::sin(l));
        c.stars.push_back(star("L" + std::to_string(lon), ra * 12.0 / kPi, dec * 180.0 / kPi));
    }
    auto found = star_conjunctions(c, 0.0, 0.9, 2451545.0, 2451545.0);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].star, 1);
    EXPECT_NEAR(found[0].distance_deg, 0.1, 1e-6);
    EXPECT_EQ(found[1].star, 2);
    EXPECT_EQ(found[2].star, 0);
}

TEST(StarCommands, Texts) {
    StarCatalogue c;
    c.stars = {star("Regulus", 10.139, 11.967), star("Spica", 13.42, -11.16)};
    c.stars[1].identifier = 12;
    Horoscope h;
    h.birth_ut = j2000();
    h.geo_movable.at(0).longitude = AngleValue::degrees(149.5);  // Regulus at 149.83

    for (const testing_data::DataRow& r : testing_data::data_rows("astro/star_commands.txt")) {
        SCOPED_TRACE(r[0]);
        std::istringstream words(r[0]);
        std::string command, a, b, d;
        words >> command >> a;
        StarCatalogue* stars = &c;
        if (a == "none") {
            stars = nullptr;
            words >> a;
        }
        words >> b >> d;
        const StarCommandAnswer got = command == "NameOfStar"    ? name_of_star(stars, a)
                                      : command == "CommentOfStar" ? comment_of_star(stars, a)
                                      : command == "IdOfStar"      ? id_of_star(stars, a)
                                      : command == "IdStar2Num"    ? id_star_to_num(stars, a)
                                      : command == "StarConjunctionWith" ? star_conjunction_with(stars, h, a, b)
                                                                         : id_star_conjunction_with_planet(stars, h, a, b, d);
        EXPECT_EQ(got.ok, r[1] == "ok");
        EXPECT_EQ(got.text, r.text(2));
    }
}

}  // namespace
}  // namespace tellurim
