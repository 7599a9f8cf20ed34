#include "files/odbc.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fmt/format.h>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "base/regular_file.h"
#include "base/strings.h"
#include "base/text.h"
#include "files/db_values.h"

namespace tellurim {
namespace {

std::u16string wide(std::string_view s) { return utf8_to_utf16(s); }
SQLWCHAR* wptr(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

bool ok(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

// The driver's diagnostic records of a failed call, one "SQLSTATE (native): text" line each.
std::string diagnostics(SQLSMALLINT handle_type, SQLHANDLE handle) {
    std::string out;
    for (SQLSMALLINT i = 1; handle; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        SQLRETURN r = SQLGetDiagRecW(handle_type, handle, i, state, &native, message,
                                     static_cast<SQLSMALLINT>(sizeof message / sizeof message[0]), &length);
        if (!ok(r)) break;
        auto text16 = [](const SQLWCHAR* w) {
            std::u16string s;
            for (; *w; ++w) s.push_back(static_cast<char16_t>(*w));
            return utf16_to_utf8(s);
        };
        if (!out.empty()) out += "\n";
        out += fmt::format("{} ({}): {}", text16(state), native, text16(message));
    }
    return out;
}

// Storage of one bound parameter: it must live until the statement has run.
struct Param {
    DbValue value;
    std::u16string text;
    SQLINTEGER integer = 0;
    double real = 0.0;
    SQL_DATE_STRUCT date{};
    SQL_TIME_STRUCT time{};
    SQL_TIMESTAMP_STRUCT stamp{};
    SQLLEN indicator = 0;
};

// Binds parameter `n` (1-based) to the value in `p`, which must stay in place until the
// statement has run.
SQLRETURN bind_param(SQLHSTMT stmt, SQLUSMALLINT n, Param& p) {
    const DbValue& v = p.value;
    p.indicator = v.is_null ? SQL_NULL_DATA : 0;
    switch (v.kind) {
        case DbKind::Text: {
            p.text = wide(v.text);
            const SQLULEN chars = std::max<SQLULEN>(p.text.size(), 1);
            if (!v.is_null) p.indicator = static_cast<SQLLEN>(p.text.size() * sizeof(char16_t));
            p.text.push_back(u'\0');
            return SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, chars, 0, p.text.data(),
                                    static_cast<SQLLEN>(p.text.size() * sizeof(char16_t)), &p.indicator);
        }
        case DbKind::Integer:
            p.integer = static_cast<SQLINTEGER>(v.integer);
            return SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &p.integer, 0,
                                    &p.indicator);
        case DbKind::Real:
            p.real = v.real;
            return SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &p.real, 0, &p.indicator);
        case DbKind::Date:
            p.date = {static_cast<SQLSMALLINT>(v.when.year), static_cast<SQLUSMALLINT>(v.when.month),
                      static_cast<SQLUSMALLINT>(v.when.day)};
            return SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0, &p.date, 0,
                                    &p.indicator);
        case DbKind::Time:
            p.time = {static_cast<SQLUSMALLINT>(v.when.hour), static_cast<SQLUSMALLINT>(v.when.minute),
                      static_cast<SQLUSMALLINT>(v.when.second)};
            return SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_TYPE_TIME, SQL_TYPE_TIME, 8, 0, &p.time, 0,
                                    &p.indicator);
        case DbKind::DateTime: {
            const double whole = std::floor(v.when.second);
            p.stamp = {static_cast<SQLSMALLINT>(v.when.year), static_cast<SQLUSMALLINT>(v.when.month),
                       static_cast<SQLUSMALLINT>(v.when.day), static_cast<SQLUSMALLINT>(v.when.hour),
                       static_cast<SQLUSMALLINT>(v.when.minute), static_cast<SQLUSMALLINT>(whole),
                       static_cast<SQLUINTEGER>(std::lround((v.when.second - whole) * 100.0)) * 10000000u};
            if (p.stamp.fraction >= 1000000000u) p.stamp.fraction = 990000000u;
            return SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 22, 2,
                                    &p.stamp, 0, &p.indicator);
        }
    }
    return SQL_ERROR;
}

}  // namespace

