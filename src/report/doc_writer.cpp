#include "report/doc_writer.h"

#include <cstdlib>

#include <fmt/format.h>

#include "base/text.h"

namespace tellurim {
namespace doc {
namespace {

constexpr std::size_t kTokenUnits = 250;  // the wide buffer of a token, with its NUL

bool known(int format) { return format >= 0 && format < kDocFormatCount; }
bool is_rich(int format) { return format == kDocRtf || format == kDocRtfWord; }

DocToken ok(std::string text) { return DocToken{true, truncate_utf16_units(text, kTokenUnits)}; }
DocToken failed() { return DocToken{}; }

// One literal per format, in the order 0 to 4.
DocToken pick(int format, const std::array<std::string_view, kDocFormatCount>& tokens) {
    if (!known(format)) return failed();
    return ok(std::string(tokens[static_cast<std::size_t>(format)]));
}

bool is_bold(const LogFont& f) { return f.weight > 400; }

// The family keyword of the upper four bits of the pitch-and-family byte.
std::string_view family_keyword(std::uint8_t pitch_and_family) {
    switch (pitch_and_family & 0xF0) {
        case 0x50: return "fdecor";
        case 0x30: return "fmodern";
        case 0x10: return "froman";
        case 0x40: return "fscript";
        case 0x20: return "fswiss";
        default: return "fnil";
    }
}

std::string colour_table_text(const std::array<DocColour, 3>& colours) {
    std::string t = "{\\colortbl";
    for (const DocColour& c : colours) t += fmt::format("\\red{}\\green{}\\blue{};", c.red, c.green, c.blue);
    t += "}\n";
    return t;
}

std::string font_table_text(const std::array<LogFont, 3>& fonts) {
    std::string t = "{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i)
        t += fmt::format("{{\\f{}\\{} {};}}", i, family_keyword(fonts[i].pitch_and_family),
                         escape_face_name(kDocRtf, fonts[i].face_name));
    t += "}\n";
    return t;
}

// Size in points of a font height in logical units of the device.
int size_points(const LogFont& font, const TextMeasure& device) {
    return std::abs(mul_div(font.height, 72, device.pixels_per_inch_y()));
}

}  // namespace

int mul_div(int a, int b, int c) {
    if (c == 0) return -1;
    long long p = static_cast<long long>(a) * b;
    long long q = (std::llabs(p) + std::llabs(static_cast<long long>(c)) / 2) / std::llabs(static_cast<long long>(c));
    bool negative = (p < 0) != (c < 0);
    return static_cast<int>(negative ? -q : q);
}

DocToken document_start(int format, std::string_view head_text) {
    if (!known(format)) return failed();
    if (is_rich(format)) return ok("{\\rtf1\\ansi\\deff0\\deflang1024\n");
    if (format == kDocHtml)
        return ok("<HTML><HEAD>" + std::string(head_text) + "<meta charset = \"UTF-8\">" + "</HEAD><BODY>");
    return ok("");
}

DocToken document_end(int format) { return pick(format, {"\\par }\n", "\\par }\n", "\n</BODY></HTML>\n", "", ""}); }

DocToken colour_table(int format, const std::array<DocColour, 3>& colours) {
    if (!known(format)) return failed();
    return ok(is_rich(format) ? colour_table_text(colours) : "");
}

DocToken font_table(int format, const std::array<LogFont, 3>& fonts) {
    if (!known(format)) return failed();
    return ok(is_rich(format) ? font_table_text(fonts) : "");
}

DocToken font_start(int format, const LogFont& font, int font_number, DocColour colour, int colour_number,
                    const TextMeasure& device) {
    if (!known(format)) return failed();
    if (is_rich(format)) {
        std::string t = fmt::format("{{\\f{}\\fs{}\\cf{}", font_number, size_points(font, device) * 2, colour_number);
        if (is_bold(font)) t += "\\b";
        if (font.italic == 1) t += "\\i";
        if (font.underline == 1) t += "\\ul";
        if (font.strikeout == 1) t += "\\strike";
        t += "\n";
        return ok(std::move(t));
    }
    if (format == kDocHtml) {
        std::string t = fmt::format("<SPAN STYLE=\"Font-Size: {}pt\"><FONT  FACE=\"{}\" COLOR = \"#{:02x}{:02x}{:02x}\">\n",
                                    size_points(font, device), escape_face_name(format, font.face_name), colour.red,
                                    colour.green, colour.blue);
        if (is_bold(font)) t += "<B>";
        if (font.italic) t += "<I>";
        if (font.underline) t += "<U>";
        if (font.strikeout) t += "<S>";
        return ok(std::move(t));
    }
    return ok("");
}

DocToken font_end(int format, const LogFont& font) {
    if (!known(format)) return failed();
    if (is_rich(format)) return ok("}\n");
    if (format == kDocHtml) {
        std::string t;
        if (font.strikeout) t += "</S>";
        if (font.underline) t += "</U>";
        if (font.italic) t += "</I>";
        if (is_bold(font)) t += "</B>";
        t += "</FONT></SPAN>\n";
        return ok(std::move(t));
    }
    return ok("");
}

DocToken new_line(int format) { return pick(format, {"\\par ", "\\par ", "<BR>\n", "\r\n", "\n"}); }

float character_width_twips(const LogFont& font, const TextMeasure& device) {
    int width = std::abs(font.height);
    if (auto extent = device.measure(font, "W")) width = std::max(extent->width, extent->height);
    return static_cast<float>(width) * 1440.0f / static_cast<float>(device.pixels_per_inch_x());
}

DocToken table_start(int format, std::span<const int> widths, const LogFont& font, const TextMeasure& device) {
    if (!known(format)) return failed();
    if (format == kDocHtml) return ok("<P><TABLE BORDER = 1>\n");
    if (!is_rich(format)) return ok("");
    float twips = character_width_twips(font, device);
    int sum = 0;
    if (format == kDocRtf) {
        // Tab stops at the right edge of every column but the last.
        std::string t = "\n\\pard";
        for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
            sum += widths[i];
            t += fmt::format("\\tx{}", static_cast<long>(static_cast<float>(sum) * twips));
        }
        return ok(std::move(t));
    }
    std::string t = "\n\\par ";
    for (int w : widths) {
        sum += w;
        t += fmt::format("\\cellx{}", static_cast<long>(static_cast<float>(sum) * twips));
    }
    return ok(std::move(t));
}

DocToken table_end(int format) { return pick(format, {"\n", "\\pard\n", "</TABLE></P>\n", "", ""}); }
DocToken row_start(int format) { return pick(format, {"\n\\par ", "\n\\intbl\n", "<TR>\n", "\r\n", "\n"}); }
DocToken row_end(int format) { return pick(format, {"", "\\row\n", "</TR>", "", ""}); }
DocToken cell_start(int format) { return pick(format, {"", "", "<TD>", "", ""}); }
DocToken cell_end(int format) { return pick(format, {"\\tab ", "\\cell\n", "</TD>", "\t", "\t"}); }
DocToken last_cell_end(int format) { return pick(format, {"", "\\cell\n", "</TD>", "\t", "\t"}); }
DocToken bold_on(int format) { return pick(format, {"\\b ", "\\b ", "<B>", "", ""}); }
DocToken bold_off(int format) { return pick(format, {"\\b0 ", "\\b0 ", "</B>", "", ""}); }

bool replace_colour_table(std::string& rich_text, const std::array<DocColour, 3>& colours) {
    if (rich_text.size() < 3) return false;
    std::size_t open = rich_text.find("{\\colortbl");
    if (open == std::string::npos) return false;
    std::size_t close = rich_text.find('}', open);
    if (close == std::string::npos) return false;
    rich_text.replace(open, close - open + 1, colour_table_text(colours));
    return true;
}

bool replace_font_table(std::string& rich_text, const std::array<LogFont, 3>& fonts) {
    if (rich_text.size() < 3) return false;
    std::size_t open = rich_text.find("{\\fonttbl");
    if (open == std::string::npos) return false;
    // The table holds a group per font: its end is the brace that brings the depth back to 0.
    int depth = 1;
    for (std::size_t i = open + 1; i < rich_text.size(); ++i) {
        if (rich_text[i] == '{') ++depth;
        if (rich_text[i] == '}' && --depth == 0) {
            rich_text.replace(open, i - open + 1, font_table_text(fonts));
            return true;
        }
    }
    return false;
}

std::string escape_text(int format, std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (format == kDocHtml && c == '&') out += "&amp;";
        else if (format == kDocHtml && c == '<') out += "&lt;";
        else if (format == kDocHtml && c == '>') out += "&gt;";
        else if (is_rich(format) && (c == '\\' || c == '{' || c == '}')) out += {'\\', c};
        else out += c;
    }
    return out;
}

