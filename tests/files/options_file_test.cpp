// The options file at start-up: missing, corrupt, empty, longer, uncreatable; saving; the
// configuration check and the directories-and-files dialog.
#include <gtest/gtest.h>

#include <cstdlib>

#include "astro/dasa_table.h"
#include "common/temp_dir.h"
#include "files/options_image.h"
#include "files/options_file.h"
#include "files/my_city.h"

namespace tellurim {
namespace {
using namespace testing_data;

class OptionsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tmp / "private");
        fs::create_directories(tmp / "horoscopes");
    }
    TempDir tmp;
    fs::path root = tmp.root, file = root / "private/options.pra";
    std::string private_dir = tmp.str("private"), horoscopes_dir = tmp.str("horoscopes");
    RecordingMessages messages;
    void make_paths() {
        fs::create_directories(root / "tcl");
        fs::create_directories(root / "countries");
        write_text(root / "stars.spra", "x");
        write_text(root / "db.ini", "x");
    }
};

TEST_F(OptionsFileTest, MissingFileIsCreatedWithTheDefaultsThenRead) {
    OptionsLoad r = load_options(private_dir, horoscopes_dir, messages);
    EXPECT_EQ(r.status, OptionsLoadStatus::Created);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(messages.messages, (std::vector<Message>{
                                     {"Options file created with default values.", "File creation", MessageIcon::Information}}));
    EXPECT_EQ(read_bytes(file), write_options_image(r.options));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(r.options.paths.save_file, horoscopes_dir + "/save.txt");
    // The next start reads the saved file silently. The dasa periods are built again from the
    // file's zero date and year length, not read.
    Options mine = make_default_options(horoscopes_dir);
    mine.astro.house_system = kRegiomontanus;
    mine.dasas.year_length = 360.0;
    mine.dasas.periods = {};
    mine.dasas.start_offsets = {};
    ASSERT_TRUE(save_options(private_dir, mine));
    messages.messages.clear();
    r = load_options(private_dir, horoscopes_dir, messages);
    EXPECT_EQ(r.status, OptionsLoadStatus::Loaded);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_NEAR(r.options.dasas.start_offsets[728] + r.options.dasas.periods[728].duration_days, 120 * 360.0, 1e-6);
    build_dasa_table(mine.dasas, mine.dasas.zero_date, 360.0);
    EXPECT_TRUE(r.options == mine);
}

// Lengths that are not whole multiples of the record are deleted and recreated; multiples
// are read, only their first 65,280 bytes.
struct LengthCase { std::size_t length; OptionsLoadStatus status; };

TEST_F(OptionsFileTest, FileLengths) {
    const LengthCase cases[] = {
        {65279, OptionsLoadStatus::Recreated},
        {65281, OptionsLoadStatus::Recreated},
        {1, OptionsLoadStatus::Recreated},
        {130560, OptionsLoadStatus::Loaded},
    };
    Options mine = make_default_options(horoscopes_dir);
    mine.ephemeris.type = kEphemerisJpl;
    auto image = write_options_image(mine);
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.length);
        messages.messages.clear();
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < c.length) bytes.insert(bytes.end(), image.begin(), image.end());
        bytes.resize(c.length);
        write_bytes(file, bytes);
        OptionsLoad r = load_options(private_dir, horoscopes_dir, messages);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.ok());
        if (c.status == OptionsLoadStatus::Loaded) {
            EXPECT_TRUE(messages.messages.empty());
            EXPECT_EQ(r.options.ephemeris.type, kEphemerisJpl);
            EXPECT_EQ(fs::file_size(file), c.length);  // read, not rewritten
            continue;
        }
        ASSERT_EQ(messages.messages.size(), 2u);
        // The specified text, then where the damaged file went: nothing is lost for good.
        EXPECT_EQ(messages.messages[0], (Message{"Options file is corrupt and is about to be deleted\n"
                                                 "The damaged file was kept as " + file.string() + ".bad",
                                                 "Fatal error", MessageIcon::Error}));
        EXPECT_EQ(fs::file_size(file.string() + ".bad"), c.length);
        EXPECT_EQ(messages.messages[1].text, "Options file created with default values.");
        EXPECT_EQ(r.options.ephemeris.type, kEphemerisBdl);
        EXPECT_EQ(fs::file_size(file), 65280u);
    }
}

