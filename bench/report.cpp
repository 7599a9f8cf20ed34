// Time of the results report against the chart computation it reports, in the same run: for
// 100 charts (1950-2050, random places, libephlow.so), one full computation, then the report
// in UNIX text and in HTML with the whole star catalogue (its horizon table is the report's
// only loop over the catalogue). Prints the mean time per chart of each and the ratios.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "astro/compute.h"
#include "astro/lunations.h"
#include "core/ephemeris_library.h"
#include "core/worker_threads.h"
#include "files/stars_file.h"
#include "report/results_report.h"

using namespace tellurim;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCharts = 100;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

}  // namespace

int main() {
    setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 0);
    EphemerisLibrary library;
    if (!library.load(kEphemerisLow)) {
        std::printf("libephlow.so does not load; nothing measured\n");
        return 0;
    }
    StarCatalogue stars;
    SilentMessages silent;
    const std::string stars_path = std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra";
    if (!load_star_catalogue(stars_path, stars)) std::printf("no star catalogue at %s: the stars table is empty\n", stars_path.c_str());

    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> day(2433282.5, 2469807.5);
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    std::uniform_real_distribution<double> lat(-60.0, 60.0);
    Options options;
    options.ephemeris.type = kEphemerisLow;
    WorkerThreads workers;
    const FixedMeasure96 device;
    const DocStyle style = doc_style_from_options(options);
    const ReportSources sources{"Low precision (libephlow.so)", nullptr, &stars};

    double compute_ms = 0.0;
    double text_ms = 0.0;
    double html_ms = 0.0;
    std::size_t text_bytes = 0;
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
        std::string text;
        t0 = Clock::now();
        (void)write_results_report(h, sources, kDocUnixText, style, device, text);
        text_ms += ms_since(t0);
        text_bytes += text.size();
        std::string html;
        t0 = Clock::now();
        (void)write_results_report(h, sources, kDocHtml, style, device, html);
        html_ms += ms_since(t0);
        ++charts;
    }
    if (charts == 0) return 0;
    std::printf("%d charts, %zu stars in the catalogue\n", charts, stars.stars.size());
    std::printf("chart computation   %8.3f ms per chart\n", compute_ms / charts);
    std::printf("report, UNIX text   %8.3f ms per chart (%.1f x the computation, %zu bytes)\n", text_ms / charts,
                text_ms / compute_ms, text_bytes / static_cast<std::size_t>(charts));
    std::printf("report, HTML        %8.3f ms per chart (%.1f x the computation)\n", html_ms / charts,
                html_ms / compute_ms);
    return 0;
}
