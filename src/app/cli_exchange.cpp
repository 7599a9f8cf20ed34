// tellurim import, export db, export text, db test, db setup: thin shells over the import and
// export routines of src/files, each run on a worker of the thread table with a progress bar
// and Ctrl-C as its cancel event.
#include <algorithm>
#include <fmt/format.h>
#include <fstream>
#include <functional>
#include <optional>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_chart.h"
#include "app/cli_progress.h"
#include "app/cli_db.h"
#include "app/cli_settings.h"
#include "app/json_util.h"
#include "core/ephemeris_library.h"
#include "base/strings.h"
#include "core/worker_threads.h"
#include <filesystem>

#include "base/regular_file.h"
#include "core/paths.h"
#include "files/db_export.h"
#include "files/horoscope_export.h"
#include "files/odbc.h"
#include "files/text_import.h"

namespace tellurim {
namespace {

// The tables of the default SQLite database.
std::string default_schema_file() {
    return join_path(join_path(join_path(base_directory(), "db"), "sqlite"), "schema.sql");
}

// Lines of a file, for the progress bar's total.
long count_lines(const std::string& path) {
    auto bytes = read_regular_file(path);
    if (!bytes) return 0;
    return static_cast<long>(std::count(bytes->begin(), bytes->end(), '\n'));
}

struct ImportArgs {
    ImportRequest request;
    ChartOverrides overrides;
    bool json = false;
};

// The worker's context: everything the import routine reads and the summary it writes.
struct ImportJob {
    WorkerThreads* table = nullptr;
    const ImportRequest* request = nullptr;
    const Options* options = nullptr;
    MessageSink* messages = nullptr;
    ImportProgress progress;
    ImportSummary summary;
};

// A worker computes horoscopes of its own: its ephemeris calls run on a library of its own.
void load_worker_library(EphemerisLibrary& library, const Options& options, MessageSink& messages) {
    EphemerisStatus loaded = library.load(options.ephemeris.type, options.ephemeris.jpl_file);
    if (!loaded) messages.tell(loaded.message, str(Str::ComputeCaption), MessageIcon::Warning);
}

void import_routine(void* context) {
    auto* job = static_cast<ImportJob*>(context);
    EphemerisLibrary library;
    load_worker_library(library, *job->options, *job->messages);
    WorkerThreads workers;
    ImportEnvironment env{job->options, job->messages, &workers, &library};
    const int slot = job->table->current_slot();
    job->summary = run_import(*job->request, env, *job->messages, job->table->cancel_event(slot), &job->progress);
}

int run_import_command(ImportArgs& a, CliContext& ctx) {
    if (auto refusal = validate_import(a.request)) {
        ctx.messages->show(*refusal);
        return kExitBadInput;
    }
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    Options options = settings->options;
    if (!apply_chart_overrides(a.overrides, options, ctx)) return ctx.exit_code;

    WorkerThreads table;
    ImportJob job;
    job.table = &table;
    job.request = &a.request;
    job.options = &options;
    job.messages = ctx.messages;
    ProgressSource progress{[&job] { return job.progress.lines_done.load(); }, count_lines(a.request.text_file),
                            "import"};
    if (!run_worker_with_progress(table, &import_routine, &job, progress)) return kExitFailure;

    const ImportSummary& s = job.summary;
    if (a.json) {
        nlohmann::json j = {{"lines", s.lines},       {"imported", s.imported}, {"warnings", s.warnings},
                            {"errors", s.errors},     {"files", s.files},       {"cancelled", s.cancelled},
                            {"failed_lines", s.failed_lines}};
        std::cout << json_text(j) << "\n";
    } else {
        std::cout << fmt::format("lines {}, imported {}, warnings {}, errors {}\n", s.lines, s.imported, s.warnings,
                                 s.errors);
    }
    ctx.messages->show(s.final_message());
    return s.cancelled || s.failed ? kExitFailure : kExitOk;
}

struct TextExportArgs {
    TextExportRequest request;
    ChartOverrides overrides;
    bool json = false;
};

// The context of an export worker: the routine to run with its environment, and its result.
struct ExportJob {
    WorkerThreads* table = nullptr;
    const Options* options = nullptr;
    MessageSink* messages = nullptr;
    std::function<ExportResult(const ExportEnvironment&, const ManualResetEvent*, ExportProgress*)> body;
    ExportProgress progress;
    ExportResult result;
};

void export_routine(void* context) {
    auto* job = static_cast<ExportJob*>(context);
    EphemerisLibrary library;
    load_worker_library(library, *job->options, *job->messages);
    WorkerThreads workers;
    ExportEnvironment env{job->options, job->messages, &workers, &library};
    job->result = job->body(env, job->table->cancel_event(job->table->current_slot()), &job->progress);
}

// Runs an export body on a worker with the progress bar; nullopt when the worker did not start.
std::optional<ExportResult> run_export_job(const Options& options, CliContext& ctx, long total,
                                           decltype(ExportJob::body) body) {
    WorkerThreads table;
    ExportJob job;
    job.table = &table;
    job.options = &options;
    job.messages = ctx.messages;
    job.body = std::move(body);
    ProgressSource progress{[&job] { return job.progress.files_done.load(); }, total, "export"};
    if (!run_worker_with_progress(table, &export_routine, &job, progress)) return std::nullopt;
    return job.result;
}

void print_export_result(const ExportResult& r, bool json) {
    if (json)
        std::cout << json_text(nlohmann::json{{"exported", r.exported}, {"cancelled", r.cancelled}, {"failed", r.failed}})
                  << "\n";
    else
        std::cout << fmt::format("exported {}\n", r.exported);
}

int run_text_export_command(TextExportArgs& a, CliContext& ctx) {
    if (auto refusal = validate_text_export(a.request)) {
        ctx.messages->show(*refusal);
        return kExitBadInput;
    }
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    Options options = settings->options;
    if (!apply_chart_overrides(a.overrides, options, ctx)) return ctx.exit_code;
    const TextExportRequest& request = a.request;
    auto result = run_export_job(options, ctx, static_cast<long>(request.files.size()),
                                 [&request](const ExportEnvironment& env, const ManualResetEvent* cancel,
                                            ExportProgress* progress) {
                                     return run_text_export(request, env, cancel, progress);
                                 });
    if (!result) return kExitFailure;
    print_export_result(*result, a.json);
    ctx.messages->show(text_export_message(*result));
    return result->cancelled || result->failed ? kExitFailure : kExitOk;
}

void add_db_options(CLI::App& command, DbArgs& a) {
    command.add_option("--dsn", a.dsn,
                       "ODBC data source name (default: the options'; without one, tellurim.db in the private directory)");
    command.add_option("--login", a.login, "Login");
    command.add_option("--password", a.password, "Password");
    command.add_option("--mapping", a.mapping, "Mapping ini file (default: the options' database ini file)");
}

struct DbExportArgs {
    std::vector<std::string> files;
    DbArgs db;
    ChartOverrides overrides;
    bool json = false;
};

int run_db_export_command(DbExportArgs& a, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    Options options = settings->options;
    if (!apply_chart_overrides(a.overrides, options, ctx)) return ctx.exit_code;
    auto target = db_target(a.db, *settings, ctx);
    if (!target) return ctx.exit_code;
    const std::vector<std::string>& files = a.files;
    auto result = run_export_job(options, ctx, static_cast<long>(files.size()),
                                 [&](const ExportEnvironment& env, const ManualResetEvent* cancel,
                                     ExportProgress* progress) {
                                     return run_db_export(*target, files, env, cancel, progress);
                                 });
    if (!result) return kExitFailure;
    print_export_result(*result, a.json);
    ctx.messages->show(db_export_message(*result));
    return result->cancelled || result->failed ? kExitFailure : kExitOk;
}

int run_db_test_command(const DbArgs& a, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    auto target = db_target(a, *settings, ctx);
    if (!target) return ctx.exit_code;
    return test_connection(*target, *ctx.messages) ? kExitOk : kExitFailure;
}

int run_db_setup_command(CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return ctx.exit_code;
    // The default database whatever the options name: it is the one this command prepares.
    Options options = settings->options;
    options.database.name.clear();
    const DbTarget target = db_target_from_options(options, settings->private_dir);
    if (!ensure_default_database(target.default_database, default_schema_file(), *ctx.messages)) return kExitFailure;
    std::cout << text(Str::DbDefaultDatabase) << " " << target.default_database << "\n";
    return kExitOk;
}

}  // namespace

// The target of a run: the options' connection overridden by the flags. Without a data source
// name, the default embedded database is created on first use.
std::optional<DbTarget> db_target(const DbArgs& a, const CliSettings& settings, CliContext& ctx) {
    DbTarget t = db_target_from_options(settings.options, settings.private_dir);
    if (!a.dsn.empty()) t.dsn = a.dsn;
    if (!a.login.empty()) t.login = a.login;
    if (!a.password.empty()) t.password = a.password;
    if (!a.mapping.empty()) t.mapping_file = a.mapping;
    if (t.dsn.empty() && !ensure_default_database(t.default_database, default_schema_file(), *ctx.messages)) {
        ctx.exit_code = kExitFailure;
        return std::nullopt;
    }
    return t;
}

void register_exchange_commands(CLI::App& app, CliContext& ctx) {
    auto imp = std::make_shared<ImportArgs>();
    CLI::App* import = app.add_subcommand("import", "Import horoscopes from a text file, one birth per line");
    import->add_option("FILE", imp->request.text_file, "Text file to import")->required();
    import->add_option("--to", imp->request.target_dir, "Target directory of the horoscope files")->required();
    import->add_option("--log", imp->request.log_file, "Log file (appended); without it every entry is shown");
    imp->request.separator = ";";
    import->add_option("--separator", imp->request.separator, "Field separator (\\t for a tab)")->capture_default_str();
    import->add_flag("--stop-on-error", imp->request.stop_on_every_error, "Show every warning and error");
    add_chart_override_options(*import, imp->overrides);
    import->add_flag("--json", imp->json, "JSON summary");
    import->callback([imp, &ctx] { ctx.exit_code = run_import_command(*imp, ctx); });

    CLI::App* exp = app.add_subcommand("export", "Export horoscope files to a text file or a database");
    exp->require_subcommand(1);
    auto txt = std::make_shared<TextExportArgs>();
    CLI::App* text_cmd = exp->add_subcommand("text", "Append one line per horoscope file to a text file");
    text_cmd->add_option("FILES", txt->request.files, "Horoscope files")->required();
    text_cmd->add_option("--out", txt->request.out_file, "Text file (appended)")->required();
    txt->request.separator = ";";
    text_cmd->add_option("--separator", txt->request.separator, "Field separator (\\t for a tab)")->capture_default_str();
    add_chart_override_options(*text_cmd, txt->overrides);
    text_cmd->add_flag("--json", txt->json, "JSON summary");
    text_cmd->callback([txt, &ctx] { ctx.exit_code = run_text_export_command(*txt, ctx); });

    auto dbx = std::make_shared<DbExportArgs>();
    CLI::App* db_cmd = exp->add_subcommand("db", "Insert horoscope files into a database through ODBC, as one transaction");
    db_cmd->add_option("FILES", dbx->files, "Horoscope files")->required();
    add_db_options(*db_cmd, dbx->db);
    add_chart_override_options(*db_cmd, dbx->overrides);
    db_cmd->add_flag("--json", dbx->json, "JSON summary");
    db_cmd->callback([dbx, &ctx] { ctx.exit_code = run_db_export_command(*dbx, ctx); });

    CLI::App* db = app.add_subcommand("db", "The database connection");
    db->require_subcommand(1);
    auto dbt = std::make_shared<DbArgs>();
    CLI::App* test = db->add_subcommand("test", "Connect to the database and say whether it succeeded");
    add_db_options(*test, *dbt);
    test->callback([dbt, &ctx] { ctx.exit_code = run_db_test_command(*dbt, ctx); });
    CLI::App* setup = db->add_subcommand("setup", "Create the default SQLite database of the private directory and its tables");
    setup->callback([&ctx] { ctx.exit_code = run_db_setup_command(ctx); });
}

}  // namespace tellurim
