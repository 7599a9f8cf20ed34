// The Tools and Data windows under Xvfb: the solar return and directions dialogs' checks and
// results, the dasa window's spans, the chart tooltips' Hindu lines, the import and the
// database export on workers, the new-chart dialog's "Google Maps" button against the local
// geocoding service, and a TK script run from the menu.
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "common/odbc_env.h"
#include "gui/birth_dialog.h"
#include "gui/chart_windows.h"
#include "gui/data_runs.h"
#include "gui/main_window.h"
#include "gui/tools_windows.h"
// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "astro/planets_signs.h"
#include "gui/dasa_bars.h"
#include "gui/gui_messages.h"
#endif

using namespace tellurim;

class ToolsFlows : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    RecordingMessages m_messages;
    std::unique_ptr<TellurimApp> m_app;
    std::unique_ptr<MainWindow> m_window;

    std::string home(const char* sub) const { return (m_home.path() + "/" + sub).toStdString(); }
    QString last_message() const { return m_messages.messages.empty() ? QString() : QString::fromStdString(m_messages.messages.back().text); }
    OpenChart* sample() { return m_app->open_file(TELLURIM_TEST_DATA_DIR "/files/sample_horoscope.xml"); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
        qputenv("NO_PROXY", "127.0.0.1");
        testing_data::use_own_odbc_files(home("odbc"));
    }
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

    void solarReturnDialog_data() {
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("message");
        QTest::newRow("age") << "x" << "" << "" << "Bad sidereal solar return age.";
        QTest::newRow("longitude") << "1" << "250d" << "" << "Not a valid longitude.";
        QTest::newRow("city") << "1" << "" << "Nowhereville" << "City not found.";
        QTest::newRow("birth itself") << "0" << "" << "" << "";
        QTest::newRow("at Paris") << "30" << "" << "Paris" << "";
    }
    void solarReturnDialog() {
        QFETCH(QString, age);
        QFETCH(QString, longitude);
        QFETCH(QString, city);
        QFETCH(QString, message);
        OpenChart* birth = sample();
        QVERIFY(birth);
        SolarReturnDialog d(*m_app, birth);
        d.findChild<QLineEdit*>("age")->setText(age);
        d.findChild<QLineEdit*>("longitude")->setText(longitude);
        d.findChild<QLineEdit*>("city")->setText(city);
        d.findChild<QLineEdit*>("country")->setText(city.isEmpty() ? "" : "France");
        d.accept();
        QCOMPARE(last_message(), message);
        QCOMPARE(d.result() != nullptr, message.isEmpty());
        if (!d.result()) return;
        const Horoscope& r = *d.result()->horoscope;
        QCOMPARE(r.last_name, birth->horoscope->last_name + " SR");
        const double years = (r.birth_ut.jd_ut - birth->horoscope->birth_ut.jd_ut) / 365.25;
        QVERIFY(std::fabs(years - age.toDouble()) < 0.01);
        if (age == "0") QVERIFY(std::fabs(r.birth_ut.jd_ut - birth->horoscope->birth_ut.jd_ut) < 1e-6);
        if (!city.isEmpty()) QVERIFY(d.feedback().startsWith("Ok, city found."));
    }

    void directionsDialog_data() {
        QTest::addColumn<bool>("planets");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("no planet") << false << "90" << "Please choose at least one planet!";
        QTest::newRow("window") << true << "-1" << "Bad input";
        QTest::newRow("age") << true << "x" << "Bad input";
        QTest::newRow("list") << true << "90" << "";
    }
    void directionsDialog() {
        QFETCH(bool, planets);
        QFETCH(QString, to);
        QFETCH(QString, message);
        OpenChart* c = sample();
        QVERIFY(c);
        DirectionsDialog d(*m_app, c);
        if (!planets) d.findChild<QListWidget*>("planets")->clearSelection();
        d.findChild<QLineEdit*>("to")->setText(to);
        d.accept();
        QCOMPARE(last_message(), message);
        if (!message.isEmpty()) return;
        QCOMPARE(d.title(), QString("Primary directions for Sample Birth from 0.00 to 90.00 without latitude"));
        QTextBrowser* view = m_window->show_document(d.title(), d.document());
        QVERIFY(view->toPlainText().contains("Number of directions found : "));
    }

    void dasaWindowSpans() {
        OpenChart* c = sample();
        QVERIFY(c);
        DasaWindow* w = m_window->show_dasas(*c);
        const Horoscope& h = *c->horoscope;
        QCOMPARE(w->first_year(), 1944);
        QCOMPARE(w->years(), 100);
        // The antara at birth is the one the report names.
        const DasaPeriodAt at = dasa_period_at(h.options.dasas, h.hindu.dasa_cycle_start_jd_et, h.birth_ut.jd_et);
        auto holds_birth = [&](const DasaPeriodAt& p) { return p.start_jd_et <= h.birth_ut.jd_et && h.birth_ut.jd_et < p.end_jd_et; };
        auto found = std::find_if(w->periods().begin(), w->periods().end(), holds_birth);
        QVERIFY(found != w->periods().end() && found->position == at.position);
        // The century from the birth year runs through the nine dasas in their order.
        QStringList lords;
        for (const DasaBar& bar : dasa_bars(w->periods(), DasaLevel::Dasa)) lords << qs(planet_name(bar.lord));
        QCOMPARE(lords.join(" "), QString("Saturn Mercury Kethu Venus Sun Moon Mars Rahu Jupiter"));
        w->zoom_year();
        QCOMPARE(w->years(), 1);
        QVERIFY(w->periods().size() >= 1 && w->periods().size() < 12);
        QVERIFY(!w->tooltip_at(QPoint(w->width() / 2, w->height() / 2)).isEmpty());
    }

    void tooltipsCarryTheHinduLines() {
        OpenChart* c = sample();
        QVERIFY(c);
        ChartWindow* w = m_window->show_chart(*c);
        qobject_cast<QMdiSubWindow*>(w->parentWidget())->resize(900, 900);
        (void)w->canvas()->grab();
        QSet<QString> tips;
        for (int y = 0; y < w->canvas()->height(); y += 2)
            for (int x = 0; x < w->canvas()->width(); x += 2) tips << w->canvas()->tooltip_at(QPoint(x, y));
        auto any = [&](const auto& part) {
            return std::any_of(tips.begin(), tips.end(), [&](const QString& t) { return t.contains(part); });
        };
        QVERIFY(any("\nQuality in croscheckings As: "));
        QVERIFY(any(QRegularExpression("\nStrength: \\d\\d\\.\\d\\d rupas \\(\\d{3}\\.\\d\\d%\\)$")));
        QVERIFY(any("\nAspect quality: "));
    }

    void importThenExportToTheDatabase() {
        const std::string in = home("in.txt");
        std::ofstream(in) << "Doe;John;Man;1980-05-17 14:30:00.00 GD;Paris;;Ile-de-France;France;0h09'23.73\"E;"
                             "48d51'24.00\"N;1980-05-17 12:30:00.00 GD;\r\n"
                             "Roe;Jane;F;1975-01-02 03:04:05.00 GD;Lyon;;;France;0h19'20.00\"E;45d45'00.00\"N;"
                             "1975-01-02 02:04:05.00 GD;\r\n";
        ImportDialog import(*m_app, m_window.get());
        import.set_request({"", home("horoscopes"), "", ";", false});
        import.accept();
        QCOMPARE(last_message(), QString("Not a valid txt file to import"));
        import.set_request({in, home("horoscopes"), home("import.log"), ";", false});
        import.accept();
        QVERIFY(import.run() && import.run()->progress()->isVisible());
        QVERIFY(QSignalSpy(import.run(), &DataRun::ended).wait(60000));
        QCOMPARE(last_message(), QString("Import success"));
        DbExportDialog exp(*m_app, m_window.get());
        exp.add_files({QString::fromStdString(home("horoscopes/Doe_John.xml")),
                       QString::fromStdString(home("horoscopes/Roe_Jane.xml"))});
        exp.accept();
        QVERIFY(exp.run());
        QVERIFY(QSignalSpy(exp.run(), &DataRun::ended).wait(60000));
        QCOMPARE(last_message(), QString("Export was successfully done."));
        QVERIFY(QFileInfo(QString::fromStdString(home("private/tellurim.db"))).size() > 0);
    }

    void googleMapsButton_data() {
        QTest::addColumn<bool>("keys");
        QTest::addColumn<QString>("message");
        QTest::newRow("no keys") << false << "Cannot read Google API key!";
        QTest::newRow("New York") << true << "";
    }
    void googleMapsButton() {
        QFETCH(bool, keys);
        QFETCH(QString, message);
        const QString server = m_home.path() + "/server";
        if (keys) {
            const std::string start = "python3 " TELLURIM_SOURCE_DIR "/tools/geocode-server.py --answers " TELLURIM_TEST_DATA_DIR
                                      "/geocode --dir '" + server.toStdString() + "' --parent " +
                                      std::to_string(::getpid()) + " >/dev/null 2>&1 &";
            QCOMPARE(std::system(start.c_str()), 0);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(server + "/pid"), 20000);
            QFile port(server + "/port");
            QVERIFY(port.open(QIODevice::ReadOnly));
            std::ofstream(home("private/google_keys.txt")) << "key_geocode=g-1\r\nkey_timezone=t-2\r\n";
            std::ofstream(home("private/geocoding.ini")) << "endpoint=https://127.0.0.1:" << port.readAll().trimmed().toStdString()
                                                          << "\nca_file=" << server.toStdString() << "/cert.pem\n";
        }
        BirthDialog d(m_app->options(), m_messages);
        d.set_private_dir(m_app->private_dir());
        BirthForm f;
        f.name = "Doe";
        f.moment = {"1", "7", "1950", "12", "0", "0"};
        f.city = "New York";
        f.country = "USA";
        d.set_form(f);
        d.google_maps();
        if (QFile pid(server + "/pid"); pid.open(QIODevice::ReadOnly)) ::kill(pid.readAll().trimmed().toInt(), SIGTERM);
        QCOMPARE(last_message(), message);
        if (!keys) return;
        QVERIFY(d.feedback().startsWith("Ok, city found.City: New York, County: New York County\nState: New York"));
        QCOMPARE(d.form().longitude, std::string("74d00'21.50\"W"));
        QCOMPARE(d.form().country, std::string("United States"));
        QCOMPARE(d.form().correction, std::string("4.00"));
    }

    void tkScriptAfterATclRunUsesTheChart() {
        OpenChart* c = sample();
        QVERIFY(c);
        m_window->show_chart(*c);
        // The TCL run's "Result" window takes the focus; the TK run still reads the chart
        // rather than asking for a file in a modal dialog (which a test would wait on forever).
        m_window->action(Str::GuiCustom)->menu()->actions().at(0)->trigger();  // interpre.tcl
        QVERIFY(!m_window->active_chart());
        bool asked = false;
        QTimer modal_watch;
        connect(&modal_watch, &QTimer::timeout, this, [&asked] {
            if (QWidget* w = QApplication::activeModalWidget()) asked = true, w->close();
        });
        modal_watch.start(100);
        qputenv("TELLURIM_TK_CLOSE_AFTER", "300");
        QVERIFY(m_window->run_script(TELLURIM_SOURCE_DIR "/data/tcltkscript/hindu_horoscope_tk.tcl", ScriptKind::Tk));
        // The window answers while the script's own event loop runs, and cannot close.
        QVERIFY(!m_window->close());
        QCOMPARE(last_message(), QString("Application has running thread, cannot exit."));
        QTRY_VERIFY_WITH_TIMEOUT(!m_app->workers().any_running(), 30000);
        qunsetenv("TELLURIM_TK_CLOSE_AFTER");
        QVERIFY(!asked);
        QCOMPARE(m_messages.messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(ToolsFlows)
#include "tools_test.moc"
