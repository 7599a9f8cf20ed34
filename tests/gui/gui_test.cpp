// The desktop application's flows through its own windows, under Xvfb: the menus, the
// new-chart dialog's checks, a chart computed, saved, reopened, superposed and printed, the
// wheel redrawn at every size, and the closing rules.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <fstream>

#include "gui/birth_dialog.h"
#include "gui/chart_windows.h"
#include "gui/main_window.h"
#include "gui/moving_dialog.h"
#include "gui/export_run.h"

using namespace tellurim;

namespace {

// The sample birth with typed coordinates: no atlas needed.
BirthForm sample_form() {
    BirthForm f;
    f.name = "Sample";
    f.first_name = "Birth";
    f.moment = {"6", "6", "1944", "8", "0", "0"};
    f.longitude = "2d20'56.00\"E";
    f.latitude = "48d51'24.00\"N";
    f.correction = "-2";
    return f;
}

// Pixels neither white nor grey: the wheel's coloured rings.
int coloured_pixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - c.green()) > 30 || std::abs(c.green() - c.blue()) > 30) ++n;
        }
    return n;
}

}  // namespace

class GuiFlows : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    RecordingMessages m_messages;
    std::unique_ptr<TellurimApp> m_app;
    std::unique_ptr<MainWindow> m_window;

    std::string home(const char* sub) const { return (m_home.path() + "/" + sub).toStdString(); }
    OpenChart* sample_chart() {
        BirthDialog d(m_app->options(), m_messages);
        d.set_form(sample_form());
        d.accept();
        return d.birth() ? m_app->compute_birth(*d.birth()) : nullptr;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8()); }
    void init() {
        m_messages = RecordingMessages{};
        m_app = std::make_unique<TellurimApp>(m_messages, TellurimApp::Overrides{home("private"), home("horoscopes")});
        QVERIFY(m_app->start());
        m_messages.messages.clear();
        m_window = std::make_unique<MainWindow>(*m_app);
        m_window->show();
    }
    void cleanup() {
        m_window.reset();
        m_app.reset();
    }

    void menusHoldEveryCommand() {
        QStringList titles;
        for (QAction* a : m_window->menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&Interpretation", "&Tools", "&Data", "&Configuration", "&Options",
                                      "&Drawing", "&Results", "&Windows", "&Help"}));
        const std::pair<Str, const char*> commands[] = {
            {Str::GuiNewHoroscope, "&New horoscope..."},  {Str::GuiHoroscopeNow, "Horoscope for now (F2)"},
            {Str::GuiSaveAs, "S&ave as..."},              {Str::GuiPlanetHouseColors, "Pla&nets Colors in Houses ..."},
            {Str::GuiTileVertical, "Tile &vertical"},     {Str::GuiPermute, "&Permute inside and outside horoscope"},
            {Str::GuiZoomRestore, "Restore (x&1)"},       {Str::GuiShowDrawing, "Show &drawing"},
            {Str::GuiHelpContext, "&Context(F1)"},        {Str::GuiRunTk, "Run T&K script ..."},
            {Str::GuiRunTcl, "Run T&CL script ..."},      {Str::GuiCustom, "Cust&om"}};
        for (const auto& [id, label] : commands) QCOMPARE(m_window->action(id)->text(), QString(label));
        QCOMPARE(m_window->action(Str::GuiHoroscopeNow)->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(m_window->action(Str::GuiHelpContext)->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void birthDialogRefusesWithTheFieldsMessage_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("day") << "day" << "32" << "Day not valid" << "day";
        QTest::newRow("month") << "month" << "0" << "Month not valid" << "month";
        QTest::newRow("year") << "year" << "x" << "Year not valid or out of range" << "year";
        QTest::newRow("second") << "second" << "59.99995" << "Second not valid" << "second";
        QTest::newRow("no such day") << "day" << "31" << "Not a valid date." << "day";
        QTest::newRow("longitude") << "longitude" << "250d" << "Not a valid longitude." << "longitude";
        QTest::newRow("latitude") << "latitude" << "91" << "Not a valid latitude." << "latitude";
    }
    void birthDialogRefusesWithTheFieldsMessage() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        BirthDialog d(m_app->options(), m_messages);
        d.set_form(sample_form());
        d.findChild<QLineEdit*>(field)->setText(value);
        d.show();
        d.accept();
        QVERIFY(!d.birth());
        QCOMPARE(m_messages.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(m_messages.messages[0].text), message);
        QCOMPARE(m_messages.messages[0].caption, std::string("Bad input"));
        QCOMPARE(d.focusWidget()->objectName(), focus);
    }

    void atlasFindsTheCityWithItsFeedback() {
        BirthDialog d(m_app->options(), m_messages);
        BirthForm f = sample_form();
        f.longitude = f.latitude = f.correction = "";
        f.city = "Nowhereville";
        f.country = "France";
        d.set_form(f);
        d.accept();
        QVERIFY(!d.birth());
        QCOMPARE(m_messages.messages.back().text, std::string("City not found."));
        f.city = "Paris";
        d.set_form(f);
        d.find_city();
        QVERIFY(d.feedback().startsWith("Ok, city found."));
        QCOMPARE(d.form().correction, std::string("-2.00"));
        d.accept();
        QVERIFY(d.birth());
    }

    void chartIsSavedReopenedSuperposedAndPrinted() {
        OpenChart* c = sample_chart();
        QVERIFY(c);
        ChartWindow* w = m_window->show_chart(*c);
        // The glyphs and the aspect markers carry their tooltips.
        (void)w->canvas()->grab();
        QSet<QString> tips;
        for (int y = 0; y < w->canvas()->height(); y += 3)
            for (int x = 0; x < w->canvas()->width(); x += 3) tips << w->canvas()->tooltip_at(QPoint(x, y));
        // The default zodiac is the fixed one.
        QVERIFY(std::any_of(tips.begin(), tips.end(), [](const QString& t) { return t.startsWith("Sun 16d29'54.08\" Taurus\n"); }));
        QVERIFY(tips.contains("Moon - Mars Trine"));
        const std::string path = home("horoscopes") + "/sample.xml";
        QVERIFY(m_app->save(*c, path));
        QVERIFY(!c->unsaved);
        OpenChart* again = m_app->open_file(path);
        QVERIFY(again);
        QCOMPARE(again->horoscope->birth_ut.jd_ut, c->horoscope->birth_ut.jd_ut);
        m_window->action(Str::GuiSuperposeNow)->trigger();
        QVERIFY(c->outside);
        QCOMPARE(c->outside->last_name, std::string("Now"));
        m_window->action(Str::GuiPermute)->trigger();
        QCOMPARE(c->horoscope->last_name, std::string("Now"));
        QCOMPARE(w->windowTitle(), QString("Now"));
        const QString pdf = m_home.path() + "/chart.pdf";
        QVERIFY(m_window->print_to_pdf(pdf));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(5), QByteArray("%PDF-"));
    }

    void nowChartRedrawsAtEverySize() {
        m_window->action(Str::GuiHoroscopeNow)->trigger();
        ChartWindow* w = m_window->active_chart();
        QVERIFY(w);
        QCOMPARE(w->chart().horoscope->last_name, std::string("Now"));
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        sub->resize(700, 700);
        QVERIFY(coloured_pixels(w->canvas()->grab_wheel()) > 1000);
        // Below a sixth of the screen only "I am too small!" is written.
        const QSize screen = w->screen()->size();
        sub->resize(screen.width() / 7, screen.height() / 7);
        QApplication::processEvents();
        QCOMPARE(coloured_pixels(w->canvas()->grab_wheel()), 0);
    }

    void customScriptReadsTheActiveChart() {
        OpenChart* c = sample_chart();
        QVERIFY(c);
        m_window->show_chart(*c);
        m_window->action(Str::GuiCustom)->menu()->actions().at(0)->trigger();  // interpre.tcl
        auto* result = qobject_cast<QPlainTextEdit*>(m_window->mdi()->activeSubWindow()->widget());
        QVERIFY(result && result->isReadOnly());
        QCOMPARE(result->windowTitle(), QString("Result"));
        QVERIFY(result->toPlainText().startsWith("Interpretation of the horoscope of Birth Sample\n"));
    }

    void movingStepsTheOutsideChart() {
        OpenChart* c = sample_chart();
        QVERIFY(c);
        m_window->show_chart(*c);
        QVERIFY(m_app->superpose_now(*c));
        MovingDialog* d = m_window->moving();
        QVERIFY(d);
        const double inside = c->horoscope->birth_ut.jd_ut;
        const double start = c->outside->birth_ut.jd_ut;
        // "+1  d&ay", then the custom 90 "S" (1.5 minutes), then a custom step that is refused.
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "+1  d&ay") b->click();
        QCOMPARE(c->outside->birth_ut.jd_ut, start + 1.0);
        d->findChild<QLineEdit*>("custom_number")->setText("90");
        d->findChild<QComboBox*>("custom_unit")->setCurrentText("S");
        d->move_custom();
        QVERIFY(std::fabs(c->outside->birth_ut.jd_ut - (start + 1.0 + 1.5 / 1440.0)) < 1e-9);
        d->findChild<QLineEdit*>("custom_number")->setText("x");
        d->move_custom();
        QCOMPARE(m_messages.messages.back().text, std::string("Not a valid value for this field"));
        d->restore_initial();
        QVERIFY(std::fabs(c->outside->birth_ut.jd_ut - start) < 1e-9);
        QCOMPARE(c->horoscope->birth_ut.jd_ut, inside);
        QVERIFY(d->moment_label()->text().startsWith("Now"));
    }

    void exportRunsOnAWorkerAndIsCancelled() {
        OpenChart* c = sample_chart();
        QVERIFY(c);
        const std::string path = home("horoscopes") + "/sample.xml";
        QVERIFY(m_app->save(*c, path));
        TextExportRequest request;
        request.out_file = home("export.txt");
        request.separator = ";";
        request.files.assign(100000, path);  // a computation takes a tenth of a millisecond
        TextExportRun* run = m_window->export_text(request);
        QVERIFY(run && run->progress() && run->progress()->isVisible());
        QSignalSpy ended(run, &TextExportRun::ended);
        // While it runs the window cannot close.
        QVERIFY(!m_window->close());
        QCOMPARE(m_messages.messages.back(), (Message{"Application has running thread, cannot exit.", "Error",
                                                       MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok}));
        run->progress()->findChild<QPushButton*>()->click();  // "Cancel"
        QVERIFY(ended.wait(60000));
        QCOMPARE(m_messages.messages.back().text, std::string("Export was canceled by user"));
        QVERIFY(!m_app->workers().any_running());
    }

    void closingFollowsTheRules() {
        // Nothing changed: nothing asked.
        QVERIFY(m_window->close());
        QVERIFY(m_messages.messages.empty());
        m_window->show();
        // An unsaved horoscope: asked, No by default keeps the window.
        QVERIFY(sample_chart());
        QVERIFY(!m_window->close());
        QCOMPARE(m_messages.messages.back(), (Message{"Exit application without saving?", "Confirmation",
                                                       MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No}));
        m_messages.answers.push_back(MessageAnswer::Yes);
        QVERIFY(m_window->close());
    }
};

QTEST_MAIN(GuiFlows)
#include "gui_test.moc"
