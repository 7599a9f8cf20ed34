// The database export against real databases: the Debian SQLite ODBC driver on a file, and a
// throw-away PostgreSQL server through its ODBC driver. Rows, values, the one-transaction rule
// (cancel, a failing file, an unknown field, SIGKILL at random moments), the Hindu values, and
// the connection test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fmt/format.h>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "astro/planets_signs.h"
#include "common/temp_dir.h"
#include "common/test_dates.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "db_server.h"
#include "files/db_export.h"
#include "files/db_values.h"
#include "files/horoscope_file.h"
#include "files/odbc.h"
#include "files/options_file.h"

namespace tellurim {
namespace {

namespace fs = std::filesystem;
using testing_db::Backend;

constexpr int kTables = 6;  // tables of the shipped mapping
const char* const kTableNames[kTables] = {"horoscope", "planet_positions", "house_cusps", "strengths",
                                          "ashtakavarga", "planet_angles"};

// `n` horoscope files of births a day apart in Paris, under `dir`.
std::vector<std::string> make_files(const fs::path& dir, int n, const std::string& stem = "P") {
    fs::create_directories(dir);
    std::vector<std::string> files;
    for (int i = 0; i < n; ++i) {
        BirthData b;
        b.last_name = stem + std::to_string(i);
        b.first_name = "\xC3\x89lodie";  // non-ASCII text reaches the database unchanged
        b.sex = kWoman;
        b.place.city = "Paris";
        b.place.longitude = AngleValue::degrees(2.3488, kFormatEastWest);
        b.place.latitude = AngleValue::degrees(48.8567, kFormatNorthSouth);
        b.country = "France";
        set_julian_day_ut(b.ut, 2451545.0 + i);
        set_julian_day_ut(b.local, 2451545.0 + i + 1.0 / 24.0);
        Horoscope h;
        EXPECT_TRUE(h.set_birth_data(b, true, Options{}));
        files.push_back((dir / (b.last_name + ".xml")).string());
        EXPECT_TRUE(write_horoscope_file(h, files.back()));
    }
    return files;
}

class DbExport : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        m_backend = &testing_db::backend(GetParam());
        if (!m_backend->available) GTEST_SKIP() << m_backend->name << ": " << m_backend->why_not;
        testing_db::clear_tables(m_backend->dsn);
        ASSERT_TRUE(m_library.load(kEphemerisLow));
        m_options = make_default_options(testing_db::work_dir());
        m_options.ephemeris.type = kEphemerisLow;
        m_dir = fs::path(testing_db::work_dir()) / (GetParam() + "-files");
    }

    DbTarget target() const { return {m_backend->dsn, "", "", m_backend->mapping, ""}; }
    ExportResult export_files(const std::vector<std::string>& files, const DbTarget& t,
                              const ManualResetEvent* cancel = nullptr) {
        ExportEnvironment env{&m_options, &m_messages, &m_workers, &m_library};
        return run_db_export(t, files, env, cancel, nullptr);
    }
    void expect_rows(long n) {
        for (const char* t : kTableNames) EXPECT_EQ(testing_db::count_rows(m_backend->dsn, t), n) << t;
    }

    const Backend* m_backend = nullptr;
    EphemerisLibrary m_library;
    WorkerThreads m_workers;
    Options m_options;
    RecordingMessages m_messages;
    fs::path m_dir;
};

