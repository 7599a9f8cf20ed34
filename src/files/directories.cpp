#include "files/directories.h"

#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "core/paths.h"
#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/settings_file.h"

namespace tellurim {
namespace fs = std::filesystem;

std::vector<RegistryLine> parse_registry_lines(std::string_view text) {
    std::vector<RegistryLine> lines;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        lines.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    return lines;
}

namespace {

constexpr std::string_view kVersionKey = "2.4.7";
constexpr std::string_view kWriteTestFile = "write_test.txt";
constexpr std::string_view kWriteTestBytes = "Write test";

std::string home_directory() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : ".";
}

// An XDG base directory: the variable when it holds an absolute path, else the fallback
// under the home directory (XDG Base Directory Specification 0.8).
std::string xdg_directory(const char* variable, const char* fallback_under_home) {
    const char* v = std::getenv(variable);
    if (v && v[0] == '/') return v;
    return join_path(home_directory(), fallback_under_home);
}

std::vector<RegistryLine> read_registry_lines() {
    return parse_registry_lines(read_regular_text(registry_file_path()).value_or(std::string()));
}

bool write_registry_lines(const std::vector<RegistryLine>& lines) {
    const fs::path file = registry_file_path();
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) return false;
    std::string content;
    for (const RegistryLine& l : lines) content += l.name + "=" + l.value + "\n";
    return write_settings_file(file.string(), content);
}

bool is_directory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

}  // namespace

std::string_view directory_value_name(DirectoryKind kind) {
    return kind == DirectoryKind::Private ? "private_dir" : "horoscopes_dir";
}

std::string registry_file_path() {
    std::string dir = join_path(xdg_directory("XDG_CONFIG_HOME", ".config"), "tellurim");
    return join_path(join_path(dir, std::string(kVersionKey)), "registry");
}

std::optional<std::string> read_directory_value(std::string_view name) {
    for (const RegistryLine& l : read_registry_lines())
        if (l.name == name) return l.value;
    return std::nullopt;
}

bool is_acceptable_directory_value(std::string_view path) {
    // A relative path would be taken against whatever the working directory of a run is. An
    // empty value is what a cancelled horoscopes prompt stores; creating it then fails aloud.
    return (path.empty() || path.front() == '/') && path.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool store_directory_value(const std::string& path, std::string_view name, MessageSink& messages) {
    bool ok = is_acceptable_directory_value(path);
    if (ok) {
        // Two runs storing the two values at once must not lose one of them.
        SettingsLock lock(registry_file_path());
        std::vector<RegistryLine> lines = read_registry_lines();
        bool replaced = false;
        for (RegistryLine& l : lines) {
            if (l.name != name) continue;
            l.value = path;
            replaced = true;
        }
        if (!replaced) lines.push_back({std::string(name), path});
        ok = write_registry_lines(lines);
    }
    if (!ok) messages.tell(str(Str::DirErrorWritingRegistry), str(Str::FilesCaptionError), MessageIcon::Error);
    return ok;
}

std::string default_directory(DirectoryKind kind) {
    if (kind == DirectoryKind::Private) return join_path(xdg_directory("XDG_DATA_HOME", ".local/share"), "tellurim");
    return join_path(join_path(home_directory(), "Tellurim"), "horoscopes");
}

bool write_test(const std::string& dir) {
    if (dir.empty()) return false;  // never the working directory by accident
    const std::string file = join_path(dir, std::string(kWriteTestFile));
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(kWriteTestBytes.data(), 1, kWriteTestBytes.size(), f) == kWriteTestBytes.size();
    ok = std::fclose(f) == 0 && ok;
    std::remove(file.c_str());
    return ok;
}

DirectoryResult ensure_directory(const std::string& path, MessageSink& messages) {
    // "Already exists" is success: another run may create the directory between any test
    // and the creation, so only the state after the attempt counts.
    std::error_code ec;
    if (!path.empty()) fs::create_directories(path, ec);
    if (!is_directory(path)) {
        messages.tell(path, str(Str::DirCaptionCannotCreate), MessageIcon::Error);
        return {path, false};
    }
    return {path, true};
}

DirectoryResult get_directory(DirectoryKind kind, MessageSink& messages) {
    const std::string_view name = directory_value_name(kind);
    if (auto stored = read_directory_value(name)) {
        if (is_acceptable_directory_value(*stored)) return ensure_directory(*stored, messages);
        // Not resolved against the working directory: said, then asked for again.
        messages.tell(fmt::format(fmt::runtime(text(Str::DirRegistryValueRefused)), name, *stored),
                      str(Str::DirCaptionRegistryValue), MessageIcon::Warning);
    }

    const bool is_private = kind == DirectoryKind::Private;
    const std::string prompt = str(is_private ? Str::DirPromptPrivate : Str::DirPromptHoroscopes);
    const std::string proposed = default_directory(kind);
    DirectoryResult r{messages.ask_text(prompt, proposed), true};
    // The folder dialog lets the user make the folder it proposes; so does the prompt.
    if (!r.path.empty() && r.path == proposed && !is_directory(r.path)) {
        std::error_code ec;
        fs::create_directories(r.path, ec);
    }
    auto failed = [&](std::string text, std::string caption) {
        messages.tell(std::move(text), std::move(caption), MessageIcon::Error);
        r.ok = false;
        return is_private;  // the private directory stops at its first failure
    };
    // Each check runs even after a failure of the one before (horoscopes directory only).
    if (r.path.empty() && failed(str(Str::DirPleaseGiveDirectory), str(Str::FilesCaptionError))) return r;
    if (!is_directory(r.path) && failed(str(Str::DirDoesntExist), str(Str::FilesCaptionError))) return r;
    if (!write_test(r.path) && failed(r.path, str(Str::DirCaptionCannotWrite))) return r;
    if (!store_directory_value(r.path, name, messages)) {
        if (failed(str(Str::DirCannotWriteRegistry), str(Str::FilesCaptionFatalError))) return r;
    }
    return r;
}

SetDirectoryFailure set_directory(DirectoryKind kind, const std::string& current_path, const std::string& new_path,
                                  MessageSink& messages) {
    if (!is_directory(new_path)) {
        messages.tell(str(Str::FilesNotACorrectValue), str(Str::FilesCaptionError), MessageIcon::Warning);
        return SetDirectoryFailure::NotADirectory;
    }
    if (!write_test(new_path)) {
        messages.tell(new_path, str(Str::DirCaptionCannotWrite), MessageIcon::Error);
        return SetDirectoryFailure::CannotWrite;
    }
    if (!store_directory_value(new_path, directory_value_name(kind), messages)) {
        messages.tell(new_path, str(Str::DirCannotWriteRegistry), MessageIcon::Error);
        return SetDirectoryFailure::CannotStore;
    }
    // The settings travel with the directory: options.pra and its companions are copied.
    std::error_code ec;
    if (!is_directory(current_path) || fs::equivalent(current_path, new_path, ec)) return SetDirectoryFailure::None;
    for (const fs::directory_entry& e : fs::directory_iterator(current_path, ec)) {
        std::error_code file_ec;
        if (!e.is_regular_file(file_ec)) continue;
        fs::copy_file(e.path(), fs::path(new_path) / e.path().filename(), fs::copy_options::overwrite_existing,
                      file_ec);
    }
    return SetDirectoryFailure::None;
}

}  // namespace tellurim
