#pragma once
// Bulk export of saved horoscope files: to lines of a text file in the import's format, or
// through ODBC to the tables and columns a mapping file names (files/db_export.h). Both run
// as worker routines: they poll the cancel event before each file and publish the number of
// files done.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "core/horoscope.h"
#include "core/messages.h"

namespace tellurim {

class EphemerisLibrary;
class ManualResetEvent;
class WorkerThreads;

// What the computation of each file needs.
struct ExportEnvironment {
    const Options* options = nullptr;
    MessageSink* messages = nullptr;  // reading and computation failures, and the export's own
    WorkerThreads* workers = nullptr;  // the ephemeris call's table (the worker's own)
    EphemerisLibrary* library = nullptr;
};

struct ExportProgress {
    std::atomic<long> files_done{0};
    std::atomic<int> percent{0};
};

struct TextExportRequest {
    std::string out_file;
    std::string separator;  // as typed: backslash-t stands for a tab
    std::vector<std::string> files;
};

struct ExportResult {
    long exported = 0;
    bool cancelled = false;
    bool failed = false;
};

// Reads and computes one horoscope file for an export, as `open` does: a birth whose day has
// no sunrise or sunset (polar day or night) is kept, with a warning naming the file. False
// when the file cannot be read or computed (its message has been shown).
[[nodiscard]] bool read_export_horoscope(Horoscope& h, const std::string& path, const ExportEnvironment& env);

// The dialog's checks: an empty separator ("Separator string cannot be empty:", caption
// "Error"), an empty list ("No horoscope to export", caption "Error exporting horoscope:").
std::optional<Message> validate_text_export(const TextExportRequest& request);

// Appends one line per file to the output file (created when missing). A file that cannot be
// read or computed shows its name under "Error exporting horoscope:" and stops the run.
ExportResult run_text_export(const TextExportRequest& request, const ExportEnvironment& env,
                             const ManualResetEvent* cancel, ExportProgress* progress);
// "Export was canceled by user" / "Export has errors" (caption "Export failure", warning) or
// "Export was successfully done." (caption "Export success", information).
Message text_export_message(const ExportResult& result);

// The new-chart dialog's save-file box: appends the horoscope's line (separator ";") to the
// save file; failure shows "Error appending horoscope to file:" with the path.
[[nodiscard]] bool append_to_save_file(const Horoscope& h, const std::string& save_file, MessageSink& messages);

}  // namespace tellurim
