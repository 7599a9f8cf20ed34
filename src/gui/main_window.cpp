#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBrowser>
#include <QTextDocument>
#include <QThread>
#include <filesystem>

#include "core/paths.h"
#include "files/horoscope_file.h"
#include "gui/birth_dialog.h"
#include "gui/chart_windows.h"
#include "gui/gui_messages.h"
#include "gui/moving_dialog.h"
#include "gui/export_run.h"
#include "report/report_file.h"

namespace tellurim {
namespace {

QString tr_(Str s) { return qs(text(s)); }

// A command's text without its mnemonic and dots, as a caption.
std::string caption_of(Str s) {
    std::string t;
    for (char c : text(s))
        if (c != '&') t += c;
    while (!t.empty() && (t.back() == '.' || t.back() == ' ')) t.pop_back();
    return t;
}

// The user manual: the README beside the data directory of the source tree or the
// installation.
QString manual_path() {
    namespace fs = std::filesystem;
    const fs::path base(base_directory());
    for (const fs::path& p : {base / "README.md", base.parent_path() / "README.md",
                              base.parent_path() / "doc" / "tellurim" / "README.md"}) {
        std::error_code ec;
        if (fs::is_regular_file(p, ec)) return QString::fromStdString(p.string());
    }
    return {};
}

}  // namespace

QString qt_filter(std::string_view windows_filter) {
    const QStringList parts = qs(windows_filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + parts[i + 1] + ")";
    return out.join(";;");
}

MainWindow::MainWindow(TellurimApp& app, QWidget* parent) : QMainWindow(parent), m_app(app), m_mdi(new QMdiArea(this)) {
    setWindowTitle(tr_(Str::AppTitle));
    setCentralWidget(m_mdi);
    build_menus();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { update_menus(); });
    update_menus();
    resize(1100, 800);
}

// The child windows go after the menus: their last activations must not reach the menus.
MainWindow::~MainWindow() { disconnect(m_mdi, nullptr, this, nullptr); }

QAction* MainWindow::action(Str command) const {
    auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* MainWindow::add(QMenu* menu, Str text, void (MainWindow::*slot)(), const QKeySequence& key) {
    QAction* a = menu->addAction(tr_(text));
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, slot);
    m_actions[text] = a;
    return a;
}

QAction* MainWindow::placeholder(QMenu* menu, Str text, Str message) {
    QAction* a = menu->addAction(tr_(text));
    connect(a, &QAction::triggered, this,
            [this, text, message] { m_app.messages().tell(str(message), caption_of(text), MessageIcon::Information); });
    m_actions[text] = a;
    return a;
}

QAction* MainWindow::settings_command(QMenu* menu, Str text, DialogOpener opener) {
    if (!opener) return placeholder(menu, text, Str::AppNextIssue);
    QAction* a = menu->addAction(tr_(text));
    connect(a, &QAction::triggered, this, [this, opener] { opener(*this); });
    m_actions[text] = a;
    return a;
}

void MainWindow::build_menus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr_(Str::GuiFile));
    add(file, Str::GuiNewHoroscope, &MainWindow::new_horoscope, QKeySequence::New);
    add(file, Str::GuiOpenHoroscope, &MainWindow::open_horoscope, QKeySequence::Open);
    add(file, Str::GuiRecompute, &MainWindow::recompute);
    add(file, Str::GuiSave, &MainWindow::save, QKeySequence::Save);
    add(file, Str::GuiSaveAs, &MainWindow::save_as);
    add(file, Str::GuiConvertTo, &MainWindow::convert_to);
    file->addSeparator();
    add(file, Str::GuiHoroscopeNow, &MainWindow::now_command, QKeySequence(Qt::Key_F2));
    file->addSeparator();
    add(file, Str::GuiPageSetup, &MainWindow::page_setup);
    add(file, Str::GuiPrint, &MainWindow::print, QKeySequence::Print);
    file->addSeparator();
    QAction* exit = file->addAction(tr_(Str::GuiExit));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    m_actions[Str::GuiExit] = exit;

    QMenu* interp = bar->addMenu(tr_(Str::GuiInterpretation));
    for (const auto& [s, kind] : {std::pair{Str::GuiRunTcl, ScriptKind::Tcl}, std::pair{Str::GuiRunTk, ScriptKind::Tk}}) {
        QAction* a = interp->addAction(tr_(s));
        connect(a, &QAction::triggered, this, [this, k = kind] { run_script_file(k); });
        m_actions[s] = a;
    }
    QMenu* custom = interp->addMenu(tr_(Str::GuiCustom));
    m_actions[Str::GuiCustom] = custom->menuAction();
    for (const ScriptMenuEntry& e : m_app.script_menu()) {
        QAction* a = custom->addAction(qs(e.text));
        connect(a, &QAction::triggered, this,
                [this, file = e.file, tcl = e.is_tcl] { run_script(file, tcl ? ScriptKind::Tcl : ScriptKind::Tk); });
    }

    QMenu* tools = bar->addMenu(tr_(Str::GuiTools));
    add(tools, Str::GuiSolarReturn, &MainWindow::solar_return);
    add(tools, Str::GuiDasas, &MainWindow::dasas);
    add(tools, Str::GuiDirections, &MainWindow::directions);
    QMenu* data = bar->addMenu(tr_(Str::GuiData));
    add(data, Str::GuiExportDb, &MainWindow::export_db);
    add(data, Str::GuiExportTxt, &MainWindow::export_txt);
    add(data, Str::GuiImportTxt, &MainWindow::import_txt);
    QMenu* config = bar->addMenu(tr_(Str::GuiConfiguration));
    for (Str s : {Str::GuiHomeDir, Str::GuiHoroscopesDir, Str::GuiDirsFiles, Str::GuiInterface, Str::GuiDatabase,
                  Str::GuiInterpList, Str::GuiMyCity})
        settings_command(config, s, configuration_dialog(s));
    QMenu* options = bar->addMenu(tr_(Str::GuiOptions));
    for (Str s : {Str::GuiAstrology, Str::GuiAyanamsa, Str::GuiHouses, Str::GuiDasaAyanamsa, Str::GuiEphemeris})
        settings_command(options, s, computing_options_dialog(s));
    options->addSeparator();
    for (Str s : {Str::GuiAspects, Str::GuiHinduAspects, Str::GuiExaltations, Str::GuiNakshatras})
        settings_command(options, s, options_dialog(s));
    options->addSeparator();
    for (Str s : {Str::GuiDrawingOptions, Str::GuiFonts, Str::GuiColors, Str::GuiPlanetColors,
                  Str::GuiPlanetHouseColors})
        settings_command(options, s, drawing_options_dialog(s));

    // The child windows' menus, shown while such a window is active.
    m_drawing = bar->addMenu(tr_(Str::GuiDrawing));
    add(m_drawing, Str::GuiSuperposeWith, &MainWindow::superpose_with);
    add(m_drawing, Str::GuiSuperposeNow, &MainWindow::superpose_now);
    add(m_drawing, Str::GuiHideOutside, &MainWindow::hide_outside)->setCheckable(true);
    add(m_drawing, Str::GuiPermute, &MainWindow::permute);
    QMenu* zoom_menu = m_drawing->addMenu(tr_(Str::GuiZoom));
    m_actions[Str::GuiZoom] = zoom_menu->menuAction();
    const std::pair<Str, int> zooms[] = {
        {Str::GuiZoom2, 2}, {Str::GuiZoom3, 3}, {Str::GuiZoom4, 4}, {Str::GuiZoomRestore, 1}};
    for (const auto& [s, factor] : zooms) {
        QAction* a = zoom_menu->addAction(tr_(s));
        connect(a, &QAction::triggered, this, [this, f = factor] { zoom(f); });
        m_actions[s] = a;
    }
    for (Str s : {Str::GuiPlanetsFilter, Str::GuiHousesFilter}) settings_command(m_drawing, s, options_dialog(s));
    QAction* moving_action = m_drawing->addAction(tr_(Str::GuiMoving));
    connect(moving_action, &QAction::triggered, this, [this] { moving(); });
    m_actions[Str::GuiMoving] = moving_action;
    add(m_drawing, Str::GuiShowInside, &MainWindow::show_inside_results);
    add(m_drawing, Str::GuiShowOutside, &MainWindow::show_outside_results);
    m_results = bar->addMenu(tr_(Str::GuiResults));
    add(m_results, Str::GuiShowDrawing, &MainWindow::show_drawing);

    QMenu* windows = bar->addMenu(tr_(Str::GuiWindows));
    add(windows, Str::GuiCascade, &MainWindow::cascade);
    add(windows, Str::GuiTileHorizontal, &MainWindow::tile_horizontal);
    add(windows, Str::GuiTileVertical, &MainWindow::tile_vertical);
    QMenu* help = bar->addMenu(tr_(Str::GuiHelp));
    add(help, Str::GuiHelpIndex, &MainWindow::help_index);
    add(help, Str::GuiHelpContext, &MainWindow::help_index, QKeySequence(Qt::Key_F1));
    add(help, Str::GuiAbout, &MainWindow::about);
}

