// The document writer's tokens, format by format, as the writer's token table gives them. The
// finished documents are read back by real readers (lxml, unrtf) in results_report_test.cpp.
#include "report/doc_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "common/data_table.h"

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
const LogFont kMarked = [] {
    LogFont f = font(-12, 401, "Courier New");
    f.italic = f.underline = f.strikeout = 1;
    return f;
}();
const std::array<DocColour, 3> kColours = {DocColour{0, 0, 0}, DocColour{128, 0, 128}, DocColour{255, 10, 1}};
// A face name from a hand-edited options file: markup and controls must not reach the document.
const LogFont kHostile = font(-12, 400, "</style><script>x</script>{\\rtf;\x01\"");

// The operations of tests/data/report/doc_tokens.txt, by the name the file gives them.
const std::map<std::string, std::function<DocToken(int)>> kOperations = {
    {"document start", [](int f) { return doc::document_start(f, ""); }},
    {"document start with head", [](int f) { return doc::document_start(f, "<TITLE>T</TITLE>"); }},
    {"font table, face with markup", [](int f) { return doc::font_table(f, std::array{kHostile, kHostile, kHostile}); }},
    {"font start, face with markup", [](int f) { return doc::font_start(f, kHostile, 0, kColours[0], 0, kScreen); }},
    {"document end", doc::document_end},
    {"colour table", [](int f) { return doc::colour_table(f, kColours); }},
    {"font table", [](int f) { return doc::font_table(f, kFonts); }},
    {"font start regular", [](int f) { return doc::font_start(f, kCourier, 0, kColours[2], 2, kScreen); }},
    {"font start bold", [](int f) { return doc::font_start(f, kFonts[1], 1, kColours[1], 1, kScreen); }},
    {"font start, bold from 401, every mark", [](int f) { return doc::font_start(f, kMarked, 0, kColours[0], 0, kScreen); }},
    {"font end, every mark", [](int f) { return doc::font_end(f, kMarked); }},
    {"font table, roman, script and unknown families",
     [](int f) { return doc::font_table(f, std::array{font(-12, 400, "A", 0x12), font(-12, 400, "B", 0x40), font(-12, 400, "C", 0x60)}); }},
    {"font end regular", [](int f) { return doc::font_end(f, kCourier); }},
    {"font end bold", [](int f) { return doc::font_end(f, kFonts[1]); }},
    {"new line", doc::new_line},
    {"table start", [](int f) { const int w[] = {10, 5, 8}; return doc::table_start(f, w, kCourier, kScreen); }},
    {"table start, one column", [](int f) { const int w[] = {10}; return doc::table_start(f, w, kCourier, kScreen); }},
    {"table end", doc::table_end},
    {"row start", doc::row_start},
    {"row end", doc::row_end},
    {"cell start", doc::cell_start},
    {"cell end", doc::cell_end},
    {"last cell end", doc::last_cell_end},
    {"bold on", doc::bold_on},
    {"bold off", doc::bold_off},
};

TEST(DocWriter, EveryOperationInEveryFormat) {
    std::size_t rows = 0;
    for (const testing_data::DataRow& r : testing_data::data_rows("report/doc_tokens.txt")) {
        ++rows;
        const auto& op = kOperations.at(r[0]);
        for (int format = -1; format <= kDocFormatCount; ++format) {
            SCOPED_TRACE(r[0] + ", format " + std::to_string(format));
            const bool valid = format >= 0 && format < kDocFormatCount;
            DocToken t = op(format);
            EXPECT_EQ(t.ok, valid);
            EXPECT_EQ(t.text, valid ? r.text(static_cast<std::size_t>(format) + 1) : "");
        }
    }
    EXPECT_EQ(rows, kOperations.size());
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
    // The HTML report's style element names the body face in CSS, where only escapes hold.
    EXPECT_EQ(doc::css_face_name(kHostile.face_name),
              "\\3C \\2F style\\3E \\3C script\\3E x\\3C \\2F script\\3E \\7B \\5C rtf\\3B \\22 ");
    EXPECT_EQ(doc::css_face_name("Noto Sans-CJK_JP"), "Noto Sans-CJK_JP");
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

TEST(DocWriter, PlainTextHasOnlyLineEndsAndTabs) {
    EXPECT_EQ(sample_document(kDocDosText),
              "Conjunctions\r\nPlanet and star, caf\xC3\xA9 bold\r\n\r\nSun\tRegulus\t0.42\t\r\nMoon\tSpica\t0.90\t");
    EXPECT_EQ(sample_document(kDocUnixText),
              "Conjunctions\nPlanet and star, caf\xC3\xA9 bold\n\nSun\tRegulus\t0.42\t\nMoon\tSpica\t0.90\t");
}

}  // namespace
}  // namespace tellurim
