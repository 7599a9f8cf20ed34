// The Options menu's drawing, fonts and colours dialogs under Xvfb: their refusals with the
// messages of `tellurim options set`, the same bytes written as that command for the same
// value, Cancel writing nothing, and a colour changed reaching an open chart's pixels.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// moc cannot read the string table's X-macro lists.
#ifndef Q_MOC_RUN
#include "app/cli.h"
#include "files/options_file.h"
#endif
#include "gui/chart_windows.h"
#include "gui/drawing_dialogs.h"
#include "gui/main_window.h"

using namespace tellurim;

namespace {

std::unique_ptr<DrawingFormDialog> make_dialog(const QString& name, TellurimApp& app) {
    if (name == "drawing") return std::make_unique<DrawingDialog>(app);
    if (name == "fonts") return std::make_unique<FontsDialog>(app);
    if (name == "colours") return std::make_unique<ColoursDialog>(app);
    if (name == "planets") return std::make_unique<PlanetColoursDialog>(app);
    return std::make_unique<HouseHalosDialog>(app);
}

// Types `value` into the field named `field`; "R,C" names a cell of a planet table, and "R,*"
// its whole row (the values separated by blanks).
void type_into(DrawingFormDialog& d, const QString& field, const QString& value) {
    if (auto* t = d.findChild<QTableWidget*>(); t && field.contains(',')) {
        const int row = field.section(',', 0, 0).toInt();
        const bool whole = field.endsWith('*');
        const QStringList values = whole ? value.split(' ') : QStringList{value};
        for (int i = 0; i < values.size(); ++i) {
            QTableWidgetItem* item = t->item(row, whole ? i : field.section(',', 1, 1).toInt());
            if (item->data(Qt::CheckStateRole).isValid())
                item->setCheckState(values[i] == "yes" ? Qt::Checked : Qt::Unchecked);
            else
                item->setText(values[i]);
        }
        return;
    }
    QWidget* w = d.findChild<QWidget*>(field);
    QVERIFY2(w, qPrintable(field));
    if (auto* c = qobject_cast<ColourField*>(w)) return c->set_text(value);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->setText(value);
    if (auto* b = qobject_cast<QCheckBox*>(w)) return b->setChecked(value == "yes");
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->isEditable() ? c->setEditText(value) : c->setCurrentIndex(value.toInt());
}

QByteArray file_bytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class DrawingOptionsDialogs : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    RecordingMessages m_messages;
    std::unique_ptr<TellurimApp> m_app;

