#include "gui/export_run.h"

#include <QProgressDialog>
#include <QTimer>
#include <mutex>

#include "base/strings.h"
#include "gui/gui_messages.h"

namespace tellurim {
namespace {

// The worker's message sink: kept under a lock, answered with the defaults, and shown by the
// main thread afterwards (a dialog cannot be opened from a worker).
class DeferredMessages : public MessageSink {
public:
    MessageAnswer show(const Message& m) override {
        std::lock_guard lock(m_mutex);
        m_kept.push_back(m);
        return m.default_answer;
    }
    std::string ask_text(const std::string&, const std::string& proposed) override { return proposed; }
    std::vector<Message> take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_kept, {});
    }

private:
    std::mutex m_mutex;
    std::vector<Message> m_kept;
};

}  // namespace

struct TextExportRun::Job {
    WorkerThreads* table = nullptr;
    Options options;
    TextExportRequest request;
    DeferredMessages messages;
    ExportProgress progress;
    ExportResult result;
    std::atomic<bool> finished{false};

    static void routine(void* context) {
        auto* job = static_cast<Job*>(context);
        EphemerisLibrary library;
        if (EphemerisStatus s = library.load(job->options.ephemeris.type, job->options.ephemeris.jpl_file); !s)
            job->messages.tell(s.message, str(Str::ComputeCaption), MessageIcon::Warning);
        WorkerThreads workers;  // the ephemeris calls of this worker's own computations
        const ExportEnvironment env{&job->options, &job->messages, &workers, &library};
        job->result = run_text_export(job->request, env, job->table->cancel_event(job->table->current_slot()),
                                      &job->progress);
        job->finished = true;
    }
};

TextExportRun::TextExportRun(TellurimApp& app, TextExportRequest request, QWidget* parent)
    : QObject(parent), m_app(app), m_job(std::make_unique<Job>()), m_timer(new QTimer(this)) {
    m_job->table = &app.workers();
    m_job->options = app.options();
    m_job->request = std::move(request);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, &TextExportRun::poll);
}

// The worker holds the job until it ends; the application's table waits for it at exit.
TextExportRun::~TextExportRun() {
    if (m_slot >= 0) m_app.workers().wait(m_slot);
}

bool TextExportRun::start() {
    if (auto refusal = validate_text_export(m_job->request)) {
        m_app.messages().show(*refusal);
        return false;
    }
    m_slot = m_app.workers().start(&Job::routine, m_job.get());
    if (m_slot < 0) {
        m_app.messages().tell(str(Str::ExportDbError), str(Str::ExportErrorCaption), MessageIcon::Error);
        return false;
    }
    const int total = static_cast<int>(m_job->request.files.size());
    m_dialog = new QProgressDialog(qobject_cast<QWidget*>(parent()));
    m_dialog->setLabelText(qs(text(Str::GuiExportTxt)).remove('&'));
    m_dialog->setRange(0, total);
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    connect(m_dialog, &QProgressDialog::canceled, this, &TextExportRun::cancel);
    m_dialog->show();
    m_timer->start();
    return true;
}

void TextExportRun::cancel() {
    if (m_slot >= 0) m_app.workers().signal_cancel(m_slot);
}

void TextExportRun::poll() {
    if (m_dialog) m_dialog->setValue(static_cast<int>(m_job->progress.files_done.load()));
    if (!m_job->finished) return;
    m_timer->stop();
    m_app.workers().wait(m_slot);
    if (m_dialog) m_dialog->close();
    for (const Message& m : m_job->messages.take()) m_app.messages().show(m);
    m_app.messages().show(text_export_message(m_job->result));
    emit ended();
    deleteLater();
}

}  // namespace tellurim
