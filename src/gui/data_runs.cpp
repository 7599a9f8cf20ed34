#include "gui/data_runs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>

#include "app/cli_db.h"
#include "base/regular_file.h"
#include "base/strings.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "files/horoscope_file.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }

// The worker's message sink: each message is shown by the application's sink on the main
// thread while the worker waits for the answer, so that "Stop on every error" pauses the run
// at each entry. Once the run is abandoned (its window going away), the defaults answer.
class RelayMessages : public MessageSink {
public:
    RelayMessages(MessageSink& target, QObject* relay) : m_target(target), m_relay(relay) {}
    MessageAnswer show(const Message& m) override {
        if (QThread::currentThread() == m_relay->thread()) return m_target.show(m);
        MessageAnswer answer = m.default_answer;
        if (!abandoned)
            QMetaObject::invokeMethod(m_relay, [&] { answer = m_target.show(m); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    std::string ask_text(const std::string&, const std::string& proposed) override { return proposed; }
    std::atomic<bool> abandoned{false};

private:
    MessageSink& m_target;
    QObject* m_relay;
};

// Lines of a file, for the progress bar's total.
long count_lines(const std::string& path) {
    auto bytes = read_regular_file(path);
    return bytes ? static_cast<long>(std::count(bytes->begin(), bytes->end(), '\n')) + 1 : 0;
}

QPushButton* browse_button(QWidget* parent, std::function<void()> action) {
    auto* b = new QPushButton(tr_(Str::DataBrowse), parent);
    b->setAutoDefault(false);
    b->setMaximumWidth(32);
    QObject::connect(b, &QPushButton::clicked, parent, std::move(action));
    return b;
}

QWidget* with_button(QWidget* parent, QWidget* field, QPushButton* button) {
    auto* w = new QWidget(parent);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(field);
    l->addWidget(button);
    return w;
}

}  // namespace

struct DataRun::Job {
    WorkerThreads* table = nullptr;
    Options options;
    std::unique_ptr<RelayMessages> messages;
    long total = 0;
    // The run's body on the worker: its closing message.
    std::function<Message(const ImportEnvironment&, const ManualResetEvent*, Job&)> body;
    ImportProgress import_progress;
    ExportProgress export_progress;
    std::mutex label_mutex;
    std::string label;  // the horoscope being imported
    Message closing;
    std::atomic<bool> finished{false};

    long done() const { return import_progress.lines_done.load() + export_progress.files_done.load(); }

    static void routine(void* context) {
        auto* job = static_cast<Job*>(context);
        // The worker computes horoscopes of its own, with a provider of its own.
        EphemerisLibrary library;
        if (EphemerisStatus s = library.load(job->options.ephemeris.type, job->options.ephemeris.jpl_file); !s)
            job->messages->tell(s.message, str(Str::ComputeCaption), MessageIcon::Warning);
        WorkerThreads workers;
        const ImportEnvironment env{&job->options, job->messages.get(), &workers, &library};
        job->closing = job->body(env, job->table->cancel_event(job->table->current_slot()), *job);
        job->finished = true;
    }
};

DataRun::DataRun(TellurimApp& app, std::unique_ptr<Job> job, QWidget* parent)
    : QObject(parent), m_app(app), m_job(std::move(job)), m_relay(new QObject(this)), m_timer(new QTimer(this)) {
    m_job->table = &app.workers();
    m_job->options = app.options();
    m_job->messages = std::make_unique<RelayMessages>(app.messages(), m_relay);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &DataRun::poll);
}

DataRun::~DataRun() {
    if (m_slot < 0) return;
    // A worker waiting for an answer gets it while the run waits for its end.
    m_job->messages->abandoned = true;
    while (!m_job->finished) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    m_app.workers().wait(m_slot);
}

DataRun* DataRun::start_import(TellurimApp& app, ImportRequest request, QWidget* parent) {
    if (auto refusal = validate_import(request)) {
        app.messages().show(*refusal);
        return nullptr;
    }
    auto job = std::make_unique<Job>();
    job->total = count_lines(request.text_file);
    Job* j = job.get();
    job->import_progress.on_horoscope = [j](const std::string& text) {
        std::lock_guard lock(j->label_mutex);
        j->label = text;
    };
    job->body = [request](const ImportEnvironment& env, const ManualResetEvent* cancel, Job& self) {
        return run_import(request, env, *self.messages, cancel, &self.import_progress).final_message();
    };
    auto* run = new DataRun(app, std::move(job), parent);
    if (!run->start(tr_(Str::GuiImportTxt).remove('&'))) {
        delete run;
        return nullptr;
    }
    return run;
}

DataRun* DataRun::start_db_export(TellurimApp& app, DbTarget target, std::vector<std::string> files, QWidget* parent) {
    if (files.empty()) {
        app.messages().tell(str(Str::ExportNoHoroscope), str(Str::ExportErrorCaption), MessageIcon::Warning);
        return nullptr;
    }
    auto job = std::make_unique<Job>();
    job->total = static_cast<long>(files.size());
    job->body = [target = std::move(target), files = std::move(files)](const ImportEnvironment& env,
                                                                       const ManualResetEvent* cancel, Job& self) {
        const ExportEnvironment e{env.options, env.compute_messages, env.workers, env.library};
        return db_export_message(run_db_export(target, files, e, cancel, &self.export_progress));
    };
    auto* run = new DataRun(app, std::move(job), parent);
    if (!run->start(tr_(Str::GuiExportDb).remove('&'))) {
        delete run;
        return nullptr;
    }
    return run;
}

bool DataRun::start(const QString& label) {
    m_slot = m_app.workers().start(&Job::routine, m_job.get());
    if (m_slot < 0) {
        m_app.messages().tell(str(Str::AppRunningThread), str(Str::AppErrorCaption), MessageIcon::Error);
        return false;
    }
    m_dialog = new QProgressDialog(qobject_cast<QWidget*>(parent()));
    m_dialog->setWindowTitle(label);
    m_dialog->setLabelText(label);
    m_dialog->setCancelButtonText(tr_(Str::DataStop));
    m_dialog->setRange(0, static_cast<int>(std::max(1L, m_job->total)));
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumWidth(360);
    connect(m_dialog, &QProgressDialog::canceled, this, &DataRun::cancel);
    m_dialog->show();
    m_timer->start();
    return true;
}

void DataRun::cancel() {
    if (m_slot >= 0) m_app.workers().signal_cancel(m_slot);
}

void DataRun::poll() {
    if (m_dialog) {
        m_dialog->setValue(static_cast<int>(std::min(m_job->done(), m_job->total)));
        std::lock_guard lock(m_job->label_mutex);
        if (!m_job->label.empty()) m_dialog->setLabelText(qs(m_job->label));
    }
    if (!m_job->finished) return;
    m_timer->stop();
    m_app.workers().wait(m_slot);
    m_slot = -1;
    if (m_dialog) m_dialog->close();
    m_app.messages().show(m_job->closing);
    emit ended();
    deleteLater();
}

// --- the dialogs ----------------------------------------------------------------------------------

ImportDialog::ImportDialog(TellurimApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(tr_(Str::DataImportCaption));
    m_file = new QLineEdit(this);
    m_target = new QLineEdit(qs(app.horoscopes_dir()), this);
    m_log = new QLineEdit(this);
    m_separator = new QLineEdit(";", this);
    m_separator->setMaximumWidth(60);
    m_stop = new QCheckBox(tr_(Str::DataStopOnError), this);
    m_file->setMinimumWidth(320);
    auto* form = new QFormLayout;
    form->addRow(tr_(Str::DataImportFile), with_button(this, m_file, browse_button(this, [this] {
        const QString f = QFileDialog::getOpenFileName(this, tr_(Str::DataImportFile), m_file->text(), "(*.txt);;(*)");
        if (!f.isEmpty()) m_file->setText(f);
    })));
    form->addRow(tr_(Str::DataTargetDir), with_button(this, m_target, browse_button(this, [this] {
        const QString d = QFileDialog::getExistingDirectory(this, tr_(Str::DataTargetDir), m_target->text());
        if (!d.isEmpty()) m_target->setText(d);
    })));
    form->addRow(tr_(Str::DataLogFile), with_button(this, m_log, browse_button(this, [this] {
        const QString f = QFileDialog::getSaveFileName(this, tr_(Str::DataLogFile), m_log->text(), "(*.txt);;(*)",
                                                       nullptr, QFileDialog::DontConfirmOverwrite);
        if (!f.isEmpty()) m_log->setText(f);
    })));
    form->addRow(tr_(Str::DataSeparator), m_separator);
    form->addRow(QString(), m_stop);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(tr_(Str::DataImportButton), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void ImportDialog::set_request(const ImportRequest& r) {
    m_file->setText(qs(r.text_file));
    m_target->setText(qs(r.target_dir));
    m_log->setText(qs(r.log_file));
    m_separator->setText(qs(r.separator));
    m_stop->setChecked(r.stop_on_every_error);
}

void ImportDialog::accept() {
    ImportRequest r;
    r.text_file = m_file->text().toStdString();
    r.target_dir = m_target->text().toStdString();
    r.log_file = m_log->text().toStdString();
    r.separator = m_separator->text().toStdString();
    r.stop_on_every_error = m_stop->isChecked();
    // The run belongs to the main window, which outlives this dialog.
    m_run = DataRun::start_import(m_app, r, parentWidget());
    if (m_run) QDialog::accept();
}

DbExportDialog::DbExportDialog(TellurimApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(tr_(Str::DataExportDbCaption));
    const DatabaseConnection& db = app.options().database;
    m_dsn = new QLineEdit(qs(db.name), this);
    m_dsn->setPlaceholderText(tr_(Str::DataDefaultDatabase));
    m_dsn->setMinimumWidth(320);
    m_login = new QLineEdit(qs(db.login), this);
    m_password = new QLineEdit(qs(db.password), this);
    m_password->setEchoMode(QLineEdit::Password);
    m_files = new QListWidget(this);
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* add = new QPushButton(tr_(Str::DataAdd), this);
    auto* remove = new QPushButton(tr_(Str::DataRemove), this);
    for (QPushButton* b : {add, remove}) b->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] {
        add_files(QFileDialog::getOpenFileNames(this, tr_(Str::DataAdd).remove('&'), qs(m_app.horoscopes_dir()),
                                                qt_filter(horoscope_file_filter())));
    });
    connect(remove, &QPushButton::clicked, this, [this] { qDeleteAll(m_files->selectedItems()); });
    auto* form = new QFormLayout;
    form->addRow(tr_(Str::DataDatabaseName), m_dsn);
    form->addRow(tr_(Str::DataLogin), m_login);
    form->addRow(tr_(Str::DataPassword), m_password);
    auto* list_buttons = new QVBoxLayout;
    list_buttons->addWidget(add);
    list_buttons->addWidget(remove);
    list_buttons->addStretch();
    auto* list = new QHBoxLayout;
    list->addWidget(m_files);
    list->addLayout(list_buttons);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(tr_(Str::DataExportButton), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &DbExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DbExportDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(list);
    layout->addWidget(buttons);
}

void DbExportDialog::add_files(const QStringList& files) {
    for (const QString& f : files) m_files->addItem(f);
}

void DbExportDialog::accept() {
    std::vector<std::string> files;
    for (int i = 0; i < m_files->count(); ++i) files.push_back(m_files->item(i)->text().toStdString());
    if (files.empty()) {
        m_app.messages().tell(str(Str::ExportNoHoroscope), str(Str::ExportErrorCaption), MessageIcon::Warning);
        return;
    }
    // The connection the command line's `export db` takes, with the dialog's three fields.
    CliContext ctx;
    ctx.messages = &m_app.messages();
    const DbArgs args{m_dsn->text().toStdString(), m_login->text().toStdString(), m_password->text().toStdString(), {}};
    auto target = db_target(args, m_app.settings(), ctx);
    if (!target) return;
    m_run = DataRun::start_db_export(m_app, std::move(*target), std::move(files), parentWidget());
    if (m_run) QDialog::accept();
}

}  // namespace tellurim

// --- the Data commands ----------------------------------------------------------------------------

namespace tellurim {

void MainWindow::export_db() {
    DbExportDialog dialog(m_app, this);
    dialog.exec();
}

void MainWindow::import_txt() {
    ImportDialog dialog(m_app, this);
    dialog.exec();
}

}  // namespace tellurim
