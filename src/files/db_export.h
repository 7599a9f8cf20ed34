#pragma once
// Export of horoscope files to a database through ODBC, as one transaction: either every
// file's rows are committed or none. Also the connection test of the "Database Connection"
// dialog, the new-chart dialog's save to the database, and the default embedded database.

#include <optional>
#include <string>
#include <vector>

#include "core/horoscope.h"
#include "core/messages.h"
#include "files/horoscope_export.h"
#include "files/odbc.h"

namespace tellurim {

struct DbTarget {
    std::string dsn;           // empty: the default embedded database, `default_database`
    std::string login;
    std::string password;
    std::string mapping_file;  // the options' "Ini file for database access:"
    std::string default_database;  // the SQLite file used without a data source name
};

// The connection of the options; without a data source name, the default embedded database:
// the file tellurim.db of `private_dir`, created by ensure_default_database.
DbTarget db_target_from_options(const Options& options, const std::string& private_dir);

// Connects to the target: its data source, or the SQLite file of the default database through
// a connection string (no data source is registered or read). Failures show the diagnostics.
[[nodiscard]] bool connect_target(OdbcConnection& connection, const DbTarget& target);

// Creates the tables of `schema_file` in the default database `database_file` when the file
// is new (missing or empty). True when the database can be used.
[[nodiscard]] bool ensure_default_database(const std::string& database_file, const std::string& schema_file,
                                           MessageSink& messages);

// Connects and disconnects: "Data base connection succeeded" (information) or, after the
// driver's diagnostics, "Failure while trying to connect to database" (warning), caption "Message".
bool test_connection(const DbTarget& target, MessageSink& messages);

// The worker routine's body: loads the mapping, connects, and for each file in order reads
// and computes it and inserts one row per mapped table. The cancel event is polled before
// each file and each table. Commits only a complete, uncancelled run.
ExportResult run_db_export(const DbTarget& target, const std::vector<std::string>& files, const ExportEnvironment& env,
                           const ManualResetEvent* cancel, ExportProgress* progress);
// "Export was successfully done." / "Operation was canceled by user." (information) or
// "An error occurs while exporting horoscopes record!" (warning), caption "Message".
Message db_export_message(const ExportResult& result);

// The new-chart dialog's database box: one horoscope in its own transaction. Failure shows
// "Error saving horoscope to database: horoscope not saved".
[[nodiscard]] bool save_to_database(const Horoscope& h, const DbTarget& target, MessageSink& messages);

}  // namespace tellurim