TEST_P(DbExport, EveryFileGivesOneRowPerTableWithItsValues) {
    // Two full multi-row INSERTs and a last, shorter one.
    const int n = 2 * OdbcConnection::kRowsPerStatement + 3;
    auto files = make_files(m_dir, n);
    ExportResult r = export_files(files, target());
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.exported, n);
    expect_rows(n);
    EXPECT_EQ(db_export_message(r).text, "Export was successfully done.");
    const std::string dsn = m_backend->dsn;
    EXPECT_EQ(testing_db::first_value(dsn, "select first_name from horoscope where last_name = 'P3'"), "\xC3\x89lodie");
    // J2000.0 + 3 days, 12:00 UT: date, time and Julian day as the database holds them
    EXPECT_EQ(testing_db::first_value(dsn, "select birth_ut_date from horoscope where last_name = 'P3'"), "2000-01-04");
    EXPECT_EQ(testing_db::first_value(dsn, "select birth_ut_time from horoscope where last_name = 'P3'"), "12:00:00");
    EXPECT_NEAR(std::stod(testing_db::first_value(dsn, "select jd_ut from horoscope where last_name = 'P3'")),
                2451548.0, 1e-6);
    // The last row of the last statement holds the last file's values.
    EXPECT_NEAR(std::stod(testing_db::first_value(dsn, fmt::format("select jd_ut from horoscope where last_name = "
                                                                   "'P{}'", n - 1))),
                2451545.0 + n - 1, 1e-6);
    // The Sun near 283 degrees tropical on 4 January 2000.
    auto of_p3 = [&dsn](const std::string& column, const std::string& table) {
        return testing_db::first_value(dsn, "select t." + column + " from " + table +
                                                " t join horoscope h on t.horoscope_id = h.horoscope_id "
                                                "where h.last_name = 'P3'");
    };
    EXPECT_NEAR(std::stod(of_p3("sun_geo_mov_lon", "planet_positions")), 283.4, 0.5);

    // The Hindu values of the same horoscope, as its own tables hold them. 1 January 2000 was
    // a Saturday (year and month lords Saturn), the 4th a Tuesday (day lord Mars).
    Horoscope h;
    ASSERT_TRUE(read_horoscope_file(h, files[3], m_options, m_messages, m_workers, m_library));
    const int moon_sign = h.hindu.divisions[kMoon][0];
    const int as_sign = h.hindu.divisions[kAscendant][0];
    ASSERT_GE(moon_sign, 0);
    ASSERT_GE(as_sign, 0);
    const auto& b = h.bindus;
    const struct {
        const char* column;
        const char* table;
        double expected;  // NaN: a text
        const char* text;
    } rows[] = {
        {"year_lord", "horoscope", NAN, "Saturn"},
        {"month_lord", "horoscope", NAN, "Saturn"},
        {"day_lord", "horoscope", NAN, "Mars"},
        {"sun_strength", "strengths", h.strengths.planets[0].total, nullptr},
        {"saturn_strength", "strengths", h.strengths.planets[6].total, nullptr},
        {"house_1_strength", "strengths", h.strengths.houses[0].total, nullptr},
        {"house_12_strength", "strengths", h.strengths.houses[11].total, nullptr},
        {"moon_in_sun_before", "ashtakavarga", double(b[moon_sign][0].before), nullptr},
        {"moon_in_sun_after", "ashtakavarga", double(b[moon_sign][0].after), nullptr},
        {"ascendant_in_saturn_after", "ashtakavarga", double(b[as_sign][6].after), nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.column);
        const std::string got = of_p3(r.column, r.table);
        if (r.text) {
            EXPECT_EQ(got, r.text);
            continue;
        }
        ASSERT_TRUE(std::isfinite(r.expected));
        EXPECT_NEAR(std::stod(got), r.expected, 1e-9 * (1.0 + std::fabs(r.expected)));
    }
    EXPECT_NE(h.strengths.houses[0].total, h.strengths.houses[11].total) << "two houses tell the rows apart";
    // Read by sign, each planet's Ashtakavarga holds its fixed total: the Sun's 48, Saturn's 39.
    for (const auto& [planet, total] : {std::pair{"Sun", 48}, {"Saturn", 39}}) {
        long long sum = 0;
        for (int sign = 0; sign < 12; ++sign)
            sum += db_value(h, fmt::format("{} Bindus in {} Ashtakavarga Before Reduction", sign_name(sign), planet))->integer;
        EXPECT_EQ(sum, total) << planet;
    }
}

