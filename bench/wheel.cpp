// Time of the chart wheel against the chart computation it draws, in the same run: for 50
// charts (1950-2050, random places, libephlow.so), one full computation, then the wheel of
// 800x800 pixels painted on an image, written as PNG and as SVG, and once more with a second
// chart superposed outside (transits a year later). Prints the mean time per chart of each
// and the ratios to the computation.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "astro/compute.h"
#include "astro/lunations.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "draw/wheel_chart.h"
#include "draw/wheel_render.h"

using namespace tellurim;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCharts = 50;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

}  // namespace

int main() {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    EphemerisLibrary library;
    if (!library.load(kEphemerisLow)) {
        std::printf("libephlow.so does not load; nothing measured\n");
        return 0;
    }
    WheelGui gui;
    const QSize size(800, 800);
    const auto dir = std::filesystem::temp_directory_path() / "tellurim-bench-wheel";
    std::filesystem::create_directories(dir);
    const std::string png = (dir / "wheel.png").string();
    const std::string svg = (dir / "wheel.svg").string();

    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> day(2433282.5, 2469807.5);
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    std::uniform_real_distribution<double> lat(-60.0, 60.0);
    Options options;
    options.ephemeris.type = kEphemerisLow;
    WorkerThreads workers;
    SilentMessages silent;
    const WheelStyle alone = wheel_style(options, false);
    const WheelStyle superposed = wheel_style(options, true);

    double compute_ms = 0, image_ms = 0, png_ms = 0, svg_ms = 0, outside_ms = 0;
    int charts = 0;
    for (int i = 0; i < kCharts; ++i) {
        BirthData d;
        d.last_name = "Bench";
        d.place.longitude = AngleValue::degrees(lon(rng), kFormatEastWest);
        d.place.latitude = AngleValue::degrees(lat(rng), kFormatNorthSouth);
        d.ut = date_hour_from_ut(day(rng));
        d.local = d.ut;
        Horoscope h;
        auto t0 = Clock::now();
        const bool ok = set_and_compute(h, d, true, options, silent, workers, library);
        compute_ms += ms_since(t0);
        if (!ok && h.sun.polar == SunPolar::None) continue;
        BirthData later = d;
        later.ut = date_hour_from_ut(d.ut.jd_ut + 365.25);
        later.local = later.ut;
        Horoscope transits;
        if (!set_and_compute(transits, later, true, options, silent, workers, library) &&
            transits.sun.polar == SunPolar::None)
            continue;

        const WheelInput input = wheel_input(h, nullptr, nullptr);
        t0 = Clock::now();
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