void MainWindow::update_menus() {
    ChartWindow* chart = active_chart();
    m_drawing->menuAction()->setVisible(chart != nullptr);
    m_results->menuAction()->setVisible(active_results() != nullptr);
    if (chart) {
        OpenChart& c = chart->chart();
        action(Str::GuiHideOutside)->setEnabled(c.outside != nullptr);
        action(Str::GuiHideOutside)->setChecked(c.outside_hidden);
        action(Str::GuiPermute)->setEnabled(c.outside != nullptr);
        action(Str::GuiShowOutside)->setEnabled(c.outside != nullptr);
    }
    const bool any = current_chart() != nullptr;
    for (Str s : {Str::GuiSave, Str::GuiSaveAs, Str::GuiConvertTo, Str::GuiPrint}) action(s)->setEnabled(any);
}

ChartWindow* MainWindow::active_chart() const {
    QMdiSubWindow* w = m_mdi->activeSubWindow();
    return w ? qobject_cast<ChartWindow*>(w->widget()) : nullptr;
}

ResultsWindow* MainWindow::active_results() const {
    QMdiSubWindow* w = m_mdi->activeSubWindow();
    return w ? qobject_cast<ResultsWindow*>(w->widget()) : nullptr;
}

OpenChart* MainWindow::current_chart() const {
    if (ChartWindow* c = active_chart()) return &c->chart();
    if (ResultsWindow* r = active_results()) return &r->chart();
    return nullptr;
}

