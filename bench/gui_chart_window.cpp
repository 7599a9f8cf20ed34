// Time of the desktop application's chart window, offscreen, against the chart computation
// alone, in the same run: the sample birth with transits superposed, in a chart window of
// 1000x1000 pixels; a redraw of the window, a "+1 day" step of the outside chart (the
// computation alone, then the Movings dialog's step with the redraw), and the wheel painted
// anew, as after a resize). Targets: a redraw
// within 16 ms, a step with its redraw within 25 ms.
#include <QApplication>
#include <QMdiSubWindow>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "astro/movings.h"
#include "gui/birth_dialog.h"
#include "gui/chart_windows.h"
#include "gui/main_window.h"
#include "gui/moving_dialog.h"
#include "random_charts.h"

using namespace tellurim;
using bench::Clock;
using bench::ms_since;

namespace {
constexpr int kRuns = 60;
}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    QApplication qt(argc, argv);
    const auto home = std::filesystem::temp_directory_path() / "tellurim-bench-gui";
    std::filesystem::remove_all(home);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    RecordingMessages messages;
    TellurimApp app(messages, {(home / "private").string(), (home / "horoscopes").string()});
    if (!app.start()) return 1;
    MainWindow window(app);
    window.show();
    BirthDialog dialog(app.options(), messages);
    BirthForm f;
    f.name = "Sample";
    f.moment = {"6", "6", "1944", "8", "0", "0"};
    f.longitude = "2d20'56.00\"E";
    f.latitude = "48d51'24.00\"N";
    f.correction = "-2";
    dialog.set_form(f);
    dialog.accept();
    OpenChart* chart = dialog.birth() ? app.compute_birth(*dialog.birth()) : nullptr;
    if (!chart || !app.superpose_now(*chart)) {
        for (const Message& m : messages.messages) std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
        return 1;
    }
    ChartWindow* w = window.show_chart(*chart);
    w->parentWidget()->resize(1000 + 40, 1000 + 40);
    w->canvas()->setMinimumSize(1000, 1000);
    w->canvas()->setMaximumSize(1000, 1000);
    QApplication::processEvents();

    // Font and glyph caches are filled by a first redraw.
    w->canvas()->repaint();
    double redraw_ms = 0, compute_ms = 0, step_ms = 0;
    int failed = 0;
    for (int i = 0; i < kRuns; ++i) {
        auto t0 = Clock::now();
        w->canvas()->repaint();
        redraw_ms += ms_since(t0);
    }
    // The wheel painted anew (after a change of the chart or of the window's size).
    double render_ms = 0;
    for (int i = 0; i < kRuns; ++i) {
        auto t0 = Clock::now();
        w->canvas()->refresh();
        w->canvas()->repaint();
        render_ms += ms_since(t0);
    }
    for (int i = 0; i < kRuns; ++i) {
        auto t0 = Clock::now();
        failed += app.move(*chart, true, kMinutesPerDay) ? 0 : 1;
        compute_ms += ms_since(t0);
    }
    MovingDialog* moving = window.moving();
    for (int i = 0; i < kRuns; ++i) {
        auto t0 = Clock::now();
        moving->step(kMinutesPerDay);
        w->canvas()->repaint();
        step_ms += ms_since(t0);
    }
    std::filesystem::remove_all(home);
    if (failed) std::fprintf(stderr, "%d computations failed\n", failed);
    if (failed) std::fprintf(stderr, "%d computations failed\n", failed);
    std::printf("chart window %dx%d, sample chart with transits outside, %d runs each\n", w->canvas()->width(),
                w->canvas()->height(), kRuns);
    std::printf("chart computation (+1 day)       %8.3f ms\n", compute_ms / kRuns);
    std::printf("redraw of the window             %8.3f ms (%.1f x the computation; target 16 ms)\n",
                redraw_ms / kRuns, redraw_ms / compute_ms);
    std::printf("wheel painted anew               %8.3f ms (%.1f x the computation)\n", render_ms / kRuns,
                render_ms / compute_ms);
    std::printf("Movings +1 day, with the redraw  %8.3f ms (%.1f x the computation; target 25 ms)\n", step_ms / kRuns,
                step_ms / compute_ms);
    return 0;
}
