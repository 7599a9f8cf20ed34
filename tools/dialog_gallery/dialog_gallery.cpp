// The gallery of the settings dialogs: starts the main window with default settings in the
// throw-away directory given, opens a chart, triggers every command of the Configuration and
// Options menus and the chart window's two aspect filters, grabs the modal window each one
// opens (its dialog, or the notice of a command that has none yet), closes it, and writes
// OUT_DIR/dialogs/<slug>.png and OUT_DIR/dialogs.md.
// Usage: dialog_gallery OUT_DIR HOME_DIR
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <iostream>

#include "app/cli.h"
#include "gui/birth_dialog.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"

using namespace tellurim;

namespace {

// Start-up's messages go to standard error; once the window is up, message boxes.
class GalleryMessages : public MessageSink {
public:
    bool boxes = false;
    GuiMessages gui;
    MessageAnswer show(const Message& m) override {
        if (boxes) return gui.show(m);
        std::cerr << message_line(m) << "\n";
        return m.default_answer;
    }
    std::string ask_text(const std::string& prompt, const std::string& proposed) override {
        return boxes ? gui.ask_text(prompt, proposed) : proposed;
    }
};

QString slug(const QString& menu, const QString& command) {
    QString s = (menu + " " + command).toLower();
    for (QChar& c : s)
        if (!c.isLetterOrNumber()) c = '-';
    while (s.contains("--")) s.replace("--", "-");
    while (s.endsWith('-')) s.chop(1);
    return s;
}

// Triggers `action` and saves the first modal window it opens; false when none opened.
bool grab_dialog(QAction* action, const QString& path) {
    QWidget* seen = nullptr;
    bool saved = false;
    QTimer poll;
    poll.setInterval(150);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (!saved) {
            // Grabbed at the second look, once it has been laid out and painted.
            if (w != seen) {
                seen = w;
                return;
            }
            saved = w->grab().save(path, "PNG");
            std::cerr << (saved ? "written " : "cannot write ") << path.toStdString() << "\n";
        }
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
        else
            w->close();
    });
    poll.start();
    action->trigger();
    poll.stop();
    return saved;
}

QMenu* menu_of(MainWindow& window, Str title) {
    for (QAction* a : window.menuBar()->actions())
        if (a->menu() && a->text() == qs(text(title))) return a->menu();
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc < 3) {
        std::cerr << "usage: dialog_gallery OUT_DIR HOME_DIR\n";
        return 2;
    }
    const QString out = argv[1];
    const std::string home = argv[2];
    GalleryMessages messages;
    TellurimApp app(messages, {home + "/private", home + "/horoscopes"});
    if (!app.start()) return 1;
    MainWindow window(app);
    window.resize(1280, 860);
    window.show();
    messages.gui.set_parent(&window);

    // A chart, for the chart window's menu: the sample birth, Paris, 6 June 1944, 08:00.
    BirthDialog birth(app.options(), messages, &window);
    BirthForm f;
    f.name = "Sample";
    f.first_name = "Birth";
    f.moment = {"6", "6", "1944", "8", "0", "0"};
    f.longitude = "2d20'56.00\"E";
    f.latitude = "48d51'24.00\"N";
    f.correction = "-2";
    birth.set_form(f);
    birth.accept();
    OpenChart* chart = birth.birth() ? app.compute_birth(*birth.birth()) : nullptr;
    if (!chart) return 1;
    window.show_chart(*chart);
    QApplication::processEvents();
    messages.boxes = true;

    struct Section {
        Str menu;
        QList<QAction*> commands;
    };
    std::vector<Section> sections;
    for (Str m : {Str::GuiConfiguration, Str::GuiOptions}) {
        QMenu* menu = menu_of(window, m);
        if (!menu) return 1;
        Section s{m, {}};
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->menu()) s.commands << a;
        sections.push_back(s);
    }
    sections.push_back({Str::GuiDrawing, {window.action(Str::GuiPlanetsFilter), window.action(Str::GuiHousesFilter)}});

    QString md = "# The settings dialogs\n\n"
                 "Every command of the desktop program's \"Configuration\" and \"Options\" menus, and the chart\n"
                 "window's two aspect filters, as it opens with the default settings. `make docs-dialogs`\n"
                 "takes these pictures again.\n";
    bool ok = true;
    for (const Section& s : sections) {
        const QString menu = qs(text(s.menu)).remove('&');
        md += "\n## " + menu + "\n";
        for (QAction* a : s.commands) {
            if (!a) return 1;
            const QString command = a->text().remove('&');
            const QString name = slug(menu, command) + ".png";
            md += "\n### " + command + "\n\n";
            if (grab_dialog(a, out + "/dialogs/" + name))
                md += "![" + command + "](dialogs/" + name + ")\n";
            else
                ok = false;
        }
    }
    QFile file(out + "/dialogs.md");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    file.write(md.toUtf8());
    std::cerr << "written " << (out + "/dialogs.md").toStdString() << "\n";
    return ok ? 0 : 1;
}
