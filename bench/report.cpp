// Time of the results report against the chart computation it reports, in the same run: for
// 100 charts (1950-2050, random places, libephlow.so), one full computation, then the report
// in UNIX text and in HTML with the whole star catalogue (its horizon table is the report's
// only loop over the catalogue). Prints the mean time per chart of each and the ratios.
#include <cstdio>

#include "files/stars_file.h"
#include "random_charts.h"
#include "report/results_report.h"

using namespace tellurim;
using bench::Clock;
using bench::ms_since;

namespace {
constexpr int kCharts = 100;
}  // namespace

int main() {
    bench::RandomCharts random;
    if (!random.loaded()) return 0;
    StarCatalogue stars;
    const std::string stars_path = std::string(TELLURIM_SOURCE_DIR) + "/data/stars/stars.spra";
    if (!load_star_catalogue(stars_path, stars)) std::printf("no star catalogue at %s: the stars table is empty\n", stars_path.c_str());

    const FixedMeasure96 device;
    const DocStyle style = doc_style_from_options(random.options());
    const ReportSources sources{"Low precision (libephlow.so)", nullptr, &stars};

    double compute_ms = 0.0;
    double text_ms = 0.0;
    double html_ms = 0.0;
    std::size_t text_bytes = 0;
    int charts = 0;
    for (int i = 0; i < kCharts; ++i) {
        Horoscope h;
        if (!random.compute(h, random.next_birth(), &compute_ms)) continue;
        std::string text;
        auto t0 = Clock::now();
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
