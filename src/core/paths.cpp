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

namespace {
bool runs_installed() {
    std::string exe = executable_dir();
    if (exe.empty()) return false;
    std::error_code ec;
    return fs::exists(fs::path(exe) / "CMakeFiles", ec) == false && fs::exists(TELLURIM_INSTALL_DATA_DIR, ec) &&
           !fs::exists(fs::path(exe).parent_path() / "CMakeCache.txt", ec);
}
}  // namespace

std::string base_directory() {
    if (std::getenv("TELLURIM_DEV")) {
        const char* owl = std::getenv("OWLNEXT_TELLURIM");
        return owl ? owl : "/tmp";
    }
    return runs_installed() ? TELLURIM_INSTALL_DATA_DIR : TELLURIM_SOURCE_DATA_DIR;
}

std::string library_directory() {
    if (const char* dir = std::getenv("TELLURIM_LIB_DIR")) return dir;
    return runs_installed() ? TELLURIM_INSTALL_LIB_DIR : executable_dir();
}

std::string join_path(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (a.back() == '/') return a + b;
    return a + "/" + b;
}

std::string tellurim_version() { return TELLURIM_VERSION; }

}  // namespace tellurim
