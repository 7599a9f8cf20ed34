// The Options menu's computation dialogs under Xvfb: each refusal with its message and focus,
// Cancel writing nothing, and OK writing the very bytes of `tellurim options set`.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/cli.h"
#include "core/paths.h"
#include "files/options_image.h"
#include "gui/computing_options_dialogs.h"
#include "gui/main_window.h"

using namespace tellurim;

class ComputingOptionsDialogs : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    RecordingMessages m_messages;
    std::unique_ptr<TellurimApp> m_app;
    std::unique_ptr<MainWindow> m_window;

    QString home(const char* sub) const { return m_home.path() + "/" + sub; }
    static QByteArray options_file(const QString& dir) {
        QFile f(dir + "/options.pra");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Sets a field: a text, a row of a list, a box ("1" ticks it) or a button pressed.
    static void set(QDialog& d, const QString& field, const QString& value) {
        QWidget* w = d.findChild<QWidget*>(field);
        if (auto* line = qobject_cast<QLineEdit*>(w)) line->setText(value);
        if (auto* list = qobject_cast<QListWidget*>(w)) list->setCurrentRow(value.toInt());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->isCheckable() ? button->setChecked(value == "1") : button->click();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8()); }
    void init() {
        QDir(home("private")).removeRecursively();
        m_messages = RecordingMessages{};
        m_app = std::make_unique<TellurimApp>(
            m_messages, TellurimApp::Overrides{home("private").toStdString(), home("horoscopes").toStdString()});
        QVERIFY(m_app->start());
        m_messages.messages.clear();
        m_window = std::make_unique<MainWindow>(*m_app);
    }
    void cleanup() {
        m_window.reset();
        m_app.reset();
    }

    void okWritesWhatOptionsSetWrites_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");  // the refusal, or empty
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("setting");
        const int astro = int(Str::GuiAstrology), aya = int(Str::GuiAyanamsa), houses = int(Str::GuiHouses),
                  dasa = int(Str::GuiDasaAyanamsa), eph = int(Str::GuiEphemeris);
        const QString bad_date = "Not a valid date for zodiacs concordance.", bad = "Not a correct value for this field";
        const QString jpl = QString::fromStdString(base_directory()) + "/ephemeris/./de405_1960_2060.eph";
        QTest::newRow("movable") << astro << "movable" << "1" << "" << "astro.zodiac" << "movable";
        QTest::newRow("fortune") << astro << "day_night_fortune" << "1" << "" << "astro.day-night-fortune" << "yes";
        QTest::newRow("zero date") << aya << "zero_date" << "1950-01-01 00:00:00" << "" << "astro.zero-date"
                                   << "1950-01-01 00:00:00";
        QTest::newRow("preset") << aya << "preset_fagan_bradley" << "" << "" << "astro.zero-date" << "Fagan-Bradley";
        QTest::newRow("bad zero date") << aya << "zero_date" << "2000-13-45" << bad_date << "" << "";
        QTest::newRow("placidus") << houses << "system" << "4" << "" << "astro.house-system" << "Placidus";
        QTest::newRow("cusp center") << houses << "cusp_center" << "1" << "" << "astro.house-cusp-center" << "yes";
        QTest::newRow("year") << dasa << "year_length" << "360" << "" << "dasa.year-length" << "360";
        QTest::newRow("dasa preset") << dasa << "preset_raman" << "" << "" << "dasa.zero-date" << "Raman";
        QTest::newRow("short year") << dasa << "year_length" << "100" << bad << "" << "";
        QTest::newRow("dasa date") << dasa << "zero_date" << "x" << bad_date << "" << "";
        QTest::newRow("low") << eph << "low" << "1" << "" << "ephemeris.type" << "low";
        QTest::newRow("jpl") << eph << "jpl" << "1" << "" << "ephemeris.type" << "jpl";
        QTest::newRow("jpl file") << eph << "jpl_file" << jpl << "" << "ephemeris.jpl-file" << jpl;
        QTest::newRow("no jpl file") << eph << "jpl_file" << "/no/such.eph" << bad << "" << "";
    }
    void okWritesWhatOptionsSetWrites() {
        QFETCH(int, command);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, key);
        QFETCH(QString, setting);
        const QByteArray before = options_file(home("private"));
        QDir(home("cli")).removeRecursively();
        QDir().mkpath(home("cli"));
        QVERIFY(QFile::copy(home("private") + "/options.pra", home("cli") + "/options.pra"));
        for (bool ok : {false, true}) {
            auto d = make_computing_dialog(static_cast<Str>(command), *m_window);
            d->show();
            set(*d, field, value);
            if (!ok) {
                d->reject();
                QCOMPARE(options_file(home("private")), before);
                continue;
            }
            d->accept();
            if (!message.isEmpty()) {
                const Message& m = m_messages.messages.back();
                QCOMPARE(QString::fromStdString(m.caption + ": " + m.text), "Error: " + message);
                QVERIFY(d->isVisible());
                QCOMPARE(d->focusWidget()->objectName(), field);
                QCOMPARE(options_file(home("private")), before);
                return;
            }
            QVERIFY(!d->isVisible());
            if (field == "low")
                QCOMPARE(d->findChild<QLabel*>("info_name")->text(), QString("Tellurim low precision ephemeris (libephlow) 2.4.7"));
        }
        // The command line on the copy of the file as it was.
        std::vector<std::string> args = {"tellurim", "--private-dir", home("cli").toStdString(), "--horoscopes-dir",
                                         home("horoscopes").toStdString(), "options", "set", key.toStdString(),
                                         setting.toStdString()};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        QCOMPARE(run_cli(static_cast<int>(argv.size()), argv.data(), &m_messages), 0);
        const QByteArray after = options_file(home("private"));
        QVERIFY(after != before);
        QCOMPARE(after, options_file(home("cli")));
        // The application goes on with what it wrote, dasa periods included.
        const std::vector<std::uint8_t> image = write_options_image(m_app->options());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size())), after);
    }
    // From the keyboard: a mnemonic and Enter; the open horoscope is computed again.
    void keyboardOkRecomputesTheOpenCharts() {
        m_window->show();
        m_window->action(Str::GuiHoroscopeNow)->trigger();
        const Horoscope& h = *m_app->horoscopes().back()->horoscope;
        auto d = make_computing_dialog(Str::GuiAstrology, *m_window);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        QTest::keyClick(d.get(), Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(d->findChild<QAbstractButton*>("movable")->isChecked());
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
        QVERIFY(!d->isVisible());
        QCOMPARE(int(h.options.astro.zodiac_movable), 1);
    }
};

QTEST_MAIN(ComputingOptionsDialogs)
#include "computing_options_dialogs_test.moc"
