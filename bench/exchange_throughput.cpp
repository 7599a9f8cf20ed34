// Throughput of the text import, the text export and the database export (SQLite file and a
// throw-away PostgreSQL server, both through ODBC), in horoscopes per second on one worker
// thread, for 10,000 generated births. The peer measured in the same run is the chart
// computation alone (read nothing, write nothing): each ratio says what the file or database
// work costs on top of the computation that every horoscope needs anyway.
//
// Each job is timed by the clock on the wall and by the CPU time of this process (its threads,
// the ephemeris worker included). On a machine shared with other work the second is the
// steadier one, and it is what "horoscopes a second on one core" means; it leaves out the
// database server's own work (PostgreSQL runs in processes of its own).
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fmt/format.h>
#include <fstream>
#include <memory>
#include <random>

#include "astro/compute.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "files/db_export.h"
#include "files/db_mapping.h"
#include "files/odbc.h"
#include "files/horoscope_export.h"
#include "files/options_file.h"
#include "files/text_import.h"
#include "files/db/db_server.h"

using namespace tellurim;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBirths = 10000;

double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Horoscopes a second of a job, by the wall clock and by this process's CPU time.
struct Rate {
    double wall = 0.0;
    double cpu = 0.0;
};

class Stopwatch {
public:
    Stopwatch() : m_wall(Clock::now()), m_cpu(cpu_seconds()) {}
    Rate rate(double count) const {
        return {count / std::chrono::duration<double>(Clock::now() - m_wall).count(), count / (cpu_seconds() - m_cpu)};
    }

private:
    Clock::time_point m_wall;
    double m_cpu;
};

std::string births_text() {
    std::mt19937 rng(10000);
    std::uniform_int_distribution<int> year(1900, 2050), month(1, 12), day(1, 28), hour(0, 23), minute(0, 59),
        lon(-43199, 43199), lat(-216000, 216000);
    std::string text;
    for (int i = 0; i < kBirths; ++i) {
        const std::string date =
            fmt::format("{:04d}-{:02d}-{:02d} {:02d}:{:02d}:00.00 GD", year(rng), month(rng), day(rng), hour(rng), minute(rng));
        const int lo = lon(rng), la = lat(rng);
        text += fmt::format("Name{};First;Woman;{};City;County;State;Country;{}h{:02d}'{:02d}.00\"{};{}d{:02d}'{:02d}.00\"{};{};\r\n",
                            i, date, std::abs(lo) / 3600, std::abs(lo) / 60 % 60, std::abs(lo) % 60, lo < 0 ? 'W' : 'E',
                            std::abs(la) / 3600, std::abs(la) / 60 % 60, std::abs(la) % 60, la < 0 ? 'S' : 'N', date);
    }
    return text;
}

}  // namespace

int main() {
    ::setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);  // the providers are built beside the program
    const std::string dir = testing_db::work_dir();  // also starts the databases
    EphemerisLibrary library;
    if (!library.load(kEphemerisLow)) {
        std::puts("libephlow.so not found");
        return 1;
    }
    WorkerThreads workers;
    SilentMessages quiet;
    Options options = make_default_options(dir);
    options.ephemeris.type = kEphemerisLow;

    const std::string input = dir + "/births.txt";
    std::ofstream(input, std::ios::binary) << births_text();
    fs::create_directories(dir + "/out");

    // Peer: the computation alone, on the same births.
    ImportEnvironment env{&options, &quiet, &workers, &library};
    std::vector<BirthData> births;
    {
        std::ifstream in(input);
        std::string line;
        RecordingMessages said;
        ImportLog log(said, false);
        while (std::getline(in, line)) {
            Horoscope h;
            std::string error;
            if (!import_line(line.substr(0, line.size() - 1), ";", h, log, env, error)) continue;
            BirthData b{h.last_name, h.first_name, h.sex, h.place, h.state, h.country, h.birth_ut, h.birth_local};
            births.push_back(b);
        }
    }
    Stopwatch watch;
    auto h = std::make_unique<Horoscope>();
    for (const auto& b : births) {
        *h = Horoscope{};
        set_and_compute(*h, b, true, options, quiet, workers, library);
    }
    const Rate compute = watch.rate(static_cast<double>(births.size()));

    watch = Stopwatch();
    ImportSummary s = run_import({input, dir + "/out", dir + "/import.log", ";", false}, env, quiet, nullptr, nullptr);
    const Rate import = watch.rate(static_cast<double>(s.imported));

    ExportEnvironment xenv{&options, &quiet, &workers, &library};
    watch = Stopwatch();
    ExportResult text = run_text_export({dir + "/export.txt", ";", s.files}, xenv, nullptr, nullptr);
    const Rate text_rate = watch.rate(static_cast<double>(text.exported));

    std::printf("%d generated births, libephlow.so, one worker thread\n", kBirths);
    std::printf("%-38s %14s %10s %14s %10s\n", "", "per wall second", "vs compute", "per CPU second", "vs compute");
    auto row = [&](const std::string& what, Rate r) {
        std::printf("%-38s %14.0f %9.2fx %14.0f %9.2fx\n", what.c_str(), r.wall, r.wall / compute.wall, r.cpu,
                    r.cpu / compute.cpu);
    };
    row("compute only (peer)", compute);
    row("import (line -> .xml)", import);
    row("export to text (.xml -> line)", text_rate);
    for (const auto& b : testing_db::backends()) {
        if (!b.available) {
            std::printf("%-38s skipped: %s\n", b.name.c_str(), b.why_not.c_str());
            continue;
        }
        testing_db::clear_tables(b.dsn);
        watch = Stopwatch();
        ExportResult r = run_db_export({b.dsn, "", "", b.mapping, ""}, s.files, xenv, nullptr, nullptr);
        const Rate rate = watch.rate(static_cast<double>(r.exported));
        // The batching the export chose for this database: rows per INSERT, one transaction.
        int rows = 0;
        if (auto tables = load_mapping(b.mapping); tables) {
            OdbcConnection c(quiet);
            if (c.connect(b.dsn, "", "") && c.begin_batches(*tables)) rows = c.rows_per_statement();
        }
        row(fmt::format("export to {} ({} rows/INSERT)", b.name, rows), r.failed ? Rate{} : rate);
    }
    return 0;
}
