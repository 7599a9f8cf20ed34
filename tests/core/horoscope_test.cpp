// The horoscope record: storing birth data step by step, its failures, the reset that keeps
// the initial date-hours, the identifier, and the birth date field validation.
#include <gtest/gtest.h>

#include "core/birth_input.h"
#include "core/horoscope.h"
#include "common/data_table.h"
#include "common/test_dates.h"

namespace tellurim {
namespace {

BirthData washington_birth() {
    BirthData b;
    b.last_name = "Doe";
    b.first_name = "Jane";
    b.sex = kWoman;
    b.place.city = "Washington";
    b.place.longitude = *parse_angle("77d02'00.00\"W");
    b.place.latitude = *parse_angle("38d54'00.00\"N");
    b.state = "District of Columbia";
    b.country = "USA";
    b.ut = test_date("2000-01-01 17:00:00.00 GD");
    b.local = test_date("2000-01-01 12:00:00.00 GD");
    return b;
}

TEST(Horoscope, SetBirthDataStoresEveryField) {
    Horoscope h;
    Options opts;
    opts.astro.house_system = kPlacidus;
    BirthData b = washington_birth();
    ASSERT_TRUE(h.set_birth_data(b, false, opts));
    EXPECT_TRUE(h.options == opts);
    EXPECT_EQ(h.state, "District of Columbia");
    EXPECT_EQ(h.birth_local, b.local);
    // The first storing fills the initial date-hours even without the keep-initial flag.
    EXPECT_EQ(h.initial_ut, b.ut);
    EXPECT_EQ(h.initial_local, b.local);
    EXPECT_EQ(h.needs_computation, 1);  // the pipeline clears it
    EXPECT_EQ(h.identifier, "  2000-01-01 17:00:00.00 GD 77d02'00.00\"W38d54'00.00\"N");
    // Names and regions are cut to their stored lengths.
    b.last_name = std::string(40, 'x');
    b.first_name = std::string(29, 'y');
    b.country = std::string(130, 'c');
    ASSERT_TRUE(h.set_birth_data(b, false, Options{}));
    EXPECT_EQ(h.last_name, std::string(29, 'x'));
    EXPECT_EQ(h.first_name, std::string(29, 'y'));
    EXPECT_EQ(h.country, std::string(119, 'c'));
}

// Each failure stops where it happens: the data up to that step are kept, the rest stays new.
struct FailureCase {
    const char* what;
    void (*spoil)(BirthData&);
    bool place_copied;
    bool ut_copied;
    bool local_copied;
};

TEST(Horoscope, SetBirthDataFailures) {
    const FailureCase cases[] = {
        {"longitude NA", [](BirthData& b) { b.place.longitude = AngleValue::not_available(); }, true, false, false},
        {"latitude not computed", [](BirthData& b) { b.place.latitude = AngleValue{}; }, true, false, false},
        {"longitude without unit", [](BirthData& b) { b.place.longitude = AngleValue::plain(10.0); }, true, false,
         false},
        {"universal date invalid", [](BirthData& b) { b.ut = DateHour{}; }, true, true, false},
        {"local date invalid", [](BirthData& b) { b.local = DateHour{}; }, true, true, true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        BirthData b = washington_birth();
        c.spoil(b);
        Horoscope h;
        EXPECT_FALSE(h.set_birth_data(b, true, Options{}));
        EXPECT_EQ(h.needs_computation, 1);
        EXPECT_EQ(h.last_name, "Doe");  // step 3 ran
        EXPECT_EQ(h.place == b.place, c.place_copied);
        EXPECT_EQ(h.country == "USA", c.ut_copied);  // state and country come right after the place check
        EXPECT_EQ(h.birth_ut == b.ut, c.ut_copied);
        EXPECT_EQ(h.birth_local == b.local, c.local_copied);
        EXPECT_TRUE(h.identifier.empty());
        EXPECT_FALSE(is_valid(h.initial_ut));
    }
}

TEST(Horoscope, InitialDateHoursSurviveResetAndFollowTheKeepInitialFlag) {
    Horoscope h;
    ASSERT_TRUE(h.set_birth_data(washington_birth(), true, Options{}));
    h.geo_movable.at(kSun).index = kSun;
    h.needs_computation = 0;
    h.reset();
    EXPECT_EQ(h.initial_ut, washington_birth().ut);
    EXPECT_EQ(h.initial_local, washington_birth().local);
    EXPECT_FALSE(is_valid(h.birth_ut));
    EXPECT_EQ(h.geo_movable.get(kSun).index, -1);
    EXPECT_EQ(h.needs_computation, 1);
    EXPECT_TRUE(h.last_name.empty());
    // Storing again keeps both initial date-hours while they are valid, unless told otherwise.
    BirthData first = washington_birth();
    ASSERT_TRUE(h.set_birth_data(first, false, Options{}));
    BirthData later = first;
    later.ut = test_date("2000-01-01 17:30:00.00 GD");
    later.local = test_date("2000-01-01 12:30:00.00 GD");
    ASSERT_TRUE(h.set_birth_data(later, false, Options{}));
    EXPECT_EQ(h.initial_ut, first.ut);  // kept: both were valid
    ASSERT_TRUE(h.set_birth_data(later, true, Options{}));
    EXPECT_EQ(h.initial_ut, later.ut);
    EXPECT_EQ(h.initial_local, later.local);
}

TEST(Horoscope, IndexEighteenGivesTheEmptyRow) {
    Horoscope h;
    h.geo_fixed.at(17).index = 17;
    for (PositionFrame f : {PositionFrame::HelioMovable, PositionFrame::GeoFixed}) {
        PlanetPosition p = h.position(f, 18);
        EXPECT_EQ(p.index, -1);
        EXPECT_EQ(p.longitude.value, kInfinity);
    }
    EXPECT_EQ(h.position(PositionFrame::GeoFixed, 17).index, 17);
}

TEST(Horoscope, IdentifierWithHostAndJulianDate) {
    BirthPlace place = washington_birth().place;
    HostIdentity host{"192.168.1.7", "astro"};
    // 1582-10-04 JD is the day before 1582-10-15 GD (the Gregorian reform).
    EXPECT_EQ(make_identifier(test_date("1582-10-04 12:00:00.00 JD"), place, &host),
              "192.168.1.7 astro 1582-10-14 12:00:00.00 GD 77d02'00.00\"W38d54'00.00\"N");
    EXPECT_EQ(make_identifier(test_date("1582-10-04 12:00:00.00 JD"), place, nullptr),
              "  1582-10-14 12:00:00.00 GD 77d02'00.00\"W38d54'00.00\"N");
    HostIdentity long_host{"10.0.0.1", std::string(300, 'h')};
    EXPECT_EQ(make_identifier(washington_birth().ut, place, &long_host).size(), 255u);
}

// --- birth date fields -------------------------------------------------------------------

TEST(BirthInput, FirstFailingFieldAndItsMessage) {
    const std::vector<std::string> fields = {"None", "Day", "Month", "Year", "Hour", "Minute", "Second"};
    for (const testing_data::DataRow& r : testing_data::data_rows("core/birth_fields.txt")) {
        SCOPED_TRACE(r.line);
        BirthInputCheck c = check_birth_input({r.text(0), r.text(1), r.text(2), r.text(3), r.text(4), r.text(5)});
        EXPECT_EQ(fields.at(static_cast<std::size_t>(c.failed)), r[6]);
        if (c.failed == BirthField::None) continue;
        EXPECT_EQ(c.to_message(), (Message{r[7], "Bad input", MessageIcon::Warning}));
    }
}

TEST(BirthInput, DateHourFromTheFields) {
    BirthInputCheck ok = check_birth_input({"3", "2", "134", "12", "0", "0"});
    auto bce = birth_date_hour(ok, true, true);
    ASSERT_TRUE(bce);
    EXPECT_EQ(format_date_hour(*bce), "-134-02-03 12:00:00.00 JD");
    EXPECT_EQ(bce->jd_ut, test_date("-134-02-03 12:00:00.00 JD").jd_ut);
    EXPECT_FALSE(birth_date_hour(check_birth_input({"30", "2", "2000", "0", "0", "0"}), false, false));
    EXPECT_TRUE(birth_date_hour(check_birth_input({"29", "2", "2000", "0", "0", "0"}), false, false));
    // 1900 is a leap year only in the Julian calendar.
    EXPECT_FALSE(birth_date_hour(check_birth_input({"29", "2", "1900", "0", "0", "0"}), false, false));
    EXPECT_TRUE(birth_date_hour(check_birth_input({"29", "2", "1900", "0", "0", "0"}), false, true));
}

}  // namespace
}  // namespace tellurim
