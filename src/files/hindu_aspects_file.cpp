#include "files/hindu_aspects_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "core/regular_file.h"
#include "core/strings.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

bool write_atomically(const std::string& path, const std::string& content) {
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    // The rename replaces the old file in one step: a reader sees the old or the new table.
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

std::string hindu_aspects_path(const std::string& private_dir) {
    return (fs::path(private_dir) / std::string(text(Str::HinduAspectsFileName))).string();
}

HinduAspectsLoad load_hindu_aspects(const std::string& private_dir, MessageSink& messages) {
    HinduAspectsLoad load;
    const std::string path = hindu_aspects_path(private_dir);
    // Anything but a readable regular file (missing, a directory, a FIFO) is replaced by the
    // default table.
    std::optional<std::string> content = read_regular_text(path);
    if (!content) {
        load.created = true;
        load.ok = reset_hindu_aspects(private_dir);
        if (!load.ok) messages.tell(path, str(Str::HinduAspectsCannotWrite), MessageIcon::Warning);
        return load;
    }
    std::string bad;
    load.ok = parse_hindu_aspects(*content, load.table, &bad);
    if (!load.ok) messages.tell(str(Str::HinduAspectsBadLine) + bad, path, MessageIcon::Warning);
    return load;
}

bool save_hindu_aspects(const std::string& private_dir, const HinduAspectTable& table) {
    return write_atomically(hindu_aspects_path(private_dir), format_hindu_aspects(table));
}

bool reset_hindu_aspects(const std::string& private_dir) {
    return write_atomically(hindu_aspects_path(private_dir), default_hindu_aspects_text());
}

}  // namespace tellurim
