#include "files/text_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fmt/format.h>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "astro/compute.h"
#include "base/regular_file.h"
#include "base/text.h"
#include "core/output_file.h"
#include "core/birth_input.h"
#include "core/worker_threads.h"
#include "files/cities.h"
#include "files/exchange_line.h"
#include "files/horoscope_file.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kProgressUnits = 260;

// CR, LF and tab removed everywhere, spaces trimmed at both ends.
std::string clean_field(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r' && c != '\n' && c != '\t') out += c;
    std::size_t b = out.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    std::size_t e = out.find_last_not_of(' ');
    return out.substr(b, e - b + 1);
}

std::string trim_spaces(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string_view> split_at(std::string_view line, std::string_view sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t p = line.find(sep, start);
        if (p == std::string_view::npos) {
            parts.push_back(line.substr(start));
            return parts;
        }
        parts.push_back(line.substr(start, p - start));
        start = p + sep.size();
    }
}

// The present local time in the storage text form, for the log's frames.
std::string now_text() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return fmt::format("{:04d}-{:02d}-{:02d} {:02d}:{:02d}:{:02d}.00 GD", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                       tm.tm_hour, tm.tm_min, tm.tm_sec);
}

bool starts_with(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// An angle text read without the range of its notation: "13h00'00.00\"E" is 13 hours east,
// so that the range checks of the line can name the fault.
std::optional<AngleValue> line_angle(std::string_view t) {
    if (auto a = parse_angle(t)) return a;
    std::string_view body = trim(t);
    if (body.empty()) return std::nullopt;
    const char suffix = body.back();
    if (suffix != 'E' && suffix != 'W' && suffix != 'N' && suffix != 'S') return std::nullopt;
    auto a = parse_angle(trim(body.substr(0, body.size() - 1)));
    if (!a || !a->is_finite() || a->value < 0) return std::nullopt;
    if (suffix == 'W' || suffix == 'S') a->value = -a->value;
    a->format = suffix == 'E' || suffix == 'W' ? kFormatEastWest : kFormatNorthSouth;
    return a;
}

// The eleven fields of a line, by position: the message when the field is empty (a warning),
// the error when it is missing, and whether a non-empty text must parse (and the error then).
struct FieldRule {
    Str empty_warning;
    Str missing_error;
    int parse;  // 0 none, 1 date-hour, 2 angle
    Str bad_error;
};
constexpr std::array<FieldRule, 11> kFields{{
    {Str::ImportNameEmpty, Str::ImportMissingName, 0, Str::ImportNameEmpty},
    {Str::ImportFirstNameEmpty, Str::ImportMissingFirstName, 0, Str::ImportFirstNameEmpty},
    {Str::ImportSexEmpty, Str::ImportMissingSex, 0, Str::ImportSexEmpty},
    {Str::ImportLocalDateEmpty, Str::ImportMissingLocalDate, 1, Str::ImportBadLocalDate},
    {Str::ImportCityEmpty, Str::ImportMissingCity, 0, Str::ImportCityEmpty},
    {Str::ImportCountyEmpty, Str::ImportMissingCounty, 0, Str::ImportCountyEmpty},
    {Str::ImportStateEmpty, Str::ImportMissingState, 0, Str::ImportStateEmpty},
    {Str::ImportCountryEmpty, Str::ImportMissingCountry, 0, Str::ImportCountryEmpty},
    {Str::ImportLongitudeEmpty, Str::ImportMissingLongitude, 2, Str::ImportBadLongitudeField},
    {Str::ImportLatitudeEmpty, Str::ImportMissingLatitude, 2, Str::ImportBadLatitudeField},
    {Str::ImportUtEmpty, Str::ImportMissingUt, 1, Str::ImportBadUtField},
}};
enum FieldIndex { kLast, kFirst, kSex, kLocal, kCity, kCounty, kState, kCountry, kLon, kLat, kUt };

}  // namespace