// The rows of one mapped table kept for a multi-row INSERT.
struct OdbcConnection::TableBatch {
    const MappedTable* table = nullptr;
    std::vector<DbField> fields;  // the table's fields, looked up once
    std::vector<DbValue> values;  // the rows kept, row after row
    int rows = 0;
};

struct OdbcConnection::Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    std::unordered_map<std::string, SQLHSTMT> prepared;  // by statement text
    std::vector<Param> params;
    std::vector<TableBatch> batches;
    int rows_per_statement = 1;
};

OdbcConnection::OdbcConnection(MessageSink& messages) : m_h(std::make_unique<Handles>()), m_messages(messages) {}

OdbcConnection::~OdbcConnection() {
    if (m_h->connected) SQLEndTran(SQL_HANDLE_DBC, m_h->dbc, SQL_ROLLBACK);
    disconnect();
}

bool OdbcConnection::is_connected() const { return m_h->connected; }

template <class Open>
bool OdbcConnection::open_connection(Open open) {
    disconnect();
    auto fail = [&](SQLSMALLINT type, SQLHANDLE handle) {
        m_last = diagnostics(type, handle);
        m_messages.tell(m_last.empty() ? str(Str::DbConnectionFailed) : m_last, str(Str::DbDiagnosticsCaption),
                        MessageIcon::Warning);
        disconnect();
        return false;
    };
    SQLRETURN r = SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_h->env);
    if (!ok(r)) return fail(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    r = SQLSetEnvAttr(m_h->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!ok(r)) return fail(SQL_HANDLE_ENV, m_h->env);
    r = SQLAllocHandle(SQL_HANDLE_DBC, m_h->env, &m_h->dbc);
    if (!ok(r)) return fail(SQL_HANDLE_ENV, m_h->env);
    r = SQLSetConnectAttrW(m_h->dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(5), 0);
    if (!ok(r)) return fail(SQL_HANDLE_DBC, m_h->dbc);
    if (!ok(open(m_h->dbc))) return fail(SQL_HANDLE_DBC, m_h->dbc);
    m_h->connected = true;
    r = SQLSetConnectAttrW(m_h->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    if (!ok(r)) return fail(SQL_HANDLE_DBC, m_h->dbc);
    return true;
}

bool OdbcConnection::connect(const std::string& dsn, const std::string& login, const std::string& password) {
    // The driver manager reads a fixed number of wide characters from these buffers
    // (SQL_MAX_DSN_LENGTH + 1 for the name) whatever their terminator says, so each one is
    // padded with NULs well beyond that.
    auto padded = [](std::string_view s) {
        std::u16string w = wide(s);
        w.resize(std::max<std::size_t>(w.size() + 1, 256), u'\0');
        return w;
    };
    std::u16string d = padded(dsn), l = padded(login), p = padded(password);
    return open_connection([&](SQLHDBC dbc) {
        return SQLConnectW(dbc, wptr(d), SQL_NTS, wptr(l), SQL_NTS, wptr(p), SQL_NTS);
    });
}

bool OdbcConnection::connect_with_string(const std::string& connection_string) {
    std::u16string in = wide(connection_string);
    in.resize(in.size() + 256, u'\0');  // as the buffers of connect(), read beyond their end
    return open_connection([&](SQLHDBC dbc) {
        SQLWCHAR out[1024] = {};
        SQLSMALLINT out_length = 0;
        return SQLDriverConnectW(dbc, nullptr, wptr(in), SQL_NTS, out, static_cast<SQLSMALLINT>(std::size(out)),
                                 &out_length, SQL_DRIVER_NOPROMPT);
    });
}

void OdbcConnection::disconnect() {
    for (auto& [sql, stmt] : m_h->prepared) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    m_h->prepared.clear();
    if (m_h->dbc != SQL_NULL_HDBC) {
        if (m_h->connected) SQLDisconnect(m_h->dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_h->dbc);
    }
    if (m_h->env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, m_h->env);
    m_h->dbc = SQL_NULL_HDBC;
    m_h->env = SQL_NULL_HENV;
    m_h->connected = false;
}

std::string insert_statement(const MappedTable& t, int rows) {
    std::string sql = "insert into " + t.name + " ( ";
    for (std::size_t i = 0; i < t.columns.size(); ++i) sql += (i ? "," : "") + t.columns[i].second;
    sql += ") values ";
    for (int r = 0; r < rows; ++r) {
        sql += r ? ", ( " : " ( ";
        for (std::size_t i = 0; i < t.columns.size(); ++i) sql += i ? ", ? " : " ? ";
        sql += ")";
    }
    return sql;
}

bool OdbcConnection::insert(const MappedTable& table, const Horoscope& h) {
    if (!m_h->connected) return false;
    // Values first: an unknown field fails before anything reaches the database.
    auto& params = m_h->params;
    params.assign(table.columns.size(), Param{});
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        auto v = db_value(h, table.columns[i].first);
        if (!v) {
            m_last = table.columns[i].first;
            m_messages.tell(table.columns[i].first, str(Str::DbMappingUnknownField), MessageIcon::Warning);
            return false;
        }
        params[i].value = std::move(*v);
    }
    return execute_insert(insert_statement(table));
}

