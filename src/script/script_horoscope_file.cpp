#include "script/script_horoscope_file.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/horoscope_file.h"

namespace tellurim {

std::unique_ptr<ScriptHoroscopeFile> ScriptHoroscopeFile::write(const Horoscope& h) {
    std::string path = (std::filesystem::temp_directory_path() / "tellurim-script-XXXXXX.xml").string();
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0) return nullptr;
    ::close(fd);
    std::unique_ptr<ScriptHoroscopeFile> file(new ScriptHoroscopeFile(path));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << horoscope_file_text(h);
    if (!out.flush()) return nullptr;
    return file;
}

ScriptHoroscopeFile::~ScriptHoroscopeFile() {
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

ScriptDialogs answering_dialogs(std::deque<std::string> files, std::shared_ptr<ScriptHoroscopeFile> keep) {
    auto answers = std::make_shared<std::deque<std::string>>(std::move(files));
    ScriptDialogs dialogs;
    dialogs.open_horoscope = [answers, keep](const std::string&) -> std::optional<std::string> {
        if (answers->empty()) return std::nullopt;
        std::string next = answers->front();
        answers->pop_front();
        return next;
    };
    return dialogs;
}

}  // namespace tellurim
