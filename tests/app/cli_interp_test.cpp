// tellurim interp ... and tellurim script ...: the interpretation list, the script runs and
// the script menu from the command line, with the sample texts and script of data/.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli_run.h"
#include "common/temp_dir.h"

namespace tellurim {
namespace {

using testing_cli::run;
using testing_data::TempDir;
using testing_data::write_text;

const std::string kSample = std::string(TELLURIM_TEST_DATA_DIR) + "/interp/sample.txt";

class CliScripting : public ::testing::Test {
protected:
    testing_cli::CliRun tellurim(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", m_dir.str("private"), "--horoscopes-dir", m_dir.str("horo")};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    TempDir m_dir;
};

TEST_F(CliScripting, InterpretationList) {
    auto list = tellurim({"interp", "list", "--json"});
    ASSERT_EQ(list.code, kExitOk);
    auto j = nlohmann::json::parse(list.out);
    ASSERT_EQ(j.size(), 3u);  // the default list: the shipped texts of data/txtinterpretation/us
    for (int i = 0; i < 3; ++i) EXPECT_EQ(j[i]["state"], 0);
    EXPECT_EQ(j[2]["entries"], 225);

    ASSERT_EQ(tellurim({"interp", "add", kSample, "--id", "7"}).code, kExitOk);
    // A listed file that disappears keeps its entry, with state 1.
    const std::string gone = write_text(m_dir / "gone.txt", "<a name=x></a>text\n");
    ASSERT_EQ(tellurim({"interp", "add", gone, "--id", "8"}).code, kExitOk);
    std::filesystem::remove(gone);
    EXPECT_EQ(tellurim({"interp", "find", "7", "Mars"}).out, "3\n");
    auto show = tellurim({"interp", "show", "7", "1", "--json"});
    ASSERT_EQ(show.code, kExitOk);
    EXPECT_EQ(nlohmann::json::parse(show.out),
              (nlohmann::json{{"id", 7}, {"entry", 1}, {"identifier", "\"mars\""}, {"title", "Mars in Aries"},
                              {"text", "Mars in Aries\nEnergy.  Courage.\n"}}));
    EXPECT_EQ(tellurim({"interp", "show", "7", "1", "--no-title", "--idstr", "--keep-comments"}).out,
              "\"mars\"\nEnergy. <!-- outer <!-- inner --> still outer --> Courage.\n");

    struct Case { std::vector<std::string> args; int code; std::string message; } cases[] = {
        {{"interp", "add", kSample}, kExitBadInput, "Duplicated file was found."},
        {{"interp", "add", m_dir.str("none.txt")}, kExitBadInput, "Error: file does not exist: " + m_dir.str("none.txt")},
        {{"interp", "find", "7", "mArs"}, kExitFailure, "Not found: mArs"},
        {{"interp", "find", "9", "mars"}, kExitFailure, "Cannot find file name from id 9"},
        {{"interp", "show", "8", "1"}, kExitFailure, " Error opening file: " + gone},
        {{"interp", "delete", "9"}, kExitFailure, "Cannot find file name from id 9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        auto out = tellurim(c.args);
        EXPECT_EQ(out.code, c.code);
        ASSERT_FALSE(out.messages.empty());
        EXPECT_EQ(out.messages.back(), (Message{c.message, "Error", MessageIcon::Error}));
    }
    for (const char* id : {"1", "2", "3", "8"}) EXPECT_EQ(tellurim({"interp", "delete", id}).code, kExitOk);
    auto last = tellurim({"interp", "delete", "7"});
    EXPECT_EQ(last.code, kExitBadInput);
    EXPECT_EQ(last.messages.back().text, "Empty list not allowed.");
}

TEST_F(CliScripting, ScriptFailuresAndMenu) {
    const std::string bad = write_text(m_dir / "bad.tcl", "PutTxt first\nnosuchcommand\n");
    auto failed = tellurim({"script", bad});
    EXPECT_EQ(failed.code, kExitFailure);
    EXPECT_EQ(failed.out.rfind("first\r\n\r\n" + bad + "\r\n\r\ninvalid command name \"nosuchcommand\"\r\n", 0), 0u);
    EXPECT_EQ(failed.messages.back(), (Message{"Error running TCL script", "Error", MessageIcon::Warning}));

    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    ::unsetenv("DISPLAY");
    auto tk = tellurim({"script", "--tk", bad});
    if (display) ::setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(tk.code, kExitFailure);
    EXPECT_EQ(tk.messages.back().text, "A TK script needs a display: DISPLAY is not set.");

    auto menu = tellurim({"script", "--menu", "--json"});
    ASSERT_EQ(menu.code, kExitOk);
    auto j = nlohmann::json::parse(menu.out);
    ASSERT_EQ(j.size(), 4u);
    EXPECT_EQ(j[3], (nlohmann::json{{"position", 3}, {"file", "hindu_horoscope_tk.tcl"},
                                    {"text", "Draw hindu horoscope..."}, {"kind", "TK"}}));
    EXPECT_EQ(tellurim({"script", "--custom", "0"}).code, kExitOk);  // interpre.tcl, the README's script
    auto commands = nlohmann::json::parse(tellurim({"script", "--commands", "--json"}).out);
    EXPECT_EQ(commands[3], (nlohmann::json{{"name", "PutTxt"},
                                           {"usage", "***Error*** Usage: PutTxt [-nonewline] [-noprint] string"},
                                           {"needs_horoscope", false}}));
    auto missing = tellurim({"script", "--custom", "9"});
    EXPECT_EQ(missing.code, kExitBadInput);
    EXPECT_EQ(missing.messages.back().text, "No Custom entry at position 9");
}

// Ctrl-C stops a script that loops forever; the run text written before is still printed.
TEST_F(CliScripting, InterruptedLoopStillShowsTheRunText) {
    const std::string loop = write_text(m_dir / "loop.tcl", "PutTxt before\nwhile 1 {}\n");
    int out_pipe[2];
    ASSERT_EQ(::pipe(out_pipe), 0);
    const std::string exe = std::string(TELLURIM_BIN_DIR) + "/tellurim";
    const std::string priv = m_dir.str("private");
    const std::string home = m_dir.str("home");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out_pipe[1], 1);
        ::close(out_pipe[0]);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        ::execl(exe.c_str(), exe.c_str(), "--private-dir", priv.c_str(), "--horoscopes-dir", home.c_str(), "script",
                loop.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out_pipe[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ::kill(pid, SIGINT);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out_pipe[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
    ::close(out_pipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitFailure);
    EXPECT_EQ(out.rfind("before\r\n\r\n" + loop + "\r\n\r\nInterrupted (Ctrl-C)\r\n", 0), 0u) << out;
}

}  // namespace
}  // namespace tellurim
