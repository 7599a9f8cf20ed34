// Time of the chart wheel against the chart computation it draws, in the same run: for 50
// charts (1950-2050, random places, libephlow.so), one full computation, then the wheel of
// 800x800 pixels painted on an image, written as PNG and as SVG, and once more with a second
// chart superposed outside (transits a year later). Prints the mean time per chart of each
// and the ratios to the computation.
#include <cstdio>
#include <filesystem>

#include "draw/wheel_chart.h"
#include "draw/wheel_render.h"
#include "random_charts.h"

using namespace tellurim;
using bench::Clock;
using bench::ms_since;

namespace {
constexpr int kCharts = 50;
}  // namespace

int main() {
    bench::RandomCharts random;
    if (!random.loaded()) return 0;
    const Options& options = random.options();
    WheelGui gui;
    const QSize size(800, 800);
    const auto dir = std::filesystem::temp_directory_path() / "tellurim-bench-wheel";
    std::filesystem::create_directories(dir);
    const std::string png = (dir / "wheel.png").string();
    const std::string svg = (dir / "wheel.svg").string();

    const WheelStyle alone = wheel_style(options, false);
    const WheelStyle superposed = wheel_style(options, true);

    double compute_ms = 0, image_ms = 0, png_ms = 0, svg_ms = 0, outside_ms = 0;
    int charts = 0;
    for (int i = 0; i < kCharts; ++i) {
        const BirthData d = random.next_birth();
        Horoscope h;
        if (!random.compute(h, d, &compute_ms)) continue;
        BirthData later = d;
        later.ut = date_hour_from_ut(d.ut.jd_ut + 365.25);
        later.local = later.ut;
        Horoscope transits;
        if (!random.compute(transits, later)) continue;

        const WheelInput input = wheel_input(h, nullptr, nullptr);
        auto t0 = Clock::now();
        const QImage image = render_wheel_image(size, gui.screen_size(), options, alone, input);
        image_ms += ms_since(t0);
        t0 = Clock::now();
        (void)write_wheel_file(png, WheelFormat::Png, size, gui.screen_size(), options, alone, input);
        png_ms += ms_since(t0);
        t0 = Clock::now();
        (void)write_wheel_file(svg, WheelFormat::Svg, size, gui.screen_size(), options, alone, input);
        svg_ms += ms_since(t0);
        const WheelInput both = wheel_input(h, &transits, nullptr);
        t0 = Clock::now();
        (void)render_wheel_image(size, gui.screen_size(), options, superposed, both);
        outside_ms += ms_since(t0);
        ++charts;
    }
    std::filesystem::remove_all(dir);
    if (charts == 0) return 0;
    std::printf("%d charts, wheel of %dx%d pixels\n", charts, size.width(), size.height());
    std::printf("chart computation        %8.3f ms per chart\n", compute_ms / charts);
    const auto line = [&](const char* what, double ms) {
        std::printf("%-24s %8.3f ms per chart (%.1f x the computation)\n", what, ms / charts, ms / compute_ms);
    };
    line("wheel on an image", image_ms);
    line("wheel as a PNG file", png_ms);
    line("wheel as an SVG file", svg_ms);
    line("with transits outside", outside_ms);
    return 0;
}
