#include "core/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/strings.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

// Longest part of the target's name kept in the temporary file's name, so that a long name
// plus the suffix stays within the 255 bytes of a file name.
constexpr std::size_t kTempNameBytes = 200;

std::string parent_of(const std::string& path) {
    std::string dir = fs::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

// A symbolic link is followed to its target, so that the rename replaces the target and not
// the link. A dangling link is left as it is (the rename then replaces it).
std::string resolved(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    fs::path target = fs::canonical(path, ec);
    return ec ? path : target.string();
}

// Missing, or a regular file once links are followed.
bool regular_or_missing(const std::string& path, struct stat* st = nullptr) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) {
        if (st) *st = {};
        return errno == ENOENT;
    }
    if (st) *st = s;
    return S_ISREG(s.st_mode);
}

bool write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies the whole content of `from` (a regular file open for reading) to `to`.
bool copy_content(int from, int to) {
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 20, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
        break;  // not offered here: copy through a buffer
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!write_all(to, buffer, static_cast<std::size_t>(n))) return false;
    }
}

// Whether the file's last byte is a line feed (true for an empty file).
bool ends_with_line_end(int fd, off_t size) {
    if (size == 0) return true;
    char last = 0;
    return ::pread(fd, &last, 1, size - 1) == 1 && last == '\n';
}

// Gives `temp` the name `target` only when that name is free: RENAME_NOREPLACE, or a hard link
// on the file systems that lack it. Exists when the name is taken.
OutputStatus rename_no_replace(const std::string& temp, const std::string& target) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return OutputStatus::Written;
    if (errno == EEXIST) return OutputStatus::Exists;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return OutputStatus::Failed;
    if (::link(temp.c_str(), target.c_str()) != 0) return errno == EEXIST ? OutputStatus::Exists : OutputStatus::Failed;
    ::unlink(temp.c_str());
    return OutputStatus::Written;
}

// Makes a rename in `dir` reach the disk.
bool sync_directory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

bool is_output_path(const std::string& path) { return !path.empty() && regular_or_missing(path); }

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    if (m_lock_fd >= 0) ::close(m_lock_fd);  // closing releases the lock
    m_fd = m_lock_fd = -1;
    m_temp.clear();
}

OutputStatus OutputFile::open(const std::string& path, bool append) {
    discard();
    m_finished = m_append_to_new = false;
    if (path.empty()) {
        errno = ENOENT;
        return OutputStatus::Failed;
    }
    m_target = resolved(path);
    struct stat existing {};
    if (!regular_or_missing(m_target, &existing)) return OutputStatus::NotRegular;

    int source = -1;
    if (append) {
        // The lock is taken on the file itself. A run that waited for it may find the name
        // given to a new file by the run before it: it then locks that one instead.
        for (;;) {
            source = ::open(m_target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (source < 0) {
                if (errno != ENOENT) return OutputStatus::Failed;
                m_append_to_new = true;  // nothing to keep, and nothing to lock yet
                break;
            }
            struct stat held {}, now {};
            if (::fstat(source, &held) != 0 || !S_ISREG(held.st_mode)) {
                ::close(source);
                return OutputStatus::NotRegular;
            }
            while (::flock(source, LOCK_EX) != 0 && errno == EINTR) {
            }
            if (::stat(m_target.c_str(), &now) == 0 && now.st_ino == held.st_ino && now.st_dev == held.st_dev) {
                existing = held;
                break;
            }
            ::close(source);
        }
        m_lock_fd = source;
    }

    static std::atomic<unsigned> counter{0};
    std::string name = fs::path(m_target).filename().string();
    if (name.size() > kTempNameBytes) name.resize(kTempNameBytes);
    const std::string dir = parent_of(m_target);
    const mode_t mode = existing.st_mode ? (existing.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temp = (fs::path(dir) / ("." + name + "." + std::to_string(::getpid()) + "." +
                                   std::to_string(counter.fetch_add(1)) + ".tmp"))
                     .string();
        // A new file gets 0666 less the umask from open(); a replaced one keeps its mode.
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
        const int why = errno;
        m_temp.clear();
        discard();
        errno = why;
        return OutputStatus::Failed;
    }
    if (existing.st_mode) (void)::fchmod(m_fd, mode);
    if (source >= 0) {
        if (!copy_content(source, m_fd) ||
            (!ends_with_line_end(source, existing.st_size) && !write_all(m_fd, "\r\n", 2))) {
            const int why = errno;
            discard();
            errno = why;
            return OutputStatus::Failed;
        }
    }
    return OutputStatus::Written;
}

bool OutputFile::write(std::string_view bytes) { return m_fd >= 0 && write_all(m_fd, bytes.data(), bytes.size()); }

bool OutputFile::finish(bool sync) {
    if (m_finished) return true;
    if (m_fd < 0) return false;
    bool ok = !sync || ::fsync(m_fd) == 0;
    const int why = errno;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    if (!ok && why) errno = why;
    m_finished = ok;
    return ok;
}

OutputStatus OutputFile::commit(bool sync) {
    if (m_temp.empty() || !finish(sync)) {
        discard();
        return OutputStatus::Failed;
    }
    // Something other than a regular file may have taken the name since open().
    if (!regular_or_missing(m_target)) {
        discard();
        return OutputStatus::NotRegular;
    }
    if (m_append_to_new) {
        // Appending to a file that did not exist: another run may have made it since. Then
        // what this run wrote is appended to that file, under its lock.
        const OutputStatus s = rename_no_replace(m_temp, m_target);
        if (s == OutputStatus::Exists) return append_again(sync);
        if (s == OutputStatus::Written) m_temp.clear();
        const int why = errno;
        discard();
        errno = why;
        if (s == OutputStatus::Written && sync) (void)sync_directory(parent_of(m_target));
        return s;
    }
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        const int why = errno;
        discard();
        errno = why;
        return OutputStatus::Failed;
    }
    m_temp.clear();
    discard();
    if (sync) (void)sync_directory(parent_of(m_target));
    return OutputStatus::Written;
}