bool OdbcConnection::execute_insert(const std::string& sql) {
    auto& params = m_h->params;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    auto fail = [&](SQLSMALLINT type, SQLHANDLE handle) {
        m_last = diagnostics(type, handle);
        m_messages.tell(m_last, str(Str::DbDiagnosticsCaption), MessageIcon::Warning);
        return false;
    };
    if (auto it = m_h->prepared.find(sql); it != m_h->prepared.end()) {
        stmt = it->second;
        SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    } else {
        if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, m_h->dbc, &stmt))) return fail(SQL_HANDLE_DBC, m_h->dbc);
        std::u16string w = wide(sql);
        if (!ok(SQLPrepareW(stmt, wptr(w), SQL_NTS))) {
            bool r = fail(SQL_HANDLE_STMT, stmt);
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            return r;
        }
        m_h->prepared.emplace(sql, stmt);
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        if (!ok(bind_param(stmt, static_cast<SQLUSMALLINT>(i + 1), params[i]))) return fail(SQL_HANDLE_STMT, stmt);
    SQLRETURN r = SQLExecute(stmt);
    if (!ok(r) && r != SQL_NO_DATA) return fail(SQL_HANDLE_STMT, stmt);
    return true;
}

bool OdbcConnection::begin_batches(const std::vector<MappedTable>& tables) {
    if (!m_h->connected) return false;
    m_h->batches.clear();
    std::size_t widest = 1;
    for (const MappedTable& t : tables) {
        TableBatch b;
        b.table = &t;
        for (const auto& [field, column] : t.columns) {
            auto f = find_db_field(field);
            if (!f) {
                m_last = field;
                m_messages.tell(field, str(Str::DbMappingUnknownField), MessageIcon::Warning);
                return false;
            }
            b.fields.push_back(*f);
        }
        widest = std::max(widest, b.fields.size());
        m_h->batches.push_back(std::move(b));
    }
    const std::size_t most = max_statement_parameters();
    m_h->rows_per_statement = static_cast<int>(std::clamp<std::size_t>(most / widest, 1, kRowsPerStatement));
    return true;
}

bool OdbcConnection::add_rows(const Horoscope& h) {
    for (TableBatch& b : m_h->batches) {
        for (const DbField& f : b.fields) b.values.push_back(db_value(h, f));
        if (++b.rows >= m_h->rows_per_statement && !send_batch(b)) return false;
    }
    return true;
}

bool OdbcConnection::flush_rows() {
    for (TableBatch& b : m_h->batches)
        if (b.rows > 0 && !send_batch(b)) return false;
    return true;
}

int OdbcConnection::rows_per_statement() const { return m_h->rows_per_statement; }

bool OdbcConnection::send_batch(TableBatch& b) {
    auto& params = m_h->params;
    params.assign(b.values.size(), Param{});
    for (std::size_t i = 0; i < b.values.size(); ++i) params[i].value = std::move(b.values[i]);
    const int rows = b.rows;
    b.values.clear();
    b.rows = 0;
    if (!m_h->connected) return false;
    return execute_insert(insert_statement(*b.table, rows));
}

