#include "files/horoscope_export.h"

#include <memory>

#include "base/strings.h"
#include "astro/compute.h"
#include "core/output_file.h"
#include "core/worker_threads.h"
#include "files/exchange_line.h"
#include "files/horoscope_file.h"

namespace tellurim {
namespace {

Message box(Str text_id, Str caption, MessageIcon icon) {
    return {str(text_id), str(caption), icon, MessageButtons::Ok, MessageAnswer::Ok};
}

}  // namespace

bool read_export_horoscope(Horoscope& h, const std::string& path, const ExportEnvironment& env) {
    HoroscopeFileData data;
    if (load_horoscope_file(path, data, *env.messages) != HoroscopeFileStatus::Ok) return false;
    ComputeReport report;
    const bool computed = store_and_compute(h, data, *env.options, *env.messages, *env.workers, *env.library, &report);
    if (!polar_sun_only_failure(computed, h, report)) return computed;
    env.messages->tell(path + ": " + str(Str::PolarKeptWarning), str(Str::BirthWarningCaption), MessageIcon::Warning);
    return true;
}

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
    if (!is_output_path(r.out_file))
        return Message{r.out_file, str(Str::OutputNotRegular), MessageIcon::Warning, MessageButtons::Ok,
                       MessageAnswer::Ok};
    return std::nullopt;
}

ExportResult run_text_export(const TextExportRequest& r, const ExportEnvironment& env, const ManualResetEvent* cancel,
                             ExportProgress* progress) {
    ExportResult result;
    const std::string separator = separator_from_typed(r.separator).value_or(r.separator);
    // The lines go to a copy of the file, renamed over it at the end: a run that is killed
    // leaves the file as it was, never half a line. A cancelled or failed run keeps the lines
    // of the files done before.
    OutputFile out;
    const OutputStatus opened = out.open(r.out_file, true);
    if (opened != OutputStatus::Written) {
        env.messages->tell(r.out_file, str(opened == OutputStatus::NotRegular ? Str::OutputNotRegular
                                                                              : Str::ExportErrorCaption),
                           MessageIcon::Warning);
        result.failed = true;
        return result;
    }
    auto h = std::make_unique<Horoscope>();
    std::string lines;
    for (std::size_t i = 0; i < r.files.size(); ++i) {
        if (cancel && cancel->is_set()) {
            result.cancelled = true;
            break;
        }
        *h = Horoscope{};
        const bool ok = read_export_horoscope(*h, r.files[i], env);
        // A line that would not import again is refused, with the reason after the file name.
        const std::optional<std::string> refused = ok ? exchange_line_fault(*h, separator) : std::nullopt;
        if (!ok || refused) {
            env.messages->tell(refused ? r.files[i] + ": " + *refused : r.files[i], str(Str::ExportErrorCaption),
                               MessageIcon::Warning);
            result.failed = true;
            break;
        }
        lines += exchange_line(*h, separator);
        if (lines.size() >= (1u << 16)) {
            if (!out.write(lines)) {
                env.messages->tell(r.out_file, str(Str::ExportErrorCaption), MessageIcon::Warning);
                result.failed = true;
                return result;
            }
            lines.clear();
        }
        ++result.exported;
        if (progress) {
            progress->files_done.store(static_cast<long>(i + 1));
            progress->percent.store(static_cast<int>((i + 1) * 100 / r.files.size()));
        }
    }
    if (!out.write(lines) || out.commit() != OutputStatus::Written) {
        env.messages->tell(r.out_file, str(Str::ExportErrorCaption), MessageIcon::Warning);
        result.failed = true;
        result.exported = 0;
    }
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
    const OutputStatus s = append_output_file(save_file, exchange_line(h, ";"));
    if (s == OutputStatus::Written) return true;
    messages.tell(save_file, str(s == OutputStatus::NotRegular ? Str::OutputNotRegular : Str::SaveFileAppendError),
                  MessageIcon::Warning);
    return false;
}

}  // namespace tellurim
