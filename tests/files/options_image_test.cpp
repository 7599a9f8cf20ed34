// The options record's byte image: every block at its offset, read back from the image of
// the default record, and the write -> read round trip.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/options.h"
#include "files/options_image.h"
#include "common/data_table.h"
#include "common/le_bytes.h"

namespace tellurim {
namespace {

using namespace testing_data;

class DefaultImage : public ::testing::Test {
protected:
    void SetUp() override { image = write_options_image(Options{}); }
    std::vector<std::uint8_t> image;
};

// Integers, reals and texts at their offsets, read back from the default image (tests/data/core/options_offsets.txt).
TEST_F(DefaultImage, FieldsAtTheirOffsets) {
    ASSERT_EQ(image.size(), 65280u);
    std::map<std::string, std::size_t> blocks;
    auto offset = [&](const std::string& sum) {  // terms such as "fonts+4*228+92"
        std::size_t at = 0;
        std::istringstream terms(sum);
        for (std::string term; std::getline(terms, term, '+');) {
            std::size_t product = 1;
            std::istringstream factors(term);
            for (std::string f; std::getline(factors, f, '*');) product *= blocks.count(f) ? blocks[f] : std::stoul(f);
            at += product;
        }
        return at;
    };
    for (const DataRow& r : data_rows("core/options_offsets.txt")) {
        if (r[0] == "block") {
            blocks[r[1]] = std::stoul(r[2]);
            continue;
        }
        SCOPED_TRACE(r[3]);
        const std::size_t at = offset(r[0]);
        if (r[1] == "f32" || r[1] == "f64") {
            const double got = r[1] == "f32" ? f32_at(image, at) : f64_at(image, at), want = r.num(2);
            EXPECT_TRUE(got == want || std::fabs(got - want) < 1e-12) << got << " at offset " << at;
            continue;
        }
        if (r[1].starts_with("utf16:")) {
            EXPECT_EQ(utf16_at(image, at, std::stoul(r[1].substr(6))), r[2]) << "at offset " << at;
            continue;
        }
        const int bytes = r.integer(1);
        std::int64_t expected = std::stoll(r[2], nullptr, 0);
        if (bytes == 4 && expected > 0x7FFFFFFF) expected -= 0x100000000LL;  // ARGB read as i32
        EXPECT_EQ(signed_le(image, at, bytes), expected) << "at offset " << at;
    }
}

// The padding is written as zeros and ignored when read.
TEST_F(DefaultImage, PaddingIsZeroAndIgnored) {
    for (std::size_t i = kOptPaddingOffset; i < image.size(); ++i) {
        ASSERT_EQ(image[i], 0) << "at " << i;
        image[i] = 0xAB;
    }
    Options back;
    ASSERT_TRUE(read_options_image(image, back));
    EXPECT_TRUE(back == Options{});
}

TEST(OptionsDefaults, GlyphStylesOfHinduPointsCopyTheFortune) {
    GlyphStyles g;
    const GlyphStyle fortune = g.styles[kFortune][0][0];
    for (int p = kGulika; p <= kArudha; ++p) {
        for (const auto& sign : g.styles[static_cast<std::size_t>(p)]) {
            EXPECT_EQ(sign[0], fortune);
            EXPECT_EQ(sign[1], fortune);
        }
        EXPECT_EQ(g.planet_colours[static_cast<std::size_t>(p)], fortune.brush_colour);
    }
}

// Changes one field in every block, so that a reader that mixes up two fields or skips a
// block cannot give back an equal record.
Options every_block_changed() {
    Options o;
    o.interface.left_speed_bar = 1;
    o.window = {10, 20, 1910, 1060};
    o.astro.house_system = kPlacidus;
    o.astro.zodiac_movable = 1;
    o.astro.same_direction = 1;  // beside the house centred on its cusp, left 0
    o.astro.fortune_day_night = 1;
    o.paths.stars_file = "/data/stars/stars.spra";
    o.paths.text_editor = "/usr/bin/gedit";
    o.paths.default_state = "São Paulo";
    o.fonts[3].font.face_name = "DejaVu Sans";
    o.fonts[3].font.italic = 1;
    o.fonts[3].flags = {1, 2};
    o.colours.signs[5] = 0x12345678;
    o.colours.background_image = "/img/fond.jpg";
    o.glyphs.styles[13][11][1].halo_size = 7.5f;
    o.glyphs.planet_colours[17] = 0x01020304;
    o.house_halos.halos[17][11] = HouseHalo{1, 1, 2, 4.5f};
    o.drawing.houses_masks_2 = {3, 4};
    o.drawing.zodiac_origin = AngleValue::radians(1.5);
    o.drawing.real_88 = 12.5;
    o.drawing.aspect_ratio = 0.75f;
    o.my_city.place.county = "Fairfax";
    o.my_city.correction_hours = 5.0;
    o.my_city.tz_state = 2;
    o.database = {"tellurim", "user", "secret", 1, 1};
    o.exaltations.rows[kUranus] = ExaltationRow{};
    o.exaltations.absolute_longitudes = 0;
    o.nakshatras[26].meaning = "wealthy";
    o.nakshatras[26].colour = 0x11223344;
    o.dasas.year_length = 360.0;
    o.dasas.periods[728] = DasaPeriod{1.25, 2, 2, 9};
    o.dasas.start_offsets[728] = 43829.0;
    o.natural_relationships[17][0] = -1;
    o.ephemeris = {kEphemerisJpl, "/data/de440.bin", 1};
    return o;
}

TEST(OptionsImage, RoundTripKeepsEveryBlock) {
    for (const Options& original : {Options{}, every_block_changed()}) {
        auto image = write_options_image(original);
        ASSERT_EQ(image.size(), kOptionsFileSize);
        Options back;
        back.window = {9, 9, 9, 9};
        ASSERT_TRUE(read_options_image(image, back));
        EXPECT_TRUE(back == original);
        EXPECT_EQ(write_options_image(back), image);
    }
    EXPECT_FALSE(Options{} == every_block_changed());
    // The changed astrology and ephemeris choices at their offsets.
    auto image = write_options_image(every_block_changed());
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 64, image.begin() + 69), (std::vector<std::uint8_t>{kPlacidus, 1, 1, 0, 1}));
    EXPECT_EQ(signed_le(image, 63196, 4), 2);
    EXPECT_EQ(utf16_at(image, 63196 + 4, 260), "/data/de440.bin");
    EXPECT_EQ(image[63196 + 524], 1);
    // Only the first record of a longer image is read; a short image is refused, record untouched.
    auto twice = image;
    auto other = write_options_image(Options{});
    twice.insert(twice.end(), other.begin(), other.end());
    Options back;
    ASSERT_TRUE(read_options_image(twice, back));
    EXPECT_TRUE(back == every_block_changed());
    image.pop_back();
    Options untouched;
    EXPECT_FALSE(read_options_image(image, untouched));
    EXPECT_TRUE(untouched == Options{});
}

}  // namespace
}  // namespace tellurim
