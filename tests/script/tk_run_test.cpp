// TK runs on a worker slot, with a real Tk under an X server that the test starts itself (Xvfb).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "common/sample_script_run.h"
#include "common/temp_dir.h"
#include "core/worker_threads.h"
#include "script/tcl_host.h"

namespace tellurim {
namespace {

using testing_data::TempDir;
using testing_data::write_text;

// An Xvfb on a free display, named in DISPLAY, for the tests of this file only.
class Xvfb {
public:
    Xvfb() {
        int fds[2];
        if (::access("/usr/bin/Xvfb", X_OK) != 0 || ::pipe(fds) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                    "640x480x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        ::close(fds[0]);
        if (!number.empty()) ::setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    ~Xvfb() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

private:
    pid_t m_pid = -1;
};

class TkRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_xvfb = new Xvfb; }
    static void TearDownTestSuite() {
        delete s_xvfb;
        s_xvfb = nullptr;
    }
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (install xvfb)";
    }
    // Runs `script` as a TK script and waits for its slot; true when it succeeded.
    bool run(const std::string& script) { return run_file(write_text(m_dir / "run.tk", script)); }
    bool run_file(const std::string& path, ScriptDialogs dialogs = {}) {
        ScriptRunRequest r;
        r.script_name = path;
        r.options = testing_data::sample_options();
        r.dialogs = std::move(dialogs);
        r.messages = &m_messages;
        r.workers = &m_workers;
        r.echo_to_stdout = false;
        r.show_run_text = [this](const std::string& text) {
            m_shown.push_back(text);
            return true;
        };
        const int slot = start_tk_script(r);
        EXPECT_GE(slot, 0);
        if (slot < 0) return false;
        m_workers.wait(slot);
        return !m_workers.is_cancelled(slot);
    }
    TempDir m_dir;
    RecordingMessages m_messages;
    WorkerThreads m_workers;
    std::vector<std::string> m_shown;
    static inline Xvfb* s_xvfb = nullptr;
};

TEST_F(TkRun, EventLoopUntilTheLastWindowCloses) {
    // The script ends at once; the run lasts until its event loop destroys the main window.
    EXPECT_TRUE(run("button .b -text Hello -command {}; pack .b\n"
                    "after 100 {.b invoke; destroy .}\n"
                    "exit\n"));
    EXPECT_TRUE(m_shown.empty());  // a TK run's text is never shown
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0].text,
              "Direct call to exit function not allowed, please use destroy on the main window or return");
}

TEST_F(TkRun, FailureReportWithLineFeeds) {
    const std::string path = m_dir.str("run.tk");
    EXPECT_FALSE(run("after 50 {destroy .}\nerror boom\n"));
    ASSERT_EQ(m_shown.size(), 1u);
    EXPECT_EQ(m_shown[0], "\n" + path + "\n\nboom\n *** errorInfo *** \nboom\n    while executing\n\"error boom\"\n"
                          " Line: 2 (from 1)\n");
    EXPECT_EQ(m_messages.messages.back(), (Message{"Error running TCL script", "Error", MessageIcon::Warning}));
}

// The shipped Tk script opens the sample chart through the open-file dialog, draws it and
// closes by itself when TELLURIM_TK_CLOSE_AFTER asks it to.
TEST_F(TkRun, ShippedHinduChart) {
    ::setenv("TELLURIM_TK_CLOSE_AFTER", "200", 1);
    ScriptDialogs dialogs;
    dialogs.open_horoscope = [](const std::string&) -> std::optional<std::string> {
        return std::string(TELLURIM_TEST_DATA_DIR) + "/files/sample_horoscope.xml";
    };
    EXPECT_TRUE(run_file(std::string(TELLURIM_SOURCE_DIR) + "/data/tcltkscript/hindu_horoscope_tk.tcl", dialogs));
    ::unsetenv("TELLURIM_TK_CLOSE_AFTER");
    EXPECT_TRUE(m_shown.empty()) << m_shown.front();
    EXPECT_TRUE(m_messages.messages.empty());
}

}  // namespace
}  // namespace tellurim
