#pragma once
// Import of horoscopes from a text file: one birth per line in the exchange line format
// (files/exchange_line.h); each line is computed and saved as a horoscope file in a target
// directory. Problems go to a log file (appended), or, when the user asks to stop on every
// error or gives no log, to message boxes one by one. A failing line never stops the run;
// the cancel event, the end of the file or an unreadable input do.

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/horoscope.h"
#include "core/messages.h"
#include "base/strings.h"

namespace tellurim {

class EphemerisLibrary;
class ManualResetEvent;
class WorkerThreads;

// What the "Import txt dialog" hands over.
struct ImportRequest {
    std::string text_file;
    std::string target_dir;
    std::string log_file;   // empty: no log, every entry is a message box
    std::string separator;  // as typed: backslash-t stands for a tab
    bool stop_on_every_error = false;
};

// The dialog's checks, in order; the first failure is a message (caption "Error", or the log
// path under "Not a valid path for log file:"), warning icon. On success the target
// directory has lost a trailing "/" or "\".
std::optional<Message> validate_import(ImportRequest& request);

// The log: entries are a blank line and "title: message" (the title left out when empty).
class ImportLog {
public:
    ImportLog(MessageSink& messages, bool stop_on_every_error) : m_messages(messages), m_stop(stop_on_every_error) {}
    ~ImportLog();
    ImportLog(const ImportLog&) = delete;
    ImportLog& operator=(const ImportLog&) = delete;

    // Opens `path` for appending (a regular file only). False when it cannot be opened:
    // "Cannot write in the log file:" is shown, counted as an error, and entries become boxes.
    bool open(const std::string& path);
    void close();
    // Appends an entry; when the log is not open or the user stops on every error, shows a
    // box instead (the message as text, the title as caption, warning icon). Each entry is
    // written at once, so a killed run leaves every entry made before.
    void log(std::string_view message, std::string_view title);
    // The same for an error whose title does not say so ("Error writing in file:").
    void log_error(std::string_view message, std::string_view title);
    // Appends a blank line and `text` to the log file only (frames and line numbers).
    void mark(std::string_view text);

    int warnings = 0;  // entries titled "Import Warning" or starting with it
    int errors = 0;    // entries titled "Import Error" or starting with it, other errors, failed log writes

private:
    void append(const std::string& entry);

    MessageSink& m_messages;
    bool m_stop;
    int m_fd = -1;
    std::string m_path;
};

// What the import of one line needs besides the line.
struct ImportEnvironment {
    const Options* options = nullptr;  // the countries directory and default country, and the computation
    MessageSink* compute_messages = nullptr;  // computation failures (the line then fails)
    WorkerThreads* workers = nullptr;
    EphemerisLibrary* library = nullptr;
};

// A line of the input file (without its LF) as the import reads it: invalid UTF-8 replaced by
// U+FFFD, CR and LF removed, spaces trimmed at both ends.
std::string import_line_text(std::string_view raw);

// Imports one line (already cut of its CR LF) split at `separator` (the real separator, not
// the typed one). True on success, `h` then holds the computed horoscope. On failure
// `error` holds the text of the error that ended the line.
bool import_line(std::string_view line, std::string_view separator, Horoscope& h, ImportLog& log,
                 const ImportEnvironment& env, std::string& error);
// The first half of import_line: the fields checked, completed from the atlas when the place
// or the universal time is missing, and stored in `birth`, without computing (only
// env.options is used). An empty line is success with `empty` set.
bool read_import_line(std::string_view line, std::string_view separator, BirthData& birth, bool& empty,
                      ImportLog& log, const ImportEnvironment& env, std::string& error);

// Lines longer than this (without their line end) are refused unread: "Line is longer than
// 4096 bytes, skipping". The longest meaningful line, every field at its stored length in
// three-byte characters, is about 1,600 bytes.
inline constexpr std::size_t kMaxImportLineBytes = 4096;

// The file base name of a horoscope: last name, "_", first name, without spaces, the
// separator text or "/"; "noname" when only "_" is left.
std::string import_base_name(const Horoscope& h, std::string_view separator);
// The candidate names of a horoscope file in `dir`: base + ".xml" for 0, base + n + ".xml"
// for the counter n from 1 to 99999.
std::string import_file_name(const std::string& dir, const std::string& base, int counter);
inline constexpr int kMaxImportFileCounter = 99999;

struct ImportProgress {
    std::atomic<long> lines_done{0};  // lines read so far
    std::function<void(const std::string&)> on_horoscope;  // "<last> <first> ... ", cut to 260 characters
};

struct ImportSummary {
    long lines = 0;     // lines read
    long imported = 0;  // horoscope files written
    int warnings = 0;
    int errors = 0;     // error entries logged, failed writes of horoscope files and of the log
    long failed_lines = 0;
    std::vector<std::string> files;
    bool cancelled = false;
    bool failed = false;  // the input could not be read, or a line or a file failed

    // The closing message box of the dialog: "Import was canceled by user", "Import has
    // errors" or "Import success", with their captions and icons.
    Message final_message() const;
};

// The worker routine's body: runs the whole import of a validated request. `cancel` is
// polled before each line (may be null).
ImportSummary run_import(const ImportRequest& request, const ImportEnvironment& env, MessageSink& messages,
                         const ManualResetEvent* cancel, ImportProgress* progress);

}  // namespace tellurim
