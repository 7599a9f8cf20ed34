#pragma once
// Runs the tellurim command line in-process with a recording message sink, for the tests of
// the command groups: standard output and error, exit status and every message the user was
// shown.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "app/cli.h"
#include "common/odbc_env.h"
#include "common/temp_dir.h"

namespace tellurim::testing_cli {

struct CliRun { int code; std::string out; std::vector<Message> messages; std::string err; };

// Every test process gets a home, configuration directory and ODBC files of its own, created
// on the first run and removed at exit: tests run in parallel, and a user's own settings must
// neither change what a test sees nor be changed by it.
inline void isolate_home() {
    static const bool done = [] {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "tellurim-test-home-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return false;
        static const std::string home = pattern;
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        testing_data::use_own_odbc_files(home + "/odbc");
        std::atexit([] { std::error_code ec; std::filesystem::remove_all(home, ec); });
        return true;
    }();
    (void)done;
}

inline CliRun run(std::vector<std::string> args) {
    isolate_home();
    args.insert(args.begin(), "tellurim");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    RecordingMessages messages;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = run_cli(static_cast<int>(argv.size()), argv.data(), &messages);
    std::string out = testing::internal::GetCapturedStdout();
    return {code, std::move(out), messages.messages, testing::internal::GetCapturedStderr()};
}

// A command-line test with a directory of its own, where `tellurim` keeps the private and
// the horoscopes directories.
class CliTest : public ::testing::Test {
protected:
    CliRun tellurim(std::vector<std::string> args) {
        args.insert(args.begin(), {"--private-dir", dir.str("private"), "--horoscopes-dir", dir.str("horoscopes")});
        return run(std::move(args));
    }
    testing_data::TempDir dir;
};

}  // namespace tellurim::testing_cli
