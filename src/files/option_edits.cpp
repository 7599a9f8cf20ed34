#include "files/option_edits.h"

#include "base/strings.h"
#include "files/option_keys.h"
#include "files/options_file.h"

namespace tellurim {

OptionEditsResult apply_option_edits(const std::string& private_dir, const std::string& horoscopes_dir,
                                     Options& options, MessageSink& messages, const std::vector<OptionEdit>& edits) {
    OptionEditsResult result;
    auto refuse = [&result](int index, std::string message) {
        result.failed = index;
        result.message = std::move(message);
        result.caption = str(Str::FilesCaptionError);
        return false;
    };
    // The rows are found and counted before the lock is taken: a wrong key never waits for it.
    std::vector<const OptionKey*> rows;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const int index = static_cast<int>(i);
        const OptionKey* k = find_option_key(edits[i].key);
        if (!k) {
            refuse(index, str(Str::OptionsUnknownKey) + edits[i].key);
            return result;
        }
        if (!k->set || !k->in_options_file) {
            refuse(index, str(Str::OptionsReadOnlyKey) + edits[i].key);
            return result;
        }
        const int n = static_cast<int>(edits[i].values.size());
        if (n < k->min_values || n > k->max_values) {
            refuse(index, str(Str::OptionsValueCount) + k->syntax);
            return result;
        }
        rows.push_back(k);
    }
    const bool written = update_options(private_dir, options, [&](Options& o) {
        OptionContext ctx{o, private_dir, horoscopes_dir, messages};
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (OptionSetResult failure = rows[i]->set(ctx, edits[i].values))
                return refuse(static_cast<int>(i), std::move(*failure));
        return true;
    });
    if (!written) {
        result.message = options_file_path(private_dir);
        result.caption = str(Str::OptionsCannotSave);
        return result;
    }
    result.saved = result.failed < 0;
    return result;
}

}  // namespace tellurim
