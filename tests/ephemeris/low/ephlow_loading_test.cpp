// The loader's messages and reloads, with the real provider and the fake ones built beside
// these tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ephemeris_library.h"

namespace tellurim {
namespace {

void use_directory(const char* dir) { setenv("TELLURIM_LIB_DIR", dir, 1); }

// A load that fails leaves nothing loaded, and computing is then refused with the program's
// own message.
TEST(EphemerisLoading, FailedLoadsAreReported) {
    struct Row { const char* dir; int type; const char* jpl_file; const char* message; };
    const Row rows[] = {
        {TELLURIM_BIN_DIR, -1, "", "Unknown ephemiris type"},
        {TELLURIM_BIN_DIR, 3, "", "Unknown ephemiris type"},
        {TELLURIM_BIN_DIR, 99, "", "Unknown ephemiris type"},
        {FAKE_INCOMPLETE_DIR, 0, "", "Cannot find function"},  // a libephlow.so without one entry point
        {FAKE_FAILING_DIR, 1, "", "Error loading ephemeris dll"},
        {FAKE_FAILING_DIR, 2, "/nowhere/de406.bin", "Error loading libephjpl.so"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.dir << " type " << r.type);
        use_directory(r.dir);
        EphemerisLibrary lib;
        auto st = lib.load(r.type, r.jpl_file);
        EXPECT_FALSE(st.ok);
        EXPECT_EQ(st.message, r.message);
        EXPECT_FALSE(lib.is_loaded());
        EXPECT_EQ(lib.compute(2451545.0, 2451545.0).message, "computePositions function not found.");
    }
}

TEST(EphemerisLoading, MissingLibraryNamesTheFileAndTheSystemReason) {
    use_directory(FAKE_INCOMPLETE_DIR);  // holds no libephbdl.so
    EphemerisLibrary lib;
    auto st = lib.load(1);
    EXPECT_FALSE(st.ok);
    const std::string prefix = "LoadLibrary failed for libephbdl.so: ";
    EXPECT_EQ(st.message.substr(0, prefix.size()), prefix) << st.message;
    EXPECT_NE(st.message.find("No such file"), std::string::npos) << st.message;
    EXPECT_FALSE(lib.is_loaded());
    EXPECT_EQ(lib.compute_filtered(2451545.0, 2451545.0, "SUN").message, "computePositions function not found.");
    EXPECT_FALSE(lib.position("SUN"));
    EXPECT_EQ(lib.infos()[0], "");
}

// The loaded provider stays until the type (or, for JPL, the file) changes; a failed load
// leaves nothing loaded and the next call tries again; a failing computation is reported.
TEST(EphemerisLoading, ReloadsOnlyWhenTheChoiceChanges) {
    use_directory(TELLURIM_BIN_DIR);
    EphemerisLibrary lib;
    ASSERT_TRUE(lib.load(0).ok);
    ASSERT_TRUE(lib.compute(2451545.0, 2451545.0).ok);

    // same type: kept, even though the directory now holds another libephlow.so
    use_directory(FAKE_FAILING_DIR);
    ASSERT_TRUE(lib.load(0, "ignored for type 0").ok);
    EXPECT_TRUE(lib.compute(2451545.0, 2451545.0).ok) << "the real provider should still be loaded";

    // another type: the old one goes, the new one fails, nothing stays
    auto st = lib.load(1);
    EXPECT_EQ(st.message, "Error loading ephemeris dll");
    EXPECT_FALSE(lib.is_loaded());

    // the same choice again is tried again (here it loads the fake whose computation fails)
    ASSERT_TRUE(lib.load(0).ok);
    EXPECT_EQ(lib.type(), 0);
    st = lib.compute(2451545.0, 2451545.0);
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(st.message, "computePositions error.");
    EXPECT_EQ(lib.compute_filtered(2451545.0, 2451545.0, "SUN").message, "computePositions error.");
    EXPECT_FALSE(lib.position("SUN"));
    EXPECT_EQ(lib.infos()[1], "");  // the fake has no getInfos

    use_directory(TELLURIM_BIN_DIR);
    lib.unload();
    ASSERT_TRUE(lib.load(0).ok);
    EXPECT_TRUE(lib.compute(2451545.0, 2451545.0).ok);
}

}  // namespace
}  // namespace tellurim
