#pragma once
// Changes to the options file made through the settings' rows (option_keys.h): the one path by
// which `tellurim options set` and the desktop program's dialogs check a value and save it.
// The edits of one dialog are applied in their order to the record read again under the
// file's lock; the first refused value leaves the file untouched.

#include <string>
#include <vector>

#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

// One setting and its values as the user typed them: ("drawing.aspect-ratio", {"1.5"}).
struct OptionEdit {
    std::string key;
    std::vector<std::string> values;
};

struct OptionEditsResult {
    bool saved = false;    // every edit was accepted and the file written
    int failed = -1;       // the index of the refused edit, -1 when none was refused
    std::string message;   // why (shown with the caption "Error"); empty when a row told the user
    std::string caption;   // the message's caption
};

// Applies `edits` to the options file of `private_dir` (read-modify-write under its lock).
// An unknown key, a wrong number of values or a refused value stops at that edit with its
// message and writes nothing. On success `options` holds the record as saved.
OptionEditsResult apply_option_edits(const std::string& private_dir, const std::string& horoscopes_dir,
                                     Options& options, MessageSink& messages, const std::vector<OptionEdit>& edits);

}  // namespace tellurim
