// The horoscope file: golden bytes, the reader's edge cases, every truncation, random bytes and
// a 10 MB file, and a save-read-compute round trip with the low-precision provider.
#include <gtest/gtest.h>

#include <random>

#include "astro/compute.h"
#include "common/data_table.h"
#include "common/temp_dir.h"
#include "common/test_dates.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "files/horoscope_file.h"
#include "files/options_file.h"

namespace tellurim {
namespace {

using namespace testing_data;

// What the writer produces for the sample birth (Paris, 1944-06-06 08:00 legal, 06:00 UT).
const char* const kGolden =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<horoscope>\r\n<version>\r\n<major>2</major>\r\n"
    "<minor>4</minor>\r\n<release>7</release>\r\n</version>\r\n"
    "<id>  1944-06-06 06:00:00.00 GD 2d20'56.00\"E48d51'24.00\"N</id>\r\n<person>\r\n"
    "<lastname>Sample</lastname>\r\n<firstname>Birth</firstname>\r\n<sex>2</sex>\r\n</person>\r\n"
    "<birthdatehourut>1944-06-06 06:00:00.00 GD</birthdatehourut>\r\n"
    "<initialebirthdatehourut>1944-06-06 06:00:00.00 GD</initialebirthdatehourut>\r\n"
    "<birthdatehourlocale>1944-06-06 08:00:00.00 GD</birthdatehourlocale>\r\n"
    "<initialebirthdatehourlocale>1944-06-06 08:00:00.00 GD</initialebirthdatehourlocale>\r\n"
    "<birthplace>\r\n<county></county>\r\n<city>Paris</city>\r\n<longitude>2d20'56.00\"E</longitude>\r\n"
    "<latitude>48d51'24.00\"N</latitude>\r\n<timezone>-1</timezone>\r\n</birthplace>\r\n<state></state>\r\n"
    "<country>France</country>\r\n</horoscope>\r\n";

BirthData sample_birth() {
    BirthData b;
    b.last_name = "Sample";
    b.first_name = "Birth";
    b.sex = kWoman;
    b.place.city = "Paris";
    b.place.longitude = AngleValue::degrees(2.0 + 20.0 / 60 + 56.0 / 3600, kFormatEastWest);
    b.place.latitude = AngleValue::degrees(48.0 + 51.0 / 60 + 24.0 / 3600, kFormatNorthSouth);
    b.country = "France";
    b.ut = test_date("1944-06-06 06:00:00");
    b.local = test_date("1944-06-06 08:00:00");
    return b;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    auto p = text.find(from);
    EXPECT_NE(p, std::string::npos) << from;
    if (p != std::string::npos) text.replace(p, from.size(), to);
    return text;
}

TEST(HoroscopeFile, WriterGivesTheGoldenBytesAndCopiesTheInitialDateHours) {
    Horoscope h;
    ASSERT_TRUE(h.set_birth_data(sample_birth(), true, Options{}));
    EXPECT_EQ(horoscope_file_text(h), kGolden);

    // A birth time shifted after entry: the file keeps the first-entered moment in the two
    // initial elements, and after the save the initial date-hours in memory are the current ones.
    h.birth_ut = test_date("1944-06-06 06:30:00");
    h.birth_local = test_date("1944-06-06 08:30:00");
    TempDir tmp;
    ASSERT_TRUE(write_horoscope_file(h, tmp.str("h.xml")));
    const std::string written = read_text(tmp / "h.xml");
    EXPECT_NE(written.find("<initialebirthdatehourut>1944-06-06 06:00:00.00 GD<"), std::string::npos);
    EXPECT_NE(written.find("<birthdatehourut>1944-06-06 06:30:00.00 GD<"), std::string::npos);
    EXPECT_EQ(h.initial_ut, h.birth_ut);
    EXPECT_EQ(h.initial_local, h.birth_local);
}

TEST(HoroscopeFile, ElementContent) {
    EXPECT_EQ(element_content("<a>x</a>", "<a>"), "x");
    EXPECT_EQ(element_content("<a></a>", "<a>"), "");
    EXPECT_EQ(element_content("<a> y\r\n</a>", "<a>"), " y\r\n");
    EXPECT_EQ(element_content("<b><a>1</a></b><a>2</a>", "<a>"), "1");  // the first, wherever it stands
    EXPECT_FALSE(element_content("<a>x", "<a>"));
    EXPECT_FALSE(element_content("x</a>", "<a>"));
    EXPECT_FALSE(element_content("</a><a>", "<a>"));  // the closing tag must follow the opening one
    EXPECT_FALSE(element_content("<A>x</A>", "<a>"));
}

// The edits of tests/data/files/horoscope_edits.txt, and whether the edited file reads.
TEST(HoroscopeFile, ReaderEdgeCases) {
    const std::string g = kGolden;
    EXPECT_TRUE(parse_horoscope_text(g));
    EXPECT_FALSE(parse_horoscope_text("  \r\n "));
    EXPECT_FALSE(parse_horoscope_text(""));
    for (const DataRow& r : data_rows("files/horoscope_edits.txt")) {
        SCOPED_TRACE(r[3]);
        const std::string first = r.size() > 4 ? replaced(g, r.text(4), r.text(5)) : g;
        EXPECT_EQ(parse_horoscope_text(replaced(first, r.text(0), r.text(1))).has_value(), r[2] == "read");
    }
    for (const DataRow& r : data_rows("files/horoscope_faults.txt")) {
        SCOPED_TRACE(r[2]);
        std::string fault;
        EXPECT_FALSE(parse_horoscope_text(replaced(g, r.text(0), r.text(1)), &fault));
        EXPECT_EQ(fault, r[2]);
    }

    auto sex_of = [&](const char* s) { return parse_horoscope_text(replaced(g, "<sex>2", s))->birth.sex; };
    EXPECT_EQ(sex_of("<sex>1.9"), kMan);
    EXPECT_EQ(sex_of("<sex>-0.5"), kNeuter);
    auto no_id = parse_horoscope_text(replaced(g, "<id>  1944-06-06 06:00:00.00 GD 2d20'56.00\"E48d51'24.00\"N</id>\r\n", ""));
    EXPECT_EQ(no_id->identifier, "");
    auto no_region = parse_horoscope_text(replaced(replaced(g, "<state></state>", ""), "<country>France</country>", ""));
    EXPECT_EQ(no_region->birth.state, "");
    EXPECT_EQ(no_region->birth.country, "");

    auto golden = parse_horoscope_text(g);
    EXPECT_EQ(golden->birth.place.county, "");
    EXPECT_EQ(golden->birth.place.time_zone, -1);
    EXPECT_EQ(golden->identifier, "  1944-06-06 06:00:00.00 GD 2d20'56.00\"E48d51'24.00\"N");

    const std::string forty(40, 'L');
    auto long_name = parse_horoscope_text(replaced(g, "<lastname>Sample", "<lastname>" + forty));
    EXPECT_EQ(long_name->birth.last_name, forty.substr(0, 29));
    auto markup = parse_horoscope_text(replaced(g, "<lastname>Sample", "<lastname>R&D <x> \xE9t\xC3\xA9"));
    EXPECT_EQ(markup->birth.last_name, "R&D <x> \xEF\xBF\xBDt\xC3\xA9");  // an invalid byte reads as U+FFFD
}

// The rule of every place where birth texts enter: one of the file's own tags is refused,
// naming the field; any other markup is kept as it is.
TEST(HoroscopeFile, TextsHoldingATagOfTheFile) {
    for (const DataRow& r : data_rows("files/file_tags.txt"))
        EXPECT_EQ(file_tag_in(r[0]).value_or(""), r.text(1)) << r[0];

    const std::pair<const char*, std::string BirthData::*> names[] = {
        {"Last name", &BirthData::last_name}, {"First name", &BirthData::first_name},
        {"State", &BirthData::state}, {"Country", &BirthData::country}};
    for (const auto& [label, field] : names) {
        BirthData b = sample_birth();
        EXPECT_FALSE(birth_text_fault(b));
        b.*field = "a<birthdatehourut>";
        EXPECT_EQ(birth_text_fault(b), std::string(label) + " cannot hold a tag of the horoscope file: <birthdatehourut>");
        b.*field = "\xE9t\xE9";
        EXPECT_EQ(birth_text_fault(b), std::string(label) + " is not UTF-8 text");
    }
    BirthData b = sample_birth();
    b.place.city = "</city>";
    EXPECT_EQ(birth_text_fault(b), "City cannot hold a tag of the horoscope file: </city>");
    b.place.city = "Paris";
    b.place.county = "<county>";
    EXPECT_EQ(birth_text_fault(b), "County cannot hold a tag of the horoscope file: <county>");
}

// Everything after "</birthplace>" is optional, so a prefix parses exactly when it holds that tag.
TEST(HoroscopeFile, EveryTruncation) {
    const std::string g = kGolden;
    const std::size_t needed = g.find("</birthplace>") + std::string("</birthplace>").size();
    for (std::size_t n = 0; n <= g.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(parse_horoscope_text(g.substr(0, n)).has_value(), n >= needed);
    }
}

class HoroscopeFileOnDisk : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) { return write_text(m_dir / name, bytes); }
    TempDir tmp;
    fs::path m_dir = tmp.root;
};

