#include "script/tcl_host.h"

#include <fmt/format.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tcl.h>
#include <tk.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "core/paths.h"
#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"
#include "core/worker_threads.h"
#include "script/script_commands.h"

extern char** environ;

namespace tellurim {
namespace {

// A 500-character buffer of the report holds 499 characters and its terminator.
constexpr std::size_t kReportUnits = 500;

std::string cut(std::string_view s) { return truncate_utf16_units(s, kReportUnits); }

// The interpreter of the TCL run in progress, for cancel_tcl_run() from another thread.
std::mutex g_run_mutex;
Tcl_Interp* g_running = nullptr;
// Only one TCL run at a time.
std::atomic<bool> g_tcl_run_active{false};

void find_executable_once() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string exe = join_path(executable_dir(), "tellurim");
        Tcl_FindExecutable(exe.c_str());
    });
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string tcl_library_dir() {
    if (const char* env = std::getenv("TCL_LIBRARY"); env && *env) return env;
    return TELLURIM_TCL_LIBRARY;
}

std::string tk_library_dir() {
    if (const char* env = std::getenv("TK_LIBRARY"); env && *env) return env;
    return TELLURIM_TK_LIBRARY;
}

std::unique_ptr<TclInterpreter> TclInterpreter::create(ScriptContext& context, ScriptKind kind) {
    MessageSink& messages = *context.messages;
    find_executable_once();
    Tcl_Interp* interp = Tcl_CreateInterp();
    if (!interp) {
        messages.tell("", str(Str::ScriptCreateInterpCaption), MessageIcon::Error);
        return nullptr;
    }
    Tcl_Preserve(interp);
    Tcl_SetVar2Ex(interp, "tcl_library", nullptr, Tcl_NewStringObj(tcl_library_dir().c_str(), -1), TCL_GLOBAL_ONLY);
    if (Tcl_Init(interp) == TCL_ERROR) {
        messages.tell(str(Str::ScriptTclInitError), str(Str::ScriptErrorCaption), MessageIcon::Error);
        const char* info = Tcl_GetVar2(interp, "errorInfo", nullptr, TCL_GLOBAL_ONLY);
        const std::string error_info = info ? info : "";
        if (error_info.find("Can't find a usable init.tcl") == std::string::npos)
            messages.tell(error_info, str(Str::ScriptInitInterpCaption), MessageIcon::Error);
    }
    if (!Tcl_SetVar2(interp, "tcl_rcFileName", nullptr, "~/tclshrc.tcl", TCL_GLOBAL_ONLY))
        messages.tell(str(Str::ScriptRcFileError), str(Str::ScriptInitErrorCaption), MessageIcon::Error);
    register_script_commands(interp, context);
    return std::unique_ptr<TclInterpreter>(new TclInterpreter(interp, kind));
}

bool TclInterpreter::init_tk(MessageSink& messages) {
    Tcl_SetVar2Ex(m_interp, "tk_library", nullptr, Tcl_NewStringObj(tk_library_dir().c_str(), -1), TCL_GLOBAL_ONLY);
    if (Tk_Init(m_interp) != TCL_ERROR) return true;
    messages.tell(str(Str::ScriptTkInitError), str(Str::ScriptErrorCaption), MessageIcon::Error);
    return false;
}

TclInterpreter::~TclInterpreter() {
    // What the script wrote to the standard channels reaches them before the run ends: the
    // process may end without finalizing Tcl, which would drop the buffered bytes.
    for (int which : {TCL_STDOUT, TCL_STDERR})
        if (Tcl_Channel channel = Tcl_GetStdChannel(which)) Tcl_Flush(channel);
    Tcl_ResetResult(m_interp);
    unregister_script_commands(m_interp);
    Tcl_UnsetVar2(m_interp, "tcl_library", nullptr, TCL_GLOBAL_ONLY);
    if (m_kind == ScriptKind::Tk) Tcl_UnsetVar2(m_interp, "tk_library", nullptr, TCL_GLOBAL_ONLY);
    Tcl_Release(m_interp);
    Tcl_DeleteInterp(m_interp);
}

void append_failure_report(Tcl_Interp* interp, const std::string* script_path, ReportLineEnd end,
                           std::string& report) {
    const char* nl = end == ReportLineEnd::CrLf ? "\r\n" : "\n";
    const std::string result = cut(Tcl_GetStringResult(interp));
    std::string first;
    if (script_path) first += nl + *script_path + nl;
    first += nl + result + nl;
    const char* info = Tcl_GetVar2(interp, "errorInfo", nullptr, TCL_GLOBAL_ONLY);
    std::string second = std::string(" *** errorInfo *** ") + nl + (info ? info : "") + nl + " Line: " +
                         std::to_string(Tcl_GetErrorLine(interp)) + " (from 1)" + nl;
    report += cut(first);
    report += cut(second);
}

