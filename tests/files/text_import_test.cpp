// The text import line by line (every warning and error text), the free file names and the
// log, and the round trip of 1,000 generated births through import and text export.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <map>
#include <random>
#include <sstream>

#include "common/data_table.h"
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

// Each line of tests/data/files/import_lines.txt and the last text its import logs.
TEST_F(TextImport, WarningsAndErrorsOfEachField) {
    for (const DataRow& r : data_rows("files/import_lines.txt")) {
        SCOPED_TRACE(r[0]);
        auto said = import(r[0], r[1] == "imported");
        EXPECT_EQ(said.empty() ? "" : said.back(), r.text(2));
    }
    EXPECT_TRUE(import(kFull, true).empty());
    EXPECT_EQ(import("", true), std::vector<std::string>{"Import Warning: Line is empty, skipping"});
    EXPECT_EQ(import(kFull, false, ""), std::vector<std::string>{"Import Error: Bad separator string"});
    // A tab separator, and fields cleaned of CR, LF, tabs and surrounding spaces.
    std::string tabbed = kFull;
    for (auto& c : tabbed)
        if (c == ';') c = '\t';
    EXPECT_TRUE(import(tabbed, true, "\t").empty());
    EXPECT_TRUE(import("  Doe \r" + kFull.substr(3), true).empty());
}

TEST_F(TextImport, SexWordsSeparatorsAndNames) {
    for (const char* w : {"M", "Male", "Man", "H", "Homme"}) EXPECT_EQ(sex_from_word(w), kMan) << w;
    for (const char* w : {"F", "Female", "Femme", "Woman", "W"}) EXPECT_EQ(sex_from_word(w), kWoman) << w;
    for (const char* w : {"male", "m", "Neuter", ""}) EXPECT_EQ(sex_from_word(w), kNeuter) << w;
    EXPECT_EQ(separator_from_typed("\\t"), "\t");
    EXPECT_EQ(separator_from_typed(";\\t;"), ";\t;");
    EXPECT_FALSE(separator_from_typed("\\n"));
    EXPECT_FALSE(separator_from_typed(""));

    // The dialog's checks and their texts are run end to end in tests/data/cli/files.txt.
    const std::string input = (m_dir / "in.txt").string();
    std::ofstream(input) << kFull << "\n";
    ImportRequest no_target{input, "", "", ";", false};
    EXPECT_EQ(validate_import(no_target)->text, "Not a valid target directory");
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
    std::ofstream(input) << kFull << "\r\n\r\n"
                         << kFull << "\r\n"
                         << "Bad;Line\r\n"
                         << "Bad\xFF;UTF8\r\n"
                         << std::string(kMaxImportLineBytes + 1, 'x') << "\r\n";
    const std::string log_file = (m_dir / "import.log").string();
    ImportRequest r{input, (m_dir / "out").string(), log_file, ";", false};
    RecordingMessages said;
    ImportSummary s = run_import(r, m_env, said, nullptr, nullptr);
    EXPECT_EQ(s.lines, 6);
    EXPECT_EQ(s.imported, 2);
    EXPECT_EQ(s.failed_lines, 3);
    EXPECT_EQ(s.errors, 3);
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
    EXPECT_NE(log.find("\r\nImport Error: Line is longer than 4096 bytes, skipping\r\n"), std::string::npos);

    // Every failed write counts: a target that is gone, and a log that is a directory.
    ImportRequest gone{input, (m_dir / "gone").string(), m_dir.string(), ";", false};
    RecordingMessages told;
    ImportSummary failed = run_import(gone, m_env, told, nullptr, nullptr);
    EXPECT_EQ(failed.imported, 0);
    EXPECT_EQ(failed.errors, 1 + 3 + 2);  // the log, the three bad lines, the two files
    ASSERT_FALSE(told.messages.empty());
    EXPECT_EQ(told.messages[0].caption, "Cannot write in the log file");

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
    const std::map<std::string, std::string BirthData::*> fields = {{"last_name", &BirthData::last_name},
        {"first_name", &BirthData::first_name}, {"state", &BirthData::state}, {"country", &BirthData::country}};
    for (const DataRow& r : data_rows("files/export_refusals.txt")) {
        SCOPED_TRACE(r.line);
        if (r[0] == "export-separator") {
            auto m = validate_text_export(TextExportRequest{"out.txt", r.text(1), {"a.xml"}});
            EXPECT_EQ(m ? m->text : "", r.text(2));
            continue;
        }
        BirthData changed = b;
        changed.state = std::string(100, 'S');
        changed.*fields.at(r[1]) = r.text(2);
        Horoscope h;
        ASSERT_TRUE(h.set_birth_data(changed, true, m_options));
        EXPECT_EQ(exchange_line_fault(h, r.text(3)).value_or(""), r.text(4));
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
