// The command layer: random calls of the system's script commands with random argument lists,
// evaluated in one interpreter that holds the sample horoscope (and the stars catalogue) as a
// script run would. Every call must end in TCL_OK or TCL_ERROR with its message: never a crash,
// a sanitizer report or a leak. Between inputs the run goes back to its starting state (the
// sample chart alone in the list and current, the sample options, an empty run text).
//
// Input: a sequence of calls. A call is one byte choosing the command from the table (0xFF: the
// next byte is the length of the command's name, which follows), one byte for the number of
// arguments (0 to 9), then per argument one byte: below 0xC0 a word of the dictionary below,
// otherwise the next (byte & 0x3F) bytes of the input as the word itself.
#include <tcl.h>

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/sample_script_run.h"
#include "fuzz_util.h"
#include "script/script_commands.h"

using namespace tellurim;

namespace {

// Words the commands look for, numbers at and around their ranges, and texts of the forms
// they parse.
constexpr std::array<std::string_view, 72> kWords{
    "",  "0", "1", "2", "3", "6", "7", "11", "12", "13", "14", "15", "17", "18", "19", "-1", "-2147483648",
    "2147483647", "4294967296", "1e308", "-1e308", "0.5", "-0.5", "3.14159", "6.3", "1.5707963", "Inf", "-Inf",
    "NaN", "x", "-mov", "-fix", "-rasi", "-nav", "-shsd", "-shod", "-center", "-nocenter", "-first", "-second",
    "-third", "-ET", "-UT", "-date", "-BR", "-AR", "-true", "-false", "-pen", "-brush", "-retro", "-pseudoAlpha",
    "-name", "-noformat", "-degrees", "-elevation", "-azimuth", "-place_longitude", "Placidus", "Hindu", "Aries",
    "06/06/1944", "06h00'00\"", "1944-06-06 06:00:00", "-134-02-03 12:00:00.00 JD", "2d20'56.00\"E",
    "48d51'24.00\"N", "-nh", "-datehourUT", "-place_latitude", "2451545.0", "-nonewline"};

// Commands that would leave the run or touch files outside it are given no real target: the
// open-file dialog is cancelled, there are no interpretation files.
testing_data::SampleScriptRun& run() {
    static testing_data::SampleScriptRun* r = [] {
        setenv("TELLURIM_LIB_DIR", TELLURIM_FUZZ_EPHEMERIS_DIR, 0);
        auto* made = new testing_data::SampleScriptRun(std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra");
        made->context.dialogs.open_horoscope = [](const std::string&) { return std::optional<std::string>(); };
        // Command errors also go to Tcl's standard error channel: kept out of the fuzzer's log.
        Tcl_SetStdChannel(nullptr, TCL_STDERR);
        Tcl_SetStdChannel(nullptr, TCL_STDOUT);
        return made;
    }();
    return *r;
}

const std::vector<std::string>& command_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const ScriptCommandInfo& c : script_command_reference()) out.emplace_back(c.name);
        return out;
    }();
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing_data::SampleScriptRun& r = run();
    static const std::unique_ptr<Horoscope> sample =
        r.context.current_horoscope() ? std::make_unique<Horoscope>(*r.context.current_horoscope()) : nullptr;
    static const Options options = r.context.options;
    // Back to the starting state: the chart and the options are copied again only when a
    // command may have changed them (a Set... command, or the list changed).
    static bool dirty = true;
    if (dirty || r.context.horoscopes.size() != 1 || r.context.current != 0) {
        r.context.horoscopes.clear();
        r.context.current = -1;
        if (sample) {
            r.context.horoscopes.push_back(std::make_unique<Horoscope>(*sample));
            r.context.current = 0;
        }
        r.context.options = options;
        dirty = false;
    }
    r.context.debug = 0;
    r.run_text.clear();

    std::size_t pos = 0;
    const auto next = [&]() -> std::uint8_t { return pos < size ? data[pos++] : 0; };
    const std::vector<std::string>& names = command_names();
    const auto raw = [&](std::size_t n) {
        n = std::min(n, size - pos);
        std::string w(reinterpret_cast<const char*>(data + pos), n);
        pos += n;
        return w;
    };
    for (int calls = 0; pos < size && calls < 16; ++calls) {
        const std::uint8_t c = next();
        std::vector<std::string> words{c == 0xFF ? raw(next()) : names[c % names.size()]};
        dirty = dirty || words[0].rfind("Set", 0) == 0 || words[0] == "ComputeHoroscope";
        const int count = next() % 10;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t k = next();
            words.push_back(k < 0xC0 ? std::string(kWords[k % kWords.size()]) : raw(k & 0x3F));
        }
        std::vector<Tcl_Obj*> objv;
        for (const std::string& w : words) {
            Tcl_Obj* o = Tcl_NewStringObj(w.data(), static_cast<int>(w.size()));
            Tcl_IncrRefCount(o);
            objv.push_back(o);
        }
        const int code = Tcl_EvalObjv(r.interp(), static_cast<int>(objv.size()), objv.data(), TCL_EVAL_GLOBAL);
        fuzz::check(code == TCL_OK || code == TCL_ERROR);
        // A failed command says why.
        if (code == TCL_ERROR) fuzz::check(*Tcl_GetStringResult(r.interp()) != '\0');
        for (Tcl_Obj* o : objv) Tcl_DecrRefCount(o);
        Tcl_ResetResult(r.interp());
    }
    return 0;
}
