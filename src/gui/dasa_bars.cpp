#include "gui/dasa_bars.h"

namespace tellurim {

std::vector<DasaBar> dasa_bars(const std::vector<DasaPeriodAt>& periods, DasaLevel level) {
    // Entries run dasa by dasa, 81 antaras to a dasa and 9 to a bhukti.
    const int span = level == DasaLevel::Dasa ? 81 : level == DasaLevel::Bhukti ? 9 : 1;
    std::vector<DasaBar> bars;
    int group = -1;
    for (const DasaPeriodAt& p : periods) {
        const int lord = level == DasaLevel::Dasa ? p.dasa : level == DasaLevel::Bhukti ? p.bhukti : p.antara;
        if (!bars.empty() && p.position >= 0 && p.position / span == group && lord == bars.back().lord) {
            bars.back().end_jd_et = p.end_jd_et;
            continue;
        }
        group = p.position >= 0 ? p.position / span : -1;
        bars.push_back({lord, p.start_jd_et, p.end_jd_et});
    }
    return bars;
}

}  // namespace tellurim
