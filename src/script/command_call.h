#pragma once
// What a command handler sees: one call of a command (its context, interpreter and words) and
// the conversions every command shares. The command table itself is in script_commands.cpp;
// its rows for each group of commands come from that group's .inc file.

#include <tcl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "script/script_context.h"

namespace tellurim {

// One call of a command: objv[0] is the command's name.
struct Call {
    ScriptContext& ctx;
    Tcl_Interp* interp;
    int objc;
    Tcl_Obj* const* objv;

    std::string name() const { return word(0); }
    std::string word(int i) const;
    std::optional<int> integer(int i) const;
    std::optional<long> long_integer(int i) const;
    std::optional<double> real(int i) const;

    // Reports `message` as the command's error (result, run text, standard error) and returns
    // TCL_ERROR.
    int fail(std::string_view message);
    int fail(Str message) { return fail(text(message)); }

    int ok_int(int v);
    int ok_long(long v);
    int ok_double(double v);
    int ok_text(std::string_view s);
    int ok_list(const std::vector<double>& values);
    int ok_empty();

    void write_run_text(std::string_view s);
};

using Handler = int (*)(Call&);

// A command: its name, whether it needs a current horoscope, the word counts it accepts (the
// command word included; max -1 for any number, min 0 for no check) and the message for any
// other count.
struct CommandRow {
    const char* name;
    bool needs_horoscope;
    int min_words;
    int max_words;
    Str usage;
    Handler run;
};

constexpr Str kNoUsage = Str::Count;

// The option words commands share. A command names the words it accepts; the pairs among them
// are checked with the command's name in the message.
enum OptionWord : std::uint32_t {
    kWordMov = 1u << 0,       // "-mov": the movable (tropical) zodiac
    kWordFix = 1u << 1,       // "-fix": the fixed (sidereal) zodiac
    kWordRasi = 1u << 2,      // "-rasi": the birth chart
    kWordNav = 1u << 3,       // "-nav": the navamsa chart
    kWordShsd = 1u << 4,      // "-shsd": signs and houses counted the same way
    kWordShod = 1u << 5,      // "-shod": counted opposite ways
    kWordCenter = 1u << 6,    // "-center": a cusp is the middle of its house
    kWordNoCenter = 1u << 7,  // "-nocenter": a cusp is its beginning
};

// Reads objv[from..] as option words among `accepted` (a set of OptionWord). Empty words are
// skipped. An unknown word, a missing member of a required pair (-mov/-fix, -rasi/-nav,
// -shsd/-shod, when the command accepts the pair) or two words that exclude each other fail
// with the command's message; the result is then nullopt and the error is already reported.
std::optional<std::uint32_t> read_option_words(Call& c, int from, std::uint32_t accepted);

// A planet number 0..count-1 read from word i, checked as unsigned; nullopt when the word is
// not a number (`not_number` is reported) or out of range (`out_of_range`).
std::optional<int> read_planet(Call& c, int i, Str not_number = Str::CmdNotNumber,
                               Str out_of_range = Str::CmdBadPlanet, int count = 18);
// A house number 1..12 read from word i.
std::optional<int> read_house(Call& c, int i, Str not_number = Str::CmdNotNumber,
                              Str out_of_range = Str::CmdBadHouse);

}  // namespace tellurim