TEST_P(DbExport, ACancelledOrFailingRunLeavesNoRow) {
    auto files = make_files(m_dir, 4);
    ManualResetEvent cancel;
    cancel.set();
    ExportResult cancelled = export_files(files, target(), &cancel);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(db_export_message(cancelled).text, "Operation was canceled by user.");
    expect_rows(0);

    // The third file is broken: the first two files' rows are rolled back.
    std::ofstream(files[2], std::ios::binary) << "<horoscope>";
    ExportResult failed = export_files(files, target());
    EXPECT_TRUE(failed.failed);
    EXPECT_EQ(db_export_message(failed).text, "An error occurs while exporting horoscopes record!");
    expect_rows(0);

    // An unknown field name in the mapping fails the insert, with its name.
    const fs::path bad_map = m_dir / "bad.ini";
    std::ofstream(bad_map) << "[horoscope]\nName = last_name\nNo Such Field = city\n";
    m_messages.messages.clear();
    files.erase(files.begin() + 2);
    ExportResult unknown = export_files(files, {m_backend->dsn, "", "", bad_map.string(), ""});
    EXPECT_TRUE(unknown.failed);
    ASSERT_FALSE(m_messages.messages.empty());
    EXPECT_EQ(m_messages.messages.back().caption, "Unknown field name in the mapping file:");
    EXPECT_EQ(m_messages.messages.back().text, "No Such Field");
    expect_rows(0);

    // A mapping that maps nothing would export nothing "successfully": refused, naming the file.
    for (const std::string map : {"", "; only a comment\r\n[horoscope]\r\n", "\x7f" "ELF\x02\x01\x01\0\0\0"}) {
        SCOPED_TRACE(map);
        const fs::path empty_map = m_dir / "empty.ini";
        std::ofstream(empty_map, std::ios::binary) << map;
        m_messages.messages.clear();
        EXPECT_TRUE(export_files(files, {m_backend->dsn, "", "", empty_map.string(), ""}).failed);
        ASSERT_FALSE(m_messages.messages.empty());
        EXPECT_EQ(m_messages.messages.back(), (Message{empty_map.string(), "The mapping file maps no column to a table",
                                                       MessageIcon::Warning}));
    }
    expect_rows(0);
}

// A birth whose day has no sunrise (Tromso at midsummer) exports as `chart` prints it: with a
// warning, and no solar hour.
TEST_P(DbExport, PolarBirthIsExportedWithAWarning) {
    auto files = make_files(m_dir, 2);
    BirthData b;
    b.last_name = "Tromso";
    b.place.longitude = AngleValue::degrees(18.95, kFormatEastWest);
    b.place.latitude = AngleValue::degrees(69.65, kFormatNorthSouth);
    set_julian_day_ut(b.ut, 2451717.0);  // 2000-06-21 12:00 UT
    b.local = b.ut;
    Horoscope h;
    ASSERT_TRUE(h.set_birth_data(b, true, Options{}));
    files.insert(files.begin(), (m_dir / "Tromso.xml").string());
    ASSERT_TRUE(write_horoscope_file(h, files[0]));
    ExportResult r = export_files(files, target());
    EXPECT_FALSE(r.failed);
    expect_rows(3);
    EXPECT_EQ(m_messages.messages.back().text,
              files[0] + ": The Sun does not rise or set on this day here; the horoscope is kept without sunrise and "
                         "sunset.");
    EXPECT_EQ(testing_db::first_value(m_backend->dsn, "select count(*) from horoscope where solar_hour is null"), "1");
}

TEST_P(DbExport, ConnectionTestAndSaveOneHoroscope) {
    RecordingMessages said;
    EXPECT_TRUE(test_connection(target(), said));
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].text, "Data base connection succeeded");

    RecordingMessages failed;
    EXPECT_FALSE(test_connection({"NoSuchDataSource", "", "", m_backend->mapping, ""}, failed));
    ASSERT_EQ(failed.messages.size(), 2u);
    EXPECT_EQ(failed.messages[0].caption, "ODBC");  // the driver manager's diagnostics
    EXPECT_NE(failed.messages[0].text.find("IM002"), std::string::npos) << failed.messages[0].text;
    EXPECT_EQ(failed.messages[1].text, "Failure while trying to connect to database");

    auto files = make_files(m_dir, 1, "Saved");
    Horoscope h;
    ASSERT_TRUE(read_horoscope_file(h, files[0], m_options, m_messages, m_workers, m_library));
    EXPECT_TRUE(save_to_database(h, target(), m_messages));
    expect_rows(1);
}

