// Speed of the script host against plain Tcl, in the same run:
//   1. creating and releasing a run's interpreter (the commands registered, Tcl_Init run)
//      against Tcl_CreateInterp + Tcl_Init + Tcl_DeleteInterp alone (what tclsh does);
//   2. finding the last identifier of an index of 10,000 entries (read from the index file)
//      against `lsearch -exact` over a Tcl list of the same 10,000 identifiers in memory;
//   3. expanding a 100 KB template with 1,000 "<? ... ?>" tags against the same expansion
//      written in Tcl (string first, uplevel #0).
// Targets: 20 ms a run, 1 ms a look-up, 50 ms a template. Prints the mean time of each and
// the ratio to the reference.
#include <tcl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/interp_texts.h"
#include "script/tcl_host.h"

using namespace tellurim;

namespace {

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

template <typename F>
double mean_ms(int runs, F&& f) {
    f();  // warm the caches
    const auto t0 = Clock::now();
    for (int i = 0; i < runs; ++i) f();
    return ms_since(t0) / runs;
}

void report(const char* what, double ours, double plain, double target) {
    std::printf("%-44s %9.4f ms   plain Tcl %9.4f ms   ratio %6.2f   target %g ms: %s\n", what, ours, plain,
                ours / plain, target, ours <= target ? "met" : "MISSED");
}

int eval(Tcl_Interp* interp, const std::string& script) {
    return Tcl_EvalEx(interp, script.c_str(), -1, TCL_EVAL_GLOBAL);
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tellurim-bench-scripting";
    fs::remove_all(dir);
    fs::create_directories(dir / "private");
    SilentMessages silent;
    std::string run_text;
    ScriptContext context;
    context.messages = &silent;
    context.error_text = &run_text;
    context.output_text = &run_text;
    context.echo_to_stdout = false;

    // 1. Interpreters.
    const double create_ours = mean_ms(50, [&] { (void)TclInterpreter::create(context, ScriptKind::Tcl); });
    const double create_plain = mean_ms(50, [&] {
        Tcl_Interp* interp = Tcl_CreateInterp();
        Tcl_SetVar2(interp, "tcl_library", nullptr, tcl_library_dir().c_str(), TCL_GLOBAL_ONLY);
        (void)Tcl_Init(interp);
        Tcl_DeleteInterp(interp);
    });
    report("create and release an interpreter", create_ours, create_plain, 20);

    // 2. An index of 10,000 entries.
    constexpr int kEntries = 10000;
    std::string text;
    std::string tcl_list;
    for (int i = 0; i < kEntries; ++i) {
        const std::string id = "planet_" + std::to_string(i % 18) + "_house_" + std::to_string(i);
        text += "<a name=\"" + id + "\">Title " + std::to_string(i) + "</a>\nSome text of the entry.\n";
        tcl_list += id + " ";
    }
    std::ofstream((dir / "big.txt").string(), std::ios::binary) << text;
    InterpList list = load_interp_list((dir / "private").string(), dir.string(), silent);
    if (replace_interp_files(list, {{1, (dir / "big.txt").string(), {}, 0}})) return 1;
    const std::string last = "planet_" + std::to_string((kEntries - 1) % 18) + "_house_" + std::to_string(kEntries - 1);
    int found = -1;
    const double find_ours = mean_ms(200, [&] { found = find_interp_entry(list, 1, last).number; });
    auto interp = TclInterpreter::create(context, ScriptKind::Tcl);
    Tcl_Interp* tcl = interp->get();
    Tcl_SetVar2Ex(tcl, "ids", nullptr, Tcl_NewStringObj(tcl_list.c_str(), -1), TCL_GLOBAL_ONLY);
    eval(tcl, "llength $ids");  // the list form, once
    const std::string search = "lsearch -exact $ids " + last;
    const double find_plain = mean_ms(200, [&] { eval(tcl, search); });
    if (found != kEntries - 1 || std::string(Tcl_GetStringResult(tcl)) != std::to_string(kEntries - 1)) return 1;
    report("find the last of 10,000 identifiers", find_ours, find_plain, 1);

    // 3. A template of 100 KB with 1,000 tags.
    std::string tmpl;
    for (int i = 0; i < 1000; ++i) {
        // 100 bytes a tag with its text: 100 KB in all.
        const std::string tag = "<? PutTxt -nonewline " + std::to_string(i) + " ?>";
        tmpl += tag;
        tmpl.append(100 - tag.size() - 6, 'x');
        tmpl += " text\n";
    }
    const double expand_ours = mean_ms(20, [&] {
        run_text.clear();
        (void)expand_template(tmpl, tcl, run_text, run_text);
    });
    const std::size_t written = run_text.size();
    eval(tcl,
         "proc expand {text} {\n"
         "  set out {}; set pos 0\n"
         "  while {[set open [string first <? $text $pos]] >= 0} {\n"
         "    set close [string first ?> $text [expr {$open + 2}]]\n"
         "    if {$close < 0} break\n"
         "    append out [string range $text $pos [expr {$open - 1}]]\n"
         "    uplevel #0 [string range $text [expr {$open + 2}] [expr {$close - 1}]]\n"
         "    set pos [expr {$close + 2}]\n"
         "  }\n"
         "  append out [string range $text $pos end]\n"
         "}\n");
    Tcl_SetVar2Ex(tcl, "tmpl", nullptr, Tcl_NewStringObj(tmpl.c_str(), static_cast<int>(tmpl.size())), TCL_GLOBAL_ONLY);
    const double expand_plain = mean_ms(20, [&] {
        run_text.clear();
        eval(tcl, "expand $tmpl");
    });
    std::printf("template: %zu bytes, %zu bytes written\n", tmpl.size(), written);
    report("expand a 100 KB template with 1,000 tags", expand_ours, expand_plain, 50);
    interp.reset();
    fs::remove_all(dir);
    return 0;
}
