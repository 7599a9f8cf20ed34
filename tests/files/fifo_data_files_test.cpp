// Every loader of a data file meets a FIFO at its path and treats it as a missing file. A
// loader that blocked would hang here: after a few seconds the test opens the FIFO's other
// end to let it go, and fails.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>

#include "astro/stars.h"
#include "files/aspects_file.h"
#include "files/db_mapping.h"
#include "files/directories.h"
#include "files/hindu_aspects_file.h"
#include "files/horoscope_file.h"
#include "files/stars_file.h"
#include "files/text_import.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;

TEST(FifoDataFiles, RefusedLikeAMissingFile) {
    const fs::path dir = fs::temp_directory_path() / ("tellurim-fifo-" + std::to_string(::getpid()));
    fs::create_directories(dir / "tellurim" / "2.4.7");
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    struct Row {
        const char* file;                // the FIFO, relative to `dir`
        std::function<bool()> refused;   // loads and says whether the file was taken as missing
    } rows[] = {
        {"aspects.pra",
         [&] {
             RecordingMessages m;
             return load_aspect_table((dir / "aspects.pra").string(), m).status == AspectsLoadStatus::Defaults;
         }},
        {"hindus_aspects.ini",
         [&] {
             RecordingMessages m;
             return load_hindu_aspects(dir.string(), m).created;
         }},
        {"stars.spra",
         [&] {
             StarCatalogue c;
             return !load_star_catalogue((dir / "stars.spra").string(), c);
         }},
        {"horoscope.xml",
         [&] {
             RecordingMessages m;
             HoroscopeFileData data;
             return load_horoscope_file((dir / "horoscope.xml").string(), data, m) == HoroscopeFileStatus::CannotOpen;
         }},
        {"tellurim/2.4.7/registry", [&] { return !read_directory_value("private_dir").has_value(); }},
        {"mapping.ini", [&] { return !load_mapping((dir / "mapping.ini").string()).has_value(); }},
        {"import.txt",
         [&] {
             RecordingMessages m;
             ImportRequest request{(dir / "import.txt").string(), dir.string(), "", "\\t", false};
             return run_import(request, ImportEnvironment{}, m, nullptr, nullptr).failed;
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const fs::path fifo = dir / r.file;
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        auto done = std::async(std::launch::async, r.refused);
        if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // lets the blocked reader go
            if (fd >= 0) ::close(fd);
            ADD_FAILURE() << "the loader blocked on the FIFO";
        }
        EXPECT_TRUE(done.get());
        fs::remove(fifo);
    }
    ::unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tellurim
