#include "files/aspects_file.h"

#include <optional>
#include <vector>

#include "astro/aspects.h"
#include "core/paths.h"
#include "base/strings.h"
#include "files/settings_file.h"

namespace tellurim {

namespace {

// Far more rows than any table holds: a larger file is refused unread.
constexpr std::size_t kMaxAspectsFileBytes = 1 << 20;

}  // namespace

std::string aspects_file_path(const std::string& private_dir) { return join_path(private_dir, kAspectsFileName); }

AspectsLoad load_aspect_table(const std::string& path, MessageSink& messages) {
    AspectsLoad load;
    load.table.path = path;
    std::optional<std::vector<AspectDef>> rows;
    if (auto bytes = read_settings_file(path, kMaxAspectsFileBytes)) rows = read_aspect_image(*bytes);
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
    return write_settings_file(table.path, write_aspect_image(table.rows));
}

}  // namespace tellurim