// Databases known to take an INSERT of many rows ("values (...), (...)") and how many
// parameters one statement may hold; 0 for another database, which gets one row per statement.
std::size_t OdbcConnection::max_statement_parameters() const {
    auto info = [this](SQLUSMALLINT what) {
        SQLWCHAR buffer[128] = {};
        SQLSMALLINT length = 0;
        if (!ok(SQLGetInfoW(m_h->dbc, what, buffer, sizeof buffer, &length))) return std::string();
        std::u16string s;
        for (const SQLWCHAR* w = buffer; *w; ++w) s.push_back(static_cast<char16_t>(*w));
        return utf16_to_utf8(s);
    };
    const std::string dbms = info(SQL_DBMS_NAME);
    // The protocol counts parameters in 16 bits, but libpq refuses the server's description
    // of a statement's parameters (4 bytes each) when it exceeds 30,000 bytes.
    if (dbms == "PostgreSQL") return 7000;
    if (dbms == "SQLite") {
        // SQLITE_MAX_VARIABLE_NUMBER: 999 before SQLite 3.32, 32766 since.
        int major = 0, minor = 0;
        std::sscanf(info(SQL_DBMS_VER).c_str(), "%d.%d", &major, &minor);
        return major > 3 || (major == 3 && minor >= 32) ? 32766 : 999;
    }
    return 0;
}

bool OdbcConnection::execute(std::string_view sql) {
    if (!m_h->connected) return false;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, m_h->dbc, &stmt))) return false;
    std::u16string w = wide(sql);
    SQLRETURN r = SQLExecDirectW(stmt, wptr(w), SQL_NTS);
    bool good = ok(r) || r == SQL_NO_DATA;
    if (!good) {
        m_last = diagnostics(SQL_HANDLE_STMT, stmt);
        m_messages.tell(m_last, str(Str::DbDiagnosticsCaption), MessageIcon::Warning);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return good;
}

bool OdbcConnection::commit() {
    if (!m_h->connected) return false;
    if (ok(SQLEndTran(SQL_HANDLE_DBC, m_h->dbc, SQL_COMMIT))) return true;
    m_last = diagnostics(SQL_HANDLE_DBC, m_h->dbc);
    m_messages.tell(m_last, str(Str::DbDiagnosticsCaption), MessageIcon::Warning);
    return false;
}

bool OdbcConnection::rollback() {
    if (!m_h->connected) return false;
    if (ok(SQLEndTran(SQL_HANDLE_DBC, m_h->dbc, SQL_ROLLBACK))) return true;
    m_last = diagnostics(SQL_HANDLE_DBC, m_h->dbc);
    m_messages.tell(m_last, str(Str::DbDiagnosticsCaption), MessageIcon::Warning);
    return false;
}

std::optional<std::string> sqlite_connection_string(const std::string& database_file) {
    if (database_file.find(';') != std::string::npos) return std::nullopt;
    // The busy time-out lets a second run wait for the first one's transaction.
    return fmt::format("Driver={{{}}};Database={};Timeout=5000", kSqliteDriver, database_file);
}

bool run_schema(OdbcConnection& connection, const std::string& schema_file) {
    auto schema = read_regular_text(schema_file);
    if (!schema) return false;
    std::istringstream in(*schema);
    std::string sql, line;
    while (std::getline(in, line)) {
        if (auto c = line.find("--"); c != std::string::npos) line.erase(c);
        sql += line;
        sql += '\n';
    }
    std::size_t start = 0;
    while (start < sql.size()) {
        std::size_t end = sql.find(';', start);
        std::string statement(trim(std::string_view(sql).substr(start, end == std::string::npos ? end : end - start)));
        start = end == std::string::npos ? sql.size() : end + 1;
        if (!statement.empty() && !connection.execute(statement)) {
            (void)connection.rollback();
            return false;
        }
    }
    return connection.commit();
}

}  // namespace tellurim
