#pragma once
// A horoscope handed to a script run. Scripts open their horoscopes as the user would, through
// the open-file dialog of SetCurrentHoroscope; a caller that already holds the chart writes a
// private copy of it and answers the dialog with that file.

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "core/horoscope.h"
#include "script/script_context.h"

namespace tellurim {

// A private copy of a horoscope in the temporary directory, removed with the object.
class ScriptHoroscopeFile {
public:
    // nullptr when the file cannot be written.
    static std::unique_ptr<ScriptHoroscopeFile> write(const Horoscope& h);
    ~ScriptHoroscopeFile();
    ScriptHoroscopeFile(const ScriptHoroscopeFile&) = delete;
    ScriptHoroscopeFile& operator=(const ScriptHoroscopeFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    explicit ScriptHoroscopeFile(std::string path) : m_path(std::move(path)) {}
    std::string m_path;
};

// Dialogs that answer each open-file dialog with the next of `files`, in order, then cancel.
// `keep` (a private copy, or null) lives as long as the dialogs, hence as long as the run.
ScriptDialogs answering_dialogs(std::deque<std::string> files, std::shared_ptr<ScriptHoroscopeFile> keep = nullptr);

}  // namespace tellurim
