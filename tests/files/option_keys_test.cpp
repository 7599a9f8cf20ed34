// The settings table: every setting reads back what it shows, the dialogs' rules refuse
// what they refuse with their own messages, and a set changes only its own bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/data_table.h"
#include "files/options_image.h"
#include "files/option_keys.h"
#include "files/options_file.h"

namespace tellurim {
namespace {

struct Edit {
    Options options = make_default_options("/tmp");
    RecordingMessages messages;
    OptionContext ctx{options, "/tmp", "/tmp", messages};
    OptionSetResult set(const std::string& key, std::vector<std::string> values) {
        const OptionKey* k = find_option_key(key);
        EXPECT_NE(k, nullptr) << key;
        if (!k || !k->set) return std::string("no such setting");
        return k->set(ctx, values);
    }
};

// Setting the value a setting shows leaves every byte of the record as it was: what is shown
// is exactly what is stored, for every row at once.
TEST(OptionKeys, EverySettingTakesBackWhatItShows) {
    // These need the outside world: a registry, an atlas search, an existing JPL file.
    const std::set<std::string> outside = {"directories.private", "directories.horoscopes", "my-city.find",
                                           "ephemeris.jpl-file", "paths.save-file", "paths.stars-file",
                                           "paths.db-ini-file", "paths.tcl-script-dir", "paths.countries-dir"};
    std::set<std::string> names;
    for (const OptionKey& k : all_option_keys()) {
        EXPECT_TRUE(names.insert(k.name).second) << "twice: " << k.name;
        // Rows kept outside the record (the geocoding settings) write files of their own.
        if (!k.set || !k.in_options_file || outside.count(k.name)) continue;
        SCOPED_TRACE(k.name);
        Edit e;
        const auto before = write_options_image(e.options);
        const std::string shown = k.get(e.ctx);
        std::vector<std::string> values{shown};
        if (k.min_values > 1) {  // several values shown in one line
            values.clear();
            for (std::size_t at = 0; at <= shown.size();) {
                std::size_t space = shown.find(' ', at);
                if (space == std::string::npos) space = shown.size();
                values.push_back(shown.substr(at, space - at));
                at = space + 1;
            }
        }
        EXPECT_EQ(k.set(e.ctx, values), std::nullopt);
        const auto after = write_options_image(e.options);
        auto diff = std::mismatch(before.begin(), before.end(), after.begin());
        EXPECT_EQ(diff.first, before.end()) << "first changed byte " << (diff.first - before.begin());
    }
}

// The dialogs' rules and their exact texts (tests/data/files/option_refusals.txt).
TEST(OptionKeys, RefusedValuesSayTheDialogsMessage) {
    for (const testing_data::DataRow& c : testing_data::data_rows("files/option_refusals.txt")) {
        SCOPED_TRACE(c[0] + " " + c[1]);
        std::vector<std::string> values;
        for (std::size_t at = 0; at <= c[1].size();) {
            const std::size_t end = std::min(c[1].find(" ; ", at), c[1].size());
            values.push_back(testing_data::DataRow{0, {c[1].substr(at, end - at)}}.text(0));
            at = end + 3;
        }
        Edit e;
        const Options before = e.options;
        OptionSetResult r = e.set(c[0], values);
        EXPECT_EQ(r.value_or(""), c.size() > 2 ? c[2] : "");
        if (r) {
            EXPECT_EQ(e.options, before);  // a refused value changes nothing
        }
    }
}

// A set changes the bytes of its own field and of nothing else; the presets set both fields
// of the dasa dialog and rebuild the periods.
TEST(OptionKeys, ASetChangesOnlyItsOwnBytes) {
    struct Case {
        const char* key;
        std::string value;
        std::size_t first, last;  // the bytes that may change, inclusive
    };
    const Case cases[] = {
        {"astro.house-system", "Placidus", 64, 64},
        {"astro.zodiac", "movable", 65, 65},
        {"interface.left-speed-bar", "yes", 2, 2},
        {"drawing.aspect-ratio", "2", kOptDrawingOffset + 112, kOptDrawingOffset + 115},
        {"colours.sign-leo", "#01020304", kOptColoursOffset + 20 * 4, kOptColoursOffset + 20 * 4 + 3},
        {"database.prefix-id-with-ip", "yes", kOptDatabaseOffset + 600, kOptDatabaseOffset + 600},
        {"ephemeris.type", "jpl", kOptEphemerisOffset, kOptEphemerisOffset + 3},
        {"dasa.zero-date", "Fagan-Bradley", kOptDasasOffset, kOptRelationshipsOffset - 1},
        {"nakshatras.3.meaning", "red", kOptNakshatrasOffset + 3 * 808, kOptNakshatrasOffset + 4 * 808 - 1},
        {"exaltations.mars", "300", kOptExaltationsOffset + 4 * 40, kOptExaltationsOffset + 5 * 40 - 1},
        {"exaltations.uranus", "", kOptExaltationsOffset + 11 * 40, kOptExaltationsOffset + 12 * 40 - 1},
        {"aspect-filters.houses.1.hide", "I,vii 10", kOptDrawingOffset + 28, kOptDrawingOffset + 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Edit e;
        const auto before = write_options_image(e.options);
        ASSERT_EQ(e.set(c.key, {c.value}), std::nullopt);
        const auto after = write_options_image(e.options);
        bool changed = false;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i] == after[i]) continue;
            changed = true;
            EXPECT_TRUE(i >= c.first && i <= c.last) << "byte " << i;
        }
        EXPECT_TRUE(changed);
    }
    Edit e;
    ASSERT_EQ(e.set("dasa.zero-date", {"Fagan-Bradley"}), std::nullopt);
    EXPECT_EQ(format_date_hour(e.options.dasas.zero_date), "0222-03-13 15:19:32.89 JD");
    EXPECT_EQ(e.options.dasas.year_length, 360.0);
    EXPECT_DOUBLE_EQ(e.options.dasas.start_offsets.back() + e.options.dasas.periods.back().duration_days, 120 * 360.0);
    // "Hide:" boxes are stored inverted; bits without a box keep their value.
    ASSERT_EQ(e.set("aspect-filters.planets.2.hide", {"Sun", "Ketu"}), std::nullopt);
    EXPECT_EQ(e.options.drawing.planets_masks_2[1], 0xFFFFFFFFu & ~(1u << 0) & ~(1u << 10));
    ASSERT_EQ(e.set("aspect-filters.planets.modes", {"inside"}), std::nullopt);
    EXPECT_EQ(e.options.drawing.planets_mode, 4u);
}

}  // namespace
}  // namespace tellurim
