#include "files/horoscope_export.h"

#include <cstdio>
#include <memory>

#include "core/strings.h"
#include "core/worker_threads.h"
#include "files/exchange_line.h"
#include "files/horoscope_file.h"

namespace tellurim {
namespace {

Message box(Str text_id, Str caption, MessageIcon icon) {
    return {str(text_id), str(caption), icon, MessageButtons::Ok, MessageAnswer::Ok};
}

}  // namespace

std::optional<Message> validate_text_export(const TextExportRequest& r) {
    if (r.separator.empty()) return box(Str::ExportSeparatorEmpty, Str::ImportErrorCaption, MessageIcon::Warning);
    // A separator the import would refuse, or one that would split the lines elsewhere, makes
    // lines that do not import again.
    auto separator = separator_from_typed(r.separator);
    if (!separator) return box(Str::ImportOnlyTabEscape, Str::ImportErrorCaption, MessageIcon::Warning);
    if (auto fault = export_separator_fault(*separator))
        return Message{str(*fault) + " " + r.separator, str(Str::ImportErrorCaption), MessageIcon::Warning,
                       MessageButtons::Ok, MessageAnswer::Ok};
    if (r.files.empty()) return box(Str::ExportNoHoroscope, Str::ExportErrorCaption, MessageIcon::Warning);
    return std::nullopt;
}

ExportResult run_text_export(const TextExportRequest& r, const ExportEnvironment& env, const ManualResetEvent* cancel,
                             ExportProgress* progress) {
    ExportResult result;
    const std::string separator = separator_from_typed(r.separator).value_or(r.separator);
    std::FILE* out = std::fopen(r.out_file.c_str(), "ab");  // lines carry their own CR LF
    if (!out) {
        env.messages->tell(r.out_file, str(Str::ExportErrorCaption), MessageIcon::Warning);
        result.failed = true;
        return result;
    }
    auto h = std::make_unique<Horoscope>();
    for (std::size_t i = 0; i < r.files.size(); ++i) {
        if (cancel && cancel->is_set()) {
            result.cancelled = true;
            break;
        }
        *h = Horoscope{};
        bool ok = read_horoscope_file(*h, r.files[i], *env.options, *env.messages, *env.workers, *env.library);
        // A line that would not import again is refused, with the reason after the file name.
        std::optional<std::string> refused = ok ? exchange_line_fault(*h, separator) : std::nullopt;
        if (ok && !refused) {
            const std::string line = exchange_line(*h, separator);
            ok = std::fwrite(line.data(), 1, line.size(), out) == line.size();
        }
        if (!ok || refused) {
            env.messages->tell(refused ? r.files[i] + ": " + *refused : r.files[i], str(Str::ExportErrorCaption),
                               MessageIcon::Warning);
            result.failed = true;
            break;
        }
        ++result.exported;
        if (progress) {
            progress->files_done.store(static_cast<long>(i + 1));
            progress->percent.store(static_cast<int>((i + 1) * 100 / r.files.size()));
        }
    }
    if (std::fclose(out) != 0) result.failed = true;
    return result;
}

Message text_export_message(const ExportResult& r) {
    if (r.cancelled) return box(Str::ExportTextCanceled, Str::ExportFailureCaption, MessageIcon::Warning);
    if (r.failed) return box(Str::ExportTextHasErrors, Str::ExportFailureCaption, MessageIcon::Warning);
    return box(Str::ExportTextDone, Str::ExportSuccessCaption, MessageIcon::Information);
}

bool append_to_save_file(const Horoscope& h, const std::string& save_file, MessageSink& messages) {
    if (auto refused = exchange_line_fault(h, ";")) {
        messages.tell(save_file + ": " + *refused, str(Str::SaveFileAppendError), MessageIcon::Warning);
        return false;
    }
    const std::string line = exchange_line(h, ";");
    std::FILE* f = std::fopen(save_file.c_str(), "ab");
    bool ok = f && std::fwrite(line.data(), 1, line.size(), f) == line.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) messages.tell(save_file, str(Str::SaveFileAppendError), MessageIcon::Warning);
    return ok;
}

}  // namespace tellurim
