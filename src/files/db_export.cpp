#include "files/db_export.h"

#include <filesystem>
#include <memory>

#include "base/strings.h"
#include "core/worker_threads.h"
#include "files/db_mapping.h"
#include "files/horoscope_file.h"
#include "files/odbc.h"

namespace tellurim {
namespace {

Message box(Str text_id, MessageIcon icon) {
    return {str(text_id), str(Str::ExportMessageCaption), icon, MessageButtons::Ok, MessageAnswer::Ok};
}

// The mapping, or nullopt after saying why: a file that cannot be read, or one that maps no
// column (empty, only comments, not a mapping at all), which would export nothing.
std::optional<std::vector<MappedTable>> mapping_or_say(const std::string& path, MessageSink& messages) {
    auto tables = load_mapping(path);
    if (!tables) {
        messages.tell(path, str(Str::DbMappingCannotOpen), MessageIcon::Warning);
        return std::nullopt;
    }
    if (tables->empty()) {
        messages.tell(path, str(Str::DbMappingMapsNothing), MessageIcon::Warning);
        return std::nullopt;
    }
    return tables;
}

}  // namespace

DbTarget db_target_from_options(const Options& o, const std::string& private_dir) {
    return {o.database.name, o.database.login, o.database.password, o.paths.db_ini_file,
            (std::filesystem::path(private_dir) / kDefaultDatabaseFile).string()};
}

bool connect_target(OdbcConnection& c, const DbTarget& t) {
    if (!t.dsn.empty()) return c.connect(t.dsn, t.login, t.password);
    auto connection = sqlite_connection_string(t.default_database);
    if (!connection) {
        c.messages().tell(t.default_database, str(Str::DbPathHasSemicolon), MessageIcon::Warning);
        return false;
    }
    return c.connect_with_string(*connection);
}

bool ensure_default_database(const std::string& database_file, const std::string& schema_file, MessageSink& messages) {
    std::error_code ec;
    // A file left empty by an interrupted set-up is taken as new: the schema only creates what
    // is missing.
    const bool is_new = !std::filesystem::exists(database_file, ec) || std::filesystem::file_size(database_file, ec) == 0;
    DbTarget target;
    target.default_database = database_file;
    OdbcConnection c(messages);
    if (!connect_target(c, target)) return false;
    return !is_new || run_schema(c, schema_file);
}

bool test_connection(const DbTarget& target, MessageSink& messages) {
    OdbcConnection c(messages);
    if (!connect_target(c, target)) {
        messages.show(box(Str::DbConnectionFailed, MessageIcon::Warning));
        return false;
    }
    c.disconnect();
    messages.show(box(Str::DbConnectionSucceeded, MessageIcon::Information));
    return true;
}

ExportResult run_db_export(const DbTarget& target, const std::vector<std::string>& files, const ExportEnvironment& env,
                           const ManualResetEvent* cancel, ExportProgress* progress) {
    ExportResult result;
    MessageSink& messages = *env.messages;
    auto tables = mapping_or_say(target.mapping_file, messages);
    OdbcConnection c(messages);
    if (!tables || !connect_target(c, target) || !c.begin_batches(*tables)) {
        result.failed = true;
        return result;
    }
    long inserted = 0;
    auto h = std::make_unique<Horoscope>();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (cancel && cancel->is_set()) {
            result.cancelled = true;
            break;
        }
        *h = Horoscope{};
        // The rows go in multi-row INSERTs (OdbcConnection::add_rows): a failing insert shows
        // at the statement that holds it, and the whole run is rolled back all the same.
        if (!read_export_horoscope(*h, files[i], env) || !c.add_rows(*h)) {
            result.failed = true;
            break;
        }
        inserted += static_cast<long>(tables->size());
        ++result.exported;
        if (progress) {
            progress->files_done.store(static_cast<long>(i + 1));
            progress->percent.store(static_cast<int>((i + 1) * 100 / files.size()));
        }
    }
    if (!result.failed && !result.cancelled && !c.flush_rows()) result.failed = true;
    // One transaction: a complete run is committed, anything else rolled back.
    if (inserted == 0 || result.failed || result.cancelled) {
        (void)c.rollback();
        result.exported = 0;
    } else if (!c.commit()) {
        result.failed = true;
        result.exported = 0;
    }
    c.disconnect();
    return result;
}

Message db_export_message(const ExportResult& r) {
    if (r.failed) return box(Str::ExportDbError, MessageIcon::Warning);
    if (r.cancelled) return box(Str::ExportDbCanceled, MessageIcon::Information);
    return box(Str::ExportDbDone, MessageIcon::Information);
}

bool save_to_database(const Horoscope& h, const DbTarget& target, MessageSink& messages) {
    auto tables = mapping_or_say(target.mapping_file, messages);
    OdbcConnection c(messages);
    bool ok = tables && connect_target(c, target);
    if (ok)
        for (const MappedTable& t : *tables)
            if (!(ok = c.insert(t, h))) break;
    if (ok) ok = c.commit();
    if (!ok) {
        if (c.is_connected()) (void)c.rollback();
        messages.tell(str(Str::SaveDbError), str(Str::ExportMessageCaption), MessageIcon::Warning);
    }
    return ok;
}

}  // namespace tellurim
