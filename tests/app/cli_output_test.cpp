// What the files of the command line meet that a transcript cannot set up: FIFOs and
// directories in their place, an import killed or stopped by a signal, a saved file edited
// on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli_run.h"

namespace tellurim {
namespace {

using testing_cli::run;
namespace fs = std::filesystem;

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-clifiles-" + std::to_string(::getpid()));
        fs::create_directories(m_dir / "out");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    testing_cli::CliRun cli(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--private-dir", (m_dir / "private").string(), "--horoscopes-dir",
                                         (m_dir / "horoscopes").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    fs::path m_dir;
};

// Every output path of the command line meets a FIFO (which would block the writer) or a
// directory: refused before anything is computed, and left as it was.
TEST_F(CliFiles, OutputPathsThatAreNotRegularFilesAreRefused) {
    const std::string fifo = (m_dir / "f.txt").string(), dir = (m_dir / "out").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string line = "Doe;John;M;1980-05-17 14:30:00.00 GD;Paris;;;France;0h09'23.73\"E;48d51'24.00\"N;"
                             "1980-05-17 12:30:00.00 GD;\r\n";
    const std::string input = (m_dir / "in.txt").string();
    std::ofstream(input, std::ios::binary) << line;
    ASSERT_EQ(cli({"import", input, "--to", dir, "--ephemeris", "low"}).code, kExitOk);
    const std::string xml = (m_dir / "out" / "Doe_John.xml").string();
    const std::vector<std::string> chart = {"chart", "--name", "Doe", "--ut", "2000-01-01 12:00:00", "--lon", "2dE",
                                            "--lat", "48dN", "--ephemeris", "low"};
    auto with = [](std::vector<std::string> a, std::vector<std::string> more) {
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const std::string refused = "Not a regular file, nothing is written into it";
    struct Row {
        std::vector<std::string> args;
        std::string caption;
    } rows[] = {
        {with(chart, {"--save", fifo}), refused},
        {with(chart, {"--report", fifo}), refused},
        {with(chart, {"--save", dir}), refused},
        {with(chart, {"--wheel", (m_dir / "f.png").string()}), refused},
        {{"open", xml, "--report", fifo}, refused},
        {{"import", input, "--to", dir, "--log", fifo}, "Not a valid path for log file:"},
        {{"export", "text", xml, "--out", fifo}, refused},
    };
    ASSERT_EQ(::mkfifo((m_dir / "f.png").c_str(), 0600), 0);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args[0] + " " + r.args[r.args.size() - 2] + " " + r.args.back());
        auto run = cli(r.args);
        EXPECT_EQ(run.code, kExitBadInput);
        EXPECT_TRUE(run.out.empty());
        ASSERT_FALSE(run.messages.empty());
        EXPECT_EQ(run.messages.back().caption, r.caption);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    // A PNG wheel over 16384 pixels a side is refused, naming the limit.
    auto big = cli(with(chart, {"--wheel", (m_dir / "w.png").string(), "--size", "16385x100"}));
    EXPECT_EQ(big.code, kExitBadInput);
    EXPECT_EQ(big.messages.back().text,
              "The wheel is too large: a PNG wheel has at most 16384 pixels a side: 16385x100");
}

// An import killed at random moments leaves only whole horoscope files; one stopped by SIGTERM
// ends as after Ctrl-C, the log's end frame written.
TEST_F(CliFiles, KilledImportLeavesWholeFilesAndSigtermClosesTheLog) {
    std::string lines;
    for (int i = 0; i < 600; ++i)
        lines += "Doe;John;M;1980-05-17 14:30:00.00 GD;Paris;;;France;0h09'23.73\"E;48d51'24.00\"N;"
                 "1980-05-17 12:30:00.00 GD;\r\n";
    const std::string input = (m_dir / "in.txt").string(), log = (m_dir / "log.txt").string();
    std::ofstream(input, std::ios::binary) << lines;
    std::vector<std::string> args = {std::string(TELLURIM_BIN_DIR) + "/tellurim", "--private-dir",
                                     (m_dir / "private").string(), "--horoscopes-dir", (m_dir / "private").string(),
                                     "import", input, "--to", (m_dir / "out").string(), "--log", log,
                                     "--ephemeris", "low"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    // Runs the import and sends `signal` after `ms` milliseconds, or once the log shows that
    // the worker runs (`ms` < 0).
    auto run_until = [&](int ms, int signal) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::freopen("/dev/null", "w", stderr);
            ::freopen("/dev/null", "w", stdout);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        const std::size_t logged = read(log).size();
        for (int waited = 0; ms < 0 && waited < 20000 && read(log).find("Importing line 2", logged) == std::string::npos;
             waited += 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(ms, 0)));
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    };
    for (int ms : {150, 400, 700}) run_until(ms, SIGKILL);
    const int status = run_until(-1, SIGTERM);
    std::vector<std::string> texts;
    for (const auto& e : fs::directory_iterator(m_dir / "out"))
        if (e.path().extension() == ".xml") texts.push_back(read(e.path()));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].substr(texts[0].size() - 14), "</horoscope>\r\n");
    for (const std::string& t : texts) EXPECT_EQ(t, texts[0]);  // the same birth on every line
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitFailure) << "status " << status;
    const std::string written = read(log), frame = "\r\n-------   End of import -------: ";
    const std::size_t end = written.rfind(frame);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(written.find("\r\n", end + frame.size()), written.size() - 2);  // the frame ends the log
}

// A text holding a tag of the horoscope file is refused where it enters; a file holding a value
// that chart refuses is refused by open and export with chart's message after the path.
TEST_F(CliFiles, SavedChartsReadBackOrAreRefused) {
    const std::vector<std::string> birth = {"chart", "--name", "Tag", "--ut", "2000-01-01 12:00:00", "--lon", "2",
                                            "--lat", "48", "--ephemeris", "low", "--save"};
    auto args = birth;
    args.insert(args.end(), {"--county", "<latitude>10d00'00.00\"S</latitude>"});
    auto refused = cli(args);
    EXPECT_EQ(refused.code, kExitBadInput);
    ASSERT_FALSE(refused.messages.empty());
    EXPECT_EQ(refused.messages.back().text, "County cannot hold a tag of the horoscope file: <latitude>");
    const fs::path file = m_dir / "horoscopes" / "Tag_.xml";
    EXPECT_FALSE(fs::exists(file));

    ASSERT_EQ(cli(birth).code, kExitOk);
    std::ifstream in(file, std::ios::binary);
    std::string xml((std::istreambuf_iterator<char>(in)), {});
    in.close();
    xml.replace(xml.find("<latitude>48"), 12, "<latitude>91");
    std::ofstream(file, std::ios::binary) << xml;
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"open", file.string()},
          std::vector<std::string>{"export", "text", file.string(), "--out", (m_dir / "e.txt").string()}}) {
        auto read = cli(command);
        EXPECT_EQ(read.code, kExitFailure) << command[0];
        ASSERT_FALSE(read.messages.empty());
        EXPECT_EQ(read.messages.front(),
                  (Message{file.string() + ": Not a valid latitude.", "Bad horoscope file format:", MessageIcon::Warning}));
    }
}


}  // namespace
}  // namespace tellurim