// An empty file is refused end to end in tests/data/cli/options_damaged.txt.
TEST_F(OptionsFileTest, UncreatableFileEndsWithExitCodeOne) {
    OptionsLoad r;
    // A "directory" that is a regular file: nothing can be created in it, not even by root.
    const std::string bad_dir = write_text(root / "plain", "x");
    r = load_options(bad_dir, horoscopes_dir, messages);
    EXPECT_EQ(r.status, OptionsLoadStatus::CannotCreate);
    EXPECT_EQ(r.exit_code(), 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Cannot create Options file, application must quit");
    EXPECT_EQ(messages.messages[0].caption, "Fatal error");
    EXPECT_FALSE(save_options(bad_dir, r.options));
}

// The defaults that need the environment are read end to end in tests/data/cli/options_paths.txt.
TEST(SystemTimeZone, CorrectionIsMinusTheOffsetFromGreenwich) {
    const char* saved = std::getenv("TZ");
    std::string keep = saved ? saved : "";
    ::setenv("TZ", "UTC+5", 1);  // POSIX: five hours west of Greenwich, no daylight time
    ::tzset();
    SystemTimeZone z = system_time_zone_now();
    const Options defaults = make_default_options("/h");
    if (saved)
        ::setenv("TZ", keep.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(z.correction_hours(), 5.0);
    EXPECT_EQ(z.state, 1);
    // My city takes the system's correction: U.T. = legal + correction.
    EXPECT_EQ(defaults.my_city.correction_hours, 5.0);
    EXPECT_EQ(defaults.my_city.tz_state, 1);
}

TEST_F(OptionsFileTest, CheckConfigurationReportsEveryMissingPath) {
    Options o = make_default_options(horoscopes_dir);
    make_paths();
    o.paths.tcl_script_dir = (root / "tcl").string();
    o.paths.stars_file = (root / "stars.spra").string();
    o.paths.countries_dir = (root / "countries").string();
    o.paths.db_ini_file = (root / "db.ini").string();
    EXPECT_TRUE(check_configuration(o, horoscopes_dir, messages));
    EXPECT_TRUE(messages.messages.empty());

    o.paths.tcl_script_dir = (root / "missing_tcl").string();
    o.paths.stars_file = (root / "tcl").string();  // a directory is not a file
    o.paths.db_ini_file = "";
    EXPECT_FALSE(check_configuration(o, "", messages));
    const Message expected[] = {
        {"(no path is set)", "Check your configuration. Directory not find:", MessageIcon::Warning},
        {(root / "missing_tcl").string(), "Check your configuration. Directory not find:", MessageIcon::Warning},
        {(root / "tcl").string(), "Check your configuration. File not find:", MessageIcon::Warning},
        {"(no path is set)", "Check your configuration. File not find:", MessageIcon::Warning},
    };
    ASSERT_EQ(messages.messages.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(messages.messages[i], expected[i]) << i;

    // An empty stars file is a choice the paths dialog accepts: said as such, not as a missing file.
    messages.messages.clear();
    o.paths.stars_file = "";
    o.paths.db_ini_file = (root / "db.ini").string();
    o.paths.tcl_script_dir = (root / "tcl").string();
    EXPECT_FALSE(check_configuration(o, horoscopes_dir, messages));
    EXPECT_EQ(messages.messages, (std::vector<Message>{{"No stars file is set: charts go without stars (tellurim "
                                                        "stars file PATH sets one).", "Stars", MessageIcon::Information}}));
}

// Each field's own refusal is checked through the settings (tests/data/files/option_refusals.txt);
// here the dialog's order, its cleaning of the values and the catalogue check.
TEST_F(OptionsFileTest, PathsDialogChecksFieldsInOrder) {
    make_paths();
    std::ofstream(root / "editor") << "#!/bin/sh\n";
    fs::permissions(root / "editor", fs::perms::owner_all);
    std::ofstream(root / "notes.txt") << "x";
    OptionsPaths good;
    good.tcl_script_dir = (root / "tcl").string();
    good.stars_file = "";
    good.countries_dir = (root / "countries").string();
    good.text_editor = "\"" + (root / "editor").string() + "\"";
    good.db_ini_file = (root / "db.ini").string();
    good.save_file = (root / "horoscopes/save.txt").string();
    good.default_country = std::string(130, 'c');

    struct Case {
        const char* what;
        void (*spoil)(OptionsPaths&, const fs::path&);
        PathsField field;
        const char* text;
    };
    const Case cases[] = {
        {"all good", [](OptionsPaths&, const fs::path&) {}, PathsField::None, ""},
        {"empty Tcl directory", [](OptionsPaths& p, const fs::path&) { p.tcl_script_dir.clear(); },
         PathsField::TclScriptDir, "Not a correct value for this field"},
        {"stars file missing", [](OptionsPaths& p, const fs::path& r) { p.stars_file = (r / "no.spra").string(); },
         PathsField::StarsFile, "Not a correct value for this field"},
        {"editor not executable", [](OptionsPaths& p, const fs::path& r) { p.text_editor = (r / "notes.txt").string(); },
         PathsField::TextEditor, "Not a correct value for this field"},
        {"Tcl before countries",
         [](OptionsPaths& p, const fs::path&) {
             p.countries_dir.clear();
             p.tcl_script_dir.clear();
         },
         PathsField::TclScriptDir, "Not a correct value for this field"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OptionsPaths v = good;
        c.spoil(v, root);
        PathsCheck r = check_paths_dialog(v);
        EXPECT_EQ(r.failed, c.field);
        if (r.ok()) {
            EXPECT_EQ(v.text_editor, (root / "editor").string());  // quotes removed
            EXPECT_EQ(v.default_country, std::string(119, 'c'));
        } else {
            EXPECT_EQ(text(r.message), c.text);
        }
    }
    OptionsPaths v = good;
    v.stars_file = (root / "stars.spra").string();
    EXPECT_EQ(check_paths_dialog(v, [](const std::string&) { return false; }).failed, PathsField::StarsFile);
    EXPECT_TRUE(check_paths_dialog(v, [](const std::string&) { return true; }).ok());
}

}  // namespace
}  // namespace tellurim
