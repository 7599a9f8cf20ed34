// Time of the desktop application's chart window, offscreen, against the chart computation
// alone, in the same run: the sample birth with transits superposed, in a chart window of
// 1000x1000 pixels; a "+1 day" step of the outside chart's computation alone, a redraw of the
// exposed window, the wheel painted anew (as after a resize or a new chart), and the Movings
// dialog's "+1 day" with its redraw. Targets: the wheel painted anew within 16 ms, a step
// with its redraw within 25 ms. Google Benchmark, wall time and the CPU time of the whole
// process (Qt paints on its pool's threads), five repetitions unless the command line says
// otherwise: compare the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiSubWindow>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "astro/movings.h"
#include "gui/birth_dialog.h"
#include "gui/chart_windows.h"
#include "gui/main_window.h"
#include "gui/moving_dialog.h"
#include "core/messages.h"

using namespace tellurim;

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::string_view(a).starts_with("--benchmark_repetitions");
        }))
        args.push_back(repetitions.data());
    int args_count = static_cast<int>(args.size());
    benchmark::Initialize(&args_count, args.data());
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    QApplication qt(args_count, args.data());
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
    MovingDialog* moving = window.moving();
    int failed = 0;

    const auto add = [](const char* name, auto body) {
        benchmark::RegisterBenchmark(name, [body](benchmark::State& state) {
            for (auto _ : state) body();
        })
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
    };
    // The chart computation alone, as the reference.
    add("compute_plus_1_day", [&] { failed += app.move(*chart, true, kMinutesPerDay) ? 0 : 1; });
    // An exposed window: the wheel already painted.
    add("redraw", [&] { w->canvas()->repaint(); });
    // The wheel painted anew (after a change of the chart or of the window's size). Target 16 ms.
    add("wheel_painted_anew", [&] {
        w->canvas()->refresh();
        w->canvas()->repaint();
    });
    // The Movings dialog's "+1 day": the computation and the redraw. Target 25 ms.
    add("moving_plus_1_day", [&] {
        moving->step(kMinutesPerDay);
        w->canvas()->repaint();
    });
    std::printf("chart window %dx%d, sample chart with transits outside\n", w->canvas()->width(), w->canvas()->height());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(home);
    if (failed) std::fprintf(stderr, "%d computations failed\n", failed);
    return 0;
}
