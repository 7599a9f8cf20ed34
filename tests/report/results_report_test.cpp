// The results report of a computed chart (Paris, 1944-06-06 06:00 UT, low-precision
// provider) in the formats a golden text cannot show: the HTML read back by lxml, the rich
// text by unrtf.
#include "report/results_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "astro/compute.h"
#include "core/ephemeris_library.h"
#include "sky/houses.h"
#include "base/strings.h"
#include "core/worker_threads.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

std::size_t characters(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::stringstream in(s);
    for (std::string part; std::getline(in, part, sep);) parts.push_back(part);
    return parts;
}

std::string run_capture(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
    return out;
}

class ResultsReport : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_library = new EphemerisLibrary;
        if (!s_library->load(kEphemerisLow)) return;
        BirthData d;
        d.last_name = "Sample";
        d.first_name = "Birth";
        d.place.city = "Paris";
        d.country = "France";
        d.place.longitude = AngleValue::degrees(2.0 + 20.0 / 60 + 56.0 / 3600);
        d.place.latitude = AngleValue::degrees(48.0 + 51.0 / 60 + 24.0 / 3600);
        ASSERT_TRUE(parse_date_hour("1944-06-06 06:00:00").ok);
        d.ut = parse_date_hour("1944-06-06 06:00:00").value;
        d.local = parse_date_hour("1944-06-06 08:00:00").value;
        Options options;
        options.ephemeris.type = kEphemerisLow;
        options.astro.house_system = *house_system_from_name("Placidus");
        RecordingMessages messages;
        WorkerThreads workers;
        s_chart = new Horoscope;
        s_computed = set_and_compute(*s_chart, d, true, options, messages, workers, *s_library);
    }
    static void TearDownTestSuite() {
        delete s_chart;
        delete s_library;
    }
    void SetUp() override {
        if (!s_computed) GTEST_SKIP() << "libephlow.so not built";
    }
    static std::string report(int format, StarCatalogue* stars = nullptr) {
        std::string text;
        ReportSources sources{"Low precision (libephlow.so)", nullptr, stars};
        EXPECT_TRUE(write_results_report(*s_chart, sources, format, doc_style_from_options(s_chart->options),
                                         FixedMeasure96{}, text));
        return text;
    }
    static fs::path write_temp(const std::string& ext, const std::string& bytes) {
        fs::path p = fs::temp_directory_path() / ("tellurim-report-" + std::to_string(::getpid()) + ext);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static inline EphemerisLibrary* s_library = nullptr;
    static inline Horoscope* s_chart = nullptr;
    static inline bool s_computed = false;
};

// Each cell of a plain-text table ends with a tab: with tab stops every 8 columns, a column of
// any table starts at the same place on every row (aspect grid headers, strength labels, star
// comments and sign names included), whatever the widths of the texts in it.
TEST_F(ResultsReport, PlainTextColumnsArePadded) {
    StarCatalogue stars;
    for (const char* comment : {"alf Tau", "a comment wider than its column"}) {
        stars.stars.emplace_back();
        stars.stars.back().name = "Aldebaran";
        stars.stars.back().comment = comment;
    }
    const std::string text = report(kDocUnixText, &stars);
    std::vector<std::size_t> starts;  // the cell starts of the table's first row
    int table_count = 0;
    for (const std::string& line : split(text, '\n')) {
        if (line.empty() || line.back() != '\t') {
            starts.clear();
            continue;
        }
        std::vector<std::size_t> at;
        std::size_t column = 0;
        for (const std::string& cell : split(line, '\t')) {
            at.push_back(column);
            column = (column + characters(cell)) / 8 * 8 + 8;
        }
        table_count += starts.empty();
        if (starts.empty()) starts = at;
        EXPECT_EQ(at, starts) << line;
    }
    EXPECT_EQ(table_count, 22);
}

