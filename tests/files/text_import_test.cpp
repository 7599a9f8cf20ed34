// The text import line by line (every warning and error text), the free file names and the
// log, and the round trip of 1,000 generated births through import and text export.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <random>
#include <sstream>

#include "common/temp_dir.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "files/exchange_line.h"
#include "files/horoscope_export.h"
#include "files/horoscope_file.h"
#include "files/options_file.h"
#include "files/text_import.h"

namespace tellurim {
namespace {

using namespace testing_data;

const std::string kFull =
    "Doe;John;Male;1980-05-17 14:30:00.00 GD;Paris;Paris;Ile-de-France;France;0h09'23.73\"E;48d51'24.00\"N;"
    "1980-05-17 12:30:00.00 GD;";

class TextImport : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_dir / "out");
        ASSERT_TRUE(m_library.load(kEphemerisLow));
        m_options = make_default_options(m_dir.string());
        m_options.ephemeris.type = kEphemerisLow;
        m_options.paths.countries_dir = (m_dir / "no-atlas").string();
        m_env = {&m_options, &m_messages, &m_workers, &m_library};
    }

    // Imports one line; returns the texts logged ("title: message" or the message alone).
    std::vector<std::string> import(const std::string& line, bool expect_ok, const std::string& sep = ";") {
        RecordingMessages said;
        ImportLog log(said, false);
        Horoscope h;
        std::string error;
        EXPECT_EQ(import_line(line, sep, h, log, m_env, error), expect_ok) << error;
        std::vector<std::string> texts;
        for (const auto& m : said.messages) texts.push_back(m.caption.empty() ? m.text : m.caption + ": " + m.text);
        return texts;
    }

    TempDir tmp;
    fs::path m_dir = tmp.root;
    EphemerisLibrary m_library;
    WorkerThreads m_workers;
    Options m_options;
    RecordingMessages m_messages;
    ImportEnvironment m_env;
};

std::string with_field(std::string line, int index, const std::string& value) {
    std::vector<std::string> f;
    std::stringstream s(line);
    for (std::string part; std::getline(s, part, ';');) f.push_back(part);
    f[static_cast<std::size_t>(index)] = value;
    std::string out;
    for (auto& p : f) out += p + ";";
    return out;
}

TEST_F(TextImport, EveryFieldMissingInTurn) {
    const char* missing[] = {"Cannot find name string",         "Cannot find first name string",
                             "Cannot find sexe string",         "Cannot find date/hour of birth",
                             "Cannot find city name string",    "Cannot find county name string",
                             "Cannot find state name string",   "Cannot find country name string",
                             "Cannot find city longitude string", "Cannot find city latitude string",
                             "Cannot UT date/hour of birth"};
    // A line cut before field k has k fields (the first field always exists, possibly empty).
    for (int k = 1; k < 11; ++k) {
        SCOPED_TRACE(k);
        std::string line;
        std::size_t p = 0;
        for (int i = 0; i < k; ++i) p = kFull.find(';', p) + 1;
        line = kFull.substr(0, p - 1);
        auto said = import(line, false);
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said.back(), std::string("Import Error: ") + missing[k]);
    }
}

