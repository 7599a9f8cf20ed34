// tellurim-gui: the desktop application. Options: --private-dir and --horoscopes-dir, as the
// command line's, for one run; --version; and, hidden, --help-man for the manual page that
// the build installs.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <iostream>

#include "app/man_page.h"
#include "base/strings.h"
#include "core/paths.h"
#include "gui/gui_messages.h"
#include "gui/main_window.h"
#include "gui/tellurim_app.h"

namespace {

// The page of tellurim(1)'s sibling, from the parser's own options.
std::string man_page(const QList<QCommandLineOption>& options) {
    using namespace tellurim;
    ManPage page{"tellurim-gui", tellurim_version(), str(Str::InstallManGuiSummary), "[OPTIONS]", {}};
    page.blocks.push_back({"DESCRIPTION", str(Str::InstallManGuiDescription), {}, false});
    ManBlock block{"OPTIONS", {}, {}, false};
    for (const QCommandLineOption& o : options) {
        if (o.flags().testFlag(QCommandLineOption::HiddenFromHelp)) continue;
        std::string names;
        for (const QString& n : o.names()) names += (names.empty() ? "" : ", ") + std::string(n.size() == 1 ? "-" : "--") + n.toStdString();
        block.items.push_back({names, o.valueName().toStdString(), o.description().toStdString()});
    }
    page.blocks.push_back(std::move(block));
    for (ManBlock& b : manual_blocks("tellurim")) page.blocks.push_back(std::move(b));
    return render_man_page(page);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName("tellurim-gui");
    QCoreApplication::setApplicationVersion(QString::fromStdString(tellurim::tellurim_version()));
    QCommandLineParser parser;
    QList<QCommandLineOption> shown{parser.addHelpOption(), parser.addVersionOption()};
    const QCommandLineOption private_dir("private-dir", "Private directory for this run (settings)", "dir");
    const QCommandLineOption horoscopes_dir("horoscopes-dir", "Horoscopes directory for this run", "dir");
    QCommandLineOption help_man("help-man");
    help_man.setFlags(QCommandLineOption::HiddenFromHelp);
    for (const QCommandLineOption& o : {private_dir, horoscopes_dir, help_man}) parser.addOption(o);
    shown << private_dir << horoscopes_dir << help_man;

    // The version and the manual need no display: answered before the application starts.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (parser.parse(arguments)) {
        if (parser.isSet("version")) {
            std::cout << "tellurim-gui " << tellurim::tellurim_version() << "\n";
            return 0;
        }
        if (parser.isSet(help_man)) {
            std::cout << man_page(shown);
            return 0;
        }
    }

    QApplication qt(argc, argv);
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
