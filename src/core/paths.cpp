#include "core/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tellurim {
namespace fs = std::filesystem;

std::string executable_dir() {
    std::error_code ec;
    auto p = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return p.parent_path().string();
}

std::string installed_directory(const std::string& exe_dir, const char* relative) {
    if (exe_dir.empty()) return {};
    // <prefix>/bin/tellurim reads <prefix>/share/tellurim and <prefix>/lib/tellurim; a build
    // tree has no such directory beside its bin/ (and has its CMakeCache.txt there).
    const fs::path prefix = fs::path(exe_dir).parent_path();
    std::error_code ec;
    if (fs::exists(prefix / "CMakeCache.txt", ec) || !fs::is_directory(prefix / TELLURIM_INSTALL_DATA_SUBDIR, ec))
        return {};
    return (prefix / relative).lexically_normal().string();
}

std::string base_directory() {
    if (std::getenv("TELLURIM_DEV")) {
        const char* owl = std::getenv("OWLNEXT_TELLURIM");
        return owl ? owl : "/tmp";
    }
    std::string installed = installed_directory(executable_dir(), TELLURIM_INSTALL_DATA_SUBDIR);
    return installed.empty() ? TELLURIM_SOURCE_DATA_DIR : installed;
}

std::string library_directory() {
    if (const char* dir = std::getenv("TELLURIM_LIB_DIR")) return dir;
    const std::string exe = executable_dir();
    std::string installed = installed_directory(exe, TELLURIM_INSTALL_LIB_SUBDIR);
    return installed.empty() ? exe : installed;
}

std::string join_path(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (a.back() == '/') return a + b;
    return a + "/" + b;
}

std::string tellurim_version() { return TELLURIM_VERSION; }

}  // namespace tellurim