ChartWindow* MainWindow::show_chart(OpenChart& chart) {
    auto* w = new ChartWindow(m_app, chart);
    QMdiSubWindow* sub = m_mdi->addSubWindow(w);
    sub->resize(640, 640);
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    update_menus();
    return w;
}

ResultsWindow* MainWindow::show_results(OpenChart& chart, bool outside) {
    auto* w = new ResultsWindow(m_app, chart, outside);
    QMdiSubWindow* sub = m_mdi->addSubWindow(w);
    sub->resize(640, 560);
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    update_menus();
    return w;
}

void MainWindow::refresh(OpenChart& chart) {
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (auto* c = qobject_cast<ChartWindow*>(sub->widget()); c && &c->chart() == &chart) c->refresh();
        if (auto* r = qobject_cast<ResultsWindow*>(sub->widget()); r && &r->chart() == &chart) r->refresh();
    }
    update_menus();
}

OpenChart* MainWindow::choose_chart(Str prompt) {
    const auto& list = m_app.horoscopes();
    if (list.empty()) {
        m_app.messages().tell(str(Str::AppNoHoroscope), str(Str::AppTitle), MessageIcon::Information);
        return nullptr;
    }
    QStringList names;
    for (const auto& c : list) names << qs(c->title());
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, tr_(Str::AppTitle), tr_(prompt), names, 0, false, &ok);
    if (!ok) return nullptr;
    const auto i = names.indexOf(chosen);
    return i < 0 ? nullptr : list[static_cast<std::size_t>(i)].get();
}

