#pragma once
// The main window: a multiple-document frame titled "Tellurim" with the program's menus. The
// chart window's "&Drawing" menu and the results window's "&Results" menu appear while such a
// window is active. Closing is refused while a worker runs, and asks before unsaved
// horoscopes are dropped.

#include <QMainWindow>
#include <map>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "base/strings.h"
#include "gui/settings_dialogs.h"
#include "gui/tellurim_app.h"
#endif

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;

namespace tellurim {

class ChartWindow;
class ResultsWindow;
class MovingDialog;
class TextExportRun;
struct TextExportRequest;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(TellurimApp& app, QWidget* parent = nullptr);
    ~MainWindow() override;
    // The action of a command, by its text's number (nullptr for none).
    QAction* action(Str command) const;
    QMdiArea* mdi() const { return m_mdi; }
    // The application the window shows (for the settings dialogs).
    TellurimApp& app() { return m_app; }
    // The chart window (or results window) that is active, or null.
    ChartWindow* active_chart() const;
    ResultsWindow* active_results() const;

    // Commands, also for the tests.
    ChartWindow* horoscope_for_now();
    ChartWindow* show_chart(OpenChart& chart);
    ResultsWindow* show_results(OpenChart& chart, bool outside);
    // Prints the active window into a PDF file (the same as "Print..." with a file printer).
    bool print_to_pdf(const QString& path);
    // "&Moving": the Movings dialog of the active chart window.
    MovingDialog* moving();
    // Starts a text export on a worker slot with its progress dialog; null when refused.
    TextExportRun* export_text(const TextExportRequest& request);
    // Runs a script (a name relative to the script directory, or a path) on the horoscope of
    // the active chart or results window; its run text opens a "Result" window.
    bool run_script(const std::string& file, ScriptKind kind);
    // A "Result" window holding a run text.
    QPlainTextEdit* show_run_text(const std::string& text);
    // Redraws every window of `chart`.
    void refresh(OpenChart& chart);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* add(QMenu* menu, Str text, void (MainWindow::*slot)(), const QKeySequence& key = {});
    QAction* placeholder(QMenu* menu, Str text, Str message);
    // A settings command: its dialog, or a notice while it has none.
    QAction* settings_command(QMenu* menu, Str text, DialogOpener opener);
    void build_menus();
    void update_menus();
    OpenChart* current_chart() const;
    OpenChart* choose_chart(Str prompt);

    void new_horoscope();
    void open_horoscope();
    void recompute();
    void save();
    void save_as();
    void convert_to();
    void now_command();
    void page_setup();
    void export_txt();
    void print();
    void run_script_file(ScriptKind kind);
    void cascade();
    void tile_horizontal();
    void tile_vertical();
    void help_index();
    void about();
    void superpose_with();
    void superpose_now();
    void hide_outside();
    void permute();
    void zoom(int factor);
    void show_inside_results();
    void show_outside_results();
    void show_drawing();

    TellurimApp& m_app;
    QMdiArea* m_mdi;
    QMenu* m_drawing = nullptr;
    QMenu* m_results = nullptr;
    std::map<Str, QAction*> m_actions;
};

// The Qt filter of a Windows filter text "(desc *.x)|*.x|...": "(desc *.x) (*.x);;...".
QString qt_filter(std::string_view windows_filter);

}  // namespace tellurim
