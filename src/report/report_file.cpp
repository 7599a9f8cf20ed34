#include "report/report_file.h"

#include <filesystem>

#include "base/strings.h"
#include "core/output_file.h"
#include "report/doc_writer.h"

namespace tellurim {
namespace {

// The extension of the file name (after the last dot of the last path element), lower case.
std::string extension_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    std::string ext;
    for (char c : path.substr(dot + 1)) ext += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext;
}

}  // namespace

ConvertTarget convert_target(std::string_view path, int entry) {
    if (entry < kConvertRtf || entry > kConvertUnixText) entry = kConvertRtf;
    ConvertTarget t{std::string(path), kDocRtf};
    if (extension_of(path).empty() && (path.empty() || path.back() != '.'))
        t.path += entry <= kConvertRtfWord ? ".rtf" : entry == kConvertHtml ? ".html" : ".txt";
    const std::string ext = extension_of(t.path);
    if (ext == "rtf") t.format = entry == kConvertRtfWord ? kDocRtfWord : kDocRtf;
    else if (ext == "html" || ext == "htm") t.format = kDocHtml;
    else if (ext == "txt") t.format = entry == kConvertDosText ? kDocDosText : kDocUnixText;
    return t;
}

int convert_entry_from_name(std::string_view name) {
    if (name == "rtf") return kConvertRtf;
    if (name == "rtf-word") return kConvertRtfWord;
    if (name == "html") return kConvertHtml;
    if (name == "dos-txt") return kConvertDosText;
    if (name == "txt") return kConvertUnixText;
    return 0;
}

FileWrite write_document_file(const std::string& path, int format, std::string_view utf8_text, MessageSink& messages) {
    if (!is_output_path(path)) {
        messages.tell(path, str(Str::OutputNotRegular), MessageIcon::Error);
        return FileWrite::Failed;
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && messages.show(overwrite_question(path)) != MessageAnswer::Yes)
        return FileWrite::Cancelled;
    // Written beside and renamed over: an interrupted run leaves the old file whole.
    if (replace_output_file(path, document_file_bytes(format, utf8_text)) != OutputStatus::Written) {
        messages.tell(str(Str::ReportCannotCreateFile), str(Str::ReportErrorCaption), MessageIcon::Error);
        return FileWrite::Failed;
    }
    return FileWrite::Written;
}

}  // namespace tellurim
