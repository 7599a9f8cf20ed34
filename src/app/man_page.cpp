#include "app/man_page.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <sstream>

#include "base/strings.h"

namespace tellurim {

std::string roff_escape(const std::string& text) {
    std::string out;
    bool line_start = true;
    for (char c : text) {
        if (line_start && (c == '.' || c == '\'')) out += "\\&";
        line_start = c == '\n';
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

std::string render_man_page(const ManPage& page) {
    std::ostringstream out;
    std::string upper = page.name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    out << ".TH " << roff_escape(upper) << " 1 \"\" \"" << roff_escape(page.name + " " + page.version)
        << "\" \"User Commands\"\n";
    out << ".SH NAME\n" << roff_escape(page.name) << " \\- " << roff_escape(page.summary) << "\n";
    out << ".SH SYNOPSIS\n.B " << roff_escape(page.name) << "\n" << roff_escape(page.synopsis) << "\n";
    for (const ManBlock& b : page.blocks) {
        out << (b.sub ? ".SS \"" : ".SH \"") << roff_escape(b.heading) << "\"\n";
        if (!b.text.empty()) out << roff_escape(b.text) << "\n";
        for (const ManItem& i : b.items) {
            out << ".TP\n\\fB" << roff_escape(i.names) << "\\fR";
            if (!i.value.empty()) out << " \\fI" << roff_escape(i.value) << "\\fR";
            out << "\n" << roff_escape(i.text.empty() ? std::string("(no description)") : i.text) << "\n";
        }
    }
    return out.str();
}

namespace {

bool shown(const CLI::Option* o) { return !o->get_group().empty(); }

// Named, visible commands; the nameless ones are option groups, whose options are the
// command's own.
std::vector<const CLI::App*> commands(const CLI::App& app) {
    return app.get_subcommands([](const CLI::App* s) { return !s->get_name().empty() && !s->get_group().empty(); });
}

std::vector<const CLI::Option*> options_of(const CLI::App& app) {
    std::vector<const CLI::Option*> all = app.get_options(shown);
    for (const CLI::App* g : app.get_subcommands([](const CLI::App* s) { return s->get_name().empty(); }))
        for (const CLI::Option* o : g->get_options(shown)) all.push_back(o);
    return all;
}

std::string option_names(const CLI::Option* o) {
    if (!o->nonpositional()) return o->get_name(true);
    std::string names;
    for (const std::string& s : o->get_snames()) names += (names.empty() ? "-" : ", -") + s;
    for (const std::string& l : o->get_lnames()) names += (names.empty() ? "--" : ", --") + l;
    return names;
}

// A flag expects no value; an option one or more (--save [FILE] one at most).
bool takes_value(const CLI::Option* o) { return o->get_expected_max() > 0; }

ManItem man_item(const CLI::Option* o) {
    // An argument is shown by its name alone, an option with the kind of value it takes.
    const bool value = takes_value(o) && o->nonpositional();
    ManItem item{option_names(o), value ? o->get_type_name() : std::string(), o->get_description()};
    if (takes_value(o) && !o->get_default_str().empty()) item.text += " (default: " + o->get_default_str() + ")";
    return item;
}

void command_blocks(const CLI::App& app, const std::string& path, std::vector<ManBlock>& blocks) {
    for (const CLI::App* c : commands(app)) {
        const std::string full = path + " " + c->get_name();
        ManBlock b{full, c->get_description(), {}, true};
        for (const CLI::Option* o : options_of(*c))
            if (o != c->get_help_ptr()) b.items.push_back(man_item(o));
        blocks.push_back(std::move(b));
        command_blocks(*c, full, blocks);
    }
}

// The choices of an option whose type reads "TEXT:{a,b,c}", separated by spaces.
std::string choices(const CLI::Option* o) {
    const std::string type = o->get_type_name();
    const auto open = type.find(":{");
    const auto close = type.rfind('}');
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    std::string list = type.substr(open + 2, close - open - 2);
    std::replace(list.begin(), list.end(), ',', ' ');
    return list;
}

}  // namespace

std::vector<ManBlock> manual_blocks(const std::string& see_also) {
    return {
        {"FILES", {}, {
            {"~/.config/tellurim/2.4.7/registry", {}, str(Str::InstallManRegistry)},
            {"~/.local/share/tellurim", {}, str(Str::InstallManPrivateDir)},
            {"~/Tellurim/horoscopes", {}, str(Str::InstallManHoroscopesDir)},
            {"PREFIX/share/tellurim", {}, str(Str::InstallManDataDir)},
            {"PREFIX/lib/tellurim", {}, str(Str::InstallManLibDir)},
        }, false},
        {"ENVIRONMENT", {}, {
            {"XDG_CONFIG_HOME, XDG_DATA_HOME", {}, str(Str::InstallManXdg)},
            {"TELLURIM_DEBUG", {}, str(Str::InstallManDebug)},
        }, false},
        {"SEE ALSO", see_also + "(1)", {}, false},
    };
}

ManPage cli_man_page(const CLI::App& app, const std::string& version, std::vector<ManBlock> extra) {
    ManPage page{app.get_name(), version, app.get_description(), "[OPTIONS] COMMAND [OPTIONS] [ARGUMENTS]", {}};
    ManBlock options{"OPTIONS", {}, {}, false};
    for (const CLI::Option* o : options_of(app)) options.items.push_back(man_item(o));
    page.blocks.push_back(std::move(options));
    page.blocks.push_back({"COMMANDS", "Each command takes --help, which prints its options.", {}, false});
    command_blocks(app, app.get_name(), page.blocks);
    for (ManBlock& b : extra) page.blocks.push_back(std::move(b));
    return page;
}

std::string bash_completion(const CLI::App& app) {
    const std::string name = app.get_name();
    std::string fn = "_" + name;
    std::replace(fn.begin(), fn.end(), '-', '_');
    std::ostringstream nodes;
    std::function<void(const CLI::App&, const std::string&)> node = [&](const CLI::App& a, const std::string& path) {
        std::string cmds, opts, vals, choice_cases;
        bool args = false;
        for (const CLI::App* c : commands(a)) cmds += (cmds.empty() ? "" : " ") + c->get_name();
        for (const CLI::Option* o : options_of(a)) {
            if (!o->nonpositional()) {
                args = true;
                continue;
            }
            for (const std::string& s : o->get_snames()) opts += " -" + s;
            for (const std::string& l : o->get_lnames()) opts += " --" + l;
            if (!takes_value(o)) continue;
            std::string names;
            for (const std::string& s : o->get_snames()) names += (names.empty() ? "-" : "|-") + s;
            for (const std::string& l : o->get_lnames()) names += (names.empty() ? "--" : "|--") + l;
            vals += "|" + names;
            if (std::string c = choices(o); !c.empty()) choice_cases += "        " + names + ") choices=\"" + c + "\";;\n";
        }
        nodes << "    \"" << path << "\")\n        cmds=\"" << cmds << "\"; opts=\"" << opts.substr(opts.empty() ? 0 : 1)
              << "\"; args=" << (args ? 1 : 0) << "\n";
        if (!vals.empty()) nodes << "        case $2 in\n        " << vals.substr(1) << ") value=1;;\n        esac\n";
        if (!choice_cases.empty()) nodes << "        case $2 in\n" << choice_cases << "        esac\n";
        nodes << "        ;;\n";
        for (const CLI::App* c : commands(a)) node(*c, path + " " + c->get_name());
    };
    node(app, "");
    std::ostringstream out;
    out << "# bash completion for " << name << ", written by `" << name << " --completion bash`\n"
        << fn << "_node() {\n    cmds= opts= args=0 value=0 choices=\n    case $1 in\n"
        << nodes.str() << "    esac\n}\n"
        << fn << "() {\n"
        << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} path= i\n"
        << "    local cmds opts args value choices\n"
        << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        << "        " << fn << "_node \"$path\"\n"
        << "        [[ \" $cmds \" == *\" ${COMP_WORDS[i]} \"* ]] && path=\"$path ${COMP_WORDS[i]}\"\n"
        << "    done\n"
        << "    " << fn << "_node \"$path\" \"$prev\"\n"
        << "    if [[ -n $choices ]]; then\n"
        << "        mapfile -t COMPREPLY < <(compgen -W \"$choices\" -- \"$cur\")\n"
        << "    elif ((value)); then\n"
        << "        mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
        << "    elif [[ $cur == -* ]]; then\n"
        << "        mapfile -t COMPREPLY < <(compgen -W \"$opts\" -- \"$cur\")\n"
        << "    else\n"
        << "        mapfile -t COMPREPLY < <(compgen -W \"$cmds\" -- \"$cur\")\n"
        << "        ((args)) && mapfile -t -O \"${#COMPREPLY[@]}\" COMPREPLY < <(compgen -f -- \"$cur\")\n"
        << "    fi\n"
        << "}\n"
        << "complete -o filenames -F " << fn << " " << name << "\n";
    return out.str();
}

}  // namespace tellurim
