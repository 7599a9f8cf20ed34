// The aspect, Hindu aspect, exaltation and nakshatra dialogs and the chart's aspect filters,
// under Xvfb: each refusal with its message and focus, OK writing the very bytes that the
// `tellurim` command writes for the same value, Cancel writing nothing.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "app/cli.h"
#include "gui/aspect_dialogs.h"
#include "gui/birth_dialog.h"
#include "gui/gui_messages.h"
#include "gui/table_dialogs.h"

using namespace tellurim;

class OptionsDialogs : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    RecordingMessages m_messages;
    std::unique_ptr<TellurimApp> m_app;

    std::string home(const std::string& sub) const { return (m_home.path() + "/").toStdString() + sub; }
    std::string bytes(const std::string& file) const {
        std::ifstream in(home("private/" + file), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void put(const std::string& file, const std::string& content) const {
        std::ofstream(home("private/" + file), std::ios::binary) << content;
    }
    int cli(QStringList args) const {
        args = QStringList{"tellurim", "--private-dir", qs(home("private")), "--horoscopes-dir", qs(home("horoscopes"))} + args;
        std::vector<QByteArray> keep;
        std::vector<char*> argv;
        keep.reserve(static_cast<std::size_t>(args.size()));
        for (const QString& a : args) argv.push_back(keep.emplace_back(a.toUtf8()).data());
        RecordingMessages silent;
        return run_cli(static_cast<int>(argv.size()), argv.data(), &silent);
    }
    std::unique_ptr<QDialog> open(const QString& dialog) {
        if (dialog == "aspects") return std::make_unique<AspectsDialog>(*m_app);
        if (dialog == "hindu") return std::make_unique<HinduAspectsDialog>(*m_app);
        if (dialog == "exaltations") return std::make_unique<ExaltationsDialog>(*m_app);
        return std::make_unique<NakshatrasDialog>(*m_app);
    }
    // A field by name, or a nakshatra cell "row,column"; returns the widget that holds it.
    QWidget* type(QDialog& d, const QString& field, const QString& value) {
        if (auto* table = d.findChild<QTableWidget*>("nakshatras")) {
            const QStringList at = field.split(',');
            table->item(at[0].toInt(), at[1].toInt())->setText(value);
            return table;
        }
        if (auto* e = qobject_cast<ExaltationsDialog*>(&d); e && field == "zero_date") e->fixed()->setChecked(true);
        auto* line = d.findChild<QLineEdit*>(field);
        line->setText(value);
        return line;
    }
    static QString file_of(const QString& dialog) {
        return dialog == "aspects" ? "aspects.pra" : dialog == "hindu" ? "hindus_aspects.ini" : "options.pra";
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8()); }
    void init() {
        m_messages = RecordingMessages{};
        m_app = std::make_unique<TellurimApp>(m_messages, TellurimApp::Overrides{home("private"), home("horoscopes")});
        QVERIFY(m_app->start());
        m_messages.messages.clear();
    }
    void cleanup() { m_app.reset(); }

    void refusesWithTheMessageAndFocus_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("angle") << "aspects" << "degrees" << "180.5" << "Not a valid angle." << "Error";
        QTest::newRow("orb") << "aspects" << "orb" << "0" << "Not a valid orb." << "Error";
        QTest::newRow("pen size") << "aspects" << "pen_size" << "-1" << "Not a valid pen size." << "Error";
        QTest::newRow("hot spot") << "aspects" << "hot_spot_size" << "x" << "Not a valid square size" << "Error";
        QTest::newRow("Moon empty") << "exaltations" << "planet1" << ""
                                    << "Exaltation degrees must be given for the seven visible planets" << "Error";
        QTest::newRow("360") << "exaltations" << "planet4" << "360" << "Not a valid angle." << "Error";
        QTest::newRow("zero date") << "exaltations" << "zero_date" << "x" << "Not a valid date for zodiacs concordance."
                                   << "Error";
        QTest::newRow("pen") << "hindu" << "pen" << "FF0000 w 0" << "Not a valid pen (ARGB width style): FF0000 w 0"
                             << "Bad input";
        QTest::newRow("colour") << "nakshatras" << "2,3" << "red" << "Not a correct value for this field" << "Error";
        QTest::newRow("name") << "nakshatras" << "0,1" << QString(100, QChar('x')) << "Not a correct value for this field"
                              << "Error";
    }
    void refusesWithTheMessageAndFocus() {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        const std::string before = bytes(file_of(dialog).toStdString());
        auto d = open(dialog);
        d->show();
        QWidget* target = type(*d, field, value);
        // Enter in a field is OK.
        if (qobject_cast<QLineEdit*>(target))
            QTest::keyClick(target, Qt::Key_Return);
        else
            d->accept();
        QVERIFY(d->isVisible());
        QCOMPARE(m_messages.messages.size(), std::size_t{1});
        QCOMPARE(qs(m_messages.messages[0].text), message);
        QCOMPARE(qs(m_messages.messages[0].caption), caption);
        QCOMPARE(d->focusWidget(), target);
        QCOMPARE(bytes(file_of(dialog).toStdString()), before);
    }

    void okWritesWhatTheCommandWrites_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("command");
        QTest::newRow("orb") << "aspects" << "orb" << "8" << QStringList{"aspects", "set", "Conjunction", "--orb", "8"};
        QTest::newRow("Mars") << "exaltations" << "planet4" << "300"
                              << QStringList{"options", "set", "exaltations.mars", "300"};
        QTest::newRow("no Uranus") << "exaltations" << "planet11" << ""
                                   << QStringList{"options", "set", "exaltations.uranus", ""};
        QTest::newRow("Sun's pen") << "hindu" << "pen" << "FF00FF00 2.5 1"
                                   << QStringList{"hindu-aspects", "set", "Sun", "--pen", "FF00FF00 2.5 1"};
        QTest::newRow("meaning") << "nakshatras" << "3,2" << "red one"
                                 << QStringList{"options", "set", "nakshatras.3.meaning", "red one"};
    }
    void okWritesWhatTheCommandWrites() {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, command);
        const std::string file = file_of(dialog).toStdString();
        const std::string before = bytes(file);
        auto cancelled = open(dialog);
        type(*cancelled, field, value);
        QTest::keyClick(cancelled.get(), Qt::Key_Escape);
        QCOMPARE(bytes(file), before);

        auto d = open(dialog);
        type(*d, field, value);
        d->accept();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        const std::string gui = bytes(file);
        QVERIFY(gui != before);
        put(file, before);
        QCOMPARE(cli(command), 0);
        QVERIFY(bytes(file) == gui);
    }

    void filterHidesTheAspectsOfAPlanet() {
        BirthDialog b(m_app->options(), m_messages);
        BirthForm f;
        f.name = "Sample";
        f.moment = {"6", "6", "1944", "8", "0", "0"};
        f.longitude = "2d20'56.00\"E";
        f.latitude = "48d51'24.00\"N";
        f.correction = "-2";
        b.set_form(f);
        b.accept();
        OpenChart* chart = m_app->compute_birth(*b.birth());
        QVERIFY(chart);
        auto sun_lines = [&] {
            int n = 0;
            for (const AspectStroke& s : m_app->wheel_input(*chart).inside.aspects) n += s.a == kSun || s.b == kSun;
            return n;
        };
        QVERIFY(sun_lines() > 0);
        int redrawn = 0;
        AspectFilterDialog d(*m_app, *chart, false, [&] { ++redrawn; });
        d.box(0, false, 0)->setChecked(false);  // the inside chart's Sun
        d.redraw();
        QCOMPARE(redrawn, 1);
        QCOMPARE(sun_lines(), 0);
        d.reject();  // the chart gets its own filter back
        QVERIFY(sun_lines() > 0);
    }
};

QTEST_MAIN(OptionsDialogs)
#include "options_dialogs_test.moc"