TEST_F(TextImport, WarningsAndErrorsOfEachField) {
    struct Case { int field; std::string value; bool ok; std::string last_said; };
    const Case cases[] = {
        {0, "", true, "Import Warning: Name is an empty string"},
        {1, "", true, "Import Warning: First Name is an empty string"},
        {2, "", true, "Import Warning: Sexe string is an empty string"},
        {3, "1980-13-45", false, "Import Error: Bad local date/hour string"},
        {3, "", false, "Import Error: Error setting horoscope values!"},  // no legal time to store
        {4, "", true, "Import Warning: City string is an empty string"},
        {5, "", true, "Import Warning: County string is an empty string"},
        {6, "", true, "Import Warning: State string is an empty string"},
        {7, "", true, "Import Warning: Country string is an empty string"},
        {8, "east", false, "Import Error: Bad city longitude string"},
        {9, "north", false, "Import Error: Bad city latitude string"},
        {10, "x", false, "Import Error: Bad Date/hour string for UT date/hour of birth "},
        {8, "13h00'00.00\"E", false, "Import Error: Longitude is out of range"},
        {8, "1.5", false, "Import Error: Longitude is not valid"},
        {9, "91d00'00.00\"N", false, "Import Error: Latitude is out of range"},
        {9, "0.5", false, "Import Error: Latitude is not valid"},
        {8, "", false, "Import Error: Error during city search"},  // the search has no atlas
        // The checks of the birth options, with their messages.
        {9, "3h00'00.00\"N", false, "Import Error: Latitude is not valid"},
        {10, "2023-02-31 12:00:00.00 GD", false,
         "Import Error: Not a valid date. 2023-02-31 12:00:00.00 GD: the month has no such day"},
        {3, "1900-02-29 12:00:00.00 GD", false,
         "Import Error: Not a valid date. 1900-02-29 12:00:00.00 GD: the month has no such day"},
        {0, "X<sex>0</sex>", false, "Import Error: Last name cannot hold a tag of the horoscope file: <sex>"},
        {5, "<latitude>10d00'00.00\"S</latitude>", false,
         "Import Error: County cannot hold a tag of the horoscope file: <latitude>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value + " in field " + std::to_string(c.field));
        auto said = import(with_field(kFull, c.field, c.value), c.ok);
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said.back(), c.last_said);
    }
    EXPECT_TRUE(import(kFull, true).empty());
    EXPECT_EQ(import("", true), std::vector<std::string>{"Import Warning: Line is empty, skipping"});
    EXPECT_EQ(import(kFull, false, ""), std::vector<std::string>{"Import Error: Bad separator string"});
    // A tab separator, and fields cleaned of CR, LF, tabs and surrounding spaces.
    std::string tabbed = kFull;
    for (auto& c : tabbed)
        if (c == ';') c = '\t';
    EXPECT_TRUE(import(tabbed, true, "\t").empty());
    EXPECT_TRUE(import(with_field(kFull, 0, "  Doe \r"), true).empty());
}

TEST_F(TextImport, SexWordsSeparatorsAndNames) {
    for (const char* w : {"M", "Male", "Man", "H", "Homme"}) EXPECT_EQ(sex_from_word(w), kMan) << w;
    for (const char* w : {"F", "Female", "Femme", "Woman", "W"}) EXPECT_EQ(sex_from_word(w), kWoman) << w;
    for (const char* w : {"male", "m", "Neuter", ""}) EXPECT_EQ(sex_from_word(w), kNeuter) << w;
    EXPECT_EQ(separator_from_typed("\\t"), "\t");
    EXPECT_EQ(separator_from_typed(";\\t;"), ";\t;");
    EXPECT_FALSE(separator_from_typed("\\n"));
    EXPECT_FALSE(separator_from_typed(""));

    struct Check { std::string text_file, target, log, sep; std::string text, caption; };
    const std::string input = (m_dir / "in.txt").string();
    std::ofstream(input) << kFull << "\n";
    const Check checks[] = {
        {"", "", "", ";", "Not a valid txt file to import", "Error"},
        {input + "x", "", "", ";", "Import txt file does not exist", "Error"},
        {input, "", "", ";", "Not a valid target directory", "Error"},
        {input, (m_dir / "nope").string(), "", ";", "Target directory does not exist", "Error"},
        {input, m_dir.string(), (m_dir / "no" / "log.txt").string(), ";", (m_dir / "no" / "log.txt").string(),
         "Not a valid path for log file:"},
        {input, m_dir.string(), "", "", "Not a valid separator string", "Error"},
        {input, m_dir.string(), "", "\\x", "Only \\t escape sequence is supported", "Error"},
    };
    for (const auto& c : checks) {
        SCOPED_TRACE(c.text);
        ImportRequest r{c.text_file, c.target, c.log, c.sep, false};
        auto m = validate_import(r);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->text, c.text);
        EXPECT_EQ(m->caption, c.caption);
    }
    ImportRequest good{input, m_dir.string() + "/", "", ";", false};
    EXPECT_FALSE(validate_import(good));
    EXPECT_EQ(good.target_dir, m_dir.string());

    Horoscope h;
    h.last_name = " ";
    EXPECT_EQ(import_base_name(h, ";"), "noname");
    h.last_name = "van Dyck";
    h.first_name = "A/B";
    EXPECT_EQ(import_base_name(h, ";"), "vanDyck_AB");
}

