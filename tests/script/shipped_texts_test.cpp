// The interpretation texts that ship: each file holds exactly the entries its naming scheme
// promises, in order, under the planet and sign names the script commands give (the scripts
// build identifiers from them), each with a title and two to five sentences.
#include <gtest/gtest.h>

#include <regex>

#include "astro/planets_signs.h"
#include "common/temp_dir.h"
#include "files/interp_index.h"

namespace tellurim {
namespace {

TEST(ShippedTexts, EveryFileHoldsItsSchemeInOrder) {
    const int planets[] = {0, 1, 2, 3, 4, 5, 6, 11, 12, 13};  // Sun to Saturn, Uranus to Pluto
    std::vector<std::string> ids[3];
    for (int i = 0; i < 10; ++i) {
        const std::string p(planet_name(planets[i]));
        for (int n = 0; n < 12; ++n) {
            ids[0].push_back(p + "_in_" + std::string(sign_name(n)));
            ids[1].push_back(p + "_in_house_" + std::to_string(n + 1));
        }
        for (int j = i + 1; j < 10; ++j)
            for (const char* a : {"conjunction", "sextile", "square", "trine", "opposition"})
                ids[2].push_back(p + "_" + a + "_" + std::string(planet_name(planets[j])));
    }
    const std::size_t counts[] = {120, 120, 225};
    const std::regex templates(R"(<\?[\s\S]*?\?>)"), sentence_end(R"([.!?](\s|$))");
    for (int f = 0; f < 3; ++f) {
        const std::string name = "inter_us" + std::to_string(f + 1) + ".txt";
        SCOPED_TRACE(name);
        const std::string text = testing_data::read_text(std::string(TELLURIM_SOURCE_DIR) + "/data/txtinterpretation/us/" + name);
        const std::vector<IndexRecord> anchors = scan_anchors(text);
        ASSERT_EQ(ids[f].size(), counts[f]);
        ASSERT_EQ(anchors.size(), counts[f]);
        for (std::size_t i = 0; i < anchors.size(); ++i) {
            SCOPED_TRACE(anchors[i].identifier);
            EXPECT_EQ(anchors[i].identifier, "\"" + ids[f][i] + "\"");
            EXPECT_NE(anchors[i].title, ids[f][i]) << "no title of its own";
            const std::size_t end = i + 1 < anchors.size() ? anchors[i + 1].anchor_offset : text.size();
            const std::string prose = std::regex_replace(text.substr(anchors[i].text_offset, end - anchors[i].text_offset), templates, "");
            EXPECT_EQ(prose.find("<?"), std::string::npos) << "unclosed template";
            const auto sentences = std::distance(std::sregex_iterator(prose.begin(), prose.end(), sentence_end), std::sregex_iterator());
            EXPECT_TRUE(sentences >= 2 && sentences <= 5) << sentences << " sentences";
        }
    }
}

}  // namespace
}  // namespace tellurim
