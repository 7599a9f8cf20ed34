// The Configuration menu's dialogs under Xvfb: each refusal with its message and focus, and
// for each dialog that OK writes the bytes `tellurim` writes for the same value while Cancel
// writes nothing.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/cli.h"
#include "files/directories.h"
#include "gui/configuration_dialogs.h"

using namespace tellurim;
namespace fs = std::filesystem;

namespace {

QByteArray bytes_of(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

}  // namespace

class ConfigurationDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    RecordingMessages m_messages;
    std::unique_ptr<TellurimApp> m_app;

    std::string home(const char* sub) const { return (m_home.path() + "/" + sub).toStdString(); }
    QString expand(QString s) const { return s.replace("$HOME", m_home.path()); }
    // Does each action on the dialog: "name=value" types into a field (or ticks a box with
    // "yes"), "name" clicks a button.
    std::unique_ptr<QDialog> open(int command, const QStringList& actions) {
        std::unique_ptr<QDialog> d(make_configuration_dialog(static_cast<Str>(command), *m_app, nullptr));
        d->show();
        for (const QString& a : actions) {
            const QString name = a.section('=', 0, 0), value = expand(a.section('=', 1));
            if (auto* e = d->findChild<QLineEdit*>(name)) e->setText(value);
            else if (auto* b = d->findChild<QCheckBox*>(name)) b->setChecked(value == "yes");
            else if (auto* p = d->findChild<QPushButton*>(name)) p->click();
            else qFatal("no field %s", qPrintable(name));
        }
        return d;
    }

    // `tellurim` on the private directory `dir`.
    int run(const std::string& dir, const QStringList& cli) const {
        std::vector<std::string> args = {"tellurim", "--private-dir", dir, "--horoscopes-dir", home("horoscopes")};
        for (const QString& a : cli) args.push_back(expand(a).toStdString());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        RecordingMessages messages;
        return run_cli(static_cast<int>(argv.size()), argv.data(), &messages);
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
        std::ofstream(home("extra.txt")) << "<a name=1>One</a> text\n";
        // Read once, so that the access time the list keeps no longer moves when it is indexed.
        (void)bytes_of(home("extra.txt"));
    }
    void init() {
        fs::remove_all(home("private"));
        fs::remove(registry_file_path());
        m_messages = RecordingMessages{};
        m_app = std::make_unique<TellurimApp>(m_messages, TellurimApp::Overrides{home("private"), home("horoscopes")});
        QVERIFY(m_app->start());
        m_messages.messages.clear();
    }

