#pragma once
// The horoscope file: a 27-line XML text (UTF-8, CR LF) holding only the birth data of one
// horoscope: the person, the four date-hours, the place, state and country, and the
// identifier. Nothing computed is stored; reading a file computes the horoscope again with
// the options in force.
//
// The texts are written without XML escaping and read back without unescaping, so that a
// name with "<" or "&" survives as long as it does not hold its own element's closing tag;
// such a file is not well-formed XML and that is accepted.

#include <optional>
#include <string>
#include <string_view>

#include "core/horoscope.h"
#include "core/messages.h"
#include "base/strings.h"

namespace tellurim {

class EphemerisLibrary;
class WorkerThreads;
struct ComputeReport;

// The content between the first `open_tag` (for example "<city>") and the first closing tag
// ("</city>") after it, verbatim. nullopt when either tag is missing, which is distinct from
// an empty content. Case-sensitive; nesting is not tracked.
std::optional<std::string_view> element_content(std::string_view text, std::string_view open_tag);

// The first element tag of this file, opening or closing ("<latitude>", "</county>"), that
// `text` holds; nullopt when it holds none. The reader takes a tag's first occurrence wherever
// it stands, so a text holding one would be read as another element.
std::optional<std::string_view> file_tag_in(std::string_view text);

// The first text of `b` (names, city, county, state, country) that this file cannot hold as it
// is: one holding a tag of the file, or one that is not UTF-8. Its message names the field
// ("County cannot hold a tag of the horoscope file: <latitude>"); nullopt when every text can be
// saved and read back unchanged. The birth options, the import and the new-chart dialog refuse
// birth data with this message, so that save then open gives the chart that was saved.
std::optional<std::string> birth_text_fault(const BirthData& b);
// The same check of one text, for a dialog that checks its fields one by one; `field` is the
// label of the field ("City", Str::FieldCity).
std::optional<std::string> birth_text_fault(Str field, std::string_view text);

// The 27 lines of the file for `h`, every one ended by CR LF.
std::string horoscope_file_text(const Horoscope& h);

// Writes the file (created or replaced whole, never left half-written). On success the initial universal and local
// date-hours of `h` are set to the current ones.
[[nodiscard]] bool write_horoscope_file(Horoscope& h, const std::string& path);

// What a file holds.
struct HoroscopeFileData {
    BirthData birth;
    DateHour initial_ut;
    DateHour initial_local;
    std::string identifier;
};

// Parses the text of a file; nullopt on the first missing required element or unparsable
// value ("Bad horoscope file format:"). Invalid UTF-8 sequences read as U+FFFD. The values
// then pass the checks of the birth options, and a refusal there leaves in `fault` the message
// the birth options give ("Not a valid latitude.", "Not a valid date. 2023-02-31 ...: the
// month has no such day"); a text holding a tag of the file is refused as birth_text_fault
// says (the identifier included). `fault` stays empty when an element is missing or does not
// parse.
std::optional<HoroscopeFileData> parse_horoscope_text(std::string_view utf8, std::string* fault = nullptr);

enum class HoroscopeFileStatus { Ok, CannotOpen, BadFormat };
// Reads and parses a file without computing. A failure shows the path ("NULL" when empty) with
// the caption "Cannot open horoscope file:" or "Bad horoscope file format:" (warning icon);
// a value refused by the checks of the birth options follows the path: "PATH: Not a valid
// latitude.".
HoroscopeFileStatus load_horoscope_file(const std::string& path, HoroscopeFileData& out, MessageSink& messages);

// Stores what a file holds into `h`, keeping the file's initial date-hours and identifier, and
// computes with `options`. False when loading or computing fails; `h` is then partly filled
// and is to be discarded. `report`, when given, says which steps of the computation ran.
[[nodiscard]] bool store_and_compute(Horoscope& h, const HoroscopeFileData& data, const Options& options,
                                     MessageSink& messages, WorkerThreads& workers, EphemerisLibrary& library,
                                     ComputeReport* report = nullptr);

// Read horoscope file: load_horoscope_file, then store_and_compute.
[[nodiscard]] bool read_horoscope_file(Horoscope& h, const std::string& path, const Options& options,
                                       MessageSink& messages, WorkerThreads& workers, EphemerisLibrary& library);

// Last name, "_", first name, ".xml", in `horoscopes_dir`.
std::string default_horoscope_file_name(const Horoscope& h, const std::string& horoscopes_dir);

// The file dialogs' filter: "(Tellurim horoscope file *.xml)|*.xml".
std::string horoscope_file_filter();

// The question before a Save over the horoscope's own file: the path as text, the caption
// "Save", the names, the local date-hour, "As" and " :" joined by single spaces; yes/no.
Message save_question(const Horoscope& h, const std::string& path);

// Saving from a command: writes `path`. A file already there is replaced only when the user
// answers yes to "File <path> exits, overwrite?" ("Confirmation"); otherwise it is kept. On
// failure shows the path with the caption "Cannot open file:" (error icon), or "Not a regular
// file, nothing is written into it:" for a FIFO, a directory or a device.
enum class SaveStatus { Saved, Kept, Failed };
[[nodiscard]] SaveStatus save_horoscope(Horoscope& h, const std::string& path, MessageSink& messages);

}  // namespace tellurim
