#pragma once
// Runs the tellurim command line in-process with a recording message sink, for the tests of
// the command groups: standard output, exit status and every message the user was shown.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli.h"

namespace tellurim::testing_cli {

struct CliRun { int code; std::string out; std::vector<Message> messages; };

inline CliRun run(std::vector<std::string> args) {
    args.insert(args.begin(), "tellurim");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    RecordingMessages messages;
    testing::internal::CaptureStdout();
    const int code = run_cli(static_cast<int>(argv.size()), argv.data(), &messages);
    return {code, testing::internal::GetCapturedStdout(), messages.messages};
}

}  // namespace tellurim::testing_cli
