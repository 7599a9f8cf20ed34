// Settings written by another installation or by a build tree, repaired at start-up.
#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "files/installed_data.h"
#include "files/interp_texts.h"
#include "files/options_file.h"

namespace tellurim {
namespace {
using namespace testing_data;

struct Installation {
    TempDir dir;
    std::string base = dir.str("share/tellurim");
    Installation() {
        fs::create_directories(dir / "share/tellurim/stars");
        fs::create_directories(dir / "share/tellurim/countries");
        fs::create_directories(dir / "share/tellurim/txtinterpretation/us");
        fs::create_directories(dir / "private");
        write_text(dir / "share/tellurim/stars/stars.spra", "x");
        write_text(dir / "share/tellurim/txtinterpretation/us/inter_us2.txt", "x");
    }
};

TEST(InstalledData, OnlyMissingShippedDataMoves) {
    Installation in;
    const struct {
        std::string path;
        std::string moved;
    } rows[] = {
        {"/opt/old/share/tellurim/stars/stars.spra", in.base + "/stars/stars.spra"},  // another installation
        {"/home/dev/tellurim/data/countries/", in.base + "/countries"},                // a build tree
        {"/home/me/astro/stars/stars.spra", ""},                 // the user's own copy
        {"/opt/old/share/tellurim/stars/mine.spra", ""},         // not shipped
        {"/opt/old/share/tellurim/tcltkscript", ""},             // not in this installation either
        {in.base + "/stars/stars.spra", ""},                     // exists
        {"", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(rebase_shipped_path(r.path, in.base).value_or(""), r.moved);
    }
}

TEST(InstalledData, RepairsOptionsAndInterpretationListOnce) {
    Installation in;
    const std::string priv = in.dir.str("private");
    Options o = make_default_options(in.dir.str());
    o.paths.stars_file = "/opt/gone/share/tellurim/stars/stars.spra";
    o.paths.countries_dir = "/home/me/atlas";
    ASSERT_TRUE(save_options(priv, o));
    InterpFile text{2, "/src/tellurim/data/txtinterpretation/us/inter_us2.txt", {}, 0};
    ASSERT_TRUE(save_interp_list(InterpList{priv, {text}}));

    RecordingMessages told;
    repair_shipped_paths(priv, o, in.base, told);
    const std::string stars = in.base + "/stars/stars.spra", interp = in.base + "/txtinterpretation/us/inter_us2.txt";
    EXPECT_EQ(told.messages,
              (std::vector<Message>{{"These paths named data of another installation that no longer exists; they now "
                                     "name this installation's data:\n/opt/gone/share/tellurim/stars/stars.spra -> " +
                                         stars + "\n" + text.path + " -> " + interp,
                                     "Settings repaired", MessageIcon::Information}}));
    SilentMessages silent;
    const Options saved = load_options(priv, in.dir.str(), silent).options;
    EXPECT_EQ(saved.paths.stars_file, stars);
    EXPECT_EQ(saved.paths.countries_dir, "/home/me/atlas");
    EXPECT_EQ(o.paths.stars_file, stars);
    auto list = parse_interp_list(read_bytes(interp_list_path(priv)));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->at(0).path, interp);
    EXPECT_EQ(list->at(0).state, kInterpIndexStale);

    // Said once: the next start finds nothing to repair.
    RecordingMessages again;
    repair_shipped_paths(priv, o, in.base, again);
    EXPECT_TRUE(again.messages.empty());
}

}  // namespace
}  // namespace tellurim
