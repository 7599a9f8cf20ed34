#pragma once
// Settings files ("options.pra", the registry file, "aspects.pra", "hindus_aspects.ini", ...)
// are written so that no reader ever sees half a file and no run loses another run's
// change: a write goes to a temporary file in the same directory, is flushed to the disk and
// renamed over the old file in one step; a read-modify-write holds an advisory lock.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

// Writes `bytes` as the whole new content of `path`: a temporary file beside it (owner read
// and write), flushed, then renamed over `path`. A reader sees the old or the new content,
// never a mix. False when any step fails; `path` is then unchanged.
[[nodiscard]] bool write_settings_file(const std::string& path, std::span<const std::uint8_t> bytes);
[[nodiscard]] bool write_settings_file(const std::string& path, std::string_view text);

// An exclusive advisory lock (flock) for the read-modify-write of the settings file `path`,
// held on a companion file ".NAME.lock" in the same directory (the settings file itself is
// replaced by every write, so it cannot carry the lock). Blocks until granted; released by
// the destructor. held() is false when the lock file cannot be opened (a read-only
// directory): the caller goes on without it, as a single run would.
class SettingsLock {
public:
    explicit SettingsLock(const std::string& path);
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The whole content of a regular file of at most `max_bytes` bytes; nullopt when it is
// missing, not a regular file (a directory, a FIFO), unreadable or longer.
std::optional<std::vector<std::uint8_t>> read_settings_file(const std::string& path, std::size_t max_bytes);

// Moves a damaged settings file (or whatever else stands at `path`) out of the way to
// "PATH.bad", keeping the `keep` most recent ones ("PATH.bad", "PATH.bad.1", ...). Returns
// the new name, or nullopt when the rename failed.
std::optional<std::string> keep_damaged_file(const std::string& path, int keep = 3);

}  // namespace tellurim
