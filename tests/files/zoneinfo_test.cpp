// TZif reading, POSIX TZ rules and the correction records made from a zone's periods.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "atlas_tree.h"
#include "common/data_table.h"
#include "files/cities.h"
#include "files/zoneinfo.h"

namespace tellurim {
namespace {

// The rules of tests/data/files/posix_tz.txt, their offsets and the instants of their changes.
TEST(PosixTz, RulesTheirInstantsAndRefusedTexts) {
    for (const testing_data::DataRow& r : testing_data::data_rows("files/posix_tz.txt")) {
        SCOPED_TRACE(r[0]);
        auto tz = parse_posix_tz(r[0]);
        ASSERT_EQ(tz.has_value(), r[1] != "refused");
        if (!tz) continue;
        EXPECT_EQ(tz->standard.utoff, r.integer(1));
        EXPECT_EQ(tz->has_dst, r.integer(3) != 0);
        if (!tz->has_dst) continue;
        EXPECT_EQ(tz->daylight.utoff, r.integer(2));
        DstChange ch = dst_changes(*tz, r.integer(3));
        EXPECT_EQ(ch.start, std::stoll(r[4]));
        EXPECT_EQ(ch.end, std::stoll(r[5]));
    }
}

// A TZif version 2 image written here byte by byte: two transitions and a footer.
std::vector<std::uint8_t> small_tzif(bool cut_short) {
    std::vector<std::uint8_t> b;
    auto be = [&](std::uint64_t v, int n) {
        for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto header = [&](std::uint32_t timecnt, std::uint32_t typecnt, std::uint32_t charcnt) {
        b.insert(b.end(), {'T', 'Z', 'i', 'f', '2'});
        b.insert(b.end(), 15, 0);
        for (std::uint32_t v : {0u, 0u, 0u, timecnt, typecnt, charcnt}) be(v, 4);
    };
    // v1 block: no transitions, one type
    header(0, 1, 4);
    be(0, 4), b.push_back(0), b.push_back(0);
    b.insert(b.end(), {'L', 'M', 'T', 0});
    // v2 block: types LMT +00:09:21, CET +1, CEST +2 (dst)
    header(2, 3, 14);
    be(static_cast<std::uint64_t>(-2486592561LL), 8);  // 1891-03-15 23:50:39 UTC (LMT -> CET)
    be(1711846800, 8);                                  // 2024-03-31 01:00 UTC (CET -> CEST)
    b.push_back(1), b.push_back(2);
    be(561, 4), b.push_back(0), b.push_back(0);
    be(3600, 4), b.push_back(0), b.push_back(4);
    be(7200, 4), b.push_back(1), b.push_back(8);
    for (char c : std::string("LMT\0CET\0CEST\0\0", 14)) b.push_back(static_cast<std::uint8_t>(c));
    std::string footer = "\nCET-1CEST,M3.5.0,M10.5.0/3\n";
    b.insert(b.end(), footer.begin(), footer.end());
    if (cut_short) b.resize(b.size() - footer.size() - 10);
    return b;
}

TEST(Tzif, ReadsTheSixtyFourBitDataAndRefusesDamagedFiles) {
    std::string error;
    auto z = parse_tzif(small_tzif(false), &error);
    ASSERT_TRUE(z) << error;
    ASSERT_EQ(z->times.size(), 2u);
    EXPECT_EQ(z->times[0], -2486592561LL);
    EXPECT_EQ(z->types[z->type_of[1]], (ZoneType{7200, true, "CEST"}));
    EXPECT_EQ(z->types[0], (ZoneType{561, false, "LMT"}));
    EXPECT_EQ(z->footer, "CET-1CEST,M3.5.0,M10.5.0/3");

    // the rule continues after 2024: back to CET on 27 October, CEST again on 30 March 2025
    auto periods = zone_periods(*z, 1745000000);
    ASSERT_EQ(periods.size(), 5u);
    EXPECT_TRUE(periods[0].is_first);
    EXPECT_EQ(periods[0].begin, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(periods[2].type.abbr, "CEST");
    EXPECT_EQ(periods[3].begin, 1729990800);
    EXPECT_EQ(periods[3].type.abbr, "CET");
    EXPECT_EQ(periods[4].begin, 1743296400);
    EXPECT_EQ(periods[4].end, 1745000000);

    EXPECT_FALSE(parse_tzif(small_tzif(true), &error));
    EXPECT_EQ(error, "TZif 64-bit data cut short or inconsistent");
    std::vector<std::uint8_t> not_tzif(64, 'x');
    EXPECT_FALSE(parse_tzif(not_tzif, &error));
    EXPECT_EQ(error, "not a TZif file");
}

TEST(Tzif, SystemZoneWhenPresent) {
    const char* path = "/usr/share/zoneinfo/America/New_York";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    auto z = load_tzif(path);
    ASSERT_TRUE(z);
    EXPECT_EQ(z->types[0].abbr, "LMT");
    EXPECT_EQ(z->footer, "EST5EDT,M3.2.0,M11.1.0");
}

// Corrections made from periods: a spring change (gap) and an autumn change (overlap).
TEST(CorrectionRecords, GapAndOverlapTakeTheEarlierOffset) {
    std::int64_t t1 = -2486592561LL;  // LMT -> CET
    std::int64_t spring = 1711846800, autumn = 1729990800;
    std::vector<ZonePeriod> periods = {
        {std::numeric_limits<std::int64_t>::min(), t1, {561, false, "LMT"}, true},
        {t1, spring, {3600, false, "CET"}, false},
        {spring, autumn, {7200, true, "CEST"}, false},
        {autumn, 1745000000, {3600, false, "CET"}, false},
    };
    double until = 2460900.5;  // 2025-08-13 00:00 local
    auto records = correction_records("Europe/Paris", periods, until);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].correction.to_hours(), kLocalMeanTimeMarker);
    EXPECT_EQ(records[0].description, "Europe/Paris LMT local mean time (UTC+longitude)");
    EXPECT_EQ(records[2].description, "Europe/Paris CEST UTC+02:00");
    EXPECT_EQ(format_date_hour(records[1].end), "2024-03-31 03:00:00.00 GD");    // stretched over the gap
    EXPECT_EQ(format_date_hour(records[2].begin), "2024-03-31 03:00:00.00 GD");
    EXPECT_EQ(format_date_hour(records[2].end), "2024-10-27 03:00:00.00 GD");
    EXPECT_EQ(format_date_hour(records[3].begin), "2024-10-27 02:00:00.00 GD");  // the repeated hour
    EXPECT_EQ(records[3].end.jd_ut, until);

    testing::TempTree tree;
    tree.corrections("Z1.pra", records);
    BirthPlace paris{"Paris", "", AngleValue::degrees(2.35, kFormatEastWest), AngleValue::degrees(48.85, 2), 1};
    for (const testing_data::DataRow& c : testing_data::data_rows("files/paris_corrections.txt")) {
        SCOPED_TRACE(c[0]);
        DateHour d = parse_date_hour(c[0]).value;
        CorrectionResult r = find_correction(d, tree.path("Z1.pra"), paris);
        ASSERT_TRUE(r.found) << r.feedback;
        EXPECT_EQ(format_date_hour(d), c[1]);
    }
}

}  // namespace
}  // namespace tellurim
