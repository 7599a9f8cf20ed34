// tellurim options show|get|set|keys|reset
#include <fmt/format.h>

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "base/strings.h"
#include "files/option_edits.h"
#include "files/option_keys.h"
#include "files/options_file.h"

namespace tellurim {
namespace {

struct SetArgs {
    std::string key;
    std::vector<std::string> values;
};

std::string shown_value(const OptionKey& k, const OptionContext& ctx) {
    std::string v = k.get(ctx);
    return k.secret && !v.empty() ? str(Str::OptionsSecretSet) : v;
}

void run_show(CliContext& ctx, bool json) {
    auto s = load_cli_settings(ctx);
    if (!s) return;
    OptionContext oc{s->options, s->private_dir, s->horoscopes_dir, *ctx.messages};
    const std::string file = options_file_path(s->private_dir);
    if (json) {
        nlohmann::ordered_json blocks = nlohmann::ordered_json::object();
        for (const OptionKey& k : all_option_keys()) blocks[k.block][k.name] = shown_value(k, oc);
        nlohmann::ordered_json j = {{"options_file", file}, {"blocks", blocks}};
        std::cout << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    std::cout << fmt::format("Options file: {}\n", file);
    std::string block;
    for (const OptionKey& k : all_option_keys()) {
        if (k.block != block) std::cout << (block = k.block) << "\n";
        std::cout << fmt::format("  {:<34} {}\n", k.name, shown_value(k, oc));
    }
}

const OptionKey* key_or_fail(CliContext& ctx, const std::string& name) {
    const OptionKey* k = find_option_key(name);
    if (!k) ctx.fail(kExitBadInput, str(Str::OptionsUnknownKey) + name, str(Str::FilesCaptionError));
    return k;
}

void run_get(CliContext& ctx, const std::string& name, bool json) {
    const OptionKey* k = key_or_fail(ctx, name);
    if (!k) return;
    auto s = load_cli_settings(ctx);
    if (!s) return;
    OptionContext oc{s->options, s->private_dir, s->horoscopes_dir, *ctx.messages};
    if (json) {
        nlohmann::json j = {{"key", k->name}, {"block", k->block}, {"value", k->get(oc)}};
        std::cout << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    std::cout << k->get(oc) << "\n";
}

void run_set(CliContext& ctx, const SetArgs& a) {
    const OptionKey* k = key_or_fail(ctx, a.key);
    if (!k) return;
    if (!k->set) return ctx.fail(kExitBadInput, str(Str::OptionsReadOnlyKey) + a.key, str(Str::FilesCaptionError));
    const int n = static_cast<int>(a.values.size());
    if (n < k->min_values || n > k->max_values)
        return ctx.fail(kExitBadInput, str(Str::OptionsValueCount) + k->syntax, str(Str::FilesCaptionError));
    auto s = load_cli_settings(ctx);
    if (!s) return;

    OptionSetResult failure;
    if (!k->in_options_file) {
        // A directory: the registry changes, the options file stays as it is.
        OptionContext oc{s->options, s->private_dir, s->horoscopes_dir, *ctx.messages};
        failure = k->set(oc, a.values);
        s->private_dir = oc.private_dir;
        s->horoscopes_dir = oc.horoscopes_dir;
    } else {
        // The same path as the desktop program's dialogs: checked and saved under the file's lock.
        const OptionEditsResult r =
            apply_option_edits(s->private_dir, s->horoscopes_dir, s->options, *ctx.messages, {{a.key, a.values}});
        if (r.failed >= 0)
            failure = r.message;
        else if (!r.saved)
            return ctx.fail(kExitFailure, r.message, r.caption);
    }
    if (failure) {
        // An empty message: the setting has told the user already.
        if (failure->empty()) {
            ctx.exit_code = kExitBadInput;
            return;
        }
        return ctx.fail(kExitBadInput, *failure, str(Str::FilesCaptionError), MessageIcon::Warning);
    }
    OptionContext oc{s->options, s->private_dir, s->horoscopes_dir, *ctx.messages};
    std::cout << k->name << " = " << k->get(oc) << "\n";
    if (!k->note.empty()) std::cout << k->note << "\n";
}

void run_keys() {
    for (const OptionKey& k : all_option_keys())
        std::cout << fmt::format("{:<34} {}\n", k.name, k.set ? k.syntax : "(shown only)");
}

void run_reset(CliContext& ctx) {
    auto s = load_cli_settings(ctx);
    if (!s) return;
    const Options defaults = make_default_options(s->horoscopes_dir);
    if (!update_options(s->private_dir, s->options, [&](Options& o) {
            o = defaults;
            return true;
        }))
        return ctx.fail(kExitFailure, str(Str::OptionsCannotCreate), str(Str::FilesCaptionFatalError));
    std::cout << text(Str::OptionsResetDone) << " " << options_file_path(s->private_dir) << "\n";
}

}  // namespace

void register_options_commands(CLI::App& app, CliContext& ctx) {
    auto* options = app.add_subcommand("options", "Show, get, set or reset the settings");
    options->require_subcommand(1);

    auto* show = options->add_subcommand("show", "Show the directories and every setting, block by block");
    auto json = std::make_shared<bool>(false);
    show->add_flag("--json", *json, "Machine-readable output");
    show->callback([&ctx, json] { run_show(ctx, *json); });

    auto* get = options->add_subcommand("get", "Print one setting");
    auto get_key = std::make_shared<std::string>();
    auto get_json = std::make_shared<bool>(false);
    get->add_option("KEY", *get_key, "The setting, e.g. astro.house-system (see options keys)")->required();
    get->add_flag("--json", *get_json, "Machine-readable output");
    get->callback([&ctx, get_key, get_json] { run_get(ctx, *get_key, *get_json); });

    auto* set = options->add_subcommand("set", "Change one setting, with the checks of the dialog that edits it");
    auto set_args = std::make_shared<SetArgs>();
    set->add_option("KEY", set_args->key, "The setting, e.g. astro.house-system (see options keys)")->required();
    set->add_option("VALUE", set_args->values, "Its value(s)")->required();
    set->callback([&ctx, set_args] { run_set(ctx, *set_args); });

    auto* keys = options->add_subcommand("keys", "List every setting with the values it takes");
    keys->callback([] { run_keys(); });

    auto* reset = options->add_subcommand("reset", "Rewrite the options file with the default settings");
    reset->callback([&ctx] { run_reset(ctx); });
}

}  // namespace tellurim