    std::string home(const char* sub) const { return (m_home.path() + "/" + sub).toStdString(); }
    std::string options_path() const { return options_file_path(home("private")); }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8()); }
    void init() {
        m_messages = RecordingMessages{};
        m_app = std::make_unique<TellurimApp>(m_messages, TellurimApp::Overrides{home("private"), home("horoscopes")});
        QVERIFY(m_app->start());
        m_messages.messages.clear();
    }
    void cleanup() { m_app.reset(); }

    void refusedValueKeepsTheDialogOpen_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString wrong = "Not a correct value for this field";
        QTest::newRow("origin of 360 degrees") << "drawing" << "drawing.zodiac-origin" << "360d" << wrong;
        QTest::newRow("aspect ratio 0") << "drawing" << "drawing.aspect-ratio" << "0" << wrong;
        QTest::newRow("face with markup") << "fonts" << "fonts.title.face" << "Courier<b>"
                                          << "A font face name cannot hold control characters or any of < > & \" ; { } \\";
        QTest::newRow("size 0") << "fonts" << "fonts.global.size" << "0" << wrong;
        QTest::newRow("font colour with alpha") << "fonts" << "fonts.eclipse.colour" << "#80FF0000" << wrong;
        QTest::newRow("short colour") << "colours" << "colours.pen" << "#12" << wrong;
        QTest::newRow("pen size") << "planets" << "3,2" << "-1" << wrong;
        QTest::newRow("halo colour") << "halos" << "11,1" << "red" << wrong;
    }
    void refusedValueKeepsTheDialogOpen() {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        const QByteArray before = file_bytes(options_path());
        auto d = make_dialog(dialog, *m_app);
        d->show();
        type_into(*d, field, value);
        d->accept();
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(d->isVisible());
        QCOMPARE(m_messages.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(m_messages.messages[0].text), message);
        QCOMPARE(m_messages.messages[0].caption, std::string("Error"));
        QCOMPARE(file_bytes(options_path()), before);
        // The focus is on the field refused (a table's cell is its current one).
        if (auto* t = d->findChild<QTableWidget*>(); t && field.contains(','))
            QCOMPARE(QString("%1,%2").arg(t->currentRow()).arg(t->currentColumn()), field);
        else
            QVERIFY(d->focusWidget() && (d->focusWidget()->objectName() == field ||
                                         d->focusWidget()->parentWidget()->objectName() == field));
    }

    void okWritesWhatOptionsSetWrites_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("command");  // the same change by `tellurim options set`
        QTest::newRow("hide stars") << "drawing" << "drawing.show-stars" << "yes"
                                    << QStringList{"drawing.show-stars", "no"};
        QTest::newRow("origin") << "drawing" << "drawing.zodiac-origin" << "12h" << QStringList{"drawing.zodiac-origin", "12h"};
        QTest::newRow("smoothing") << "drawing" << "drawing.smoothing-mode" << "3"
                                   << QStringList{"drawing.smoothing-mode", "SmoothingModeNone"};
        QTest::newRow("font size") << "fonts" << "fonts.tooltips.size" << "14" << QStringList{"fonts.tooltips.size", "14"};
        QTest::newRow("font colour") << "fonts" << "fonts.title.colour" << "#00A0FF"
                                     << QStringList{"fonts.title.colour", "#00A0FF"};
        QTest::newRow("sign colour") << "colours" << "colours.sign-leo" << "#80102030"
                                     << QStringList{"colours.sign-leo", "#80102030"};
        QTest::newRow("glyph style") << "planets" << "5,*" << "#FF102030 #80FFFF00 1.5 yes #20FFFFFF #C0FF0000 3"
                                     << QStringList{"glyphs.sun.gemini.retrograde", "#FF102030", "#80FFFF00",
                                                    "1.5", "yes", "#20FFFFFF", "#C0FF0000", "3"};
        QTest::newRow("house halo") << "halos" << "2,*" << "yes #10FFFFFF #32FF0000 7.5"
                                    << QStringList{"house-halos.sun.3", "yes", "#10FFFFFF", "#32FF0000", "7.5"};
    }
    void okWritesWhatOptionsSetWrites() {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, command);
        const QByteArray before = file_bytes(options_path());
        {
            auto d = make_dialog(dialog, *m_app);
            type_into(*d, field, value);
            d->accept();
            QCOMPARE(d->result(), int(QDialog::Accepted));
        }
        const QByteArray by_dialog = file_bytes(options_path());
        QVERIFY(by_dialog != before);

        QFile restore(QString::fromStdString(options_path()));
        QVERIFY(restore.open(QIODevice::WriteOnly) && restore.write(before) == before.size());
        restore.close();
        std::vector<std::string> args{"tellurim", "--private-dir", home("private"), "--horoscopes-dir",
                                      home("horoscopes"), "options", "set", "--"};
        for (const QString& c : command) args.push_back(c.toStdString());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        RecordingMessages cli_messages;
        QCOMPARE(run_cli(static_cast<int>(argv.size()), argv.data(), &cli_messages), 0);
        QCOMPARE(file_bytes(options_path()), by_dialog);
    }

    void cancelWritesNothing() {
        const QByteArray before = file_bytes(options_path());
        ColoursDialog d(*m_app);
        type_into(d, "colours.pen", "#FF00FF00");
        d.reject();
        QCOMPARE(file_bytes(options_path()), before);
        QCOMPARE(m_app->options().colours.pen, Argb{0xFF000000});
    }

    void newColourReachesTheOpenChart() {
        MainWindow window(*m_app);
        window.show();
        ChartWindow* chart = window.horoscope_for_now();
        QVERIFY(chart);
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<ColoursDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            type_into(*d, "colours.drawing-background", "#FF204060");
            d->accept();
        });
        window.action(Str::GuiColors)->trigger();
        QCOMPARE(chart->canvas()->grab().toImage().pixelColor(2, 2), QColor(0x20, 0x40, 0x60));
    }
};

QTEST_MAIN(DrawingOptionsDialogs)
#include "drawing_options_dialogs_test.moc"