std::optional<Message> validate_import(ImportRequest& r) {
    auto fail = [](Str s) {
        return Message{str(s), str(Str::ImportErrorCaption), MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
    };
    std::error_code ec;
    if (r.text_file.empty()) return fail(Str::ImportNotValidTxtFile);
    if (!fs::exists(r.text_file, ec)) return fail(Str::ImportTxtFileMissing);
    if (r.target_dir.empty()) return fail(Str::ImportNotValidTargetDir);
    if (r.target_dir.size() > 1 && (r.target_dir.back() == '/' || r.target_dir.back() == '\\')) r.target_dir.pop_back();
    if (!fs::is_directory(r.target_dir, ec)) return fail(Str::ImportTargetDirMissing);
    if (!r.log_file.empty()) {
        fs::path parent = fs::path(r.log_file).parent_path();
        // A FIFO, a device or a directory is no log: nothing could be written into it safely.
        if (!is_output_path(r.log_file) || (!parent.empty() && !fs::is_directory(parent, ec)))
            return Message{r.log_file, str(Str::ImportNotValidLogPath), MessageIcon::Warning, MessageButtons::Ok,
                           MessageAnswer::Ok};
    }
    if (r.separator.empty()) return fail(Str::ImportNotValidSeparator);
    if (!separator_from_typed(r.separator)) return fail(Str::ImportOnlyTabEscape);
    return std::nullopt;
}

ImportLog::~ImportLog() { close(); }

bool ImportLog::open(const std::string& path) {
    close();
    m_path = path;
    // O_NONBLOCK: a FIFO without a reader fails at once instead of waiting; fstat refuses
    // any other file that is not regular.
    m_fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat st {};
    if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) close();
    if (m_fd >= 0) return true;
    ++errors;
    m_messages.tell(path, str(Str::ImportLogCannotWrite), MessageIcon::Warning);
    return false;
}

void ImportLog::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