TEST_F(TextImport, RunWritesFilesWithCountersAndFramesTheLog) {
    const std::string input = (m_dir / "in.txt").string();
    std::ofstream(input) << kFull << "\r\n\r\n" << kFull << "\r\n" << "Bad;Line\r\n" << "Bad\xFF;UTF8\r\n";
    const std::string log_file = (m_dir / "import.log").string();
    ImportRequest r{input, (m_dir / "out").string(), log_file, ";", false};
    RecordingMessages said;
    ImportSummary s = run_import(r, m_env, said, nullptr, nullptr);
    EXPECT_EQ(s.lines, 5);
    EXPECT_EQ(s.imported, 2);
    EXPECT_EQ(s.failed_lines, 2);
    EXPECT_TRUE(said.messages.empty());  // everything went to the log
    EXPECT_TRUE(fs::exists(m_dir / "out" / "Doe_John.xml"));
    EXPECT_TRUE(fs::exists(m_dir / "out" / "Doe_John1.xml"));
    EXPECT_EQ(s.final_message().text, "Import has errors");
    EXPECT_EQ(s.final_message().caption, "Text import failure");

    const std::string log = read_text(log_file);
    EXPECT_EQ(log.rfind("\r\n------- Start of import -------: ", 0), 0u);
    EXPECT_NE(log.find("\r\n-------   End of import -------: "), std::string::npos);
    EXPECT_NE(log.find("\r\nImporting line 5\r\n"), std::string::npos);
    EXPECT_NE(log.find("\r\nError string:: Cannot find sexe string\r\n\r\nError importing below line: Bad;Line\r\n"),
              std::string::npos);
    EXPECT_NE(log.find("Bad\xEF\xBF\xBD;UTF8"), std::string::npos);  // the invalid byte logged as U+FFFD

    ManualResetEvent cancel;
    cancel.set();
    ImportSummary cancelled = run_import(r, m_env, said, &cancel, nullptr);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.final_message().text, "Import was canceled by user");
}

