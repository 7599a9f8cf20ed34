// Takes the README's pictures of tellurim-gui: the new-chart dialog filled with the sample
// birth, the main window with its chart and results, the results window, and the drawing,
// fonts and colours dialogs, into the directory given (docs/). Settings come from a throw-away
// private directory given as the second argument; what the application says goes to standard
// error.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <iostream>

#include "app/cli.h"
#include "astro/movings.h"
#include "gui/birth_dialog.h"
#include "gui/chart_windows.h"
#include "gui/drawing_dialogs.h"
#include "gui/main_window.h"
#include "gui/moving_dialog.h"

using namespace tellurim;

namespace {

class EchoMessages : public RecordingMessages {
public:
    MessageAnswer show(const Message& m) override {
        std::cerr << message_line(m) << "\n";
        return RecordingMessages::show(m);
    }
};

bool save(QWidget* w, const QString& path) {
    QApplication::processEvents();
    const bool ok = w->grab().save(path, "PNG");
    std::cerr << (ok ? "written " : "cannot write ") << path.toStdString() << "\n";
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc < 3) {
        std::cerr << "usage: gui_screenshots OUT_DIR HOME_DIR\n";
        return 2;
    }
    const QString out = argv[1];
    const std::string home = argv[2];
    EchoMessages messages;
    TellurimApp app(messages, {home + "/private", home + "/horoscopes"});
    if (!app.start()) return 1;
    MainWindow window(app);
    window.resize(1280, 860);
    window.show();

    // The sample birth of the command line's main job: Paris, 6 June 1944, 08:00 legal time.
    BirthDialog dialog(app.options(), messages, &window);
    BirthForm f;
    f.name = "Sample";
    f.first_name = "Birth";
    f.sex = kWoman;
    f.moment = {"6", "6", "1944", "8", "0", "0"};
    f.city = "Paris";
    f.country = "France";
    dialog.set_form(f);
    dialog.find_city();
    dialog.show();
    bool ok = save(&dialog, out + "/gui-new-chart.png");
    dialog.accept();
    if (!dialog.birth()) return 1;
    OpenChart* chart = app.compute_birth(*dialog.birth());
    if (!chart) return 1;
    ResultsWindow* results = window.show_results(*chart, false);
    ChartWindow* wheel = window.show_chart(*chart);
    window.action(Str::GuiTileVertical)->trigger();
    window.mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(wheel->parentWidget()));
    ok = save(&window, out + "/gui-main-window.png") && ok;
    window.mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(results->parentWidget()));
    results->parentWidget()->showMaximized();
    ok = save(&window, out + "/gui-results.png") && ok;
    results->parentWidget()->showNormal();

    // The transits of 2000-01-01 12:00 UT superposed, moved one day on with "Movings".
    BirthForm transit = f;
    transit.name = "Transit";
    transit.first_name.clear();
    transit.moment = {"1", "1", "2000", "12", "0", "0"};
    transit.correction = "0";
    dialog.set_form(transit);
    dialog.accept();
    if (!dialog.birth() || !app.superpose(*chart, *dialog.birth())) return 1;
    window.mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(wheel->parentWidget()));
    wheel->parentWidget()->showMaximized();
    MovingDialog* moving = window.moving();
    if (!moving) return 1;
    moving->step(kMinutesPerDay);
    moving->move(860, 20);
    ok = save(moving, out + "/gui-moving.png") && ok;
    ok = save(&window, out + "/gui-transits.png") && ok;

    // The Options menu's drawing, fonts and colours dialogs.
    auto shot = [&](QDialog&& d, const char* name) {
        d.show();
        ok = save(&d, out + "/" + name) && ok;
    };
    shot(DrawingDialog(app, &window), "gui-drawing-dialog.png");
    shot(FontsDialog(app, &window), "gui-fonts-dialog.png");
    shot(ColoursDialog(app, &window), "gui-colours-dialog.png");
    shot(PlanetColoursDialog(app, &window), "gui-planet-colours-dialog.png");
    shot(HouseHalosDialog(app, &window), "gui-house-halos-dialog.png");
    return ok ? 0 : 1;
}
