#include "files/hindu_aspects_file.h"

#include <filesystem>

#include "base/strings.h"
#include "files/settings_file.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

// Far more lines than any table holds: a larger file is refused unread.
constexpr std::size_t kMaxHinduAspectsFileBytes = 1 << 20;

}  // namespace

std::string hindu_aspects_path(const std::string& private_dir) {
    return (fs::path(private_dir) / std::string(text(Str::HinduAspectsFileName))).string();
}

HinduAspectsLoad load_hindu_aspects(const std::string& private_dir, MessageSink& messages) {
    HinduAspectsLoad load;
    const std::string path = hindu_aspects_path(private_dir);
    auto bytes = read_settings_file(path, kMaxHinduAspectsFileBytes);
    if (!bytes) {
        load.created = true;
        load.ok = reset_hindu_aspects(private_dir);
        if (!load.ok) messages.tell(path, str(Str::HinduAspectsCannotWrite), MessageIcon::Warning);
        return load;
    }
    std::string bad;
    load.ok = parse_hindu_aspects(std::string(bytes->begin(), bytes->end()), load.table, &bad);
    if (!load.ok) messages.tell(str(Str::HinduAspectsBadLine) + bad, path, MessageIcon::Warning);
    return load;
}

bool save_hindu_aspects(const std::string& private_dir, const HinduAspectTable& table) {
    return write_settings_file(hindu_aspects_path(private_dir), format_hindu_aspects(table));
}

bool save_edited_hindu_aspects(const std::string& private_dir, const HinduAspectsLoad& load, MessageSink& messages) {
    const std::string path = hindu_aspects_path(private_dir);
    if (!load.ok && !load.created)
        if (auto kept = keep_damaged_file(path))
            messages.tell(str(Str::OptionsDamagedKeptAs) + " " + *kept, path, MessageIcon::Warning);
    return save_hindu_aspects(private_dir, load.table);
}

bool reset_hindu_aspects(const std::string& private_dir) {
    return write_settings_file(hindu_aspects_path(private_dir), default_hindu_aspects_text());
}

}  // namespace tellurim
