#include "base/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {

std::optional<RegularFile> RegularFile::open(const std::string& path, std::string* why) {
    if (path.empty()) {
        if (why) *why = std::strerror(ENOENT);
        return std::nullopt;
    }
    // O_NONBLOCK: the open of a FIFO without a writer returns at once; fstat then refuses
    // it. For a regular file the flag changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (why) *why = std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        if (why) *why = "not a regular file";
        ::close(fd);
        return std::nullopt;
    }
    return RegularFile(fd, static_cast<std::uint64_t>(st.st_size));
}

RegularFile::~RegularFile() {
    if (m_fd >= 0) ::close(m_fd);
}

RegularFile::RegularFile(RegularFile&& o) noexcept : m_fd(o.m_fd), m_size(o.m_size) { o.m_fd = -1; }

RegularFile& RegularFile::operator=(RegularFile&& o) noexcept {
    if (this != &o) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = o.m_fd;
        m_size = o.m_size;
        o.m_fd = -1;
    }
    return *this;
}

std::optional<std::vector<std::uint8_t>> RegularFile::read_all(std::size_t max_bytes) const {
    // The size may change while the file is read (another run rewriting it): read what is
    // there, up to the limit, instead of trusting the size seen at the open.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(m_size, max_bytes)));
    std::uint8_t buffer[65536];
    for (;;) {
        const std::size_t room = max_bytes - bytes.size();
        if (room == 0) break;
        const ssize_t n = ::pread(m_fd, buffer, std::min(room, sizeof buffer), static_cast<off_t>(bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

std::optional<std::vector<std::uint8_t>> read_regular_file(const std::string& path, std::size_t max_bytes) {
    auto file = RegularFile::open(path);
    if (!file || file->size() > max_bytes) return std::nullopt;
    auto bytes = file->read_all(max_bytes == kNoSizeLimit ? kNoSizeLimit : max_bytes + 1);
    if (!bytes || bytes->size() > max_bytes) return std::nullopt;
    return bytes;
}

std::optional<std::string> read_regular_text(const std::string& path, std::size_t max_bytes) {
    auto bytes = read_regular_file(path, max_bytes);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

std::optional<std::vector<std::uint8_t>> read_regular_head(const std::string& path, std::size_t count) {
    auto file = RegularFile::open(path);
    if (!file) return std::nullopt;
    return file->read_all(count);
}

}  // namespace tellurim
