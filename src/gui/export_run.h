#pragma once
// "Export to &txt file...": the export runs on a worker slot of the application's table while
// a progress dialog counts the files and offers Cancel (the slot's cancel event); the rest of
// the window stays responsive. What the worker has to say is kept and shown on the main thread
// when it ends, followed by the export's own message.

#include <QObject>
#include <QPointer>
#include <memory>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "files/horoscope_export.h"
#include "gui/tellurim_app.h"
#endif

#include <QProgressDialog>
class QTimer;

namespace tellurim {

class TextExportRun : public QObject {
    Q_OBJECT
public:
    TextExportRun(TellurimApp& app, TextExportRequest request, QWidget* parent);
    ~TextExportRun() override;
    // Checks the request and starts the worker; false after telling why it did not start.
    bool start();
    int slot() const { return m_slot; }
    QProgressDialog* progress() const { return m_dialog; }
    void cancel();

signals:
    // The worker has ended and its messages have been shown; the run deletes itself next.
    void ended();

private:
    void poll();
    struct Job;

    TellurimApp& m_app;
    std::unique_ptr<Job> m_job;
    int m_slot = -1;
    QPointer<QProgressDialog> m_dialog;
    QTimer* m_timer;
};

}  // namespace tellurim
