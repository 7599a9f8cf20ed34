// tellurim script FILE [--tk] [--horoscope FILE.xml ...], script --menu, script --custom P, script --commands, script --reference [FILE]: runs a Tcl or Tk script against the
// run's own horoscopes, and prints its run text (or hands it to the viewer of the settings).
#include "app/cli_script.h"

#include <fmt/format.h>
#include <unistd.h>

#include <csignal>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "app/cli.h"
#include "app/cli_interp.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "core/paths.h"
#include "base/strings.h"
#include "core/worker_threads.h"
#include "files/hindu_aspects_file.h"
#include "files/stars_file.h"
#include "script/script_commands.h"
#include "script/script_horoscope_file.h"
#include "script/script_reference.h"
#include "script/script_menu.h"
#include "script/tcl_host.h"

namespace tellurim {
namespace {

struct ScriptArgs {
    std::string file;
    bool tk = false;
    std::vector<std::string> horoscopes;
    bool menu = false;
    std::optional<int> custom;
    bool json = false;
    bool commands = false;
    bool reference = false;
    std::optional<Options> options;  // the run's options instead of the stored ones
    std::shared_ptr<ScriptHoroscopeFile> keep;  // a private copy among the horoscopes
};

// The command reference, from the command table itself.
void print_commands(bool json) {
    const auto commands = script_command_reference();
    if (json) {
        nlohmann::json out = nlohmann::json::array();
        for (const ScriptCommandInfo& c : commands)
            out.push_back({{"name", c.name}, {"usage", c.usage}, {"needs_horoscope", c.needs_horoscope}});
        std::cout << json_text(out) << "\n";
        return;
    }
    for (const ScriptCommandInfo& c : commands)
        std::cout << fmt::format("{:<24}{}{}\n", c.name, c.needs_horoscope ? "[horoscope] " : "", c.usage);
}

// The reference of the commands (docs/script-commands.md) to `path`, or to standard output.
// Its faults (a command without a block or an example) are said and fail the run, the
// reference being written all the same.
void write_reference(const std::string& path, CliContext& ctx) {
    const ScriptReference reference = make_script_reference(script_reference_sources());
    if (path.empty()) {
        std::cout << reference.markdown << std::flush;
    } else {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << reference.markdown;
        if (!out.flush()) {
            ctx.fail(kExitFailure, path, str(Str::CmdReferenceCannotWrite));
            return;
        }
    }
    for (const std::string& fault : reference.faults) ctx.fail(kExitFailure, fault, str(Str::ScriptErrorCaption));
}

volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void on_script_interrupt(int) { g_interrupted = 1; }

// While a TCL run lasts, Ctrl-C stops its script at the next command instead of ending the
// process, so that the run text written so far is still printed. The signal handler only sets
// a flag; a watcher thread turns it into the interpreter's cancellation, which is safe from
// any thread.
class InterruptWatch {
public:
    InterruptWatch() {
        g_interrupted = 0;
        struct sigaction action {};
        action.sa_handler = on_script_interrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &m_previous);
        m_watcher = std::jthread([](std::stop_token stop) {
            while (!stop.stop_requested()) {
                if (g_interrupted) {
                    g_interrupted = 0;
                    cancel_tcl_run();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~InterruptWatch() {
        m_watcher.request_stop();
        m_watcher.join();
        ::sigaction(SIGINT, &m_previous, nullptr);
    }

private:
    struct sigaction m_previous {};
    std::jthread m_watcher;
};

// The entries of the menu file, or its entry at --custom's position.
int run_menu(ScriptArgs& a, const CliSettings& settings, CliContext& ctx) {
    const auto entries = load_script_menu(settings.private_dir);
    if (!entries) {
        ctx.fail(kExitFailure, str(Str::MenuNotLoaded) + script_menu_path(settings.private_dir),
                 str(Str::ScriptErrorCaption));
        return ctx.exit_code;
    }
    if (a.custom) {
        for (const ScriptMenuEntry& e : *entries) {
            if (e.position != *a.custom) continue;
            a.file = e.file;
            a.tk = !e.is_tcl;
            return -1;  // run it
        }
        ctx.fail(kExitBadInput, str(Str::MenuEntryNotFound) + std::to_string(*a.custom), str(Str::ScriptErrorCaption));
        return ctx.exit_code;
    }
    if (a.json) {
        nlohmann::json out = nlohmann::json::array();
        for (const ScriptMenuEntry& e : *entries)
            out.push_back({{"position", e.position}, {"file", e.file}, {"text", e.text}, {"kind", e.is_tcl ? "TCL" : "TK"}});
        std::cout << json_text(out) << "\n";
        return kExitOk;
    }
    for (const ScriptMenuEntry& e : *entries)
        std::cout << fmt::format("{:>3}  {:<3}  {:<28} {}\n", e.position, e.is_tcl ? "TCL" : "TK", e.file, e.text);
    return kExitOk;
}

int run_script(ScriptArgs a, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    if (a.menu || a.custom) {
        if (int code = run_menu(a, *settings, ctx); code >= 0) return code;
    }
    InterpList interp_files = load_interp_list(settings->private_dir, base_directory(), *ctx.messages);
    if (a.tk && !std::getenv("DISPLAY")) {
        ctx.fail(kExitFailure, str(Str::ScriptNoDisplay), str(Str::ScriptErrorCaption));
        return ctx.exit_code;
    }
    WorkerThreads workers;
    ScriptRunRequest request;
    request.script_name = a.file;
    request.options = a.options ? *a.options : settings->options;
    request.messages = ctx.messages;
    request.workers = &workers;
    request.interp_files = &interp_files;
    request.aspects = &settings->aspects;
    // Each --horoscope file answers one open-file dialog, in order; then the dialog is cancelled.
    request.dialogs = answering_dialogs({a.horoscopes.begin(), a.horoscopes.end()}, std::move(a.keep));
    // The stars catalogue and the Hindu aspect table, loaded as the application loads them at
    // start-up; a catalogue that does not load leaves the stars commands without one.
    StarCatalogue stars;
    if (load_star_catalogue(settings->options.paths.stars_file, stars)) request.stars = &stars;
    const HinduAspectsLoad hindu_aspects = load_hindu_aspects(settings->private_dir, *ctx.messages);
    request.hindu_aspects = &hindu_aspects.table;
    request.horoscopes_dir = settings->horoscopes_dir;
    const std::string viewer = settings->options.paths.text_editor;
    const bool to_stdout = viewer.find_first_not_of(' ') == std::string::npos;
    request.echo_to_stdout = a.tk || !to_stdout;
    MessageSink* messages = ctx.messages;
    const std::string dir = settings->private_dir;
    request.show_run_text = [to_stdout, viewer, dir, messages](const std::string& text) {
        if (!to_stdout) return show_in_viewer(viewer, dir, text, *messages);
        std::cout << text << std::flush;
        return true;
    };
    bool ok = false;
    if (a.tk) {
        const int slot = start_tk_script(request);
        if (slot >= 0) {
            workers.wait(slot);
            ok = !workers.is_cancelled(slot);
        }
    } else {
        InterruptWatch watch;
        ok = run_tcl_script(request) == ScriptRunResult::Succeeded;
    }
    if (!ok) ctx.exit_code = kExitFailure;
    return ctx.exit_code;
}

}  // namespace

int run_interpretation(const Horoscope& h, const Options& options, CliContext& ctx) {
    // The script opens its horoscope as the user would: from a file, here a private copy of
    // the chart just computed, removed when the run ends.
    std::shared_ptr<ScriptHoroscopeFile> copy = ScriptHoroscopeFile::write(h);
    if (!copy) {
        ctx.fail(kExitFailure, std::filesystem::temp_directory_path().string(), str(Str::HoroFileCannotWrite));
        return ctx.exit_code;
    }
    ScriptArgs a;
    a.file = kInterpretationScript;
    a.horoscopes = {copy->path()};
    a.keep = std::move(copy);
    a.options = options;
    return run_script(a, ctx);
}

void register_script_cli(CLI::App& app, CliContext& ctx) {
    auto a = std::make_shared<ScriptArgs>();
    CLI::App* script = app.add_subcommand("script", "Run a Tcl (or Tk) script; its run text goes to standard output");
    script->add_option("file", a->file, "The script; a relative name is taken in the script directory of the settings");
    script->add_flag("--tk", a->tk, "Run it as a TK script with its own event loop (needs a display)");
    script->add_option("--horoscope", a->horoscopes,
                       "A horoscope file that answers the next open-file dialog of the script (repeatable)");
    script->add_flag("--menu", a->menu, "List the Custom entries of menu_tcl_tk.ini");
    script->add_option_function<int>("--custom", [a](const int& p) { a->custom = p; },
                                     "Run the Custom entry at this position, as TCL or TK as it says");
    script->add_flag("--json", a->json, "JSON output of --menu and --commands");
    script->add_flag("--commands", a->commands, "List the script commands with their usage messages");
    script->add_flag("--reference", a->reference,
                     "Write the command reference (Markdown, examples run) to FILE, or to standard output");
    script->callback([a, &ctx] {
        if (a->reference) {
            write_reference(a->file, ctx);
            return;
        }
        if (a->commands) {
            print_commands(a->json);
            return;
        }
        if (a->file.empty() && !a->menu && !a->custom) {
            ctx.fail(kExitBadInput, str(Str::ScriptNoFile), str(Str::ScriptErrorCaption));
            return;
        }
        ctx.exit_code = run_script(*a, ctx);
    });
}

}  // namespace tellurim
