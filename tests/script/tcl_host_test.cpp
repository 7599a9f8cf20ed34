// The Tcl host with a real interpreter: templates, the first commands and their exact
// messages, failure reports and whole TCL runs.
#include <gtest/gtest.h>
#include <tcl.h>

#include <filesystem>

#include "common/temp_dir.h"
#include "files/interp_texts.h"
#include "script/tcl_host.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;
using testing_data::TempDir;
using testing_data::write_text;

const std::string kSample = std::string(TELLURIM_TEST_DATA_DIR) + "/interp/sample.txt";

class TclHost : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(kSample, m_dir / "sample.txt");
        fs::create_directory(m_dir / "private");
        SilentMessages silent;
        m_list = load_interp_list(m_dir.str("private"), m_dir.str("base"), silent);
        ASSERT_EQ(replace_interp_files(m_list, {{1, m_dir.str("sample.txt"), {}, 0}}), std::nullopt);
        m_context.messages = &m_messages;
        m_context.interp_files = &m_list;
        m_context.error_text = &m_run_text;
        m_context.output_text = &m_run_text;
        m_context.echo_to_stdout = false;
        m_interp = TclInterpreter::create(m_context, ScriptKind::Tcl);
        ASSERT_TRUE(m_interp);
    }
    // Evaluates `script`; the code, then the result.
    std::pair<int, std::string> eval(const std::string& script) {
        const int code = Tcl_EvalEx(m_interp->get(), script.c_str(), -1, TCL_EVAL_GLOBAL);
        return {code, Tcl_GetStringResult(m_interp->get())};
    }

    TempDir m_dir;
    InterpList m_list;
    RecordingMessages m_messages;
    std::string m_run_text;
    ScriptContext m_context;
    std::unique_ptr<TclInterpreter> m_interp;
};

TEST_F(TclHost, Templates) {
    struct Case { const char* text; bool ok; const char* run_text; } cases[] = {
        {"no tags at all", true, "no tags at all"},
        {"a<? PutTxt -nonewline x ?>b", true, "axb"},
        {"a<? set v 1 ?>", true, "a"},  // the code's result is not written
        {"a<? PutTxt x", false, "Mismatch between open and close tcl tag <? and >? a<? PutTxt x"},
        {"a<? error boom ?>b",
         false,
         "a\r\nboom\r\n *** errorInfo *** \r\nboom\n    while executing\n\"error boom \"\r\n Line: 1 (from 1)\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_run_text.clear();
        EXPECT_EQ(expand_template(c.text, m_interp->get(), m_run_text, m_run_text), c.ok);
        EXPECT_EQ(m_run_text, c.run_text);
    }
}

TEST_F(TclHost, Commands) {
    struct Case { const char* script; int code; const char* result; const char* run_text; } cases[] = {
        {"PutTxt", TCL_ERROR, "***Error*** Usage: PutTxt [-nonewline] [-noprint] string", nullptr},
        {"PutTxt -bad x", TCL_ERROR, "***Error*** Usage: PutTxt [-nonewline] [-noprint] string", nullptr},
        {"PutTxt hello", TCL_OK, "hello", "hello\r\n"},
        {"PutTxt -noprint -nonewline x", TCL_OK, "x", ""},
        {"GetLang", TCL_OK, "US", ""},
        {"GetLang x", TCL_ERROR, "***Error*** Usage: GetLang ", nullptr},
        {"SetPRDebug -on", TCL_OK, "1", "Debug is on\n"},
        {"SetPRDebug; SetPRDebug", TCL_OK, "0", "Debug is on\n"},
        {"SetPRDebug -off", TCL_OK, "0", ""},
        {"SetPRDebug on", TCL_ERROR, "Usage: SetPRDebug {-on|-off}", nullptr},
        {"SetPRDebug -on -off", TCL_ERROR, "Usage: SetPRDebug {-on|-off} ", nullptr},
        {"GetPRDebug 1", TCL_ERROR, "*** Error *** GetPRDebug needs no parameters ", nullptr},
        {"nfii", TCL_OK, "4", ""},
        {"nfii x", TCL_ERROR, "*** Error *** nfii: if present, first argument must be a number ", nullptr},
        {"nfii 9", TCL_ERROR, "*** Error *** nfii: cannot find file ", nullptr},
        {"AstroIdStr2nTxt mars", TCL_OK, "1", ""},
        {"AstroIdStr2nTxt Mars 1", TCL_OK, "3", ""},
        {"AstroIdStr2nTxt nope", TCL_ERROR, "***Error*** : AstroIdStr2nTxt file= 1 idstr = nope ", nullptr},
        {"AstroIdStr2nTxt mars x", TCL_ERROR, "***Error*** AstroIdStr2nTxt cannot get interpretation file number", nullptr},
        {"PutAstroTxt 4", TCL_OK, "1", "last oneLast x entry.\n"},
        {"PutAstroTxt 1 -nocomments", TCL_OK, "1", "Mars in Aries\nEnergy.  Courage.\n"},
        {"PutAstroTxt mars 1 -fromidstr -notitle -nocomments -idstr", TCL_OK, "1", "\"mars\"\nEnergy.  Courage.\n"},
        {"PutAstroTxt nope -fromidstr", TCL_OK, "1", "PutAstroText: Interpretation not found for nope \r\n"},
        {"PutAstroTxt mars 7 -fromidstr", TCL_ERROR, "***Error*** : PutAstroTxt file= 7 idstr = mars ", nullptr},
        {"PutAstroTxt x", TCL_ERROR, "***Error*** : first must by a number of paragraph ", nullptr},
        {"PutAstroTxt 0", TCL_ERROR, "***Error*** : first text paragraph number must start at 1. ", nullptr},
        {"PutAstroTxt 1 7", TCL_ERROR, "***Error*** : no interpretation file found ", nullptr},
        {"PutAstroTxt 9", TCL_ERROR,
         "***Error*** : cannot read tellurim paragraph text n° = 9 in interpretation file n° = 1. ", nullptr},
        {"RebuildInterpTxtIndex", TCL_OK, "", ""},
        {"RebuildInterpTxtIndex x", TCL_ERROR, "***Error*** Name need no parameter ", nullptr},
        {"exit 3; PutTxt after", TCL_OK, "after", "after\r\n"},  // exit is refused and the script goes on
        {"catch {GetLang x} m; set m", TCL_OK, "***Error*** Usage: GetLang ", "***Error*** Usage: GetLang "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        m_run_text.clear();
        m_context.debug = 0;
        auto [code, result] = eval(c.script);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(result, c.result);
        // A command's error stands in the run text too.
        EXPECT_EQ(m_run_text, c.run_text ? c.run_text : c.result);
    }
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0],
              (Message{"Direct call to exit function not allowed, please use destroy on the main window or return",
                       "Error", MessageIcon::Error}));
}

