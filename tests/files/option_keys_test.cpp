// The settings table: every setting reads back what it shows, the dialogs' rules refuse
// what they refuse with their own messages, and a set changes only its own bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/options_image.h"
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
        if (!k.set || outside.count(k.name)) continue;
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

// The dialogs' rules and their exact texts.
TEST(OptionKeys, RefusedValuesSayTheDialogsMessage) {
    const std::string not_correct = "Not a correct value for this field";
    struct Case {
        const char* key;
        std::vector<std::string> values;
        std::string message;  // "" when accepted
    };
    const Case cases[] = {
        {"astro.zero-date", {"2000-13-01"}, "Not a valid date for zodiacs concordance."},
        {"astro.zero-date", {"fagan-bradley"}, ""},
        {"astro.house-system", {"7"}, "Unknown house system (Campanus, Alcabitus, Abenragel, Regiomontanus, "
                                      "Placidus, Hindu, ModusAequalis): 7"},
        {"astro.house-system", {"6"}, ""},
        {"astro.zodiac", {"tropical"}, not_correct},
        {"dasa.zero-date", {"Raman 2"}, "Not a valid date for zodiacs concordance."},
        {"dasa.year-length", {"100"}, not_correct},
        {"dasa.year-length", {"100.5"}, ""},
        {"dasa.year-length", {"nan"}, not_correct},
        {"dasa.zero-date", {"default tellurim"}, ""},
        {"exaltations.moon", {""}, "Exaltation degrees must be given for the seven visible planets"},
        {"exaltations.uranus", {" "}, ""},  // the row becomes unused
        {"exaltations.sun", {"360d"}, "Not a valid angle."},
        {"exaltations.zero-date", {"222-13-01"}, "Not a valid date for zodiacs concordance."},
        {"exaltations.longitudes", {"fixed"}, ""},
        {"nakshatras.26.name", {std::string(100, 'x')}, not_correct},
        {"nakshatras.0.colour", {"64112233"}, not_correct},
        {"aspect-filters.planets.1.aspects", {"Sun, Earth"}, not_correct},  // no box for the Earth
        {"aspect-filters.houses.2.hide", {"13"}, not_correct},
        {"aspect-filters.houses.modes", {"outside", "inside-on-outside"}, ""},
        {"drawing.zodiac-origin", {"360d"}, not_correct},
        {"drawing.zodiac-origin", {"-0d30'"}, not_correct},
        {"drawing.zodiac-origin", {"3.14"}, not_correct},  // a plain number has no unit
        {"drawing.zodiac-origin", {"23h59'"}, ""},
        {"drawing.aspect-ratio", {"0"}, not_correct},
        {"drawing.aspect-ratio", {"1e-50"}, not_correct},  // zero as a float
        {"drawing.aspect-ratio", {"-0.5"}, ""},
        {"drawing.smoothing-mode", {"5"}, not_correct},
        {"ephemeris.type", {"3"}, "Unknown ephemiris type"},
        {"ephemeris.type", {"low"}, ""},
        {"my-city.longitude", {"250d"}, "Not a valid longitude."},
        {"my-city.longitude", {"181"}, "Not a valid longitude."},
        {"my-city.latitude", {"91dN"}, "Not a valid latitude."},
        {"my-city.latitude", {"5h N"}, "Not a valid latitude."},
        {"my-city.county", {"<latitude>10dS"}, "County cannot hold a tag of the horoscope file: <latitude>"},
        {"my-city.city", {"R&D <x>"}, ""},
        {"my-city.coordinates", {"2d20'E", "48d51'N", "25"}, not_correct},
        {"my-city.coordinates", {"2d20'E", "48d51'N", "-1"}, ""},
        {"paths.countries-dir", {"/nonexistent/countries"}, "Not a valid path."},
        {"paths.tcl-script-dir", {"/nonexistent"}, not_correct},
        {"paths.db-ini-file", {"/tmp"}, not_correct},
        {"paths.save-file", {"/nonexistent/save.txt"}, not_correct},
        {"paths.text-editor", {"\"/tmp\""}, not_correct},
        {"fonts.global.size", {"0"}, not_correct},
        {"fonts.title.colour", {"#80FF0000"}, not_correct},  // a COLORREF has no alpha
        {"colours.pen", {"black"}, not_correct},
        {"database.name", {std::string(100, 'x')}, not_correct},
        {"interface.top-status-bar", {"maybe"}, not_correct},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.values[0]);
        Edit e;
        const Options before = e.options;
        OptionSetResult r = e.set(c.key, c.values);
        EXPECT_EQ(r.value_or(""), c.message);
        if (!c.message.empty()) {
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