bool run_script_file(const std::string& path, Tcl_Interp* interp, std::string& failure_report, ReportLineEnd end) {
    const auto text = read_regular_text(path);
    if (!text) return false;
    Tcl_Obj* script = Tcl_NewStringObj(text->data(), static_cast<int>(text->size()));
    Tcl_IncrRefCount(script);
    const int code = Tcl_EvalObjEx(interp, script, TCL_EVAL_GLOBAL);
    Tcl_DecrRefCount(script);
    if (code != TCL_ERROR) return true;
    append_failure_report(interp, &path, end, failure_report);
    return false;
}

bool expand_template(std::string_view text, Tcl_Interp* interp, std::string& errors, std::string& output) {
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = text.find("<?", pos);
        if (open == std::string_view::npos) {
            output.append(text.substr(pos));
            return true;
        }
        const std::size_t close = text.find("?>", open + 2);
        if (close == std::string_view::npos) {
            errors += tellurim::text(Str::ScriptTagMismatch);
            output.append(text.substr(pos));
            return false;
        }
        output.append(text.substr(pos, open - pos));
        const std::string_view code = text.substr(open + 2, close - open - 2);
        Tcl_Obj* script = Tcl_NewStringObj(code.data(), static_cast<int>(code.size()));
        Tcl_IncrRefCount(script);
        const int status = Tcl_EvalObjEx(interp, script, TCL_EVAL_GLOBAL);
        Tcl_DecrRefCount(script);
        if (status == TCL_ERROR) {
            append_failure_report(interp, nullptr, ReportLineEnd::CrLf, errors);
            Tcl_ResetResult(interp);
            return false;
        }
        Tcl_ResetResult(interp);
        pos = close + 2;
        if (pos == text.size()) return true;
    }
}

int report_command_error(ScriptContext& context, Tcl_Interp* interp, std::string_view message) {
    context.message = cut(message);
    Tcl_SetObjResult(interp, Tcl_NewStringObj(context.message.data(), static_cast<int>(context.message.size())));
    if (context.error_text) *context.error_text += context.message;
    if (Tcl_Channel err = Tcl_GetStdChannel(TCL_STDERR)) {
        Tcl_Obj* obj = Tcl_NewStringObj(context.message.data(), static_cast<int>(context.message.size()));
        Tcl_IncrRefCount(obj);
        Tcl_WriteObj(err, obj);
        Tcl_DecrRefCount(obj);
        if (context.debug) Tcl_Flush(err);
    }
    return TCL_ERROR;
}

std::optional<std::string> resolve_script_name(const std::string& name, const std::string& script_dir,
                                               MessageSink& messages) {
    const std::size_t last = name.find_last_not_of(' ');
    if (last == std::string::npos) return std::nullopt;
    std::string path = name.substr(0, last + 1);
    if (path[0] != '/') path = join_path(script_dir, path);
    if (!file_exists(path)) {
        messages.tell(path, str(Str::ScriptFileNotFindCaption), MessageIcon::Warning);
        return std::nullopt;
    }
    return path;
}

namespace {

std::unique_ptr<ScriptContext> make_context(const ScriptRunRequest& request, std::string& run_text) {
    auto context = std::make_unique<ScriptContext>();
    context->messages = request.messages;
    context->workers = request.workers;
    context->stars = request.stars;
    context->aspects = request.aspects;
    context->options = request.options;
    context->interp_files = request.interp_files;
    context->dialogs = request.dialogs;
    context->echo_to_stdout = request.echo_to_stdout;
    context->horoscopes_dir = request.horoscopes_dir;
    context->hindu_aspects = request.hindu_aspects;
    context->error_text = &run_text;
    context->output_text = &run_text;
    return context;
}

void tell_run_failed(MessageSink& messages) {
    messages.tell(str(Str::ScriptRunError), str(Str::ScriptErrorCaption), MessageIcon::Warning);
}

}  // namespace

