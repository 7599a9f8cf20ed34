#include "script/script_commands.h"

#include <fmt/format.h>
#include <tcl.h>

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "files/interp_texts.h"
#include "script/command_call.h"
#include "script/commands_chart.h"
#include "script/commands_sky.h"
#include "script/tcl_host.h"

using namespace tellurim::script_chart;  // NOLINT: the handlers named in the rows
using namespace tellurim::script_sky;    // NOLINT

namespace tellurim {
namespace {

// Interpretation texts are 8-bit files; a text that is not UTF-8 is read as Latin-1, so that
// what a script writes is always valid UTF-8.
bool is_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

std::string as_utf8(std::string s) {
    if (is_utf8(s)) return s;
    std::string out;
    out.reserve(s.size() * 2);
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void write_channel(ScriptContext& ctx, int which, std::string_view s) {
    Tcl_Channel channel = Tcl_GetStdChannel(which);
    if (!channel) return;
    Tcl_Obj* obj = Tcl_NewStringObj(s.data(), static_cast<int>(s.size()));
    Tcl_IncrRefCount(obj);
    Tcl_WriteObj(channel, obj);
    Tcl_DecrRefCount(obj);
    if (ctx.debug) Tcl_Flush(channel);
}

// --- run control ---------------------------------------------------------------------------

int cmd_exit(Call& c) {
    c.ctx.messages->show(Message{str(Str::ScriptExitRefused), str(Str::ScriptErrorCaption), MessageIcon::Error});
    return c.ok_empty();
}

int cmd_set_debug(Call& c) {
    const std::string w = c.objc > 1 ? c.word(1) : std::string();
    if (w == "-on") c.ctx.debug = 1;
    else if (w == "-off") c.ctx.debug = 0;
    else if (w.empty()) c.ctx.debug = c.ctx.debug ? 0 : 1;
    else return c.fail(Str::CmdSetPRDebugBadWord);
    if (c.ctx.debug) c.write_run_text(text(Str::CmdDebugIsOn));
    return c.ok_int(c.ctx.debug);
}

int cmd_get_debug(Call& c) { return c.ok_int(c.ctx.debug); }

// --- writing text --------------------------------------------------------------------------

int cmd_put_txt(Call& c) {
    bool newline = true;
    bool print = true;
    for (int i = 1; i + 1 < c.objc; ++i) {
        const std::string w = c.word(i);
        if (w == "-nonewline") newline = false;
        else if (w == "-noprint") print = false;
        else if (!w.empty()) return c.fail(Str::CmdPutTxtUsage);
    }
    const std::string s = c.word(c.objc - 1);
    if (print) {
        c.write_run_text(s);
        if (newline) c.write_run_text("\r\n");
        if (c.ctx.echo_to_stdout) write_channel(c.ctx, TCL_STDOUT, s);
    }
    return c.ok_text(s);
}

// Brings the index of file `id` up to date and writes paragraph `number` through the
// template expansion.
int put_paragraph(Call& c, std::uint32_t id, int number, const ExtractFlags& flags) {
    InterpList* list = c.ctx.interp_files;
    if (!list || list->files.empty()) return c.fail(Str::CmdPutAstroTxtEmptyList);
    if (!list->find(id)) return c.fail(Str::CmdPutAstroTxtNoFile);
    if (!update_interp_index(*list, id)) return c.fail(Str::CmdPutAstroTxtUpdateFailed);
    InterpExtract entry = extract_interp_entry(*list, id, number, flags);
    if (!entry.text) return c.fail(fmt::format(fmt::runtime(text(Str::CmdPutAstroTxtReadFormat)), number, id));
    std::string ignored;
    std::string& errors = c.ctx.error_text ? *c.ctx.error_text : ignored;
    std::string& output = c.ctx.output_text ? *c.ctx.output_text : ignored;
    if (!expand_template(as_utf8(std::move(*entry.text)), c.interp, errors, output))
        return c.fail(Str::CmdPutAstroTxtSubScript);
    return c.ok_int(1);
}

int cmd_put_astro_txt(Call& c) {
    bool from_idstr = false;
    ExtractFlags flags{true, false, true, true};
    std::uint32_t id = 1;
    for (int i = 2; i < c.objc; ++i) {
        const std::string w = c.word(i);
        if (w == "-fromidstr") from_idstr = true;
        else if (w == "-notitle") flags.title = false;
        else if (w == "-nocomments") flags.keep_comments = false;
        else if (w == "-idstr") flags.identifier = true;
        else if (w == "-notxt") flags.text = false;
        else if (auto n = c.integer(i); n && i == 2) id = static_cast<std::uint32_t>(*n);
        else if (!w.empty()) return c.fail(Str::CmdPutAstroTxtUsage);
    }
    if (!from_idstr) {
        const std::optional<int> number = c.integer(1);
        if (!number) return c.fail(Str::CmdPutAstroTxtNotNumber);
        if (*number < 1) return c.fail(Str::CmdPutAstroTxtBelowOne);
        return put_paragraph(c, id, *number, flags);
    }
    const std::string idstr = c.word(1);
    if (!c.ctx.interp_files) return c.fail(Str::CmdPutAstroTxtEmptyList);
    InterpFind found = find_interp_entry(*c.ctx.interp_files, id, idstr);
    if (!found.error.empty())
        return c.fail(fmt::format(fmt::runtime(text(Str::CmdPutAstroTxtNotFoundFormat)), id, idstr));
    if (!found.found) {
        c.write_run_text(fmt::format(fmt::runtime(text(Str::CmdPutAstroTxtUnknownFormat)), idstr));
        return c.ok_int(1);
    }
    return put_paragraph(c, id, found.number + 1, flags);
}

int cmd_idstr_to_number(Call& c) {
    const std::string idstr = c.word(1);
    std::uint32_t id = 1;
    if (c.objc > 2) {
        const std::optional<int> n = c.integer(2);
        if (!n) return c.fail(Str::CmdAstroIdStr2nTxtNoFile);
        id = static_cast<std::uint32_t>(*n);
    }
    InterpFind found;
    if (c.ctx.interp_files) found = find_interp_entry(*c.ctx.interp_files, id, idstr);
    if (!found.found) return c.fail(fmt::format(fmt::runtime(text(Str::CmdAstroIdStr2nTxtNotFoundFormat)), id, idstr));
    // Paragraphs are numbered from 1, as PutAstroTxt takes them.
    return c.ok_long(found.number + 1);
}

int cmd_nfii(Call& c) {
    std::uint32_t id = 1;
    if (c.objc > 1) {
        const std::optional<int> n = c.integer(1);
        if (!n) return c.fail(Str::CmdNfiiNotNumber);
        id = static_cast<std::uint32_t>(*n);
    }
    const int count = c.ctx.interp_files && c.ctx.interp_files->find(id) ? interp_entry_count(*c.ctx.interp_files, id) : -1;
    if (count < 0) return c.fail(Str::CmdNfiiNoFile);
    return c.ok_long(count);
}

int cmd_rebuild(Call& c) {
    InterpList* list = c.ctx.interp_files;
    if (!list || list->files.empty()) return c.fail(Str::CmdRebuildNoList);
    if (!rebuild_interp_indexes(*list)) return c.fail(Str::CmdRebuildFailed);
    return c.ok_empty();
}

int cmd_get_lang(Call& c) { return c.ok_text(text(Str::CmdLanguage)); }

// The command table. ---------------------------------------------------------------------
//   name                     horoscope  min max  usage message
constexpr CommandRow kCommands[] = {
    {"exit",                  false,     0,  -1,  kNoUsage,                     cmd_exit},
    {"SetPRDebug",            false,     1,   2,  Str::CmdSetPRDebugUsage,      cmd_set_debug},
    {"GetPRDebug",            false,     1,   1,  Str::CmdGetPRDebugUsage,      cmd_get_debug},
    {"PutTxt",                false,     2,  -1,  Str::CmdPutTxtUsage,          cmd_put_txt},
    {"PutAstroTxt",           false,     2,  -1,  Str::CmdPutAstroTxtUsage,     cmd_put_astro_txt},
    {"AstroIdStr2nTxt",       false,     2,   3,  Str::CmdAstroIdStr2nTxtUsage, cmd_idstr_to_number},
    {"nfii",                  false,     1,   2,  Str::CmdNfiiUsage,            cmd_nfii},
    {"RebuildInterpTxtIndex", false,     1,   1,  Str::CmdRebuildUsage,         cmd_rebuild},
    {"GetLang",               false,     1,   1,  Str::CmdGetLangUsage,         cmd_get_lang},
// The horoscope list, birth data, signs, houses, lords, longitudes and aspects.
#include "script/commands_chart.inc"
// Time, lunations, angles, Hindu analysis, fixed stars and the run's settings.
#include "script/commands_sky.inc"
};
constexpr std::size_t kCommandCount = std::size(kCommands);

// The one dispatcher: the horoscope check, then the word count, then the handler.
int dispatch(const CommandRow& row, ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
    Call call{*static_cast<ScriptContext*>(data), interp, objc, objv};
    if (row.needs_horoscope && !call.ctx.current_horoscope()) return call.fail(Str::CmdNoHoroscope);
    if (row.min_words > 0 && (objc < row.min_words || (row.max_words >= 0 && objc > row.max_words)))
        return call.fail(row.usage);
    return row.run(call);
}

// Each command's client data is the run's context itself; the row comes from the procedure.
template <std::size_t I>
int command_proc(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
    return dispatch(kCommands[I], data, interp, objc, objv);
}

template <std::size_t... I>
constexpr std::array<Tcl_ObjCmdProc*, kCommandCount> make_procs(std::index_sequence<I...>) {
    return {&command_proc<I>...};
}
constexpr auto kProcs = make_procs(std::make_index_sequence<kCommandCount>());

}  // namespace

void register_script_commands(Tcl_Interp* interp, ScriptContext& context) {
    for (std::size_t i = 0; i < kCommandCount; ++i)
        Tcl_CreateObjCommand(interp, kCommands[i].name, kProcs[i], &context, nullptr);
}

void unregister_script_commands(Tcl_Interp* interp) {
    for (const CommandRow& row : kCommands) Tcl_DeleteCommand(interp, row.name);
}

std::vector<ScriptCommandInfo> script_command_reference() {
    std::vector<ScriptCommandInfo> out;
    for (const CommandRow& row : kCommands)
        out.push_back({row.name, row.usage == kNoUsage ? std::string_view() : text(row.usage), row.needs_horoscope});
    return out;
}

}  // namespace tellurim