// What the import would read otherwise is refused at export, naming the field: the separator
// inside a field or running into it, a line break, surrounding spaces, a tag of the horoscope
// file, a line over 300 characters; and separators that dates, angles or sex words hold.
TEST_F(TextImport, ExportRefusesLinesThatWouldNotImportAgain) {
    BirthData b;
    bool empty = false;
    std::string error;
    SilentMessages quiet;
    ImportLog log(quiet, false);
    ASSERT_TRUE(read_import_line(kFull, ";", b, empty, log, m_env, error));
    struct Case { std::string BirthData::*field; std::string value; std::string sep; std::string fault; };
    const Case cases[] = {
        {&BirthData::last_name, "Doe", ";", ""},
        {&BirthData::last_name, "Do;e", ";", "Last name holds the separator; the import would split the line there: ;"},
        {&BirthData::last_name, "Xa", "aa", "Last name holds the separator; the import would split the line there: aa"},
        {&BirthData::first_name, "Jo\nhn", ";", "First name holds a line break or a tab, which the import removes"},
        {&BirthData::state, "\tIDF", ";", "State holds a line break or a tab, which the import removes"},
        {&BirthData::country, "France ", ";", "Country begins or ends with a space, which the import removes"},
        {&BirthData::country, "<country>", ";", "Country cannot hold a tag of the horoscope file: <country>"},
        {&BirthData::state, std::string(119, 'S'), ";", ""},
        {&BirthData::country, std::string(119, 'C'), ";", "The line would be longer than 300 characters"},
        {&BirthData::last_name, "Doe", "0",
         "The separator occurs in the sex word, a date-hour or an angle of the line: 0"},
        {&BirthData::last_name, "Doe", "; ",
         "Separator string cannot hold a line break, nor begin or end with a space:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value + " with " + c.sep);
        BirthData changed = b;
        changed.state = std::string(100, 'S');
        changed.*c.field = c.value;
        Horoscope h;
        ASSERT_TRUE(h.set_birth_data(changed, true, m_options));
        EXPECT_EQ(exchange_line_fault(h, c.sep).value_or(""), c.fault);
    }

    // The dialog refuses the separators the import refuses, and those made of the line's own characters.
    const std::pair<const char*, const char*> separators[] = {
        {"0", "Separator string cannot be made only of characters that the dates, angles and sex words hold (digits, "
              "spaces, - : . ' \" and the letters of GD, JD, d, h, E, W, N, S, Neuter, Man, Woman): 0"},
        {"GD", "Separator string cannot be made only of characters that the dates, angles and sex words hold "
               "(digits, spaces, - : . ' \" and the letters of GD, JD, d, h, E, W, N, S, Neuter, Man, Woman): GD"},
        {"\\x", "Only \\t escape sequence is supported"},
        {" ;", "Separator string cannot hold a line break, nor begin or end with a space:  ;"},
        {"\\t", nullptr},
        {"DGx", nullptr},
    };
    for (const auto& [sep, refusal] : separators) {
        auto m = validate_text_export(TextExportRequest{"out.txt", sep, {"a.xml"}});
        EXPECT_EQ(m ? m->text : "", refusal ? refusal : "") << sep;
    }

    // A file whose line would not import again stops the export, naming the file and the field.
    Horoscope h;
    b.last_name = "Do;e";
    ASSERT_TRUE(h.set_birth_data(b, true, m_options));
    const std::string file = (m_dir / "doe.xml").string();
    ASSERT_TRUE(write_horoscope_file(h, file));
    RecordingMessages said;
    ExportEnvironment env{&m_options, &said, &m_workers, &m_library};
    TextExportRequest t{(m_dir / "export.txt").string(), ";", {file}};
    ExportResult e = run_text_export(t, env, nullptr, nullptr);
    EXPECT_TRUE(e.failed);
    EXPECT_EQ(said.messages, (std::vector<Message>{{file + ": Last name holds the separator; the import would split "
                                                           "the line there: ;",
                                                    "Error exporting horoscope:", MessageIcon::Warning}}));
    EXPECT_EQ(read_text(t.out_file), "");
}

// Import then export to text with the same separator gives back the same lines. Latitudes stay
// within 60 degrees, where every chart computes (sunrise and sunset exist).
TEST_F(TextImport, ThousandBirthsRoundTripThroughImportAndExport) {
    std::mt19937 rng(1014);
    std::uniform_int_distribution<int> year(1800, 2100), month(1, 12), day(1, 28), hour(0, 23), minute(0, 59),
        centi(0, 5999), lon_cs(-43199 * 100, 43199 * 100), lat_cs(-21600000, 21600000), sex(0, 2);
    auto sexagesimal = [](int centiseconds, bool hours, char pos, char neg) {
        const int a = std::abs(centiseconds);
        return fmt::format("{}{}{:02d}'{:02d}.{:02d}\"{}", a / 360000, hours ? 'h' : 'd', (a / 6000) % 60,
                           (a / 100) % 60, a % 100, centiseconds >= 0 ? pos : neg);
    };
    const char* sexes[] = {"Neuter", "Man", "Woman"};
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string date = fmt::format("{:04d}-{:02d}-{:02d} {:02d}:{:02d}:{:05.2f} GD", year(rng), month(rng),
                                             day(rng), hour(rng), minute(rng), centi(rng) / 100.0);
        expected += fmt::format("Name{};First {};{};{};City {};County;State;Country;{};{};{};\r\n", i, i,
                                sexes[sex(rng)], date, i, sexagesimal(lon_cs(rng), true, 'E', 'W'),
                                sexagesimal(lat_cs(rng), false, 'N', 'S'), date);
    }
    const std::string input = (m_dir / "births.txt").string();
    std::ofstream(input, std::ios::binary) << expected;
    ImportRequest r{input, (m_dir / "out").string(), (m_dir / "log.txt").string(), ";", false};
    RecordingMessages said;
    ImportSummary s = run_import(r, m_env, said, nullptr, nullptr);
    ASSERT_EQ(s.imported, 1000);
    EXPECT_EQ(s.warnings, 0);

    TextExportRequest t{(m_dir / "export.txt").string(), ";", s.files};
    ExportEnvironment env{&m_options, &said, &m_workers, &m_library};
    ExportResult e = run_text_export(t, env, nullptr, nullptr);
    EXPECT_EQ(e.exported, 1000);
    EXPECT_EQ(read_text(t.out_file), expected);
}

}  // namespace
}  // namespace tellurim
