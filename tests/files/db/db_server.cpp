#include "db_server.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

#include "common/odbc_env.h"
#include "core/messages.h"
#include "files/odbc.h"

namespace tellurim::testing_db {
namespace {

namespace fs = std::filesystem;

const char* const kTables[] = {"horoscope", "planet_positions", "house_cusps", "strengths", "ashtakavarga",
                               "planet_angles"};

std::string source_dir() { return TELLURIM_SOURCE_DIR; }

int run(const std::string& command) { return std::system(command.c_str()); }

std::string pg_bin_dir() {
    std::error_code ec;
    for (const char* v : {"17", "16", "15", "14", "13"}) {
        fs::path p = fs::path("/usr/lib/postgresql") / v / "bin";
        if (fs::exists(p / "initdb", ec)) return p.string();
    }
    return {};
}

struct State {
    std::string dir;
    std::vector<Backend> backends;
    std::string pg_data;
    std::string pg_prefix;  // "runuser -u postgres -- " when running as root
    bool pg_started = false;

    State() {
        char tmpl[] = "/tmp/tellurim-db-XXXXXX";
        dir = ::mkdtemp(tmpl);
        fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
        const std::string ini = testing_data::use_own_odbc_files(dir);
        std::ofstream out(ini);
        out << "[TellurimTestSqlite]\nDriver=SQLite3\nDatabase=" << dir << "/test.db\nTimeout=10000\n\n";
        out.flush();

        Backend sqlite{"sqlite", "TellurimTestSqlite", source_dir() + "/data/db/sqlite/tellurimdb.ini", false, ""};
        Backend pg{"postgresql", "TellurimTestPg", source_dir() + "/data/db/postgresql/tellurimdb.ini", false, ""};
        sqlite.available = create_schema(sqlite.dsn, "sqlite", sqlite.why_not);

        const std::string bin = pg_bin_dir();
        if (bin.empty()) {
            pg.why_not = "PostgreSQL server binaries are not installed";
        } else {
            const int port = 40000 + static_cast<int>(::getpid() % 20000);
            std::string user = "postgres";
            if (::geteuid() == 0) {
                if (!::getpwnam("postgres")) user = "nobody";
                pg_prefix = "runuser -u " + user + " -- ";
            } else {
                user = ::getpwuid(::geteuid())->pw_name;
            }
            pg_data = dir + "/pg";
            fs::create_directories(pg_data);
            if (::geteuid() == 0) run("chown " + user + " " + pg_data);
            const std::string log = dir + "/pg.log";
            if (::geteuid() == 0) run("touch " + log + " && chown " + user + " " + log);
            bool ok = run(pg_prefix + bin + "/initdb -A trust -U " + user + " -D " + pg_data + " >" + dir +
                          "/initdb.log 2>&1") == 0;
            ok = ok && run(pg_prefix + bin + "/pg_ctl -w -D " + pg_data + " -l " + log + " -o \"-k " + pg_data +
                           " -p " + std::to_string(port) + " -c listen_addresses='' -c fsync=off\" start >/dev/null") == 0;
            pg_started = ok;
            if (ok) {
                out << "[TellurimTestPg]\nDriver=PostgreSQL Unicode\nServername=" << pg_data << "\nPort=" << port
                    << "\nDatabase=postgres\nUsername=" << user << "\n\n";
                out.flush();
                pg.available = create_schema(pg.dsn, "postgresql", pg.why_not);
            } else {
                pg.why_not = "the throw-away PostgreSQL server did not start (see " + dir + ")";
            }
            pg_bin = bin;
        }
        backends = {sqlite, pg};
    }

    ~State() {
        if (pg_started) run(pg_prefix + pg_bin + "/pg_ctl -D " + pg_data + " -m immediate stop >/dev/null 2>&1");
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    bool create_schema(const std::string& dsn, const std::string& name, std::string& why_not) {
        RecordingMessages messages;
        OdbcConnection c(messages);
        if (!c.connect(dsn, "", "") || !run_schema(c, source_dir() + "/data/db/" + name + "/schema.sql")) {
            why_not = messages.messages.empty() ? "schema" : messages.messages.back().text;
            return false;
        }
        return true;
    }

    std::string pg_bin;
};

// Built on first use; its destructor stops the server when the program ends.
State& state() {
    static State s;
    return s;
}

// Runs one query and gives the first column of the first row.
std::string query(const std::string& dsn, const std::string& sql, bool& ok) {
    ok = false;
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    std::string value;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    // A data source name, or a whole connection string ("Driver=...;...").
    const std::string connection = dsn.find('=') == std::string::npos ? "DSN=" + dsn : dsn;
    SQLRETURN r = SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connection.c_str(), SQL_NTS, nullptr, 0, nullptr,
                                   SQL_DRIVER_NOPROMPT);
    if (SQL_SUCCEEDED(r)) {
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
        r = SQLExecDirect(stmt, (SQLCHAR*)sql.c_str(), SQL_NTS);
        if (SQL_SUCCEEDED(r)) {
            ok = true;
            if (SQL_SUCCEEDED(SQLFetch(stmt))) {
                char buffer[1024] = {};
                SQLLEN length = 0;
                if (SQL_SUCCEEDED(SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &length)) &&
                    length != SQL_NULL_DATA)
                    value = buffer;
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        SQLDisconnect(dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return value;
}

}  // namespace

const std::string& work_dir() { return state().dir; }
const std::vector<Backend>& backends() { return state().backends; }
const Backend& backend(const std::string& name) {
    for (const auto& b : state().backends)
        if (b.name == name) return b;
    return state().backends.front();
}

long count_rows(const std::string& dsn, const std::string& table) {
    bool ok = false;
    std::string v = query(dsn, "select count(*) from " + table, ok);
    return ok && !v.empty() ? std::stol(v) : -1;
}

std::string first_value(const std::string& dsn, const std::string& sql) {
    bool ok = false;
    return query(dsn, sql, ok);
}

void clear_tables(const std::string& dsn) {
    for (const char* t : kTables) {
        bool ok = false;
        query(dsn, std::string("delete from ") + t, ok);
    }
}

}  // namespace tellurim::testing_db
