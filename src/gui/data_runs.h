#pragma once
// The Data menu's import from a text file and export to a database: their dialogs ("Import txt
// dialog", "Export horoscopes to database"), and the run of each on a worker slot of the
// application's table with a progress dialog whose Cancel signals the slot's cancel event.
// The rest of the window stays responsive. What the worker has to say (the import's log
// entries without a log file, the driver's diagnostics) is shown on the main thread while the
// worker waits for the answer; the run's own closing message follows when it ends.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <memory>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "files/db_export.h"
#include "files/text_import.h"
#include "gui/tellurim_app.h"
#endif

class QCheckBox;
class QLineEdit;
class QListWidget;
class QTimer;

namespace tellurim {

class DataRun : public QObject {
    Q_OBJECT
public:
    struct Job;
    // Checks the request (the dialog's checks and messages) and starts it; null when refused.
    static DataRun* start_import(TellurimApp& app, ImportRequest request, QWidget* parent);
    static DataRun* start_db_export(TellurimApp& app, DbTarget target, std::vector<std::string> files,
                                    QWidget* parent);
    ~DataRun() override;
    int slot() const { return m_slot; }
    QProgressDialog* progress() const { return m_dialog; }
    void cancel();

signals:
    // The worker has ended and its closing message has been shown; the run deletes itself next.
    void ended();

private:
    DataRun(TellurimApp& app, std::unique_ptr<Job> job, QWidget* parent);
    bool start(const QString& label);
    void poll();

    TellurimApp& m_app;
    std::unique_ptr<Job> m_job;
    QObject* m_relay;  // the worker's messages are shown through it on this thread
    int m_slot = -1;
    QPointer<QProgressDialog> m_dialog;
    QTimer* m_timer;
};

// "Import txt dialog": the text file, the target directory, the log file, the separator and
// "Stop on every error"; "Import" starts the run.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(TellurimApp& app, QWidget* parent = nullptr);
    void set_request(const ImportRequest& request);
    // The run started by the last accept, if any.
    DataRun* run() const { return m_run; }

public slots:
    void accept() override;

private:
    TellurimApp& m_app;
    QLineEdit *m_file, *m_target, *m_log, *m_separator;
    QCheckBox* m_stop;
    DataRun* m_run = nullptr;
};

// "Export horoscopes to database": the data source (empty: the default database of the private
// directory), login and password, and the list of horoscope files with "&Add..." and "&Remove".
class DbExportDialog : public QDialog {
    Q_OBJECT
public:
    DbExportDialog(TellurimApp& app, QWidget* parent = nullptr);
    void add_files(const QStringList& files);
    DataRun* run() const { return m_run; }

public slots:
    void accept() override;

private:
    TellurimApp& m_app;
    QLineEdit *m_dsn, *m_login, *m_password;
    QListWidget* m_files;
    DataRun* m_run = nullptr;
};

}  // namespace tellurim
