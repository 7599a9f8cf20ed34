// The document writer's tokens, format by format, as the writer's token table gives them; the
// finished documents read back by real readers (lxml for HTML, unrtf for rich text).
#include "report/doc_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

namespace tellurim {
namespace {

const FixedMeasure96 kScreen;

LogFont font(std::int32_t height, std::int32_t weight, std::string face, std::uint8_t pitch_family = 0x31) {
    LogFont f;
    f.height = height;
    f.weight = weight;
    f.face_name = std::move(face);
    f.pitch_and_family = pitch_family;
    return f;
}

const LogFont kCourier = font(-12, 400, "Courier New");
const std::array<LogFont, 3> kFonts = {kCourier, font(-16, 700, "Arial", 0x22), font(12, 400, "Symbol", 0x50)};
const std::array<DocColour, 3> kColours = {DocColour{0, 0, 0}, DocColour{128, 0, 128}, DocColour{255, 10, 1}};
// A face name from a hand-edited options file: markup and controls must not reach the document.
const LogFont kHostile = font(-12, 400, "</style><script>x</script>{\\rtf;\x01\"");

struct SimpleCase {
    const char* name;
    std::function<DocToken(int)> op;
    std::array<const char*, 5> tokens;
};

const SimpleCase kSimple[] = {
    {"document start", [](int f) { return doc::document_start(f, ""); },
     {"{\\rtf1\\ansi\\deff0\\deflang1024\n", "{\\rtf1\\ansi\\deff0\\deflang1024\n",
      "<HTML><HEAD><meta charset = \"UTF-8\"></HEAD><BODY>", "", ""}},
    {"document start with head", [](int f) { return doc::document_start(f, "<TITLE>T</TITLE>"); },
     {"{\\rtf1\\ansi\\deff0\\deflang1024\n", "{\\rtf1\\ansi\\deff0\\deflang1024\n",
      "<HTML><HEAD><TITLE>T</TITLE><meta charset = \"UTF-8\"></HEAD><BODY>", "", ""}},
    {"document end", doc::document_end, {"\\par }\n", "\\par }\n", "\n</BODY></HTML>\n", "", ""}},
    {"colour table", [](int f) { return doc::colour_table(f, kColours); },
     {"{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue128;\\red255\\green10\\blue1;}\n",
      "{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue128;\\red255\\green10\\blue1;}\n", "", "", ""}},
    {"font table", [](int f) { return doc::font_table(f, kFonts); },
     {"{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\fswiss Arial;}{\\f2\\fdecor Symbol;}}\n",
      "{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\fswiss Arial;}{\\f2\\fdecor Symbol;}}\n", "", "", ""}},
    {"font table, face with markup", [](int f) { return doc::font_table(f, {kHostile, kHostile, kHostile}); },
     {"{\\fonttbl{\\f0\\fmodern </style><script>x</script>\\{\\\\rtf\\'3b\";}{\\f1\\fmodern "
      "</style><script>x</script>\\{\\\\rtf\\'3b\";}{\\f2\\fmodern </style><script>x</script>\\{\\\\rtf\\'3b\";}}\n",
      "{\\fonttbl{\\f0\\fmodern </style><script>x</script>\\{\\\\rtf\\'3b\";}{\\f1\\fmodern "
      "</style><script>x</script>\\{\\\\rtf\\'3b\";}{\\f2\\fmodern </style><script>x</script>\\{\\\\rtf\\'3b\";}}\n",
      "", "", ""}},
    {"font start, face with markup", [](int f) { return doc::font_start(f, kHostile, 0, kColours[0], 0, kScreen); },
     {"{\\f0\\fs18\\cf0\n", "{\\f0\\fs18\\cf0\n",
      "<SPAN STYLE=\"Font-Size: 9pt\"><FONT  FACE=\"&lt;/style&gt;&lt;script&gt;x&lt;/script&gt;{\\rtf;&quot;\" "
      "COLOR = \"#000000\">\n",
      "", ""}},
    {"font start regular", [](int f) { return doc::font_start(f, kCourier, 0, kColours[2], 2, kScreen); },
     {"{\\f0\\fs18\\cf2\n", "{\\f0\\fs18\\cf2\n",
      "<SPAN STYLE=\"Font-Size: 9pt\"><FONT  FACE=\"Courier New\" COLOR = \"#ff0a01\">\n", "", ""}},
    {"font start bold", [](int f) { return doc::font_start(f, kFonts[1], 1, kColours[1], 1, kScreen); },
     {"{\\f1\\fs24\\cf1\\b\n", "{\\f1\\fs24\\cf1\\b\n",
      "<SPAN STYLE=\"Font-Size: 12pt\"><FONT  FACE=\"Arial\" COLOR = \"#800080\">\n<B>", "", ""}},
    {"font end regular", [](int f) { return doc::font_end(f, kCourier); },
     {"}\n", "}\n", "</FONT></SPAN>\n", "", ""}},
    {"font end bold", [](int f) { return doc::font_end(f, kFonts[1]); },
     {"}\n", "}\n", "</B></FONT></SPAN>\n", "", ""}},
    {"new line", doc::new_line, {"\\par ", "\\par ", "<BR>\n", "\r\n", "\n"}},
    {"table start", [](int f) { const int w[] = {10, 5, 8}; return doc::table_start(f, w, kCourier, kScreen); },
     {"\n\\pard\\tx2100\\tx3150", "\n\\par \\cellx2100\\cellx3150\\cellx4830", "<P><TABLE BORDER = 1>\n", "", ""}},
    {"table start, one column", [](int f) { const int w[] = {10}; return doc::table_start(f, w, kCourier, kScreen); },
     {"\n\\pard", "\n\\par \\cellx2100", "<P><TABLE BORDER = 1>\n", "", ""}},
    {"table end", doc::table_end, {"\n", "\\pard\n", "</TABLE></P>\n", "", ""}},
    {"row start", doc::row_start, {"\n\\par ", "\n\\intbl\n", "<TR>\n", "\r\n", "\n"}},
    {"row end", doc::row_end, {"", "\\row\n", "</TR>", "", ""}},
    {"cell start", doc::cell_start, {"", "", "<TD>", "", ""}},
    {"cell end", doc::cell_end, {"\\tab ", "\\cell\n", "</TD>", "\t", "\t"}},
    {"last cell end", doc::last_cell_end, {"", "\\cell\n", "</TD>", "\t", "\t"}},
    {"bold on", doc::bold_on, {"\\b ", "\\b ", "<B>", "", ""}},
    {"bold off", doc::bold_off, {"\\b0 ", "\\b0 ", "</B>", "", ""}},
};

TEST(DocWriter, EveryOperationInEveryFormat) {
    for (const SimpleCase& c : kSimple) {
        for (int format = 0; format < kDocFormatCount; ++format) {
            SCOPED_TRACE(std::string(c.name) + ", format " + std::to_string(format));
            DocToken t = c.op(format);
            EXPECT_TRUE(t.ok);
            EXPECT_EQ(t.text, c.tokens[static_cast<std::size_t>(format)]);
        }
        for (int format : {-1, 5}) {
            SCOPED_TRACE(std::string(c.name) + ", format " + std::to_string(format));
            DocToken t = c.op(format);
            EXPECT_FALSE(t.ok);
            EXPECT_EQ(t.text, "");
        }
    }
    // The HTML report's style element names the body face in CSS, where only escapes hold.
    EXPECT_EQ(doc::css_face_name(kHostile.face_name),
              "\\3C \\2F style\\3E \\3C script\\3E x\\3C \\2F script\\3E \\7B \\5C rtf\\3B \\22 ");
    EXPECT_EQ(doc::css_face_name("Noto Sans-CJK_JP"), "Noto Sans-CJK_JP");
}

TEST(DocWriter, FontMarks) {
    struct Case { std::int32_t weight; std::uint8_t italic, underline, strikeout; const char* rtf, *html_open, *html_close; };
    const Case cases[] = {
        {400, 0, 0, 0, "{\\f0\\fs18\\cf0\n", "", ""},
        {401, 0, 0, 0, "{\\f0\\fs18\\cf0\\b\n", "<B>", "</B>"},
        {700, 1, 1, 1, "{\\f0\\fs18\\cf0\\b\\i\\ul\\strike\n", "<B><I><U><S>", "</S></U></I></B>"},
        {100, 1, 0, 1, "{\\f0\\fs18\\cf0\\i\\strike\n", "<I><S>", "</S></I>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        LogFont f = kCourier;
        f.weight = c.weight;
        f.italic = c.italic;
        f.underline = c.underline;
        f.strikeout = c.strikeout;
        EXPECT_EQ(doc::font_start(kDocRtf, f, 0, kColours[0], 0, kScreen).text, c.rtf);
        EXPECT_EQ(doc::font_start(kDocHtml, f, 0, kColours[0], 0, kScreen).text,
                  std::string("<SPAN STYLE=\"Font-Size: 9pt\"><FONT  FACE=\"Courier New\" COLOR = \"#000000\">\n") +
                      c.html_open);
        EXPECT_EQ(doc::font_end(kDocHtml, f).text, std::string(c.html_close) + "</FONT></SPAN>\n");
    }
}

TEST(DocWriter, FamilyKeywords) {
    const std::pair<std::uint8_t, const char*> cases[] = {{0x50, "fdecor"}, {0x31, "fmodern"}, {0x12, "froman"},
                                                          {0x40, "fscript"}, {0x20, "fswiss"}, {0x00, "fnil"},
                                                          {0x60, "fnil"}, {0xF2, "fnil"}};
    for (auto [byte, keyword] : cases) {
        SCOPED_TRACE(keyword);
        std::array<LogFont, 3> fonts = {font(-12, 400, "A", byte), font(-12, 400, "B", byte), font(-12, 400, "C", byte)};
        std::string k = keyword;
        EXPECT_EQ(doc::font_table(kDocRtf, fonts).text,
                  "{\\fonttbl{\\f0\\" + k + " A;}{\\f1\\" + k + " B;}{\\f2\\" + k + " C;}}\n");
    }
}

// A device of 100 dpi across that measures "W" as 7 x 13 pixels, or cannot make the font.
class OddDevice final : public TextMeasure {
public:
    explicit OddDevice(bool can_measure) : m_can_measure(can_measure) {}
    int pixels_per_inch_x() const override { return 100; }
    int pixels_per_inch_y() const override { return 120; }
    std::optional<TextExtent> measure(const LogFont&, std::string_view) const override {
        if (!m_can_measure) return std::nullopt;
        return TextExtent{7, 13};
    }

private:
    bool m_can_measure;
};

TEST(DocWriter, TableWidthFromTheMeasuredCharacter) {
    const int widths[] = {3, 4};
    // 13 px * 1440 / 100 = 187.2 twips a character; 3 characters 561.6, 7 characters 1310.4.
    EXPECT_EQ(doc::table_start(kDocRtfWord, widths, kCourier, OddDevice(true)).text, "\n\\par \\cellx561\\cellx1310");
    EXPECT_EQ(doc::table_start(kDocRtf, widths, kCourier, OddDevice(true)).text, "\n\\pard\\tx561");
    // Without a measurement |height| = 12 px: 172.8 twips; 3 characters 518.4, 7 characters 1209.6.
    EXPECT_EQ(doc::table_start(kDocRtfWord, widths, kCourier, OddDevice(false)).text, "\n\\par \\cellx518\\cellx1209");
    // The font size follows the vertical resolution: 12 px at 120 dpi is 7.2 pt, rounded 7.
    EXPECT_EQ(doc::font_start(kDocRtf, kCourier, 0, kColours[0], 0, OddDevice(true)).text, "{\\f0\\fs14\\cf0\n");
}

TEST(DocWriter, TokensAreCutAt249Units) {
    const std::vector<int> widths(100, 1);
    DocToken t = doc::table_start(kDocRtfWord, widths, kCourier, kScreen);
    EXPECT_TRUE(t.ok);
    EXPECT_EQ(t.text.size(), 249u);
    EXPECT_EQ(t.text.substr(0, 20), "\n\\par \\cellx210\\cell");
}

TEST(DocWriter, ReplaceColourTable) {
    std::string text = "{\\rtf1{\\colortbl\\red1\\green2\\blue3;}\nabc}";
    ASSERT_TRUE(doc::replace_colour_table(text, kColours));
    EXPECT_EQ(text, "{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue128;\\red255\\green10\\blue1;}\n\nabc}");
    for (std::string bad : {"", "{}", "{\\rtf1 no table}", "{\\colortbl\\red1"}) {
        SCOPED_TRACE(bad);
        std::string before = bad;
        EXPECT_FALSE(doc::replace_colour_table(bad, kColours));
        EXPECT_EQ(bad, before);
    }
}

TEST(DocWriter, ReplaceFontTableKeepsTheTextAfterNestedGroups) {
    std::string text = "{\\rtf1{\\fonttbl{\\f0{\\*\\panose 0}\\fnil Old;}{\\f1 X;}}\n{\\f0 after}}";
    ASSERT_TRUE(doc::replace_font_table(text, kFonts));
    EXPECT_EQ(text,
              "{\\rtf1{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\fswiss Arial;}{\\f2\\fdecor Symbol;}}\n\n{\\f0 after}}");
    for (std::string bad : {"ab", "{\\rtf1}", "{\\fonttbl{\\f0 X;}"}) {
        SCOPED_TRACE(bad);
        std::string before = bad;
        EXPECT_FALSE(doc::replace_font_table(bad, kFonts));
        EXPECT_EQ(bad, before);
    }
}

TEST(DocWriter, RichTextFileIsWindows1252WithUnicodeEscapes) {
    EXPECT_EQ(document_file_bytes(kDocRtf, "caf\xC3\xA9 \xE2\x82\xAC \xE2\x99\x88"), "caf\xE9 \x80 \\u9800?");
    EXPECT_EQ(document_file_bytes(kDocRtf, "\xF0\x9F\x9C\x81"), "\\u-10179?\\u-8447?");
    EXPECT_EQ(document_file_bytes(kDocHtml, "caf\xC3\xA9"), "caf\xC3\xA9");
}

// A small report: a title, a bold word, a table of two rows, in one format.
std::string sample_document(int format) {
    Document d(format, kScreen, kFonts, kColours);
    d.start("<TITLE>Stars</TITLE>");
    d.styled(1, "Conjunctions");
    d.new_line();
    d.styled(0, "Planet and star, caf\xC3\xA9 ");
    d.bold("bold");
    d.new_line();
    const int widths[] = {10, 12, 8};
    d.table_start(widths);
    d.row(std::vector<std::string>{"Sun", "Regulus", "0.42"});
    d.row(std::vector<std::string>{"Moon", "Spica", "0.90"});
    d.table_end();
    d.end();
    return document_file_bytes(format, d.text());
}

std::string run_capture(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::filesystem::path write_temp(const std::string& name, const std::string& bytes) {
    auto path = std::filesystem::temp_directory_path() / ("tellurim_doc_" + std::to_string(::getpid()) + name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(DocWriter, HtmlParsesWithLxml) {
    auto path = write_temp(".html", sample_document(kDocHtml));
    // lxml's HTML parser lists every complaint, the table cells and the font faces it found.
    // The one complaint is the "</P>" of table end: HTML closes a paragraph before a table,
    // so the paragraph's end tag has nothing left to close (browsers ignore it).
    const std::string script =
        "import sys\n"
        "from lxml import etree\n"
        "p = etree.HTMLParser()\n"
        "t = etree.parse(sys.argv[1], p)\n"
        "print('|'.join(e.message for e in p.error_log))\n"
        "print('|'.join(td.text for td in t.iter('td')))\n"
        "print('|'.join(f.get('face') + ' ' + f.get('color') for f in t.iter('font')))\n"
        "print(t.findtext('.//title'), '|'.join(b.text for b in t.iter('b')))\n";
    auto script_path = write_temp(".py", script);
    std::string out = run_capture("/usr/bin/python3 " + script_path.string() + " " + path.string() + " 2>&1");
    EXPECT_EQ(out,
              "Unexpected end tag : p\n"
              "Sun|Regulus|0.42|Moon|Spica|0.90\n"
              "Arial #800080|Courier New #000000\n"
              "Stars Conjunctions|bold\n");
    std::filesystem::remove(path);
    std::filesystem::remove(script_path);
}

TEST(DocWriter, RichTextReadsBackWithUnrtf) {
    for (int format : {kDocRtf, kDocRtfWord}) {
        SCOPED_TRACE(format);
        auto path = write_temp(".rtf", sample_document(format));
        std::string out = run_capture("unrtf --text --nopict " + path.string() + " 2>/dev/null");
        // unrtf prints a comment header, then the text.
        std::size_t body = out.find("-----------------\n");
        ASSERT_NE(body, std::string::npos) << out;
        std::string text = out.substr(out.find('\n', body) + 1);
        EXPECT_NE(text.find("Conjunctions"), std::string::npos) << text;
        EXPECT_NE(text.find("Planet and star, caf"), std::string::npos) << text;
        EXPECT_NE(text.find("Regulus"), std::string::npos) << text;
        EXPECT_NE(text.find("0.90"), std::string::npos) << text;
        // The fonts came through the table.
        std::string html = run_capture("unrtf --html " + path.string() + " 2>/dev/null");
        EXPECT_NE(html.find("Courier New"), std::string::npos);
        EXPECT_NE(html.find("Arial"), std::string::npos);
        std::filesystem::remove(path);
    }
}

TEST(DocWriter, PlainTextHasOnlyLineEndsAndTabs) {
    EXPECT_EQ(sample_document(kDocDosText),
              "Conjunctions\r\nPlanet and star, caf\xC3\xA9 bold\r\n\r\nSun\tRegulus\t0.42\t\r\nMoon\tSpica\t0.90\t");
    EXPECT_EQ(sample_document(kDocUnixText),
              "Conjunctions\nPlanet and star, caf\xC3\xA9 bold\n\nSun\tRegulus\t0.42\t\nMoon\tSpica\t0.90\t");
}

}  // namespace
}  // namespace tellurim