void MainWindow::new_horoscope() {
    BirthDialog dialog(m_app.options(), m_app.messages(), this);
    dialog.set_private_dir(m_app.private_dir());
    if (dialog.exec() != QDialog::Accepted || !dialog.birth()) return;
    if (OpenChart* c = m_app.compute_birth(*dialog.birth())) show_chart(*c);
}

void MainWindow::open_horoscope() {
    const QString path = QFileDialog::getOpenFileName(this, tr_(Str::GuiOpenHoroscope).remove('&'),
                                                      qs(m_app.horoscopes_dir()), qt_filter(horoscope_file_filter()));
    if (path.isEmpty()) return;
    if (OpenChart* c = m_app.open_file(path.toStdString())) show_chart(*c);
}

void MainWindow::recompute() {
    if (OpenChart* c = choose_chart(Str::AppChooseRecompute); c && m_app.recompute(*c)) refresh(*c);
}

void MainWindow::save() {
    OpenChart* c = current_chart();
    if (!c) return;
    if (c->path.empty()) return save_as();
    // Saving over the horoscope's own file asks first, naming the person and the moment.
    if (m_app.messages().show(save_question(*c->horoscope, c->path)) != MessageAnswer::Yes) return;
    if (write_horoscope_file(*c->horoscope, c->path)) {
        c->unsaved = false;
    } else {
        m_app.messages().tell(c->path, str(Str::HoroFileCannotWrite), MessageIcon::Error);
    }
}

void MainWindow::save_as() {
    OpenChart* c = current_chart();
    if (!c) return;
    const QString path =
        QFileDialog::getSaveFileName(this, tr_(Str::GuiSaveAs).remove('&'), qs(m_app.default_file_name(*c)),
                                     qt_filter(horoscope_file_filter()), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty()) m_app.save(*c, path.toStdString());
}

void MainWindow::convert_to() {
    OpenChart* c = current_chart();
    if (!c) return;
    const QString filters = qt_filter(text(Str::ReportConvertFilter));
    QString selected;
    const QString path = QFileDialog::getSaveFileName(this, tr_(Str::GuiConvertTo).remove('&'),
                                                      qs(m_app.horoscopes_dir()), filters, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return;
    const int entry = static_cast<int>(filters.split(";;").indexOf(selected)) + 1;
    const ConvertTarget target = convert_target(path.toStdString(), entry);
    const Horoscope& h = active_results() && active_results()->shows_outside() && c->outside ? *c->outside : *c->horoscope;
    (void)write_document_file(target.path, target.format, m_app.report(h, target.format), m_app.messages());
}

ChartWindow* MainWindow::horoscope_for_now() {
    OpenChart* c = m_app.compute_now();
    return c ? show_chart(*c) : nullptr;
}

void MainWindow::now_command() { horoscope_for_now(); }

void MainWindow::page_setup() {
    QPrinter printer;
    QPageSetupDialog(&printer, this).exec();
}

bool MainWindow::print_to_pdf(const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (ChartWindow* c = active_chart()) {
        QPainter g;
        if (!g.begin(&printer)) return false;
        const QRectF page = printer.pageRect(QPrinter::DevicePixel);
        // The wheel keeps the window's proportions and fills the page's width.
        const QSizeF area = c->canvas()->size();
        const double scale = page.width() / area.width();
        g.scale(scale, scale);
        const OpenChart& oc = c->chart();
        paint_wheel(g, area, area.toSize(), oc.horoscope->options, m_app.wheel_style(oc), m_app.wheel_input(oc));
        return g.end();
    }
    if (ResultsWindow* r = active_results()) {
        r->document()->print(&printer);
        return true;
    }
    return false;
}

void MainWindow::print() {
    if (!current_chart()) return;
    // Without a printer the page goes into a PDF file.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const QString path =
            QFileDialog::getSaveFileName(this, tr_(Str::GuiPrint).remove('&'), qs(m_app.horoscopes_dir()), "PDF (*.pdf)");
        if (!path.isEmpty()) print_to_pdf(path.endsWith(".pdf", Qt::CaseInsensitive) ? path : path + ".pdf");
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        print_to_pdf(printer.outputFileName());
        return;
    }
    if (ResultsWindow* r = active_results()) {
        r->document()->print(&printer);
    } else if (ChartWindow* c = active_chart()) {
        QPainter g(&printer);
        const QSizeF area = c->canvas()->size();
        const double scale = printer.pageRect(QPrinter::DevicePixel).width() / area.width();
        g.scale(scale, scale);
        const OpenChart& oc = c->chart();
        paint_wheel(g, area, area.toSize(), oc.horoscope->options, m_app.wheel_style(oc), m_app.wheel_input(oc));
    }
}