    void refusalKeepsTheDialogOpen_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const int dirs = int(Str::GuiDirsFiles), db = int(Str::GuiDatabase), city = int(Str::GuiMyCity),
                  list = int(Str::GuiInterpList);
        const QString bad = "Not a correct value for this field";
        QTest::newRow("tcl dir") << dirs << QStringList{"tcl_script_dir=/nonexistent"} << bad << "tcl_script_dir";
        QTest::newRow("countries") << dirs << QStringList{"countries_dir=/nonexistent"} << "Not a valid path." << "countries_dir";
        QTest::newRow("editor") << dirs << QStringList{"text_editor=$HOME"} << bad << "text_editor";
        QTest::newRow("save dir") << dirs << QStringList{"save_file=/nonexistent/save.txt"} << bad << "save_file";
        QTest::newRow("mapping") << db << QStringList{"mapping=/nonexistent.ini"} << bad << "mapping";
        QTest::newRow("db name") << db << QStringList{"name=" + QString(100, 'x')} << bad << "name";
        QTest::newRow("longitude") << city << QStringList{"longitude=250d"} << "Not a valid longitude." << "longitude";
        QTest::newRow("latitude") << city << QStringList{"latitude=91"} << "Not a valid latitude." << "latitude";
        QTest::newRow("correction") << city << QStringList{"correction=25"} << bad << "correction";
        QTest::newRow("directory") << int(Str::GuiHoroscopesDir) << QStringList{"new_directory=/nonexistent"} << bad
                                   << "new_directory";
        QTest::newRow("empty list") << list << QStringList{"delete", "delete", "delete"} << "Empty list not allowed."
                                    << "files";
        // The selected row fills the fields: the same path again under another id.
        QTest::newRow("duplicate") << list << QStringList{"id=7", "add"} << "Duplicated file was found." << "files";
        QTest::newRow("missing") << list << QStringList{"id=8", "path=$HOME/none.txt", "add"}
                                 << "Error: file does not exist: $HOME/none.txt" << "files";
        QTest::newRow("bad id") << list << QStringList{"id=x", "add"} << "Item is not valid. Number of item = 4"
                                << "files";
    }
    void refusalKeepsTheDialogOpen() {
        QFETCH(int, command);
        QFETCH(QStringList, actions);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const QByteArray before = bytes_of(home("private/options.pra"));
        auto d = open(command, actions);
        d->accept();
        QVERIFY(d->isVisible());
        QCOMPARE(m_messages.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(m_messages.messages[0].text), expand(message));
        QCOMPARE(m_messages.messages[0].caption, std::string("Error"));
        QCOMPARE(d->focusWidget()->objectName(), focus);
        QCOMPARE(bytes_of(home("private/options.pra")), before);
    }

    void okWritesWhatTheCommandLineWrites_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("cli");
        QTest::addColumn<QString>("file");  // in the private directory; "registry" the registry file
        QTest::addColumn<QString>("said");  // the caption of the last message after OK
        const int city = int(Str::GuiMyCity);
        QTest::newRow("interface") << int(Str::GuiInterface) << QStringList{"interface.left-speed-bar=yes"}
                                   << QStringList{"options", "set", "interface.left-speed-bar", "yes"} << "options.pra" << "";
        QTest::newRow("database") << int(Str::GuiDatabase) << QStringList{"name=tellurimdb"}
                                  << QStringList{"options", "set", "database.name", "tellurimdb"} << "options.pra" << "";
        QTest::newRow("longitude") << city << QStringList{"longitude=2d20'56\"E"}
                                   << QStringList{"options", "set", "my-city.longitude", "2d20'56\"E"} << "options.pra" << "";
        QTest::newRow("find") << city << QStringList{"city=Paris", "county=", "state=", "country=France", "find_city"}
                              << QStringList{"options", "set", "my-city.find", "Paris", "France"} << "options.pra" << "";
        QTest::newRow("save file") << int(Str::GuiDirsFiles) << QStringList{"save_file=$HOME/horoscopes/other.txt"}
                                   << QStringList{"options", "set", "paths.save-file", "$HOME/horoscopes/other.txt"}
                                   << "options.pra" << "";
        // OK runs the configuration check again.
        QTest::newRow("no stars") << int(Str::GuiDirsFiles) << QStringList{"stars_file="}
                                  << QStringList{"options", "set", "paths.stars-file", ""} << "options.pra"
                                  << "Stars";
        QTest::newRow("directory") << int(Str::GuiHoroscopesDir) << QStringList{"new_directory=$HOME"}
                                   << QStringList{"options", "set", "directories.horoscopes", "$HOME"} << "registry" << "";
        QTest::newRow("interp list") << int(Str::GuiInterpList) << QStringList{"id=", "path=$HOME/extra.txt", "add"}
                                     << QStringList{"interp", "add", "$HOME/extra.txt"} << "interlist.pra" << "";
    }
    void okWritesWhatTheCommandLineWrites() {
        QFETCH(int, command);
        QFETCH(QStringList, actions);
        QFETCH(QStringList, cli);
        QFETCH(QString, file);
        QFETCH(QString, said);
        const std::string gui_file = file == "registry" ? registry_file_path() : home("private/") + file.toStdString();
        const std::string cli_file = file == "registry" ? registry_file_path() : home("cli/") + file.toStdString();
        fs::remove_all(home("cli"));
        fs::copy(home("private"), home("cli"));
        const QByteArray before = bytes_of(gui_file);

        auto cancelled = open(command, actions);
        cancelled->reject();
        QCOMPARE(bytes_of(gui_file), before);
        auto d = open(command, actions);
        d->accept();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(m_messages.messages.empty() ? QString() : QString::fromStdString(m_messages.messages.back().caption), said);
        const QByteArray written = bytes_of(gui_file);
        QVERIFY(written != before);

        fs::remove(registry_file_path());
        QCOMPARE(run(home("cli"), cli), 0);
        QCOMPARE(bytes_of(cli_file), written);
    }

    void showsWhatTheCommandLineChanged() {
        QCOMPARE(run(home("private"), {"options", "set", "database.login", "bob"}), 0);
        QCOMPARE(run(home("private"), {"interp", "add", "$HOME/extra.txt"}), 0);
        QCOMPARE(open(int(Str::GuiDatabase), {})->findChild<QLineEdit*>("login")->text(), QString("bob"));
        QCOMPARE(open(int(Str::GuiInterpList), {})->findChild<QTreeWidget*>("files")->topLevelItemCount(), 4);
    }

    void enterIsOkAndEscapeIsCancel() {
        for (Str c : {Str::GuiHomeDir, Str::GuiHoroscopesDir, Str::GuiDirsFiles, Str::GuiInterface, Str::GuiDatabase,
                      Str::GuiInterpList, Str::GuiMyCity}) {
            for (auto [key, result] : {std::pair{Qt::Key_Escape, QDialog::Rejected}, {Qt::Key_Return, QDialog::Accepted}}) {
                auto d = open(int(c), {});
                QVERIFY2(d->focusWidget(), text(c).data());
                QTest::keyClick(d->focusWidget(), key);
                QCOMPARE(d->result(), int(result));
            }
        }
        QVERIFY(m_messages.messages.empty());
    }

    void findAndGeocodeFillTheFeedback() {
        auto d = open(int(Str::GuiMyCity), {"city=Nowhereville", "state=", "country=France", "find_city"});
        QCOMPARE(d->findChild<QPlainTextEdit*>("feedback")->toPlainText(), QString("City not found."));
        // Without keys the service is not asked.
        d->findChild<QPushButton*>("google_maps")->click();
        QCOMPARE(m_messages.messages.back().text, std::string("Cannot read Google API key!"));
    }
};

QTEST_MAIN(ConfigurationDialogs)
#include "configuration_dialogs_test.moc"
