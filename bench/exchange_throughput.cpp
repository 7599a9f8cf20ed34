// Throughput of the text import, the text export and the database export (SQLite file and a
// throw-away PostgreSQL server, both through ODBC), in horoscopes per second on one worker
// thread, for 10,000 generated births. The peer measured in the same run is the chart
// computation alone (read nothing, write nothing): each ratio says what the file or database
// work costs on top of the computation that every horoscope needs anyway.
#include <chrono>
#include <cstdlib>
#include <cstdio>
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

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

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
    auto t0 = Clock::now();
    auto h = std::make_unique<Horoscope>();
    for (const auto& b : births) {
        *h = Horoscope{};
        set_and_compute(*h, b, true, options, quiet, workers, library);
    }
    const double compute_rate = static_cast<double>(births.size()) / seconds_since(t0);

    t0 = Clock::now();
    ImportSummary s = run_import({input, dir + "/out", dir + "/import.log", ";", false}, env, quiet, nullptr, nullptr);
    const double import_rate = static_cast<double>(s.imported) / seconds_since(t0);

    ExportEnvironment xenv{&options, &quiet, &workers, &library};
    t0 = Clock::now();
    ExportResult text = run_text_export({dir + "/export.txt", ";", s.files}, xenv, nullptr, nullptr);
    const double text_rate = static_cast<double>(text.exported) / seconds_since(t0);

    std::printf("%d generated births, libephlow.so, one worker thread\n", kBirths);
    std::printf("%-38s %10s %12s\n", "", "per second", "vs compute");
    auto row = [&](const char* what, double rate) {
        std::printf("%-38s %10.0f %11.2fx\n", what, rate, rate / compute_rate);
    };
    row("compute only (peer)", compute_rate);
    row("import (line -> .xml)", import_rate);
    row("export to text (.xml -> line)", text_rate);
    for (const auto& b : testing_db::backends()) {
        if (!b.available) {
            std::printf("%-38s skipped: %s\n", b.name.c_str(), b.why_not.c_str());
            continue;
        }
        testing_db::clear_tables(b.dsn);
        t0 = Clock::now();
        ExportResult r = run_db_export({b.dsn, "", "", b.mapping}, s.files, xenv, nullptr, nullptr);
        const double rate = static_cast<double>(r.exported) / seconds_since(t0);
        // The batching the export chose for this database: rows per INSERT, one transaction.
        int rows = 0;
        if (auto tables = load_mapping(b.mapping); tables) {
            OdbcConnection c(quiet);
            if (c.connect(b.dsn, "", "") && c.begin_batches(*tables)) rows = c.rows_per_statement();
        }
        row(fmt::format("export to {} ({} rows/INSERT)", b.name, rows).c_str(), r.failed ? 0.0 : rate);
    }
    return 0;
}
