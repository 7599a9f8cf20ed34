// The stars file on disk: whole multiples of 704 bytes load, anything else is refused; the
// catalogue generated at setup holds the named stars of the Swiss Ephemeris list.
#include "files/stars_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/temp_dir.h"

namespace tellurim {
namespace {

using namespace testing_data;

StarRecord star(std::string name) {
    StarRecord s;
    s.name = std::move(name);
    s.ra = AngleValue::hours(1.0);
    s.dec = AngleValue::degrees(2.0);
    return s;
}

TEST(StarsFile, TwoRecordsLoadAndCorruptFilesAreRefused) {
    TempDir m_dir;
    auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) { return write_bytes(m_dir / name, bytes); };
    const std::string good = (m_dir / "stars.spra").string();
    ASSERT_TRUE(write_star_catalogue(good, {star("Aldebaran"), star("Regulus")}));
    EXPECT_EQ(fs::file_size(good), 1408u);
    StarCatalogue c;
    ASSERT_TRUE(load_star_catalogue(good, c));
    ASSERT_EQ(c.stars.size(), 2u);
    EXPECT_EQ(c.stars[1].number, 1u);
    EXPECT_EQ(c.stars[1].name, "Regulus");
    EXPECT_EQ(c.path, good);

    const std::vector<std::uint8_t> bytes = read_bytes(good);
    std::vector<std::uint8_t> longer(bytes.begin(), bytes.begin() + 704);
    longer.push_back(0);
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(1408);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    const std::pair<const char*, std::string> bad[] = {
        {"705 bytes", write("705.spra", longer)},
        {"truncated", write("short.spra", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 1000))},
        {"random", write("random.spra", noise)},
        {"empty", write("empty.spra", {})},
        {"missing", (m_dir / "none.spra").string()},
    };
    for (const auto& [what, path] : bad) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(load_star_catalogue(path, c));
        EXPECT_TRUE(c.stars.empty());
        EXPECT_FALSE(is_star_catalogue_file(path));
    }
}

// The catalogue that tools/data.d/40-stars.sh builds from sefstars.txt.
TEST(GeneratedStars, HoldsTheNamedStars) {
    const std::string path = std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra";
    if (!fs::exists(path)) GTEST_SKIP() << "run tools/make-data.sh first";
    StarCatalogue c;
    ASSERT_TRUE(load_star_catalogue(path, c));
    EXPECT_GT(c.stars.size(), 1000u);
    int regulus = star_number_from_name(c, "regulus");
    ASSERT_GE(regulus, 0);
    const StarRecord& r = c.stars[static_cast<std::size_t>(regulus)];
    EXPECT_EQ(r.comment, "Alpha Leo; also Magha");
    EXPECT_NEAR(r.magnitude, 1.40, 1e-9);
    EXPECT_EQ(r.spectral_class, "");
    EXPECT_EQ(r.epoch.jd_et, 2451545.0);
    // SIMBAD (ICRS): 10h08m22.311s +11d58'01.95", proper motion -248.73 mas/yr * cos dec.
    EXPECT_NEAR(r.ra.to_hours(), 10 + 8 / 60.0 + 22.31099 / 3600, 1e-9);
    EXPECT_NEAR(r.pm_ra.to_degrees() * 3.6e6 * std::cos(r.dec.to_radians()), -248.73, 1e-6);
    for (std::size_t i = 0; i < c.stars.size(); ++i) {
        EXPECT_EQ(c.stars[i].number, i);
        EXPECT_EQ(star_number_from_identifier(c, c.stars[i].identifier), static_cast<int>(i));
    }
}

}  // namespace
}  // namespace tellurim