TEST_F(HoroscopeFileOnDisk, FailuresShowThePathUnderTheirCaption) {
    std::mt19937 rng(14);
    std::string random_bytes(4096, '\0');
    for (auto& c : random_bytes) c = static_cast<char>(rng());
    std::string big(10 * 1024 * 1024, 'x');
    std::string big_valid = std::string(kGolden) + std::string(10 * 1024 * 1024, ' ');

    struct Case {
        const char* what;
        std::string path;
        HoroscopeFileStatus status;
        const char* caption;
        const char* after_path = "";  // the value the birth options refuse
    };
    const Case cases[] = {
        {"missing", (m_dir / "missing.xml").string(), HoroscopeFileStatus::CannotOpen, "Cannot open horoscope file:"},
        {"directory", m_dir.string(), HoroscopeFileStatus::CannotOpen, "Cannot open horoscope file:"},
        {"random", write("random.xml", random_bytes), HoroscopeFileStatus::BadFormat, "Bad horoscope file format:"},
        {"10 MB", write("big.xml", big), HoroscopeFileStatus::BadFormat, "Bad horoscope file format:"},
        {"10 MB valid", write("bigvalid.xml", big_valid), HoroscopeFileStatus::Ok, ""},
        {"no path", "", HoroscopeFileStatus::CannotOpen, "Cannot open horoscope file:"},
        {"latitude 91", write("lat91.xml", replaced(kGolden, "<latitude>48d51'24.00\"N", "<latitude>91dN")),
         HoroscopeFileStatus::BadFormat, "Bad horoscope file format:", ": Not a valid latitude."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMessages messages;
        HoroscopeFileData data;
        EXPECT_EQ(load_horoscope_file(c.path, data, messages), c.status);
        if (c.status == HoroscopeFileStatus::Ok) {
            EXPECT_TRUE(messages.messages.empty());
            continue;
        }
        EXPECT_EQ(messages.messages,
                  (std::vector<Message>{
                      {(c.path.empty() ? "NULL" : c.path) + c.after_path, c.caption, MessageIcon::Warning}}));
    }
}

TEST_F(HoroscopeFileOnDisk, SaveReadComputeRoundTrip) {
    EphemerisLibrary library;
    ASSERT_TRUE(library.load(kEphemerisLow)) << "libephlow.so is built with the tests";
    Options options = make_default_options(m_dir.string());
    options.ephemeris.type = kEphemerisLow;
    WorkerThreads workers;
    SilentMessages quiet;

    BirthData b = sample_birth();
    b.last_name = "O'Hara & <Sons>";
    b.place.county = "\xC3\x8Ele-de-France";
    b.place.city = std::string(70, 'C');  // the place keeps 59 characters, as the file reads them back
    b.place.time_zone = 0x10002;
    b.state = "IDF";
    Horoscope saved;
    ASSERT_TRUE(set_and_compute(saved, b, true, options, quiet, workers, library));
    saved.identifier = "my id";
    const std::string path = default_horoscope_file_name(saved, m_dir.string());
    EXPECT_EQ(fs::path(path).filename(), "O'Hara & <Sons>_Birth.xml");
    ASSERT_EQ(save_horoscope(saved, path, quiet), SaveStatus::Saved);
    // A second save over the file asks first; "no" keeps the file as it was.
    const std::string first = read_text(path);
    saved.identifier = "other id";
    RecordingMessages asked;
    asked.answers = {MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_EQ(save_horoscope(saved, path, asked), SaveStatus::Kept);
    EXPECT_EQ(read_text(path), first);
    EXPECT_EQ(save_horoscope(saved, path, asked), SaveStatus::Saved);
    EXPECT_NE(read_text(path), first);
    ASSERT_EQ(asked.messages.size(), 2u);
    EXPECT_EQ(asked.messages[0].text, "File " + path + " exits, overwrite?");
    EXPECT_EQ(asked.messages[0].caption, "Confirmation");
    saved.identifier = "my id";
    ASSERT_EQ(save_horoscope(saved, path, quiet), SaveStatus::Saved);

    Horoscope read;
    RecordingMessages messages;
    ASSERT_TRUE(read_horoscope_file(read, path, options, messages, workers, library));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(read.last_name, saved.last_name);
    EXPECT_EQ(read.place, saved.place);
    EXPECT_EQ(read.state, "IDF");
    EXPECT_EQ(read.identifier, "my id");
    EXPECT_EQ(read.birth_ut, saved.birth_ut);
    EXPECT_EQ(read.initial_local, saved.initial_local);
    for (int p = 0; p < kPlanetRows; ++p) EXPECT_EQ(read.geo_movable.at(p), saved.geo_movable.at(p)) << p;
    EXPECT_EQ(read.houses_fixed, saved.houses_fixed);

    // A birth moved after it was first entered: the file's initial date-hours are kept apart
    // from the current ones, which the chart is computed for.
    const std::string moved = write("moved.xml", replaced(replaced(kGolden, "<birthdatehourut>1944-06-06 06:00",
                                                                   "<birthdatehourut>1944-06-06 06:30"),
                                                          "<birthdatehourlocale>1944-06-06 08:00",
                                                          "<birthdatehourlocale>1944-06-06 08:30"));
    ASSERT_TRUE(read_horoscope_file(read, moved, options, messages, workers, library));
    EXPECT_EQ(read.birth_ut, test_date("1944-06-06 06:30:00"));
    EXPECT_EQ(read.birth_local, test_date("1944-06-06 08:30:00"));
    EXPECT_EQ(read.initial_ut, test_date("1944-06-06 06:00:00"));
    EXPECT_EQ(read.initial_local, test_date("1944-06-06 08:00:00"));
    EXPECT_NE(read.geo_movable.at(kMoon), saved.geo_movable.at(kMoon));

    RecordingMessages write_failure;
    EXPECT_EQ(save_horoscope(saved, (m_dir / "no" / "such.xml").string(), write_failure), SaveStatus::Failed);
    ASSERT_EQ(write_failure.messages.size(), 1u);
    EXPECT_EQ(write_failure.messages[0].caption, "Cannot open file:");
    EXPECT_EQ(horoscope_file_filter(), "(Tellurim horoscope file *.xml)|*.xml");
    EXPECT_EQ(save_question(saved, path).caption, "Save O'Hara & <Sons> Birth 1944-06-06 08:00:00.00 GD As  :");
}

}  // namespace
}  // namespace tellurim
