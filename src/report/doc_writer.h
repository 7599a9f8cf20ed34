#pragma once
// DocWriter: the tokens that open and close the elements of one document in five output
// formats, so that a report generator writes each document once. The caller appends a token,
// then its own text, to a growing UTF-8 text; the tokens never escape the caller's text.
//
// Every operation takes the format code and returns success with its token. A format other
// than 0 to 4 gives an empty token and failure. A token is cut to 249 UTF-16 units (the
// tokens are built in a buffer of 250 wide characters).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/options.h"
#include "report/text_measure.h"

namespace tellurim {

enum DocFormat : int {
    kDocRtf = 0,        // rich text as the program's own text windows show it (tab stops)
    kDocRtfWord = 1,    // rich text with real tables, for word processors
    kDocHtml = 2,
    kDocDosText = 3,    // plain text, CR LF line ends
    kDocUnixText = 4,   // plain text, LF line ends
};
inline constexpr int kDocFormatCount = 5;

// A colour as red, green and blue bytes (the bytes of a Windows COLORREF, red lowest).
struct DocColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    static constexpr DocColour from_colorref(ColorRef c) {
        return {std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t((c >> 16) & 0xFF)};
    }
    bool operator==(const DocColour&) const = default;
};

struct [[nodiscard]] DocToken {
    bool ok = false;
    std::string text;
};

namespace doc {

DocToken document_start(int format, std::string_view head_text);
DocToken document_end(int format);
DocToken colour_table(int format, const std::array<DocColour, 3>& colours);
DocToken font_table(int format, const std::array<LogFont, 3>& fonts);
DocToken font_start(int format, const LogFont& font, int font_number, DocColour colour, int colour_number,
                    const TextMeasure& device);
DocToken font_end(int format, const LogFont& font);
DocToken new_line(int format);
// `widths` holds one width per column, in characters; the column count is its size.
DocToken table_start(int format, std::span<const int> widths, const LogFont& font, const TextMeasure& device);
DocToken table_end(int format);
DocToken row_start(int format);
DocToken row_end(int format);
DocToken cell_start(int format);
DocToken cell_end(int format);       // every cell of a row but the last
DocToken last_cell_end(int format);
DocToken bold_on(int format);
DocToken bold_off(int format);

// The width of one character of `font` in twips: the larger of the width and height of "W"
// (|height| when the font cannot be measured) times 1440 over the horizontal resolution.
float character_width_twips(const LogFont& font, const TextMeasure& device);

// In a written rich text, put new colours (fonts) in place of the first colour (font) table.
// False, with the text unchanged, when the text is shorter than three characters or holds no
// complete table.
bool replace_colour_table(std::string& rich_text, const std::array<DocColour, 3>& colours);
bool replace_font_table(std::string& rich_text, const std::array<LogFont, 3>& fonts);

// Windows MulDiv: a * b / c rounded half away from zero; -1 when c is 0.
int mul_div(int a, int b, int c);

// The caller's own text made safe inside a document of the format: "&", "<" and ">" become
// entities in HTML, "\\", "{" and "}" are escaped in rich text, plain text is left as it is.
std::string escape_text(int format, std::string_view text);
// A font face name from the settings made safe where the writers put it: control characters
// are dropped; in rich text "\\", "{" and "}" are escaped and ";" (which would end the font
// table's entry) is written "\\'3b"; in HTML "&", "<", ">", '"' and "'" become entities.
std::string escape_face_name(int format, std::string_view face);
// The same for the CSS of an HTML style element, where entities mean nothing and "</style>"
// would end the element: every character but letters, digits, spaces, "-", "_" and non-ASCII
// ones is written as a CSS escape ("\\3C ").
std::string css_face_name(std::string_view face);
// A name column of a table: in the two plain-text formats the text padded with blanks to at
// least `width` characters (never cut); in the other formats the text as it is.
std::string pad_cell(int format, std::string_view text, std::size_t width);

}  // namespace doc

// The bytes of a finished document as its file holds them: rich text in Windows-1252, where a
// character outside that code page becomes an RTF Unicode escape "\uN?"; HTML and plain text
// in UTF-8 as written.
std::string document_file_bytes(int format, std::string_view utf8_text);

// The format for a file name's extension: ".rtf" rich text (0), ".html"/".htm" HTML (2),
// ".txt" UNIX text (4); -1 for another extension.
int doc_format_for_path(std::string_view path);

// The report's three fonts and colours from the settings: the global text (body, number 0),
// title text (number 1) and eclipse text (number 2) entries of the font settings.
struct DocStyle {
    std::array<LogFont, 3> fonts;
    std::array<DocColour, 3> colours;
};
DocStyle doc_style_from_options(const Options& options);

// A document being written: the writer of one format with the report's three fonts and
// colours, appending each token to its text. Operations of an unknown format append nothing.
class Document {
public:
    Document(int format, const TextMeasure& device, const std::array<LogFont, 3>& fonts,
             const std::array<DocColour, 3>& colours);

    int format() const { return m_format; }
    const std::string& text() const { return m_text; }
    // False once an operation failed (an unknown format).
    bool ok() const { return m_ok; }

    // Document start, then (rich text) the colour and font tables.
    void start(std::string_view head_text = {});
    void end();
    // Font start of font `number` (0 to 2) in colour `number`, the text (escaped, in bold
    // when asked), font end.
    void styled(int number, std::string_view text, bool bold = false);
    void plain(std::string_view text) { m_text += text; }
    void new_line();
    void bold(std::string_view text);
    void table_start(std::span<const int> widths, int font_number = 0);
    void table_end();
    // One row: row start, each cell (escaped, in bold when asked), row end.
    void row(std::span<const std::string> cells, bool bold = false);
    // A name cell padded as the format wants it (see doc::pad_cell).
    std::string pad(std::string_view text, std::size_t width) const { return doc::pad_cell(m_format, text, width); }

private:
    void add(const DocToken& token) {
        m_ok = m_ok && token.ok;
        m_text += token.text;
    }
    bool m_ok = true;
    int m_format;
    const TextMeasure& m_device;
    std::array<LogFont, 3> m_fonts;
    std::array<DocColour, 3> m_colours;
    std::string m_text;
};

}  // namespace tellurim