// One write per entry, so that the entries made before a kill are all in the file. A failed
// write counts as an error; the log is then given up and the entries become boxes.
void ImportLog::append(const std::string& entry) {
    const char* p = entry.data();
    std::size_t left = entry.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close();
            ++errors;
            m_messages.tell(m_path, str(Str::ImportLogCannotWrite), MessageIcon::Warning);
            return;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

void ImportLog::log(std::string_view message, std::string_view title) {
    // The checks after the fields carry their title inside the message ("Import Error: Bad UT
    // date") and are logged without one.
    std::string_view kind = title.empty() ? message : title;
    if (starts_with(kind, text(Str::ImportWarningTitle)))
        ++warnings;
    else if (starts_with(kind, text(Str::ImportErrorTitle)))
        ++errors;
    if (m_fd < 0 || m_stop) {
        m_messages.tell(std::string(message), std::string(title), MessageIcon::Warning);
        return;
    }
    std::string entry = "\r\n";
    if (!title.empty()) {
        entry += title;
        entry += ": ";
    }
    entry += message;
    entry += "\r\n";
    append(entry);
    if (m_fd < 0) m_messages.tell(std::string(message), std::string(title), MessageIcon::Warning);
}

void ImportLog::log_error(std::string_view message, std::string_view title) {
    ++errors;
    log(message, title);
}

void ImportLog::mark(std::string_view t) {
    if (m_fd < 0) return;
    append("\r\n" + std::string(t) + "\r\n");
}

bool read_import_line(std::string_view line, std::string_view separator, BirthData& b, bool& empty, ImportLog& log,
                      const ImportEnvironment& env, std::string& error) {
    empty = false;
    const std::string warning_title = str(Str::ImportWarningTitle);
    const std::string error_title = str(Str::ImportErrorTitle);
    auto fail = [&](std::string message, std::string_view title) {
        log.log(message, title);
        error = std::move(message);
        return false;
    };
    if (line.empty()) {
        log.log(text(Str::ImportLineEmpty), warning_title);
        empty = true;
        return true;
    }
    if (separator.empty()) return fail(str(Str::ImportBadSeparator), error_title);

    const auto parts = split_at(line, separator);
    std::array<std::string, 11> f;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const FieldRule& rule = kFields[i];
        if (i >= parts.size()) return fail(str(rule.missing_error), error_title);
        f[i] = clean_field(parts[i]);
        if (f[i].empty()) {
            log.log(text(rule.empty_warning), warning_title);
            continue;
        }
        bool parses = rule.parse == 0 || (rule.parse == 1 ? parse_date_hour(f[i]).ok : line_angle(f[i]).has_value());
        if (!parses) return fail(str(rule.bad_error), error_title);
    }

    b = BirthData{};
    b.last_name = f[kLast];
    b.first_name = f[kFirst];
    b.sex = sex_from_word(f[kSex]);
    b.place.city = truncate_utf16_units(f[kCity], kCityUnits);
    b.place.county = truncate_utf16_units(f[kCounty], kCityUnits);
    b.state = f[kState];
    b.country = f[kCountry];
    // A text the horoscope file cannot hold as it is would be saved as another chart.
    if (auto fault = birth_text_fault(b)) return fail(std::move(*fault), error_title);

    if (f[kLon].empty() || f[kLat].empty() || f[kUt].empty()) {
        // Incomplete place or time: the atlas gives the coordinates and, from the legal time,
        // the universal one.
        CityQuery q;
        q.country = f[kCountry];
        q.state = f[kState];
        q.county = f[kCounty];
        q.city = f[kCity];
        q.date_hour = f[kLocal];
        AtlasSettings atlas{env.options->paths.countries_dir, env.options->paths.default_country};
        const bool found = find_city(q, atlas, true, NameCollator::for_user());
        if (!q.feedback.empty()) log.log(q.feedback, text(Str::ImportSearchFeedbackTitle));
        if (!found) return fail(str(Str::ImportCitySearchError), error_title);
        f[kLon] = q.longitude;
        f[kLat] = q.latitude;
        f[kUt] = q.date_hour;
        b.place.time_zone = q.time_zone;
    }

    // The date-hours pass the checks of the birth options too, with their messages.
    DateParse local = parse_date_hour(f[kLocal]);
    if (!local.ok)
        log.log(f[kLocal], text(Str::ImportBadLocalBirthDate));
    else if (auto fault = birth_date_fault(local.value))
        return fail(birth_date_fault_message(*fault, f[kLocal]), error_title);
    else
        b.local = local.value;
    DateParse ut = parse_date_hour(f[kUt]);
    if (!ut.ok) return fail(str(Str::ImportBadUtDate), "");
    if (auto fault = birth_date_fault(ut.value)) return fail(birth_date_fault_message(*fault, f[kUt]), error_title);
    b.ut = ut.value;

    auto lon = line_angle(f[kLon]);
    if (!lon) return fail(str(Str::ImportBadLongitude), "");
    if (!lon->is_angle()) return fail(str(Str::ImportLongitudeNotValid), "");
    const double lon_hours = lon->to_hours();
    if (lon_hours < -12.0 || lon_hours > 12.0) return fail(str(Str::ImportLongitudeOutOfRange), "");
    auto lat = line_angle(f[kLat]);
    if (!lat) return fail(str(Str::ImportBadLatitude), "");
    // A latitude is an angle in degrees: hours are refused as the birth options refuse them.
    if (!lat->is_angle() || lat->unit == kUnitHours) return fail(str(Str::ImportLatitudeNotValid), "");
    const double lat_degrees = lat->to_degrees();
    if (lat_degrees < -90.0 || lat_degrees > 90.0) return fail(str(Str::ImportLatitudeOutOfRange), "");
    b.place.longitude = *lon;
    b.place.latitude = *lat;
    return true;
}

std::string import_line_text(std::string_view raw) {
    std::string line;
    for (char c : valid_utf8(raw))
        if (c != '\r' && c != '\n') line += c;
    return trim_spaces(line);
}