bool MainWindow::run_script(const std::string& file, ScriptKind kind) {
    // The chart of the active window, or else of the chart or results window active last: the
    // "Result" window of an earlier run takes the focus, and the next run must not ask for a file.
    const OpenChart* chart = current_chart();
    const auto history = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); !chart && it != history.rend(); ++it) {
        if (auto* c = qobject_cast<ChartWindow*>((*it)->widget())) chart = &c->chart();
        if (auto* r = qobject_cast<ResultsWindow*>((*it)->widget())) chart = &r->chart();
    }
    // Without a chart window the script's open-file dialog is the user's, shown on this
    // window's thread even when a TK run asks from its worker.
    ScriptDialogs dialogs;
    dialogs.open_horoscope = [this](const std::string& title) -> std::optional<std::string> {
        QString path;
        QMetaObject::invokeMethod(
            this,
            [&] {
                path = QFileDialog::getOpenFileName(this, qs(title), qs(m_app.horoscopes_dir()),
                                                    qt_filter(horoscope_file_filter()));
            },
            QThread::currentThread() == thread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection);
        if (path.isEmpty()) return std::nullopt;
        return path.toStdString();
    };
    // A TK run reports from its worker: the window is made on this one.
    auto show = [this](const std::string& text) {
        QMetaObject::invokeMethod(this, [this, text] { show_run_text(text); }, Qt::AutoConnection);
        return true;
    };
    return m_app.run_script(file, kind, chart ? chart->horoscope.get() : nullptr, std::move(dialogs), show);
}

void MainWindow::run_script_file(ScriptKind kind) {
    const Str command = kind == ScriptKind::Tcl ? Str::GuiRunTcl : Str::GuiRunTk;
    const QString path = QFileDialog::getOpenFileName(this, tr_(command).remove('&'),
                                                      qs(m_app.options().paths.tcl_script_dir), "Tcl (*.tcl);;(*)");
    if (!path.isEmpty()) run_script(path.toStdString(), kind);
}

QPlainTextEdit* MainWindow::show_run_text(const std::string& text) {
    auto* view = new QPlainTextEdit;
    view->setReadOnly(true);
    view->setPlainText(qs(text).remove('\r'));
    view->setWindowTitle(tr_(Str::ScriptResultTitle));
    view->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = m_mdi->addSubWindow(view);
    sub->resize(640, 480);
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    return view;
}

void MainWindow::cascade() { m_mdi->cascadeSubWindows(); }

void MainWindow::tile_horizontal() {
    // One row per window, each the frame's whole width.
    const auto list = m_mdi->subWindowList();
    if (list.isEmpty()) return;
    const int h = m_mdi->viewport()->height() / static_cast<int>(list.size());
    int y = 0;
    for (QMdiSubWindow* w : list) {
        w->showNormal();
        w->setGeometry(0, y, m_mdi->viewport()->width(), h);
        y += h;
    }
}

void MainWindow::tile_vertical() {
    const auto list = m_mdi->subWindowList();
    if (list.isEmpty()) return;
    const int w = m_mdi->viewport()->width() / static_cast<int>(list.size());
    int x = 0;
    for (QMdiSubWindow* s : list) {
        s->showNormal();
        s->setGeometry(x, 0, w, m_mdi->viewport()->height());
        x += w;
    }
}

