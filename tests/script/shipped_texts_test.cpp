// The interpretation texts that ship in data/txtinterpretation/us: each file holds exactly the
// entries its naming scheme promises, in order, under the planet and sign names that the
// script commands give (the scripts build identifiers from them), each entry with a title,
// two to five sentences and closed templates.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "astro/planets_signs.h"
#include "files/interp_index.h"

namespace tellurim {
namespace {

constexpr std::array<int, 10> kPlanets{0, 1, 2, 3, 4, 5, 6, 11, 12, 13};  // Sun to Saturn, Uranus to Pluto
constexpr std::array<const char*, 5> kAspects{"conjunction", "sextile", "square", "trine", "opposition"};

std::vector<std::string> planets_in_signs() {
    std::vector<std::string> ids;
    for (int p : kPlanets)
        for (int s = 0; s < 12; ++s) ids.push_back(std::string(planet_name(p)) + "_in_" + std::string(sign_name(s)));
    return ids;
}

std::vector<std::string> planets_in_houses() {
    std::vector<std::string> ids;
    for (int p : kPlanets)
        for (int h = 1; h <= 12; ++h) ids.push_back(std::string(planet_name(p)) + "_in_house_" + std::to_string(h));
    return ids;
}

std::vector<std::string> aspects_between_planets() {
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < kPlanets.size(); ++i)
        for (std::size_t j = i + 1; j < kPlanets.size(); ++j)
            for (const char* a : kAspects)
                ids.push_back(std::string(planet_name(kPlanets[i])) + "_" + a + "_" + std::string(planet_name(kPlanets[j])));
    return ids;
}

// Sentences of an entry's text once its templates are taken out.
int sentence_count(const std::string& text) {
    const std::string prose = std::regex_replace(text, std::regex(R"(<\?[\s\S]*?\?>)"), "");
    const std::regex end(R"([.!?](\s|$))");
    return static_cast<int>(std::distance(std::sregex_iterator(prose.begin(), prose.end(), end), std::sregex_iterator()));
}

TEST(ShippedTexts, EveryFileHoldsItsSchemeInOrder) {
    struct Case {
        const char* file;
        std::size_t entries;
        std::function<std::vector<std::string>()> identifiers;
    } cases[] = {
        {"inter_us1.txt", 120, planets_in_signs},
        {"inter_us2.txt", 120, planets_in_houses},
        {"inter_us3.txt", 225, aspects_between_planets},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(TELLURIM_SOURCE_DIR) + "/data/txtinterpretation/us/" + c.file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        const std::string text = bytes.str();
        const std::vector<IndexRecord> anchors = scan_anchors(text);
        const std::vector<std::string> expected = c.identifiers();
        ASSERT_EQ(expected.size(), c.entries);
        ASSERT_EQ(anchors.size(), c.entries);
        for (std::size_t i = 0; i < anchors.size(); ++i) {
            SCOPED_TRACE(anchors[i].identifier);
            EXPECT_EQ(anchors[i].identifier, "\"" + expected[i] + "\"");
            EXPECT_NE(anchors[i].title, expected[i]) << "no title of its own";
            const std::size_t end = i + 1 < anchors.size() ? anchors[i + 1].anchor_offset : text.size();
            const std::string entry = text.substr(anchors[i].text_offset, end - anchors[i].text_offset);
            const int sentences = sentence_count(entry);
            EXPECT_GE(sentences, 2);
            EXPECT_LE(sentences, 5);
            std::size_t open = 0;
            while ((open = entry.find("<?", open)) != std::string::npos) {
                const std::size_t close = entry.find("?>", open + 2);
                ASSERT_NE(close, std::string::npos) << "unclosed template";
                EXPECT_EQ(entry.substr(open + 2, close - open - 2).find("<?"), std::string::npos) << "nested template";
                open = close + 2;
            }
        }
    }
}

}  // namespace
}  // namespace tellurim
