#pragma once
// The databases of the export tests, started once per test program: a SQLite file and a
// throw-away PostgreSQL server (initdb and pg_ctl from the Debian packages, in a temporary
// directory, as the unprivileged user "postgres" when the tests run as root). Both are
// registered as data sources in an odbc.ini of the run's own (ODBCINI, and ODBCSYSINI for the
// drivers).

#include <string>
#include <vector>

namespace tellurim::testing_db {

struct Backend {
    std::string name;     // "sqlite", "postgresql"
    std::string dsn;
    std::string mapping;  // data/db/<name>/tellurimdb.ini
    bool available = false;
    std::string why_not;
};

// The run's temporary directory.
const std::string& work_dir();
const std::vector<Backend>& backends();
const Backend& backend(const std::string& name);

// `dsn` is a data source name or a whole connection string.
// "select count(*) from <table>" through ODBC; -1 on failure.
long count_rows(const std::string& dsn, const std::string& table);
// The first column of the first row as text ("" when none).
std::string first_value(const std::string& dsn, const std::string& sql);
// Deletes every row of the shipped schema's tables.
void clear_tables(const std::string& dsn);

}  // namespace tellurim::testing_db
