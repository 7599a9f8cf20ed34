// The command line end to end from transcripts: each file of tests/data/cli runs its commands
// in order, in a private and a horoscopes directory of its own, and checks what the user sees.
// A transcript line starts with a word that says what it does:
//   # ...               a comment
//   let NAME VALUE      {NAME} stands for VALUE in the lines after it ({dir} is the
//                       transcript's directory, {source} the source tree)
//   env NAME VALUE      sets an environment variable until the transcript ends
//   need PATH           skips the transcript when PATH (generated data) is missing
//   write PATH TEXT     writes TEXT to the file PATH, making its directory
//   serve DIR           starts the local geocoding service (tools/geocode-server.py) on the
//                       answers of DIR until the transcript ends: {https} is its address,
//                       {server} its directory (cert.pem, requests.log)
//   $ ARGS              runs tellurim ARGS; blanks separate the arguments, `...` quotes one
//   ? CODE              the exit status (0 when no line says)
//   > TEXT              a line of the output: the output is exactly the > lines given
//   ^ TEXT, ~ TEXT      the output begins with, holds TEXT
//   not TEXT            the output does not hold TEXT
//   nothing             the output is empty
//   = FILE              the output is the golden file tests/data/FILE (TELLURIM_UPDATE_GOLDEN=1
//                       rewrites the golden files from the program's output)
//   file PATH           the output checks after it look at the file PATH instead
//   j POINTER JSON      the JSON output's value at POINTER is JSON
//   j POINTER ~ X TOL   ... is the number X within TOL
//   ! TEXT, !^ TEXT     the last message's text is, begins with TEXT
//   !* TEXT, !N TEXT    one of the messages, the N-th message (from 1) has the text TEXT
//   @ TEXT, @N TEXT     the last message's, the N-th message's caption is TEXT
//   quiet, messages N   no message at all, N messages
// Texts take \n, \r, \t, \\ and \xHH escapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <unistd.h>

#include "cli_run.h"
#include "common/data_table.h"
#include "common/temp_dir.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        if (c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
    }
    return out;
}

