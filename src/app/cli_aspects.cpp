// tellurim aspects show|set|add|delete|reset: lists and edits the user's own aspect table. Every
// change is checked field by field exactly as a typed row is, then the table is saved.
#include <fmt/format.h>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "astro/aspects.h"
#include "base/strings.h"
#include "files/aspects_file.h"

namespace tellurim {
namespace {

struct AspectArgs {
    std::string name;      // the row to change or delete
    std::string new_name;  // --name
    std::optional<std::string> angle;
    std::optional<std::string> orb;
    std::optional<std::string> colour;
    std::optional<std::string> pen_size;
    std::optional<std::string> pen_type;
    std::optional<std::string> hot_spot_size;
    std::optional<bool> draw;
    std::optional<bool> more_opaque;
    std::optional<bool> show_information;
    bool json = false;
};

std::string colour_text(std::uint32_t argb) { return fmt::format("#{:08X}", argb); }

// "#AARRGGBB" or "0xAARRGGBB".
std::optional<std::uint32_t> parse_colour(std::string_view t) {
    if (t.starts_with('#'))
        t.remove_prefix(1);
    else if (t.starts_with("0x") || t.starts_with("0X"))
        t.remove_prefix(2);
    if (t.size() != 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char ch : t) {
        int d = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : -1;
        if (d < 0) return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return v;
}

void print_table(const AspectTable& table, bool json) {
    if (json) {
        nlohmann::json rows = nlohmann::json::array();
        for (const AspectDef& a : table.rows)
            rows.push_back({{"name", a.name},
                            {"angle_deg", json_number(a.angle.to_degrees())},
                            {"orb_deg", json_number(a.orb.to_degrees())},
                            {"colour", colour_text(a.colour)},
                            {"pen_size", json_number(a.pen_size)},
                            {"pen_type", std::string(pen_type_name(a.pen_type))},
                            {"draw", a.draw},
                            {"more_opaque", a.more_opaque},
                            {"show_information", a.show_information},
                            {"hot_spot_size", json_number(a.hot_spot_size)}});
        std::cout << rows.dump(2) << "\n";
        return;
    }
    std::cout << fmt::format("{:<30}{:>8}{:>7}  {:<11}{:>5}  {:<11}{:<6}{:<8}{:<6}{:>5}\n", "Name", "Angle", "Orb",
                             "Colour", "Pen", "Pen type", "Draw", "Opaque", "Info", "Spot");
    auto yes = [](bool b) { return b ? "yes" : "no"; };
    for (const AspectDef& a : table.rows)
        std::cout << fmt::format("{:<30}{:>8.2f}{:>7.2f}  {:<11}{:>5}  {:<11}{:<6}{:<8}{:<6}{:>5}\n", a.name,
                                 a.angle.to_degrees(), a.orb.to_degrees(), colour_text(a.colour), a.pen_size,
                                 pen_type_name(a.pen_type), yes(a.draw), yes(a.more_opaque),
                                 yes(a.show_information), a.hot_spot_size);
}

// The fields of `base` with the user's changes, validated; nullopt after telling the failure.
std::optional<AspectDef> edited_row(const AspectFields& base, const AspectArgs& a, CliContext& ctx) {
    AspectFields f = base;
    if (!a.new_name.empty()) f.name = a.new_name;
    if (a.angle) f.degrees = *a.angle;
    if (a.orb) f.orb = *a.orb;
    if (a.colour) {
        auto c = parse_colour(*a.colour);
        if (!c) {
            ctx.fail(kExitBadInput, str(Str::AspectBadColour), str(Str::AspectErrorCaption));
            return std::nullopt;
        }
        f.colour = *c;
    }
    if (a.pen_size) f.pen_size = *a.pen_size;
    if (a.pen_type) f.pen_type = *a.pen_type;
    if (a.hot_spot_size) f.hot_spot_size = *a.hot_spot_size;
    if (a.draw) f.draw = *a.draw;
    if (a.more_opaque) f.more_opaque = *a.more_opaque;
    if (a.show_information) f.show_information = *a.show_information;
    AspectCheck check = check_aspect_fields(f);
    if (!check.ok()) {
        ctx.fail(kExitBadInput, str(check.message), str(Str::AspectErrorCaption));
        return std::nullopt;
    }
    return check.row;
}

AspectDef* find_row(AspectTable& table, const std::string& name) {
    for (AspectDef& r : table.rows)
        if (r.name == name) return &r;
    return nullptr;
}

int save_and_show(AspectTable& table, const AspectArgs& a, CliContext& ctx) {
    if (!save_aspect_table(table)) {
        ctx.fail(kExitFailure, str(Str::AspectCannotWrite), str(Str::AspectCannotWriteCaption));
        return ctx.exit_code;
    }
    print_table(table, a.json);
    return kExitOk;
}

enum class Action { Show, Set, Add, Delete, Reset };

int run_aspects(Action action, const AspectArgs& a, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    AspectTable& table = settings->aspects;
    switch (action) {
        case Action::Show:
            print_table(table, a.json);
            return kExitOk;
        case Action::Set: {
            AspectDef* row = find_row(table, a.name);
            if (!row) {
                ctx.fail(kExitBadInput, str(Str::AspectNotFound) + " " + a.name, str(Str::AspectErrorCaption));
                return ctx.exit_code;
            }
            auto edited = edited_row(aspect_fields(*row), a, ctx);
            if (!edited) return ctx.exit_code;
            *row = *edited;
            return save_and_show(table, a, ctx);
        }
        case Action::Add: {
            // A new row is called "New aspect" unless --name gives it a name; it starts as a
            // drawn solid black line.
            AspectFields base;
            base.name = str(Str::AspectNewName);
            base.colour = 0xFF000000;
            base.pen_size = "1.5";
            base.hot_spot_size = "2";
            base.pen_type = str(Str::PenSolid);
            base.draw = true;
            base.more_opaque = true;
            base.show_information = true;
            auto added = edited_row(base, a, ctx);
            if (!added) return ctx.exit_code;
            table.rows.push_back(*added);
            return save_and_show(table, a, ctx);
        }
        case Action::Delete: {
            AspectDef* row = find_row(table, a.name);
            if (!row) {
                ctx.fail(kExitBadInput, str(Str::AspectNotFound) + " " + a.name, str(Str::AspectErrorCaption));
                return ctx.exit_code;
            }
            table.rows.erase(table.rows.begin() + (row - table.rows.data()));
            return save_and_show(table, a, ctx);
        }
        case Action::Reset:
            table.rows = default_aspect_rows();
            return save_and_show(table, a, ctx);
    }
    return kExitOk;
}

void add_field_options(CLI::App* cmd, AspectArgs& a) {
    cmd->add_option("--angle", a.angle, "Nominal angle, 0 to 180 degrees (\"60\" or \"60d00'\")");
    cmd->add_option("--orb", a.orb, "Orb, above 0 and at most 180 degrees");
    cmd->add_option("--colour", a.colour, "Line colour #AARRGGBB (the alpha is the opacity)");
    cmd->add_option("--pen-size", a.pen_size, "Line width, above 0");
    cmd->add_option("--pen-type", a.pen_type, "Solid, Dash, Dot, DashDot or DashDotDot");
    cmd->add_option("--hot-spot-size", a.hot_spot_size, "Size of the square at the middle of the line, above 0");
    cmd->add_option("--draw", a.draw, "yes/no: the wheel draws this aspect");
    cmd->add_option("--more-opaque", a.more_opaque, "yes/no: more opaque as the aspect gets exact");
    cmd->add_option("--show-information", a.show_information, "yes/no: data shown at the hot spot");
}

}  // namespace

void register_aspects_commands(CLI::App& app, CliContext& ctx) {
    CLI::App* group = app.add_subcommand("aspects", "The occidental aspect table (aspects.pra)");
    group->require_subcommand(1);
    auto add = [&](const char* name, const char* help, Action action) {
        auto args = std::make_shared<AspectArgs>();
        CLI::App* cmd = group->add_subcommand(name, help);
        cmd->add_flag("--json", args->json, "JSON output");
        cmd->callback([args, action, &ctx] { ctx.exit_code = run_aspects(action, *args, ctx); });
        return std::make_pair(cmd, args);
    };
    add("show", "Print the table", Action::Show);
    auto [set, set_args] = add("set", "Change the row NAME", Action::Set);
    set->add_option("NAME", set_args->name, "Name of the row")->required();
    set->add_option("--name", set_args->new_name, "New name (at most 29 characters)");
    add_field_options(set, *set_args);
    auto [added, add_args] = add("add", "Append a row (named \"New aspect\" unless --name is given)", Action::Add);
    added->add_option("--name", add_args->new_name, "Name (at most 29 characters)");
    add_field_options(added, *add_args);
    added->get_option("--angle")->required();
    added->get_option("--orb")->required();
    auto [del, del_args] = add("delete", "Delete the row NAME", Action::Delete);
    del->add_option("NAME", del_args->name, "Name of the row")->required();
    add("reset", "Restore the five default rows", Action::Reset);
}

}  // namespace tellurim