bool import_line(std::string_view line, std::string_view separator, Horoscope& h, ImportLog& log,
                 const ImportEnvironment& env, std::string& error) {
    BirthData b;
    bool empty = false;
    if (!read_import_line(line, separator, b, empty, log, env, error)) return false;
    if (empty) return true;
    h.needs_computation = 1;
    ComputeReport report;
    const bool computed =
        set_and_compute(h, b, true, *env.options, *env.compute_messages, *env.workers, *env.library, nullptr, &report);
    if (polar_sun_only_failure(computed, h, report)) {
        // As `chart` prints it: kept without sunrise and sunset, with a warning.
        log.log(text(Str::PolarKeptWarning), text(Str::ImportWarningTitle));
        return true;
    }
    if (!computed) {
        error = str(Str::ImportSetValuesError);
        log.log(error, text(Str::ImportErrorTitle));
        return false;
    }
    return true;
}

std::string import_base_name(const Horoscope& h, std::string_view separator) {
    std::string base = h.last_name + "_" + h.first_name;
    if (!separator.empty())
        for (std::size_t p; (p = base.find(separator)) != std::string::npos;) base.erase(p, separator.size());
    std::string out;
    for (char c : base)
        if (c != ' ' && c != '/' && c != '\0') out += c;  // "/" would name another directory
    if (out == "_") return str(Str::ImportNoName);
    return out;
}

std::string import_file_name(const std::string& dir, const std::string& base, int counter) {
    std::string name = base;
    if (counter > 0) name += std::to_string(counter);
    return (fs::path(dir) / (name + ".xml")).string();
}

Message ImportSummary::final_message() const {
    if (cancelled)
        return {str(Str::ImportCanceled), str(Str::ImportFailureCaption), MessageIcon::Warning, MessageButtons::Ok,
                MessageAnswer::Ok};
    if (failed)
        return {str(Str::ImportHasErrors), str(Str::ImportFailureCaption), MessageIcon::Warning, MessageButtons::Ok,
                MessageAnswer::Ok};
    return {str(Str::ImportSuccess), str(Str::ImportSuccessCaption), MessageIcon::Information, MessageButtons::Ok,
            MessageAnswer::Ok};
}