ScriptRunResult run_tcl_script(const ScriptRunRequest& request) {
    bool expected = false;
    if (!g_tcl_run_active.compare_exchange_strong(expected, true)) return ScriptRunResult::Ignored;
    struct Guard {
        ~Guard() { g_tcl_run_active = false; }
    } guard;
    MessageSink& messages = *request.messages;
    const auto path = resolve_script_name(request.script_name, request.options.paths.tcl_script_dir, messages);
    if (!path) {
        tell_run_failed(messages);
        return ScriptRunResult::Failed;
    }
    std::string run_text;
    std::string failure_report;
    auto context = make_context(request, run_text);
    bool ok = false;
    if (auto interp = TclInterpreter::create(*context, ScriptKind::Tcl)) {
        {
            std::lock_guard lock(g_run_mutex);
            g_running = interp->get();
        }
        ok = run_script_file(*path, interp->get(), failure_report);
        {
            std::lock_guard lock(g_run_mutex);
            g_running = nullptr;
        }
        Tcl_ResetResult(interp->get());
        interp.reset();
        if (!ok) {
            if (failure_report.empty()) failure_report = str(Str::ScriptNoInformation);
            run_text += failure_report;
        }
        if (!run_text.empty() && request.show_run_text && !request.show_run_text(run_text)) ok = false;
    }
    context.reset();
    if (!ok) tell_run_failed(messages);
    return ok ? ScriptRunResult::Succeeded : ScriptRunResult::Failed;
}

void cancel_tcl_run() {
    std::lock_guard lock(g_run_mutex);
    if (g_running) Tcl_CancelEval(g_running, Tcl_NewStringObj(text(Str::ScriptInterrupted).data(), -1), nullptr,
                                  TCL_CANCEL_UNWIND);
}

namespace {

// The start block of a TK run, owned by its worker.
struct TkStart {
    ScriptRunRequest request;
};

void tk_run(void* data) {
    std::unique_ptr<TkStart> start(static_cast<TkStart*>(data));
    const ScriptRunRequest& request = start->request;
    WorkerThreads* workers = request.workers;
    const int slot = workers ? workers->current_slot() : -1;
    MessageSink& messages = *request.messages;
    char previous_dir[4096];
    const bool have_previous = ::getcwd(previous_dir, sizeof previous_dir) != nullptr;
    bool ok = false;
    const auto path = resolve_script_name(request.script_name, request.options.paths.tcl_script_dir, messages);
    if (path) {
        // The script finds its own files beside itself.
        const std::string dir = path->substr(0, path->find_last_of('/') + 1);
        if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
            // Stays in the current directory; the script may still run.
        }
        std::string run_text;
        std::string failure_report;
        auto context = make_context(request, run_text);
        if (auto interp = TclInterpreter::create(*context, ScriptKind::Tk)) {
            if (interp->init_tk(messages)) {
                ok = run_script_file(*path, interp->get(), failure_report, ReportLineEnd::Lf);
                if (!failure_report.empty() && request.show_run_text) request.show_run_text(failure_report);
                while (Tk_GetNumMainWindows() > 0) Tcl_DoOneEvent(0);
                Tcl_ResetResult(interp->get());
            }
        }
        if (!ok && slot >= 0) workers->signal_cancel(slot);
    } else if (slot >= 0) {
        workers->signal_cancel(slot);
    }
    if (have_previous && ::chdir(previous_dir) != 0) {
        // Nothing more to do: the directory it left is gone.
    }
    if (!ok) tell_run_failed(messages);
    // The thread's own Tcl state (notifier, channels, caches) goes with the run.
    Tcl_FinalizeThread();
    // The worker table sets the slot's done event when this routine returns.
}

}  // namespace

int start_tk_script(const ScriptRunRequest& request) {
    if (!request.workers) return -1;
    auto start = std::make_unique<TkStart>(TkStart{request});
    const int slot = request.workers->start(&tk_run, start.get());
    if (slot >= 0) (void)start.release();
    return slot;
}

bool show_in_viewer(const std::string& viewer, const std::string& private_dir, const std::string& text,
                    MessageSink& messages) {
    std::string file = join_path(private_dir, "outXXXXXX");
    const int fd = ::mkstemp(file.data());
    const std::string command = viewer + " " + file;
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) written = false;
        else done += static_cast<std::size_t>(n);
    }
    if (fd >= 0) ::close(fd);
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(viewer.c_str()), file.data(), nullptr};
    if (!written || ::posix_spawnp(&pid, viewer.c_str(), nullptr, nullptr, argv, environ) != 0) {
        messages.tell(command, str(Str::ScriptProcessCaption), MessageIcon::Warning);
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        messages.tell(command, str(Str::ScriptProcessCaption), MessageIcon::Warning);
        return false;
    }
    return true;
}

}  // namespace tellurim