TEST_F(TclHost, TemplateFailureInsideAParagraph) {
    write_text(m_dir / "sample.txt", "<a name=x>T</a>before <? error inner ?> after");
    m_run_text.clear();
    auto [code, result] = eval("PutAstroTxt 1");
    EXPECT_EQ(code, TCL_ERROR);
    EXPECT_EQ(result, "***Error*** : PutAstroTxt: sub script failed. ");
    EXPECT_EQ(m_run_text.rfind("Tbefore \r\ninner\r\n *** errorInfo *** \r\ninner\n", 0), 0u) << m_run_text;
    EXPECT_EQ(m_run_text.find(" after"), std::string::npos);
}

class TclRun : public ::testing::Test {
protected:
    ScriptRunRequest request(const std::string& name) {
        ScriptRunRequest r;
        r.script_name = name;
        r.options.paths.tcl_script_dir = m_dir.str("scripts");
        r.messages = &m_messages;
        r.echo_to_stdout = false;
        r.show_run_text = [this](const std::string& text) {
            m_shown.push_back(text);
            return true;
        };
        return r;
    }
    TempDir m_dir;
    RecordingMessages m_messages;
    std::vector<std::string> m_shown;
};

TEST_F(TclRun, FailureReportAndLookup) {
    fs::create_directories(m_dir / "scripts" / "dir.tcl");
    const std::string path = write_text(m_dir / "scripts" / "fails.tcl", "PutTxt hi\nerror boom\n");
    EXPECT_EQ(run_tcl_script(request("fails.tcl")), ScriptRunResult::Failed);
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0], "hi\r\n\r\n" + path + "\r\n\r\nboom\r\n *** errorInfo *** \r\nboom\n    while executing\n"
                          "\"error boom\"\r\n Line: 2 (from 1)\r\n");
    EXPECT_EQ(m_messages.messages.back(), (Message{"Error running TCL script", "Error", MessageIcon::Warning}));

    // An unreadable script leaves no report of its own.
    EXPECT_EQ(run_tcl_script(request(m_dir.str("scripts") + "/dir.tcl")), ScriptRunResult::Failed);
    EXPECT_EQ(m_shown.back(), "No informations available");

    m_messages.messages.clear();
    EXPECT_EQ(run_tcl_script(request("missing.tcl")), ScriptRunResult::Failed);
    ASSERT_EQ(m_messages.messages.size(), 2u);
    EXPECT_EQ(m_messages.messages[0], (Message{m_dir.str("scripts") + "/missing.tcl",
                                               "Check your configuration. File not find:", MessageIcon::Warning}));
    EXPECT_EQ(run_tcl_script(request("  ")), ScriptRunResult::Failed);  // blank: nothing to look up
    EXPECT_EQ(m_messages.messages.size(), 3u);
}

TEST_F(TclRun, OneTclRunAtATime) {
    fs::create_directory(m_dir / "scripts");
    write_text(m_dir / "scripts" / "ok.tcl", "PutTxt done");
    ScriptRunRequest r = request("ok.tcl");
    std::optional<ScriptRunResult> nested;
    r.show_run_text = [&](const std::string& text) {
        m_shown.push_back(text);
        nested = run_tcl_script(request("ok.tcl"));
        return true;
    };
    EXPECT_EQ(run_tcl_script(r), ScriptRunResult::Succeeded);
    EXPECT_EQ(nested, ScriptRunResult::Ignored);
    EXPECT_EQ(m_shown, std::vector<std::string>{"done\r\n"});
    EXPECT_TRUE(m_messages.messages.empty());
}

}  // namespace
}  // namespace tellurim
