#pragma once
// Opening the data files (atlas, stars, ephemeris data, aspect tables, options, registry,
// horoscope and import files). A path that names something other than a regular file (a
// FIFO, a directory, a device, a socket) is refused like a missing file: opening a FIFO for
// reading would wait for a writer forever, a device could give bytes without end.
//
// This is the one place besides core/paths that touches the file system; the providers of
// libeph*.so use it as well as the files library.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

// A regular file open for reading; the descriptor is closed by the destructor.
class RegularFile {
public:
    // nullopt when `path` is missing, unreadable or not a regular file, with the cause in
    // `why` when given (the system's text, or "not a regular file"). Never blocks.
    static std::optional<RegularFile> open(const std::string& path, std::string* why = nullptr);
    ~RegularFile();
    RegularFile(RegularFile&& o) noexcept;
    RegularFile& operator=(RegularFile&& o) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    int fd() const { return m_fd; }
    // Hands the descriptor over to the caller, who closes it.
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // The size when it was opened.
    std::uint64_t size() const { return m_size; }
    // Reads up to `max_bytes` from the start; nullopt on a read error.
    std::optional<std::vector<std::uint8_t>> read_all(std::size_t max_bytes) const;

private:
    RegularFile(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

inline constexpr std::size_t kNoSizeLimit = std::numeric_limits<std::size_t>::max();

// The content of a regular file. nullopt when it cannot be opened as one (see above), cannot
// be read, or is longer than `max_bytes` (the limit keeps a huge file from filling memory).
std::optional<std::vector<std::uint8_t>> read_regular_file(const std::string& path,
                                                           std::size_t max_bytes = kNoSizeLimit);
// The same as a text (bytes as they are).
std::optional<std::string> read_regular_text(const std::string& path, std::size_t max_bytes = kNoSizeLimit);
// Up to the first `count` bytes of a regular file (fewer when it is shorter).
std::optional<std::vector<std::uint8_t>> read_regular_head(const std::string& path, std::size_t count);

}  // namespace tellurim