void MainWindow::help_index() {
    const QString path = manual_path();
    if (path.isEmpty()) {
        m_app.messages().tell(str(Str::CheckConfigFile), "README.md", MessageIcon::Warning);
        return;
    }
    auto* view = new QTextBrowser;
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setSearchPaths({QFileInfo(path).absolutePath()});
    view->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    view->setWindowTitle(QFileInfo(path).fileName());
    QMdiSubWindow* sub = m_mdi->addSubWindow(view);
    sub->resize(800, 600);
    sub->show();
}

void MainWindow::about() {
    m_app.messages().tell(str(Str::AppAboutName) + "\n" + str(Str::AppAboutVersion) + "\n" + str(Str::AppAboutUnicode),
                          caption_of(Str::GuiAbout), MessageIcon::Information);
}

void MainWindow::superpose_with() {
    ChartWindow* w = active_chart();
    if (!w) return;
    const QString path = QFileDialog::getOpenFileName(this, tr_(Str::GuiSuperposeWith).remove('&'),
                                                      qs(m_app.horoscopes_dir()), qt_filter(horoscope_file_filter()));
    if (!path.isEmpty() && m_app.superpose_file(w->chart(), path.toStdString())) refresh(w->chart());
}

void MainWindow::superpose_now() {
    if (ChartWindow* w = active_chart(); w && m_app.superpose_now(w->chart())) refresh(w->chart());
}

void MainWindow::hide_outside() {
    if (ChartWindow* w = active_chart()) {
        w->chart().outside_hidden = !w->chart().outside_hidden;
        refresh(w->chart());
    }
}

void MainWindow::permute() {
    if (ChartWindow* w = active_chart()) {
        m_app.permute(w->chart());
        refresh(w->chart());
    }
}

MovingDialog* MainWindow::moving() {
    ChartWindow* w = active_chart();
    if (!w) return nullptr;
    OpenChart& chart = w->chart();
    // The dialog belongs to the chart window and closes with it.
    auto* d = new MovingDialog(m_app, chart, [this, &chart] { refresh(chart); }, w);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->show();
    return d;
}

TextExportRun* MainWindow::export_text(const TextExportRequest& request) {
    auto* run = new TextExportRun(m_app, request, this);
    if (!run->start()) {
        delete run;
        return nullptr;
    }
    return run;
}

void MainWindow::export_txt() {
    const QString caption = tr_(Str::GuiExportTxt).remove('&');
    const QStringList files =
        QFileDialog::getOpenFileNames(this, caption, qs(m_app.horoscopes_dir()), qt_filter(horoscope_file_filter()));
    if (files.isEmpty()) return;
    const QString out = QFileDialog::getSaveFileName(this, caption, qs(m_app.horoscopes_dir()), "(*.txt)", nullptr,
                                                     QFileDialog::DontConfirmOverwrite);
    if (out.isEmpty()) return;
    bool ok = false;
    const QString separator = QInputDialog::getText(this, caption, caption, QLineEdit::Normal, ";", &ok);
    if (!ok) return;
    TextExportRequest request;
    request.out_file = out.toStdString();
    request.separator = separator.toStdString();
    for (const QString& f : files) request.files.push_back(f.toStdString());
    export_text(request);
}

void MainWindow::zoom(int factor) {
    if (ChartWindow* w = active_chart()) w->set_zoom(factor);
}

void MainWindow::show_inside_results() {
    if (ChartWindow* w = active_chart()) show_results(w->chart(), false);
}

void MainWindow::show_outside_results() {
    if (ChartWindow* w = active_chart(); w && w->chart().outside) show_results(w->chart(), true);
}

void MainWindow::show_drawing() {
    if (ResultsWindow* r = active_results()) show_chart(r->chart());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_app.workers().any_running()) {
        m_app.messages().tell(str(Str::AppRunningThread), str(Str::AppErrorCaption), MessageIcon::Error);
        event->ignore();
        return;
    }
    if (m_app.any_unsaved()) {
        const Message question{str(Str::AppExitWithoutSaving), str(Str::AppConfirmation), MessageIcon::Question,
                               MessageButtons::YesNo, MessageAnswer::No};
        if (m_app.messages().show(question) != MessageAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace tellurim