OutputStatus OutputFile::append_again(bool sync) {
    const int mine = ::open(m_temp.c_str(), O_RDONLY | O_CLOEXEC);
    OutputFile again;
    OutputStatus s = mine < 0 ? OutputStatus::Failed : again.open(m_target, true);
    if (s == OutputStatus::Written) s = copy_content(mine, again.m_fd) ? again.commit(sync) : OutputStatus::Failed;
    const int why = errno;
    if (mine >= 0) ::close(mine);
    discard();
    errno = why;
    return s;
}

OutputStatus OutputFile::commit_new(const std::string& path, bool sync) {
    if (m_temp.empty() || !finish(sync)) {
        discard();
        return OutputStatus::Failed;
    }
    const OutputStatus s = rename_no_replace(m_temp, path);
    if (s == OutputStatus::Exists) return s;
    if (s == OutputStatus::Written) m_temp.clear();
    const int why = errno;
    discard();
    errno = why;
    if (s == OutputStatus::Written && sync) (void)sync_directory(parent_of(path));
    return s;
}

OutputStatus replace_output_file(const std::string& path, std::string_view bytes, bool sync) {
    OutputFile f;
    if (OutputStatus s = f.open(path); s != OutputStatus::Written) return s;
    if (!f.write(bytes)) return OutputStatus::Failed;
    return f.commit(sync);
}

OutputStatus create_output_file(const std::string& path, std::string_view bytes, bool sync) {
    OutputFile f;
    if (OutputStatus s = f.open(path); s != OutputStatus::Written) return s;
    if (!f.write(bytes)) return OutputStatus::Failed;
    return f.commit_new(path, sync);
}

OutputStatus append_output_file(const std::string& path, std::string_view bytes) {
    OutputFile f;
    if (OutputStatus s = f.open(path, true); s != OutputStatus::Written) return s;
    if (!f.write(bytes)) return OutputStatus::Failed;
    return f.commit();
}

bool sync_file_system(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

Message overwrite_question(const std::string& path) {
    const std::string question = str(Str::ReportFileWord) + " " + path + " " + str(Str::ReportExistsWord) + ", " +
                                 str(Str::ReportOverwriteWord) + "?";
    return {question, str(Str::ReportConfirmCaption), MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes};
}

}  // namespace tellurim