// Without a data source name, the database is the file tellurim.db of the private directory,
// reached through a connection string: two private directories keep their rows apart, one
// works after the other is gone, and no data source is registered.
TEST_P(DbExport, DefaultDatabaseIsTheFileOfItsPrivateDirectory) {
    if (GetParam() != "sqlite") GTEST_SKIP() << "the default database is a SQLite file";
    const std::string odbc_ini = testing_data::read_text(std::getenv("ODBCINI"));
    const std::string schema = std::string(TELLURIM_SOURCE_DIR) + "/data/db/sqlite/schema.sql";
    auto set_up = [&](const std::string& name) {
        const fs::path dir = m_dir / "default" / name;
        fs::create_directories(dir);
        DbTarget t = db_target_from_options(m_options, dir.string());
        t.mapping_file = m_backend->mapping;
        EXPECT_TRUE(ensure_default_database(t.default_database, schema, m_messages));
        return t;
    };
    const DbTarget a = set_up("A");
    const DbTarget b = set_up("B");
    ASSERT_TRUE(b.dsn.empty());
    auto rows = [](const DbTarget& t) {
        return testing_db::count_rows(sqlite_connection_string(t.default_database).value(), "horoscope");
    };
    auto files = make_files(m_dir / "default", 2);
    EXPECT_FALSE(export_files(files, b).failed);
    EXPECT_EQ(rows(b), 2);
    EXPECT_EQ(rows(a), 0);
    fs::remove_all(m_dir / "default" / "A");
    EXPECT_FALSE(export_files(files, b).failed);
    EXPECT_EQ(rows(b), 4);
    EXPECT_EQ(testing_data::read_text(std::getenv("ODBCINI")), odbc_ini);

    // The SQLite driver would end the file name at a ";".
    DbTarget semicolon;
    semicolon.default_database = "/tmp/a;b/tellurim.db";
    RecordingMessages said;
    OdbcConnection c(said);
    EXPECT_FALSE(connect_target(c, semicolon));
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].caption, "The default database cannot be in a path that holds \";\":");
}

// Exports killed at random moments leave every file's rows or none.
TEST_P(DbExport, SigkillLeavesAllOrNothing) {
    constexpr int kFiles = 20;
    constexpr int kKills = 20;
    auto files = make_files(m_dir / "kill", kFiles, "K");
    const std::string program = std::string(TELLURIM_BIN_DIR) + "/tellurim";
    const std::string private_dir = (m_dir / "private").string();
    std::vector<std::string> args = {program,   "--private-dir", private_dir,       "--horoscopes-dir", private_dir,
                                     "export",  "db",            "--dsn",           m_backend->dsn,     "--mapping",
                                     m_backend->mapping,         "--ephemeris",     "low"};
    args.insert(args.end(), files.begin(), files.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // Runs the export in a child whose standard error goes to `stderr_fd` (-1: nowhere).
    auto spawn = [&argv](int stderr_fd) {
        pid_t pid = ::fork();
        if (pid == 0) {
            if (stderr_fd >= 0) ::dup2(stderr_fd, STDERR_FILENO);
            else ::freopen("/dev/null", "w", stderr);
            ::freopen("/dev/null", "w", stdout);
            // The ODBC driver is unloaded before a sanitizer build's leak check runs, so what its
            // ini cache keeps cannot be told from a leak of ours; the rows are what is tested here.
            ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    };

    // One uninterrupted run gives the time scale of the kills.
    auto start = std::chrono::steady_clock::now();
    pid_t pid = spawn(-1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    const double full_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    expect_rows(kFiles);

    std::mt19937 rng(14);
    std::uniform_real_distribution<double> moment(0.0, full_ms * 1.1);
    int committed = 1;
    for (int k = 0; k < kKills; ++k) {
        SCOPED_TRACE(k);
        pid = spawn(-1);
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(moment(rng)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) ++committed;
        const long rows = testing_db::count_rows(m_backend->dsn, "horoscope");
        ASSERT_EQ(rows % kFiles, 0) << rows << " rows after a kill";
        for (const char* t : kTableNames) EXPECT_EQ(testing_db::count_rows(m_backend->dsn, t), rows) << t;
        EXPECT_GE(rows / kFiles, committed);  // a run may commit just before its kill arrives
    }

    // Ctrl-C half-way: the export rolls back and says so (unless it had already finished).
    const long before = testing_db::count_rows(m_backend->dsn, "horoscope");
    int pipe_fds[2];
    ASSERT_EQ(::pipe(pipe_fds), 0);
    pid = spawn(pipe_fds[1]);
    ::close(pipe_fds[1]);
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(full_ms / 2));
    ::kill(pid, SIGINT);
    std::string said;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe_fds[0]);
    ::waitpid(pid, &status, 0);
    const long after = testing_db::count_rows(m_backend->dsn, "horoscope");
    if (!WIFEXITED(status)) {
        // Interrupted before its handler was in place, or after it was removed once the export
        // had committed: as good as a kill, all or nothing.
        EXPECT_TRUE(after == before || after == before + kFiles) << after << " rows, " << before << " before";
    } else if (WEXITSTATUS(status) == 0) {
        EXPECT_EQ(after, before + kFiles);
    } else {
        EXPECT_EQ(after, before);
        EXPECT_NE(said.find("Message: Operation was canceled by user."), std::string::npos) << said;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DbExport, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tellurim
