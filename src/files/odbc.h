#pragma once
// The database export's connection through the ODBC driver manager (unixODBC): connect with a
// data source name, login and password, or with a complete connection string; auto-commit off; prepared INSERT statements with
// bound parameters of each value's kind; commit and rollback; and the driver's diagnostic
// records shown through the message interface on every failing call.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/horoscope.h"
#include "core/messages.h"
#include "files/db_mapping.h"

namespace tellurim {

class OdbcConnection {
public:
    explicit OdbcConnection(MessageSink& messages);
    // Rolls back what is not committed, disconnects and frees the handles.
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // Environment (ODBC 3), connection with a 5-second login time-out, SQLConnect, auto-commit
    // off. A failure shows the diagnostics and leaves the object unconnected.
    [[nodiscard]] bool connect(const std::string& dsn, const std::string& login, const std::string& password);
    // The same with SQLDriverConnect and a complete connection string ("Driver={...};..."), so
    // that no data source needs to be registered; the driver never prompts.
    [[nodiscard]] bool connect_with_string(const std::string& connection_string);
    bool is_connected() const;

    // "insert into T ( c1,...,cn) values  (  ? , ? )" prepared once per table and executed with the
    // horoscope's values. An unknown field name fails ("Unknown field name in the mapping file:").
    [[nodiscard]] bool insert(const MappedTable& table, const Horoscope& h);

    // A bulk export's inserts, one row per table for each horoscope, sent as INSERTs of many
    // rows ("values ( ? , ? ), ( ? , ? )"): SQLite's ODBC driver compiles the statement again
    // at every execution, and PostgreSQL answers each one over the connection, so one
    // statement per row costs more than the computation of the horoscope. Up to
    // kRowsPerStatement rows go in one statement, fewer where the database limits the
    // parameters of a statement; a database not known to take such INSERTs gets one row per
    // statement. All of it stays within the one transaction of the export.
    // begin_batches looks every field name up (an unknown one fails as insert() does);
    // add_rows computes the rows of a horoscope and sends the tables whose batch is full;
    // flush_rows sends what is kept. `tables` must outlive the batches.
    [[nodiscard]] bool begin_batches(const std::vector<MappedTable>& tables);
    [[nodiscard]] bool add_rows(const Horoscope& h);
    [[nodiscard]] bool flush_rows();
    int rows_per_statement() const;
    // Executes one statement directly (schema set-up).
    [[nodiscard]] bool execute(std::string_view sql);
    [[nodiscard]] bool commit();
    [[nodiscard]] bool rollback();
    void disconnect();

    MessageSink& messages() const { return m_messages; }
    // The text of the diagnostics of the last failure ("" when none).
    const std::string& last_diagnostics() const { return m_last; }

    static constexpr int kRowsPerStatement = 50;

private:
    // Allocates the handles and sets the login time-out, then runs `open` and turns auto-commit
    // off; every failure shows the diagnostics.
    template <class Open>
    bool open_connection(Open open);

    struct Handles;
    struct TableBatch;
    bool execute_insert(const std::string& sql);
    bool send_batch(TableBatch& batch);
    std::size_t max_statement_parameters() const;
    std::unique_ptr<Handles> m_h;
    MessageSink& m_messages;
    std::string m_last;
};

// The statement text for a table, with `rows` rows of parameters.
std::string insert_statement(const MappedTable& table, int rows = 1);

// The default embedded database: the file "tellurim.db" of the private directory, reached
// through the SQLite 3 ODBC driver by a connection string, without a data source.
inline constexpr const char* kDefaultDatabaseFile = "tellurim.db";
inline constexpr const char* kSqliteDriver = "SQLite3";

// "Driver={SQLite3};Database=<file>;Timeout=5000". nullopt when the path holds a ";", which
// the SQLite driver would take for the end of the file name.
std::optional<std::string> sqlite_connection_string(const std::string& database_file);
// Runs the statements of a schema file (separated by ";", "--" comments ignored) and commits.
[[nodiscard]] bool run_schema(OdbcConnection& connection, const std::string& schema_file);

}  // namespace tellurim
