#pragma once
// The host of Tcl and Tk scripts: one interpreter per run, created and released in a fixed
// order, with the system's commands registered; a TCL run on the calling thread, a TK run on
// a worker slot with its own Tk event loop; the run text that commands write into; failure
// reports; and the expansion of "<? ... ?>" templates in interpretation texts.
//
// Tcl/Tk 8.6 is used through its C interface only. A Tcl interpreter is used only by the
// thread that created it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/messages.h"
#include "core/options.h"
#include "script/script_context.h"

struct Tcl_Interp;

namespace tellurim {

enum class ScriptKind { Tcl, Tk };

// An interpreter prepared for one run, released by the destructor: the result reset, the
// system's commands removed, "tcl_library" (and for Tk "tk_library") unset, then released and
// deleted.
class TclInterpreter {
public:
    // Creates the interpreter, sets "tcl_library", runs Tcl_Init, sets "tcl_rcFileName" and
    // registers every command with `context` as its client data. Failures of Tcl_Init and of
    // the variables are shown through context.messages and creation goes on; nullptr only
    // when no interpreter can be created ("TCL create interpreter error:").
    static std::unique_ptr<TclInterpreter> create(ScriptContext& context, ScriptKind kind);
    ~TclInterpreter();
    TclInterpreter(const TclInterpreter&) = delete;
    TclInterpreter& operator=(const TclInterpreter&) = delete;

    Tcl_Interp* get() const { return m_interp; }
    // Sets "tk_library" and runs Tk_Init; false (after "Error running TK_Init! Check
    // TK_LIBRARY environment variable.") when Tk cannot start.
    bool init_tk(MessageSink& messages);

private:
    TclInterpreter(Tcl_Interp* interp, ScriptKind kind) : m_interp(interp), m_kind(kind) {}
    Tcl_Interp* m_interp;
    ScriptKind m_kind;
};

// The directories of the system's Tcl and Tk script libraries ("init.tcl", "tk.tcl").
std::string tcl_library_dir();
std::string tk_library_dir();

// Line ends of failure reports: "\r\n" for TCL runs and templates, "\n" for Tk runs.
enum class ReportLineEnd { CrLf, Lf };

// Appends the report of a failed evaluation to `report`: for a script file a line end, its
// path and a line end; then a line end, the result (499 characters at most), a line end;
// then " *** errorInfo *** ", a line end, the global errorInfo and "\r\n Line: N (from 1)\r\n".
// Each half is cut to 499 characters.
void append_failure_report(Tcl_Interp* interp, const std::string* script_path, ReportLineEnd end,
                           std::string& report);

// Reads the whole file and evaluates it at global level. False when the file cannot be read
// or the evaluation fails; the report of a failed evaluation goes to `failure_report`.
bool run_script_file(const std::string& path, Tcl_Interp* interp, std::string& failure_report,
                     ReportLineEnd end = ReportLineEnd::CrLf);

// Writes `text` into `output`, evaluating the Tcl code between each "<?" and the next "?>" in
// place of the tag (its result is not inserted; code writes through PutTxt and PutAstroTxt).
// An unclosed "<?" appends "Mismatch between open and close tcl tag <? and >? " to `errors`
// and the rest of the text unchanged to `output`; failing code appends its report to `errors`
// and stops. False in both cases.
bool expand_template(std::string_view text, Tcl_Interp* interp, std::string& errors, std::string& output);

// Reports a command's error: the message (499 characters at most) becomes the interpreter's
// result and the context's message, is appended to the error text and written to Tcl's
// standard error channel. Returns TCL_ERROR for the command to return.
int report_command_error(ScriptContext& context, Tcl_Interp* interp, std::string_view message);

// Everything a run needs from its caller.
struct ScriptRunRequest {
    std::string script_name;  // absolute, or relative to options.paths.tcl_script_dir
    Options options;          // copied into the run's context
    MessageSink* messages = nullptr;
    WorkerThreads* workers = nullptr;
    const StarCatalogue* stars = nullptr;
    const AspectTable* aspects = nullptr;  // what the run's charts find aspects with
    InterpList* interp_files = nullptr;
    ScriptDialogs dialogs;
    bool echo_to_stdout = true;
    std::string horoscopes_dir;                       // copied into the context
    const HinduAspectTable* hindu_aspects = nullptr;  // the application's, shared
    // Shows a TCL run's run text (or a TK run's failure report); false when it cannot.
    std::function<bool(const std::string& text)> show_run_text;
};

// The script's path: a blank name gives nullopt without a message; a relative name is joined
// to `script_dir`; a path where no file exists is shown with the caption "Check your
// configuration. File not find:" and gives nullopt.
std::optional<std::string> resolve_script_name(const std::string& name, const std::string& script_dir,
                                               MessageSink& messages);

enum class ScriptRunResult { Succeeded, Failed, Ignored };

// Runs a TCL script on the calling thread and shows its run text; "Error running TCL script"
// when it fails. Ignored (without a message) while another TCL run is in progress.
ScriptRunResult run_tcl_script(const ScriptRunRequest& request);

// Starts a TK script on a worker slot and returns the slot, or -1 when no slot is free. The
// run sets its slot's cancel event when it fails, and its done event when it ends.
int start_tk_script(const ScriptRunRequest& request);

// Stops the TCL run in progress, if any, as soon as its script reaches its next command; the
// run text written so far is shown with the failure report. Safe from any thread.
void cancel_tcl_run();

// Shows `text` in an external viewer program: written to a new file "outXXXXXX" in
// `private_dir`, then `viewer FILE` is run and waited for. False, after "Error running
// process (Check path):" with the command, when the program cannot be run.
bool show_in_viewer(const std::string& viewer, const std::string& private_dir, const std::string& text,
                    MessageSink& messages);

}  // namespace tellurim
