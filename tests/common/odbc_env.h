#pragma once
// ODBC files of a test's own: ODBCINI (the data sources) and ODBCSYSINI (the directory of
// odbcinst.ini, which names the drivers) point into `dir`, so that no test reads or writes the
// user's or the system's data sources. The drivers are those of the Debian packages.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tellurim::testing_data {

// Returns the path of the data source file, "<dir>/odbc.ini" (created empty when missing).
inline std::string use_own_odbc_files(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "odbcinst.ini", std::ios::trunc) << "[SQLite3]\nDriver=libsqlite3odbc.so\n\n"
                                                           "[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n\n";
    const std::string ini = (dir / "odbc.ini").string();
    std::ofstream(ini, std::ios::app).flush();
    ::setenv("ODBCSYSINI", dir.c_str(), 1);
    ::setenv("ODBCINI", ini.c_str(), 1);
    return ini;
}

}  // namespace tellurim::testing_data
