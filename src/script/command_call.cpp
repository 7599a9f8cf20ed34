#include "script/command_call.h"

#include <fmt/format.h>

#include <array>

#include "script/tcl_host.h"

namespace tellurim {

std::string Call::word(int i) const {
    int length = 0;
    const char* s = Tcl_GetStringFromObj(objv[i], &length);
    return std::string(s, static_cast<std::size_t>(length));
}

std::optional<int> Call::integer(int i) const {
    int v = 0;
    if (Tcl_GetIntFromObj(nullptr, objv[i], &v) != TCL_OK) return std::nullopt;
    return v;
}

std::optional<long> Call::long_integer(int i) const {
    long v = 0;
    if (Tcl_GetLongFromObj(nullptr, objv[i], &v) != TCL_OK) return std::nullopt;
    return v;
}

std::optional<double> Call::real(int i) const {
    double v = 0;
    if (Tcl_GetDoubleFromObj(nullptr, objv[i], &v) != TCL_OK) return std::nullopt;
    return v;
}

int Call::fail(std::string_view message) { return report_command_error(ctx, interp, message); }

int Call::ok_int(int v) {
    Tcl_SetObjResult(interp, Tcl_NewIntObj(v));
    return TCL_OK;
}

int Call::ok_long(long v) {
    Tcl_SetObjResult(interp, Tcl_NewLongObj(v));
    return TCL_OK;
}

int Call::ok_double(double v) {
    Tcl_SetObjResult(interp, Tcl_NewDoubleObj(v));
    return TCL_OK;
}

int Call::ok_text(std::string_view s) {
    Tcl_SetObjResult(interp, Tcl_NewStringObj(s.data(), static_cast<int>(s.size())));
    return TCL_OK;
}

int Call::ok_list(const std::vector<double>& values) {
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (double v : values) Tcl_ListObjAppendElement(interp, list, Tcl_NewDoubleObj(v));
    Tcl_SetObjResult(interp, list);
    return TCL_OK;
}

int Call::ok_empty() {
    Tcl_ResetResult(interp);
    return TCL_OK;
}

void Call::write_run_text(std::string_view s) {
    if (ctx.output_text) ctx.output_text->append(s);
}

namespace {

struct WordName {
    std::string_view word;
    OptionWord flag;
};
constexpr std::array<WordName, 8> kWords{{
    {"-mov", kWordMov}, {"-fix", kWordFix}, {"-rasi", kWordRasi}, {"-nav", kWordNav},
    {"-shsd", kWordShsd}, {"-shod", kWordShod}, {"-center", kWordCenter}, {"-nocenter", kWordNoCenter},
}};

// Two words of a pair: both given, or (for a required pair) neither.
struct PairRule {
    std::uint32_t a, b;
    bool required;
    Str missing, both;
};
constexpr std::array<PairRule, 4> kPairs{{
    {kWordMov, kWordFix, true, Str::CmdPairMovFixMissingFormat, Str::CmdPairMovFixBothFormat},
    {kWordRasi, kWordNav, true, Str::CmdPairRasiNavMissingFormat, Str::CmdPairRasiNavBothFormat},
    {kWordShsd, kWordShod, true, Str::CmdPairShsdShodMissingFormat, Str::CmdPairShsdShodBothFormat},
    {kWordCenter, kWordNoCenter, false, Str::Count, Str::CmdPairCenterBothFormat},
}};

}  // namespace

std::optional<std::uint32_t> read_option_words(Call& c, int from, std::uint32_t accepted) {
    std::uint32_t seen = 0;
    const std::string name = c.name();
    const auto fail = [&](Str format, std::string_view extra = {}) -> std::optional<std::uint32_t> {
        c.fail(fmt::format(fmt::runtime(text(format)), name, extra));
        return std::nullopt;
    };
    for (int i = from; i < c.objc; ++i) {
        const std::string w = c.word(i);
        if (w.empty()) continue;
        std::uint32_t flag = 0;
        for (const WordName& known : kWords)
            if (known.word == w && (accepted & known.flag)) flag = known.flag;
        if (!flag) return fail(Str::CmdBadArgumentFormat, w);
        seen |= flag;
    }
    for (const PairRule& pair : kPairs) {
        if ((accepted & (pair.a | pair.b)) != (pair.a | pair.b)) continue;
        if ((seen & pair.a) && (seen & pair.b)) return fail(pair.both);
        if (pair.required && !(seen & (pair.a | pair.b))) return fail(pair.missing);
    }
    if ((seen & kWordCenter) && (seen & kWordNav)) return fail(Str::CmdPairCenterNavFormat);
    if ((seen & kWordNav) && (seen & kWordMov)) return fail(Str::CmdPairNavMovFormat);
    return seen;
}

std::optional<int> read_planet(Call& c, int i, Str not_number, Str out_of_range, int count) {
    const std::optional<int> n = c.integer(i);
    if (!n) {
        c.fail(not_number);
        return std::nullopt;
    }
    if (static_cast<unsigned>(*n) >= static_cast<unsigned>(count)) {
        c.fail(out_of_range);
        return std::nullopt;
    }
    return n;
}

std::optional<int> read_house(Call& c, int i, Str not_number, Str out_of_range) {
    const std::optional<int> n = c.integer(i);
    if (!n) {
        c.fail(not_number);
        return std::nullopt;
    }
    if (*n < 1 || *n > 12) {
        c.fail(out_of_range);
        return std::nullopt;
    }
    return n;
}

}  // namespace tellurim
