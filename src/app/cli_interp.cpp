// tellurim interp list|add|delete|rebuild|find|show: the interpretation text files of the
// private directory's "interlist.pra", their indexes and their entries.
#include <fmt/format.h>

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli.h"
#include "app/cli_interp.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "core/paths.h"
#include "base/strings.h"
#include "files/interp_texts.h"

namespace tellurim {

std::optional<InterpList> load_cli_interp_list(CliContext& ctx, std::string* private_dir) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return std::nullopt;
    if (private_dir) *private_dir = settings->private_dir;
    return load_interp_list(settings->private_dir, base_directory(), *ctx.messages);
}

namespace {

nlohmann::json file_json(const InterpList& list, const InterpFile& f) {
    return {{"id", f.id}, {"path", f.path}, {"state", f.state}, {"entries", interp_entry_count(list, f.id)}};
}

void print_files(const InterpList& list, const std::vector<const InterpFile*>& files, bool json) {
    if (json) {
        nlohmann::json out = nlohmann::json::array();
        for (const InterpFile* f : files) out.push_back(file_json(list, *f));
        std::cout << json_text(out) << "\n";
        return;
    }
    std::cout << fmt::format("{:>5} {:>5} {:>7}  {}\n", "Id", "State", "Entries", "Path");
    for (const InterpFile* f : files)
        std::cout << fmt::format("{:>5} {:>5} {:>7}  {}\n", f->id, f->state, interp_entry_count(list, f->id), f->path);
}

void print_all(const InterpList& list, bool json) {
    std::vector<const InterpFile*> files;
    for (const InterpFile& f : list.files) files.push_back(&f);
    print_files(list, files, json);
}

struct InterpArgs {
    bool json = false;
    std::string path;
    std::optional<std::uint32_t> id;
    std::uint32_t file_id = 0;
    std::string identifier;
    int entry = 0;
    bool no_title = false;
    bool no_text = false;
    bool idstr = false;
    bool keep_comments = false;
};

int run_list(const InterpArgs& a, bool rebuild, CliContext& ctx) {
    auto list = load_cli_interp_list(ctx);
    if (!list) return ctx.exit_code;
    if (rebuild && !rebuild_interp_indexes(*list)) {
        ctx.fail(kExitFailure, interp_list_path(list->private_dir), str(Str::InterpListCaption));
        return ctx.exit_code;
    }
    print_all(*list, a.json);
    return kExitOk;
}

// The list dialog's OK with one file more or one file less.
int run_change(const InterpArgs& a, bool add, CliContext& ctx) {
    auto list = load_cli_interp_list(ctx);
    if (!list) return ctx.exit_code;
    std::vector<InterpFile> files = list->files;
    std::uint32_t id = a.id.value_or(a.file_id);
    if (add) {
        if (!a.id) id = next_interp_id(files);
        InterpFile f;
        f.id = id;
        f.path = a.path;
        files.push_back(std::move(f));
    } else {
        auto it = std::find_if(files.begin(), files.end(), [&](const InterpFile& f) { return f.id == id; });
        if (it == files.end()) {
            ctx.fail(kExitFailure, str(Str::InterpCannotFindFileFromId) + std::to_string(id),
                     str(Str::InterpErrorCaption));
            return ctx.exit_code;
        }
        files.erase(it);
    }
    if (auto refusal = replace_interp_files(*list, std::move(files))) {
        ctx.fail(kExitBadInput, *refusal, str(Str::InterpErrorCaption));
        return ctx.exit_code;
    }
    print_all(*list, a.json);
    return kExitOk;
}

int run_find(const InterpArgs& a, CliContext& ctx) {
    auto list = load_cli_interp_list(ctx);
    if (!list) return ctx.exit_code;
    InterpFind found = find_interp_entry(*list, a.file_id, a.identifier);
    if (!found.error.empty()) {
        ctx.fail(kExitFailure, found.error, str(Str::InterpErrorCaption));
        return ctx.exit_code;
    }
    if (!found.found) {
        ctx.fail(kExitFailure, str(Str::InterpNotFound) + a.identifier, str(Str::InterpErrorCaption));
        return ctx.exit_code;
    }
    // Entries are numbered from 1 on the command line, as `interp show` and the scripts take them.
    const int entry = found.number + 1;
    if (a.json)
        std::cout << json_text({{"id", a.file_id}, {"identifier", a.identifier}, {"entry", entry}}) << "\n";
    else
        std::cout << entry << "\n";
    return kExitOk;
}

int run_show(const InterpArgs& a, CliContext& ctx) {
    auto list = load_cli_interp_list(ctx);
    if (!list) return ctx.exit_code;
    ExtractFlags flags{!a.no_title, a.idstr, !a.no_text, a.keep_comments};
    InterpExtract entry = extract_interp_entry(*list, a.file_id, a.entry, flags);
    if (!entry.text) {
        ctx.fail(kExitFailure, entry.error, str(Str::InterpErrorCaption));
        return ctx.exit_code;
    }
    if (!a.json) {
        std::cout << *entry.text;
        if (!entry.text->empty() && entry.text->back() != '\n') std::cout << "\n";
        return kExitOk;
    }
    const auto part = [&](bool identifier, bool title) {
        return extract_interp_entry(*list, a.file_id, a.entry, {title, identifier, false, true}).text.value_or("");
    };
    std::cout << json_text({{"id", a.file_id},
                            {"entry", a.entry},
                            {"identifier", part(true, false)},
                            {"title", part(false, true)},
                            {"text", *entry.text}})
              << "\n";
    return kExitOk;
}

}  // namespace