std::string escape_face_name(int format, std::string_view face) {
    std::string out;
    out.reserve(face.size());
    for (char c : face) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
        if (is_rich(format) && (c == '\\' || c == '{' || c == '}')) out += {'\\', c};
        else if (is_rich(format) && c == ';') out += "\\'3b";
        else if (format == kDocHtml && c == '&') out += "&amp;";
        else if (format == kDocHtml && c == '<') out += "&lt;";
        else if (format == kDocHtml && c == '>') out += "&gt;";
        else if (format == kDocHtml && c == '"') out += "&quot;";
        else if (format == kDocHtml && c == '\'') out += "&#39;";
        else out += c;
    }
    return out;
}

std::string css_face_name(std::string_view face) {
    std::string out;
    out.reserve(face.size());
    for (char c : face) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) continue;
        const bool plain = u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == ' ' || c == '-' || c == '_';
        out += plain ? std::string(1, c) : fmt::format("\\{:X} ", u);
    }
    return out;
}

std::string pad_cell(int format, std::string_view text, std::size_t width) {
    std::string out(text);
    if (format != kDocDosText && format != kDocUnixText) return out;
    std::size_t characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++characters;
    if (characters < width) out.append(width - characters, ' ');
    return out;
}

}  // namespace doc

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five unassigned positions.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int cp1252_byte(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == u && u != 0) return static_cast<int>(0x80 + i);
    return -1;
}

}  // namespace

