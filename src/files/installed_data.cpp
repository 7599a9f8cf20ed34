#include "files/installed_data.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/strings.h"
#include "base/text.h"
#include "core/paths.h"
#include "files/interp_texts.h"
#include "files/options_file.h"
#include "files/settings_file.h"

namespace tellurim {
namespace fs = std::filesystem;

namespace {

// What the settings may name of the shipped data, relative to the data directory: the
// defaults of a new options file and of a new interpretation list, and the other database's
// access file.
constexpr std::string_view kShipped[] = {
    "stars/stars.spra",
    "countries",
    "tcltkscript",
    "db/sqlite/tellurimdb.ini",
    "db/postgresql/tellurimdb.ini",
    "ephemeris/de405_1960_2060.eph",
    "images/fond_cdc.jpg",
    "txtinterpretation/us/inter_us1.txt",
    "txtinterpretation/us/inter_us2.txt",
    "txtinterpretation/us/inter_us3.txt",
};

// The data directory of an installation, and the source tree's that a build tree reads.
constexpr std::string_view kDataRoots[] = {"/share/tellurim/", "/data/"};

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

struct PathRepair {
    std::string from;
    std::string to;
};

// Replaces each path that moves to `base`; true when one did.
bool repair_paths(std::initializer_list<std::string*> paths, const std::string& base,
                  std::vector<PathRepair>* replaced) {
    bool changed = false;
    for (std::string* path : paths) {
        auto to = rebase_shipped_path(*path, base);
        // A path that the record cannot hold whole stays as it is (and is reported missing).
        if (!to || utf8_to_utf16(*to).size() >= kPathUnits) continue;
        if (replaced) replaced->push_back({*path, *to});
        *path = std::move(*to);
        changed = true;
    }
    return changed;
}

bool repair_options_paths(Options& o, const std::string& base, std::vector<PathRepair>* replaced) {
    return repair_paths({&o.paths.stars_file, &o.paths.countries_dir, &o.paths.tcl_script_dir, &o.paths.db_ini_file,
                         &o.ephemeris.jpl_file, &o.colours.background_image},
                        base, replaced);
}

}  // namespace

std::optional<std::string> rebase_shipped_path(const std::string& path, const std::string& base) {
    if (path.empty() || exists(path)) return std::nullopt;
    std::string_view p = path;
    while (p.size() > 1 && p.back() == '/') p.remove_suffix(1);
    for (std::string_view rel : kShipped) {
        if (p.size() <= rel.size() || !p.ends_with(rel)) continue;
        const std::string_view root = p.substr(0, p.size() - rel.size());
        bool shipped = false;
        for (std::string_view r : kDataRoots) shipped |= root.ends_with(r);
        if (!shipped) return std::nullopt;
        std::string to = join_path(base, std::string(rel));
        if (to == p || !exists(to)) return std::nullopt;
        return to;
    }
    return std::nullopt;
}

void repair_shipped_paths(const std::string& private_dir, Options& options, const std::string& base,
                          MessageSink& messages) {
    std::vector<PathRepair> replaced;
    if (repair_options_paths(options, base, &replaced)) {
        // Read-modify-write, so that a run saving at the same time keeps its change.
        if (!update_options(private_dir, options, [&](Options& o) { return repair_options_paths(o, base, nullptr); }))
            messages.tell(options_file_path(private_dir), str(Str::OptionsCannotSave), MessageIcon::Warning);
    }
    // The interpretation list is repaired in its file; whoever loads it next finds the new
    // paths, and their indexes are built again.
    const std::string list_path = interp_list_path(private_dir);
    if (auto bytes = read_settings_file(list_path, kInterpListRecordSize * 100000)) {
        if (auto files = parse_interp_list(*bytes)) {
            bool changed = false;
            for (InterpFile& f : *files)
                if (repair_paths({&f.path}, base, &replaced)) {
                    f.state |= kInterpIndexStale;
                    changed = true;
                }
            if (changed && !write_settings_file(list_path, interp_list_bytes(*files)))
                messages.tell(list_path, str(Str::InterpListCaption), MessageIcon::Error);
        }
    }
    if (replaced.empty()) return;
    std::string text = str(Str::InstallPathsRepaired);
    for (const PathRepair& r : replaced) text += "\n" + r.from + " -> " + r.to;
    messages.tell(text, str(Str::InstallCaptionPathsRepaired), MessageIcon::Information);
}

}  // namespace tellurim