std::vector<std::string> split_arguments(const std::string& line) {
    std::vector<std::string> args;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        const bool quoted = line[i] == '`';
        const std::size_t start = quoted ? i + 1 : i;
        const std::size_t end = line.find(quoted ? '`' : ' ', start);
        args.push_back(unescape(line.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        i = end == std::string::npos ? line.size() : end + 1;
    }
    return args;
}

class Transcript : public ::testing::TestWithParam<std::string> {
protected:
    void TearDown() override {
        for (const std::string& name : m_env) ::unsetenv(name.c_str());
        if (m_server_pid > 0) ::kill(m_server_pid, SIGTERM);
    }
    std::string expand(std::string line) const {
        for (const auto& [name, value] : m_vars)
            for (std::size_t at; (at = line.find("{" + name + "}")) != std::string::npos;)
                line.replace(at, name.size() + 2, value);
        return line;
    }
    // The output the checks look at: the command's, or the file named by "file".
    const std::string& subject() const { return m_file ? *m_file : m_run.out; }
    const nlohmann::json& json() {
        if (!m_json) m_json = nlohmann::json::parse(m_run.out, nullptr, false);
        return *m_json;
    }
    void golden(const std::string& name) {
        const std::string path = testing_data::data_path(name);
        if (std::getenv("TELLURIM_UPDATE_GOLDEN")) testing_data::write_text(path, subject());
        EXPECT_EQ(subject(), testing_data::read_text(path)) << "golden file " << path
                                                            << " (TELLURIM_UPDATE_GOLDEN=1 rewrites it)";
    }
    void step(const std::string& word, const std::string& text) {
        const std::vector<Message>& m = m_run.messages;
        if (word == "need") {
            if (!fs::exists(text)) GTEST_SKIP() << text << " is missing: run tools/make-data.sh";
        } else if (word == "let" || word == "env" || word == "write") {
            const std::size_t blank = text.find(' ');
            const std::string name = text.substr(0, blank), value = blank == std::string::npos ? "" : text.substr(blank + 1);
            if (word == "let") m_vars[name] = value;
            if (word == "env") m_env.push_back(name), ::setenv(name.c_str(), value.c_str(), 1);
            if (word == "write") {
                fs::create_directories(fs::path(name).parent_path());
                testing_data::write_text(name, unescape(value));
            }
        } else if (word == "serve") {
            const std::string dir = m_vars["dir"] + "/server";
            const std::string command = "python3 " TELLURIM_SOURCE_DIR "/tools/geocode-server.py --answers '" + text +
                                        "' --dir '" + dir + "' --parent " + std::to_string(::getpid()) + " >/dev/null 2>&1 &";
            ASSERT_EQ(std::system(command.c_str()), 0);
            for (int i = 0; i < 200 && !fs::exists(dir + "/pid"); ++i) ::usleep(50000);
            ASSERT_TRUE(fs::exists(dir + "/pid")) << "the local geocoding service did not start";
            m_vars["https"] = "https://127.0.0.1:" + testing_data::read_text(dir + "/port");
            m_vars["server"] = dir;
            m_server_pid = std::stoi(testing_data::read_text(dir + "/pid"));
        } else if (word == "$") {
            std::vector<std::string> args = {"--private-dir", m_vars["dir"] + "/private", "--horoscopes-dir",
                                             m_vars["dir"] + "/horoscopes"};
            for (std::string& a : split_arguments(text)) args.push_back(std::move(a));
            m_run = testing_cli::run(args);
            m_code_checked = false;
            m_lines.reset();
            m_file.reset();
            m_json.reset();
        } else if (word == "?") {
            EXPECT_EQ(m_run.code, std::stoi(text));
            m_code_checked = true;
        } else if (word == ">") {
            m_lines = m_lines.value_or("") + unescape(text) + "\n";
        } else if (word == "^") {
            EXPECT_EQ(subject().substr(0, unescape(text).size()), unescape(text));
        } else if (word == "~") {
            EXPECT_NE(subject().find(unescape(text)), std::string::npos) << unescape(text) << "\nnot in:\n" << subject();
        } else if (word == "not") {
            EXPECT_EQ(subject().find(unescape(text)), std::string::npos) << unescape(text);
        } else if (word == "nothing") {
            EXPECT_EQ(subject(), "");
        } else if (word == "=") {
            golden(text);
        } else if (word == "file") {
            finish_lines();
            m_file = testing_data::read_text(text);
        } else if (word == "j") {
            ASSERT_FALSE(json().is_discarded()) << m_run.out;
            std::istringstream in(text);
            std::string pointer, value;
            in >> pointer;
            std::getline(in >> std::ws, value);
            const nlohmann::json& got = json().at(nlohmann::json::json_pointer(pointer));
            if (value.rfind("~ ", 0) == 0) {
                std::istringstream numbers(value.substr(2));
                double x = 0, tolerance = 0;
                numbers >> x >> tolerance;
                EXPECT_NEAR(got.get<double>(), x, tolerance) << pointer;
            } else {
                EXPECT_EQ(got, nlohmann::json::parse(value)) << pointer;
            }
        } else if (word == "!" || word == "!^" || word == "@") {
            ASSERT_FALSE(m.empty()) << "no message";
            const std::string want = unescape(text);
            const std::string& got = word == "@" ? m.back().caption : m.back().text;
            EXPECT_EQ(word == "!^" ? got.substr(0, want.size()) : got, want);
        } else if (word.size() > 1 && (word[0] == '!' || word[0] == '@') && std::isdigit(static_cast<unsigned char>(word[1]))) {
            const std::size_t n = std::stoul(word.substr(1));
            ASSERT_LE(n, m.size()) << ::testing::PrintToString(m);
            EXPECT_EQ(word[0] == '!' ? m[n - 1].text : m[n - 1].caption, unescape(text));
        } else if (word == "!*") {
            bool told = false;
            for (const Message& x : m) told = told || x.text == unescape(text);
            EXPECT_TRUE(told) << unescape(text) << ::testing::PrintToString(m);
        } else if (word == "quiet" || word == "messages") {
            EXPECT_EQ(m.size(), word == "quiet" ? 0u : std::stoul(text)) << ::testing::PrintToString(m);
        } else {
            ADD_FAILURE() << "unknown transcript line: " << word;
        }
    }
    void finish_lines() {
        if (m_lines) {
            EXPECT_EQ(subject(), *m_lines);
        }
        m_lines.reset();
    }
    void finish_command() {
        finish_lines();
        if (!m_code_checked) {
            EXPECT_EQ(m_run.code, kExitOk) << ::testing::PrintToString(m_run.messages);
        }
        m_code_checked = true;
    }

    std::map<std::string, std::string> m_vars;
    std::vector<std::string> m_env;
    testing_cli::CliRun m_run{};
    bool m_code_checked = true;
    std::optional<std::string> m_lines, m_file;
    std::optional<nlohmann::json> m_json;
    pid_t m_server_pid = 0;  // the local geocoding service of "serve"
};

TEST_P(Transcript, Runs) {
    testing_data::TempDir dir;
    m_vars = {{"dir", dir.str()}, {"source", TELLURIM_SOURCE_DIR}};
    std::ifstream in(testing_data::data_path("cli/" + GetParam() + ".txt"));
    ASSERT_TRUE(in) << GetParam();
    int number = 0;
    std::string command;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        line = expand(line);
        const std::size_t blank = line.find(' ');
        const std::string word = line.substr(0, blank);
        if (word == "$") {
            SCOPED_TRACE(::testing::Message() << GetParam() << ".txt: " << command);
            finish_command();
            command = line;
        }
        SCOPED_TRACE(::testing::Message() << GetParam() << ".txt:" << number << ": " << command);
        step(word, blank == std::string::npos ? "" : line.substr(blank + 1));
        if (IsSkipped()) return;
    }
    SCOPED_TRACE(::testing::Message() << GetParam() << ".txt, at the end: " << command);
    finish_command();
}

std::vector<std::string> transcripts() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(testing_data::data_path("cli")))
        if (e.path().extension() == ".txt") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cli, Transcript, ::testing::ValuesIn(transcripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace tellurim
