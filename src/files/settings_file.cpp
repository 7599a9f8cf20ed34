#include "files/settings_file.h"

#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tellurim {
namespace fs = std::filesystem;

namespace {

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string parent_of(const std::string& path) {
    std::string dir = fs::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

}  // namespace

bool write_settings_file(const std::string& path, std::span<const std::uint8_t> bytes) {
    const fs::path target(path);
    // The temporary file must be on the same file system for rename() to be one step.
    std::string temp = (fs::path(parent_of(path)) / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    ok = ok && write_all(fd, bytes.data(), bytes.size());
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk with the directory.
    int dir = ::open(parent_of(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool write_settings_file(const std::string& path, std::string_view text) {
    return write_settings_file(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

SettingsLock::SettingsLock(const std::string& path) {
    const fs::path target(path);
    const std::string lock = (fs::path(parent_of(path)) / ("." + target.filename().string() + ".lock")).string();
    m_fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (m_fd < 0) return;
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        ::close(m_fd);
        m_fd = -1;
        return;
    }
}

SettingsLock::~SettingsLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing the descriptor releases the lock
}

std::optional<std::vector<std::uint8_t>> read_settings_file(const std::string& path, std::size_t max_bytes) {
    return read_regular_file(path, max_bytes);
}

std::optional<std::string> keep_damaged_file(const std::string& path, int keep) {
    auto name = [&](int i) { return i == 0 ? path + ".bad" : path + ".bad." + std::to_string(i); };
    std::error_code ec;
    for (int i = keep - 1; i >= 0; --i) {
        fs::remove_all(name(i), ec);  // the oldest goes; a directory of that name too
        if (i > 0 && fs::exists(fs::symlink_status(name(i - 1), ec))) fs::rename(name(i - 1), name(i), ec);
    }
    fs::rename(path, name(0), ec);
    if (ec) return std::nullopt;
    return name(0);
}

}  // namespace tellurim