void register_interp_commands(CLI::App& app, CliContext& ctx) {
    CLI::App* interp = app.add_subcommand("interp", "Interpretation text files and their entries");
    interp->require_subcommand(1);
    auto a = std::make_shared<InterpArgs>();
    const auto json = [a](CLI::App* c) { c->add_flag("--json", a->json, "JSON output"); };

    CLI::App* list = interp->add_subcommand("list", "The interpretation files: id, state, entries, path");
    json(list);
    list->callback([a, &ctx] { ctx.exit_code = run_list(*a, false, ctx); });

    CLI::App* rebuild = interp->add_subcommand("rebuild", "Bring every index up to date, then list the files");
    json(rebuild);
    rebuild->callback([a, &ctx] { ctx.exit_code = run_list(*a, true, ctx); });

    CLI::App* add = interp->add_subcommand("add", "Add a text file to the list");
    add->add_option("path", a->path, "The text file")->required();
    add->add_option_function<std::uint32_t>("--id", [a](const std::uint32_t& v) { a->id = v; },
                                            "Its id (default: one above the highest)");
    json(add);
    add->callback([a, &ctx] { ctx.exit_code = run_change(*a, true, ctx); });

    CLI::App* del = interp->add_subcommand("delete", "Remove a file from the list");
    del->add_option("id", a->file_id, "The file's id")->required();
    json(del);
    del->callback([a, &ctx] { ctx.exit_code = run_change(*a, false, ctx); });

    CLI::App* find = interp->add_subcommand("find", "The entry number (from 1) of an identifier");
    find->add_option("id", a->file_id, "The file's id")->required();
    find->add_option("identifier", a->identifier, "The identifier, without its quotes; case counts")->required();
    json(find);
    find->callback([a, &ctx] { ctx.exit_code = run_find(*a, ctx); });

    CLI::App* show = interp->add_subcommand("show", "One entry: title and text, comments removed");
    show->add_option("id", a->file_id, "The file's id")->required();
    show->add_option("entry", a->entry, "The entry number, from 1")->required();
    show->add_flag("--no-title", a->no_title, "Leave out the title");
    show->add_flag("--no-text", a->no_text, "Leave out the text");
    show->add_flag("--idstr", a->idstr, "Put the identifier first");
    show->add_flag("--keep-comments", a->keep_comments, "Keep the <!-- --> comments");
    json(show);
    show->callback([a, &ctx] { ctx.exit_code = run_show(*a, ctx); });
}

}  // namespace tellurim
