// TZif reading, POSIX TZ rules and the correction records made from a zone's periods.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "atlas_tree.h"
#include "files/cities.h"
#include "files/zoneinfo.h"

namespace tellurim {
namespace {

struct RuleCase {
    const char* text;
    std::int32_t std_off;
    std::int32_t dst_off;  // 0 when there is no daylight time
    int year;
    std::int64_t start;  // Unix seconds, from the dates published for that year
    std::int64_t end;
};

TEST(PosixTz, RulesTheirInstantsAndRefusedTexts) {
    const RuleCase cases[] = {
        // US 2024: 10 March 02:00 EST, 3 November 02:00 EDT
        {"EST5EDT,M3.2.0,M11.1.0", -18000, -14400, 2024, 1710054000, 1730613600},
        // EU 2024: 31 March and 27 October, 01:00 UTC
        {"CET-1CEST,M3.5.0,M10.5.0/3", 3600, 7200, 2024, 1711846800, 1729990800},
        // Israel 2024: Friday before the last Sunday of March at 02:00 (written as Thursday 26:00)
        {"IST-2IDT,M3.4.4/26,M10.5.0", 7200, 10800, 2024, 1711670400, 1729983600},
        // Ireland: "summer" is standard time, winter the negative daylight time
        {"IST-1GMT0,M10.5.0,M3.5.0/1", 3600, 0, 2024, 1729990800, 1711846800},
        // Greenland 2024: the European instants, written as -1:00 and 0:00 local time
        {"<-02>2<-01>,M3.5.0/-1,M10.5.0/0", -7200, -3600, 2024, 1711846800, 1729990800},
        {"<+0330>-3:30", 12600, 0, 0, 0, 0},
        {"<-03>3", -10800, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto tz = parse_posix_tz(c.text);
        ASSERT_TRUE(tz);
        EXPECT_EQ(tz->standard.utoff, c.std_off);
        EXPECT_EQ(tz->has_dst, c.year != 0);
        if (c.year == 0) continue;
        EXPECT_EQ(tz->daylight.utoff, c.dst_off);
        DstChange ch = dst_changes(*tz, c.year);
        EXPECT_EQ(ch.start, c.start);
        EXPECT_EQ(ch.end, c.end);
    }
    for (const char* text : {"", "CE", "CET", "EST5EDT", "CET-1CEST,M13.1.0,M10.5.0", "CET-1CEST,M3.5.0",
                             "<+03", "CET-1CEST,M3.5.0,M10.5.0/3x", "XYZ-200"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parse_posix_tz(text));
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
    struct Case { const char* local; const char* universal; };
    const Case cases[] = {
        {"2024-03-31 01:59:00", "2024-03-31 00:59:00.00 GD"},
        {"2024-03-31 02:30:00", "2024-03-31 01:30:00.00 GD"},  // never shown: read as CET
        {"2024-03-31 03:30:00", "2024-03-31 01:30:00.00 GD"},
        {"2024-10-27 01:30:00", "2024-10-26 23:30:00.00 GD"},
        {"2024-10-27 02:30:00", "2024-10-27 00:30:00.00 GD"},  // shown twice: read as CEST
        {"2024-10-27 03:30:00", "2024-10-27 02:30:00.00 GD"},
        {"1891-03-16 01:00:00", "1891-03-16 00:00:00.00 GD"},
        {"1891-03-16 00:00:00", "1891-03-15 23:50:36.00 GD"},  // local mean time at 2.35 E
    };
    BirthPlace paris{"Paris", "", AngleValue::degrees(2.35, kFormatEastWest), AngleValue::degrees(48.85, 2), 1};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.local);
        DateHour d = parse_date_hour(c.local).value;
        CorrectionResult r = find_correction(d, tree.path("Z1.pra"), paris);
        ASSERT_TRUE(r.found) << r.feedback;
        EXPECT_EQ(format_date_hour(d), c.universal);
    }
}

}  // namespace
}  // namespace tellurim
