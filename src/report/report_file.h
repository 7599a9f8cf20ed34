#pragma once
// "Convert to file": the file name and format chosen in the save dialog, and the writing of a
// finished document to its file (rich text in Windows-1252, HTML and plain text in UTF-8),
// with the question before an existing file is overwritten.

#include <string>
#include <string_view>

#include "core/messages.h"

namespace tellurim {

// The entries of the dialog's filter, counted from 1 as the dialog lists them.
enum ConvertEntry : int {
    kConvertRtf = 1,       // "(rtf files *.rtf)"
    kConvertRtfWord = 2,   // "(rtf for MSWord files *.rtf)"
    kConvertHtml = 3,      // "(html files *.html)"
    kConvertDosText = 4,   // "(DOS txt files *.txt)"
    kConvertUnixText = 5,  // "(UNIX txt files *.txt)"
};

struct ConvertTarget {
    std::string path;  // with the entry's extension added when the name had none
    int format = 0;    // DocFormat
};
// The name gets ".rtf", ".html" or ".txt" when it has no extension; then the extension
// decides: "rtf" gives rich text for word processors with entry 2 and rich text otherwise,
// "html"/"htm" HTML, "txt" DOS text with entry 4 and UNIX text otherwise, anything else rich
// text. An entry outside 1..5 counts as entry 1.
ConvertTarget convert_target(std::string_view path, int entry);

// The filter entry named on the command line: "rtf", "rtf-word", "html", "dos-txt", "txt";
// 0 for another name.
int convert_entry_from_name(std::string_view name);

enum class FileWrite { Written, Cancelled, Failed };
// Writes `utf8_text` as the file of a document of `format`. An existing file is only
// replaced when the user answers yes to "File <path> exits, overwrite?" ("Confirmation");
// a file that cannot be written is said as "Cannot create file!" ("Error").
FileWrite write_document_file(const std::string& path, int format, std::string_view utf8_text, MessageSink& messages);

}  // namespace tellurim
