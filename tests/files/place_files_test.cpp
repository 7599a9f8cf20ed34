// Record images of the atlas files, file validity and the list entries.
#include <gtest/gtest.h>

#include "atlas_tree.h"
#include "files/place_files.h"

namespace tellurim {
namespace {

std::uint16_t u16_at(const std::vector<std::uint8_t>& b, std::size_t o) { return std::uint16_t(b[o] | (b[o + 1] << 8)); }

TEST(DirectoryEntry, GoldenBytes) {
    ByteWriter w;
    write_directory_entry(w, {"Georgia", "Georgia", "USA"});
    const auto& b = w.bytes();
    ASSERT_EQ(b.size(), kDirectoryEntrySize);
    EXPECT_EQ(u16_at(b, 0), u'G');
    EXPECT_EQ(u16_at(b, 12), u'a');
    EXPECT_EQ(u16_at(b, 14), 0);
    EXPECT_EQ(u16_at(b, 240), u'G');
    EXPECT_EQ(u16_at(b, 760), u'U');
    EXPECT_EQ(u16_at(b, 764), u'A');
    EXPECT_EQ(u16_at(b, 998), 0);
    ByteReader in(b);
    EXPECT_EQ(read_directory_entry(in), (DirectoryEntry{"Georgia", "Georgia", "USA"}));
    EXPECT_TRUE(in.ok());
}

TEST(CorrectionRecord, GoldenBytes) {
    CorrectionRecord r;
    r.begin = parse_date_hour("2024-03-31 03:00:00").value;
    r.end = parse_date_hour("2024-10-27 03:00:00").value;
    r.correction = AngleValue::hours(-2.0);
    r.description = "Europe/Paris CEST UTC+02:00";
    ByteWriter w;
    write_correction_record(w, r);
    const auto& b = w.bytes();
    ASSERT_EQ(b.size(), kCorrectionRecordSize);
    EXPECT_EQ(u16_at(b, 0), 2024);                  // begin year
    EXPECT_EQ(b[2], 3);                             // begin month
    EXPECT_EQ(b[4], 3);                             // begin hour
    EXPECT_EQ(u16_at(b, 40), 2024);                 // end year
    EXPECT_EQ(b[42], 10);                           // end month
    EXPECT_EQ(b[80], 2);                            // correction: kind 2
    EXPECT_EQ(b[96], kUnitHours);                   // correction unit
    EXPECT_EQ(u16_at(b, 104), u'E');                // description
    EXPECT_EQ(u16_at(b, 104 + 2 * 26), u'0');
    EXPECT_EQ(u16_at(b, 104 + 2 * 27), 0);
    ByteReader in(b);
    EXPECT_EQ(read_correction_record(in), r);
    EXPECT_EQ(correction_file_name(12), "Z12.pra");
    EXPECT_EQ(correction_file_name(0x10007), "Z7.pra");  // only the low 16 bits name the file
}

struct SizeCase {
    std::size_t bytes;
    std::size_t records;  // 0: not a valid file
};

TEST(CorrectionFile, LengthMustBeWholeRecords) {
    const SizeCase cases[] = {{0, 0}, {343, 0}, {344, 1}, {345, 0}, {687, 0}, {688, 2}, {3440, 10}};
    testing::TempTree tree;
    CorrectionRecord r;
    r.begin = parse_date_hour("2000-01-01 00:00:00").value;
    r.end = parse_date_hour("2001-01-01 00:00:00").value;
    r.correction = AngleValue::hours(1.0);
    r.description = "test";
    ByteWriter one;
    write_correction_record(one, r);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < c.bytes) bytes.insert(bytes.end(), one.bytes().begin(), one.bytes().end());
        bytes.resize(c.bytes);
        EXPECT_EQ(is_valid_file_size(c.bytes, kCorrectionRecordSize), c.records > 0);
        tree.write("Z1.pra", bytes);
        auto read = read_correction_file(tree.path("Z1.pra"));
        ASSERT_EQ(read.has_value(), c.records > 0);
        if (read) {
            EXPECT_EQ(read->size(), c.records);
            EXPECT_EQ(read->back(), r);
        }
    }
    EXPECT_FALSE(read_correction_file(tree.path("Z404.pra")));
}

TEST(ListEntries, AsTheDialogsShowThem) {
    BirthPlace p{"Paris", "Paris", AngleValue::degrees(2.3488, kFormatEastWest), AngleValue::degrees(48.85341, kFormatNorthSouth), 320};
    EXPECT_EQ(city_list_entry(p), "Paris (Paris)  Lon: 2d20'55.68\"E  Lat: 48d51'12.28\"N  TZ: 320");
    p.county.clear();
    p.longitude = AngleValue::degrees(-77.03637, kFormatEastWest);
    EXPECT_EQ(city_list_entry(p), "Paris  Lon: 77d02'10.93\"W  Lat: 48d51'12.28\"N  TZ: 320");

    CorrectionRecord r;
    r.begin = parse_date_hour("2024-03-31 03:00:00").value;
    r.end = parse_date_hour("2024-10-27 03:00:00").value;
    r.correction = AngleValue::hours(-5.5);
    r.description = "Asia/Kolkata IST UTC+05:30";
    EXPECT_EQ(correction_list_entry(r),
              "2024-03-31 03:00:00.00 GD\t2024-10-27 03:00:00.00 GD\tGMT = Legal:-5h30'00.00\" Asia/Kolkata IST UTC+05:30");
    r.correction = AngleValue::hours(kLocalMeanTimeMarker);
    r.description = "Europe/Paris LMT local mean time (UTC+longitude)";
    // The local-mean-time record too shows its correction as a sexagesimal hour text.
    EXPECT_EQ(correction_list_entry(r),
              "2024-03-31 03:00:00.00 GD\t2024-10-27 03:00:00.00 GD\tGMT = Legal:7777h00'00.00\" "
              "Europe/Paris LMT local mean time (UTC+longitude)");
}

TEST(ZoneDescription, OffsetsWithAndWithoutSeconds) {
    EXPECT_EQ(zone_description("Europe/Paris", {7200, true, "CEST"}, false), "Europe/Paris CEST UTC+02:00");
    EXPECT_EQ(zone_description("America/St_Johns", {-12600, false, "NST"}, false), "America/St_Johns NST UTC-03:30");
    EXPECT_EQ(zone_description("Europe/Amsterdam", {1172, false, "AMT"}, false), "Europe/Amsterdam AMT UTC+00:19:32");
}

}  // namespace
}  // namespace tellurim