// The text report itself is compared whole with its golden file (tests/data/cli/report.txt);
// the DOS form is the same text with CR LF.
TEST_F(ResultsReport, DosTextIsTheUnixTextWithCrLf) {
    std::string dos = report(kDocDosText), unix_form;
    for (std::size_t i = 0; i < dos.size(); ++i)
        if (!(dos[i] == '\r' && i + 1 < dos.size() && dos[i + 1] == '\n')) unix_form += dos[i];
    EXPECT_EQ(unix_form, report(kDocUnixText));
    EXPECT_NE(dos.find("\r\n"), std::string::npos);
}

TEST_F(ResultsReport, HtmlParsesWithLxml) {
    Horoscope named = *s_chart;
    named.first_name = "B<&>";
    std::string html;
    ReportSources sources{"Low", nullptr, nullptr};
    DocStyle style = doc_style_from_options(named.options);
    style.colours[0] = DocColour{0x12, 0xab, 0x0f};
    style.fonts[0].face_name = "Courier New";
    style.fonts[0].height = -16;
    ASSERT_TRUE(write_results_report(named, sources, kDocHtml, style, FixedMeasure96{}, html));
    const fs::path path = write_temp(".html", html);
    // The one complaint lxml may have is the "</P>" after each table (HTML closes a paragraph
    // before a table).
    const std::string script =
        "import sys\n"
        "from lxml import etree\n"
        "p = etree.HTMLParser()\n"
        "t = etree.parse(sys.argv[1], p)\n"
        "print(sorted(set(e.message for e in p.error_log)))\n"
        "print(t.findtext('.//style'))\n"
        "print(len(t.findall('.//table')))\n"
        "rows = t.findall('.//table')[0].findall('tr')\n"
        "print(len(rows), [td.text for td in rows[0].findall('td')][0])\n"
        "print(t.findall('.//b')[0].text)\n";
    const fs::path script_path = write_temp(".py", script);
    const std::string out = run_capture("/usr/bin/python3 " + script_path.string() + " " + path.string() + " 2>&1");
    // 4 position tables, equatorial, houses, 4 grids, 2 + 2 strength, quality, 2 relationship
    // grids, subdivisions, bindus, Ashtakavarga quality, planets and stars on the horizon.
    EXPECT_EQ(out,
              "['Unexpected end tag : p']\n"
              " td {color:#12ab0f ; font-family:Courier New; font-size:12pt   }\n"
              "22\n"
              "18 Sun\n"
              "Sample B<&>\n");
    fs::remove(path);
    fs::remove(script_path);
}

TEST_F(ResultsReport, RichTextReadsBackWithUnrtf) {
    for (int format : {kDocRtf, kDocRtfWord}) {
        SCOPED_TRACE(format);
        const fs::path path = write_temp(".rtf", document_file_bytes(format, report(format)));
        const std::string out = run_capture("unrtf --text --nopict " + path.string() + " 2>/dev/null");
        for (const char* s : {"Sample Birth", "Subdivisions array", "Azimuth and elevation of planets, N=0"})
            EXPECT_NE(out.find(s), std::string::npos) << s;
        // The fonts came through the font table.
        EXPECT_NE(run_capture("unrtf --html " + path.string() + " 2>/dev/null").find("Courier New"), std::string::npos);
        fs::remove(path);
    }
}

TEST_F(ResultsReport, InvalidHoroscopeAndUnknownFormat) {
    Horoscope empty;
    empty.last_name = "Nobody";
    std::string text;
    ASSERT_TRUE(write_results_report(empty, {}, kDocUnixText, doc_style_from_options(empty.options), FixedMeasure96{},
                                     text));
    EXPECT_TRUE(text.ends_with("\n\nHoroscope is invali, cannot display the text, maybe date is out of range...\n"))
        << text;
    EXPECT_EQ(text.find(tellurim::text(Str::ChartMovableGeo)), std::string::npos);

    std::string none;
    EXPECT_FALSE(write_results_report(*s_chart, {}, 5, doc_style_from_options(empty.options), FixedMeasure96{}, none));
}

// The file conversion (extension and filter entry) is checked end to end in tests/data/cli/report.txt.

}  // namespace
}  // namespace tellurim
