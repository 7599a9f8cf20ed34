#pragma once
// The data that Tellurim ships under its base directory (core/paths.h), and the repair of
// settings written by another installation or by a build tree: their paths name shipped data
// that is gone, and the data of this installation takes their place.

#include <optional>
#include <string>

#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

// The path that `path` becomes under `base`, when `path` is missing and names a shipped file or
// directory under a data root of another installation ("<prefix>/share/tellurim/...") or of a
// source tree (".../data/..."), and the same data exists under `base`. nullopt otherwise: an
// existing path, a path the user chose, data that `base` does not hold either.
std::optional<std::string> rebase_shipped_path(const std::string& path, const std::string& base);

// Start-up repair: every path of `options` and of the private directory's interpretation
// list that rebase_shipped_path moves to `base` is replaced, both files are saved, and one
// message lists what was replaced (caption "Settings repaired", information icon). Nothing is
// said when nothing was replaced.
void repair_shipped_paths(const std::string& private_dir, Options& options, const std::string& base,
                          MessageSink& messages);

}  // namespace tellurim
