#include "files/aspects_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "astro/aspects.h"
#include "core/paths.h"
#include "core/regular_file.h"
#include "core/strings.h"

namespace tellurim {
namespace fs = std::filesystem;

namespace {

bool write_atomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    fs::path target(path);
    fs::path dir = target.parent_path();
    std::string temp = ((dir.empty() ? fs::path(".") : dir) / (target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

std::string aspects_file_path(const std::string& private_dir) { return join_path(private_dir, kAspectsFileName); }

AspectsLoad load_aspect_table(const std::string& path, MessageSink& messages) {
    AspectsLoad load;
    load.table.path = path;
    std::optional<std::vector<AspectDef>> rows;
    if (auto bytes = read_regular_file(path)) rows = read_aspect_image(*bytes);
    if (rows) {
        load.table.rows = std::move(*rows);
        sort_aspect_rows(load.table.rows);
        return load;
    }
    load.status = AspectsLoadStatus::Defaults;
    load.table.rows = default_aspect_rows();
    load.saved = save_aspect_table(load.table);
    if (!load.saved)
        messages.tell(str(Str::AspectCannotWrite), str(Str::AspectCannotWriteCaption), MessageIcon::Warning);
    return load;
}

bool save_aspect_table(AspectTable& table) {
    sort_aspect_rows(table.rows);
    return write_atomically(table.path, write_aspect_image(table.rows));
}

}  // namespace tellurim
