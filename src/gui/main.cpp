// tellurim-gui: the desktop application. Options: --private-dir and --horoscopes-dir, as the
// command line's, for one run.
#include <QApplication>
#include <QCommandLineParser>

#include "gui/gui_messages.h"
#include "gui/main_window.h"
#include "gui/tellurim_app.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("tellurim-gui");
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption private_dir("private-dir", "Private directory for this run (settings)", "dir");
    const QCommandLineOption horoscopes_dir("horoscopes-dir", "Horoscopes directory for this run", "dir");
    parser.addOption(private_dir);
    parser.addOption(horoscopes_dir);
    parser.process(qt);

    tellurim::GuiMessages messages;
    tellurim::TellurimApp app(messages, {parser.value(private_dir).toStdString(), parser.value(horoscopes_dir).toStdString()});
    // Without the private directory or the options file nothing can run.
    if (!app.start()) return 1;
    tellurim::MainWindow window(app);
    messages.set_parent(&window);
    window.show();
    return QApplication::exec();
}