std::string document_file_bytes(int format, std::string_view utf8_text) {
    if (format != kDocRtf && format != kDocRtfWord) return std::string(utf8_text);
    std::u16string wide = utf8_to_utf16(utf8_text);
    std::string out;
    out.reserve(wide.size());
    for (char16_t u : wide) {
        int b = cp1252_byte(u);
        if (b >= 0) {
            out += static_cast<char>(b);
            continue;
        }
        // \uN takes a signed 16-bit number; "?" is what a reader without Unicode shows.
        out += fmt::format("\\u{}?", static_cast<int>(static_cast<std::int16_t>(u)));
    }
    return out;
}

int doc_format_for_path(std::string_view path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return -1;
    std::string ext;
    for (char c : path.substr(dot)) ext += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == ".rtf") return kDocRtf;
    if (ext == ".html" || ext == ".htm") return kDocHtml;
    if (ext == ".txt") return kDocUnixText;
    return -1;
}

DocStyle doc_style_from_options(const Options& options) {
    DocStyle style;
    for (std::size_t i = 0; i < 3; ++i) {
        style.fonts[i] = options.fonts[i].font;
        style.colours[i] = DocColour::from_colorref(options.fonts[i].colour);
    }
    return style;
}

Document::Document(int format, const TextMeasure& device, const std::array<LogFont, 3>& fonts,
                   const std::array<DocColour, 3>& colours)
    : m_format(format), m_device(device), m_fonts(fonts), m_colours(colours) {}

void Document::start(std::string_view head_text) {
    add(doc::document_start(m_format, head_text));
    add(doc::colour_table(m_format, m_colours));
    add(doc::font_table(m_format, m_fonts));
}

void Document::end() { add(doc::document_end(m_format)); }

void Document::styled(int number, std::string_view text, bool bold) {
    auto i = static_cast<std::size_t>(number < 0 || number > 2 ? 0 : number);
    add(doc::font_start(m_format, m_fonts[i], static_cast<int>(i), m_colours[i], static_cast<int>(i), m_device));
    if (bold) add(doc::bold_on(m_format));
    m_text += doc::escape_text(m_format, text);
    if (bold) add(doc::bold_off(m_format));
    add(doc::font_end(m_format, m_fonts[i]));
}

void Document::new_line() { add(doc::new_line(m_format)); }

void Document::bold(std::string_view text) {
    add(doc::bold_on(m_format));
    m_text += doc::escape_text(m_format, text);
    add(doc::bold_off(m_format));
}

void Document::table_start(std::span<const int> widths, int font_number) {
    auto i = static_cast<std::size_t>(font_number < 0 || font_number > 2 ? 0 : font_number);
    add(doc::table_start(m_format, widths, m_fonts[i], m_device));
}

void Document::table_end() { add(doc::table_end(m_format)); }

void Document::row(std::span<const std::string> cells, bool bold) {
    add(doc::row_start(m_format));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        add(doc::cell_start(m_format));
        if (bold) add(doc::bold_on(m_format));
        m_text += doc::escape_text(m_format, cells[i]);
        if (bold) add(doc::bold_off(m_format));
        add(i + 1 < cells.size() ? doc::cell_end(m_format) : doc::last_cell_end(m_format));
    }
    add(doc::row_end(m_format));
}

}  // namespace tellurim