namespace {

// The input file line by line, read in blocks so that a file of any size takes little memory.
// A line longer than kMaxImportLineBytes is skipped to its end and said to be too long.
class LineReader {
public:
    explicit LineReader(int fd) : m_fd(fd) {}
    // False at the end of the file (or on a read error: `failed` then says so).
    bool next(std::string& line, bool& too_long) {
        line.clear();
        too_long = false;
        bool any = false;
        for (;;) {
            if (m_pos == m_end && !fill()) return any && !failed;
            any = true;
            const char* start = m_buffer + m_pos;
            const char* nl = static_cast<const char*>(std::memchr(start, '\n', m_end - m_pos));
            const std::size_t n = nl ? static_cast<std::size_t>(nl - start) : m_end - m_pos;
            if (!too_long && line.size() + n <= kMaxImportLineBytes)
                line.append(start, n);
            else {
                too_long = true;
                const std::size_t room = kMaxImportLineBytes > line.size() ? kMaxImportLineBytes - line.size() : 0;
                line.append(start, std::min(room, n));
            }
            m_pos += n + (nl ? 1 : 0);
            if (nl) return true;
        }
    }
    bool failed = false;

private:
    bool fill() {
        for (;;) {
            const ssize_t n = ::read(m_fd, m_buffer, sizeof m_buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed = true;
            m_pos = 0;
            m_end = n > 0 ? static_cast<std::size_t>(n) : 0;
            return n > 0;
        }
    }
    int m_fd;
    char m_buffer[65536];
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
};

// Writes the horoscope file under the first free name of its base name: each name is taken in
// one step with the complete file, so that imports running at once into one directory never
// write the same name twice. `next_counter` remembers, for each base name, where the search
// starts. Returns the name, or nullopt after logging why.
std::optional<std::string> write_import_file(Horoscope& h, const std::string& dir, const std::string& base,
                                             std::unordered_map<std::string, int>& next_counter, ImportLog& log) {
    const std::string first = import_file_name(dir, base, 0);
    OutputFile file;
    OutputStatus s = file.open(first);
    if (s == OutputStatus::Written && !file.write(horoscope_file_text(h))) s = OutputStatus::Failed;
    int& counter = next_counter[base];
    for (; s == OutputStatus::Written && counter <= kMaxImportFileCounter; ++counter) {
        const std::string name = import_file_name(dir, base, counter);
        // The files reach the disk together at the end of the run.
        const OutputStatus c = file.commit_new(name, false);
        if (c == OutputStatus::Exists) continue;
        if (c != OutputStatus::Written) {
            log.log_error(name, text(Str::ImportErrorWriting));
            return std::nullopt;
        }
        ++counter;
        h.initial_ut = h.birth_ut;
        h.initial_local = h.birth_local;
        return name;
    }
    if (s != OutputStatus::Written)
        log.log_error(first, text(Str::ImportErrorWriting));
    else
        log.log_error(base + ".xml", text(Str::ImportNoFileName));
    return std::nullopt;
}

}  // namespace

ImportSummary run_import(const ImportRequest& request, const ImportEnvironment& env, MessageSink& messages,
                         const ManualResetEvent* cancel, ImportProgress* progress) {
    ImportSummary summary;
    ImportLog log(messages, request.stop_on_every_error);
    if (!request.log_file.empty() && !log.open(request.log_file)) summary.failed = true;
    const std::string separator = separator_from_typed(request.separator).value_or("");

    auto input = RegularFile::open(request.text_file);
    if (!input) {
        log.log(request.text_file, text(Str::ImportCannotOpenInput));
        log.log(text(Str::ImportRunError), text(Str::ImportErrorTitle));
        summary.failed = true;
        summary.warnings = log.warnings;
        summary.errors = log.errors;
        return summary;
    }
    log.mark(str(Str::ImportStartFrame) + ": " + now_text());
    LineReader in(input->fd());

    std::string raw;
    bool too_long = false;
    std::unordered_map<std::string, int> next_counter;
    Horoscope h;
    while (true) {
        if (cancel && cancel->is_set()) {
            summary.cancelled = true;
            break;
        }
        if (!in.next(raw, too_long)) break;
        ++summary.lines;
        if (progress) progress->lines_done.store(summary.lines);
        log.mark(str(Str::ImportingLine) + std::to_string(summary.lines));
        const std::string line = import_line_text(raw);
        if (line.empty()) continue;

        std::string error;
        h = Horoscope{};
        if (too_long) {
            error = str(Str::ImportLineTooLong);
            log.log(error, text(Str::ImportErrorTitle));
        }
        if (too_long || !import_line(line, separator, h, log, env, error)) {
            log.log(error, text(Str::ImportErrorString));
            log.log(too_long ? line.substr(0, 100) + "..." : line, text(Str::ImportErrorBelowLine));
            ++summary.failed_lines;
            summary.failed = true;
            continue;
        }
        if (progress && progress->on_horoscope) {
            std::string p = h.last_name + " " + h.first_name + " ... ";
            std::u16string wide = utf8_to_utf16(p);
            if (wide.size() > kProgressUnits) p = utf16_to_utf8(wide.substr(wide.size() - kProgressUnits));
            progress->on_horoscope(p);
        }
        auto name = write_import_file(h, request.target_dir, import_base_name(h, separator), next_counter, log);
        if (!name) {
            summary.failed = true;
            continue;
        }
        ++summary.imported;
        summary.files.push_back(*name);
    }
    if (in.failed) {
        log.log(text(Str::ImportRunError), text(Str::ImportErrorTitle));
        summary.failed = true;
    }
    if (summary.imported > 0 && !sync_file_system(request.target_dir)) summary.failed = true;
    log.mark(str(Str::ImportEndFrame) + ": " + now_text());
    log.close();
    summary.warnings = log.warnings;
    summary.errors = log.errors;
    if (summary.errors > 0) summary.failed = true;
    return summary;
}

}  // namespace tellurim
