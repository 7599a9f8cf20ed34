#pragma once
// The bars of the dasa window: the antara periods of a span merged into one bar per dasa, per
// bhukti or per antara. Layout only, as the wheel's geometry is; the window paints the bars.

#include <vector>

#include "astro/hindu.h"

namespace tellurim {

enum class DasaLevel { Dasa, Bhukti, Antara };

struct DasaBar {
    int lord = -1;  // planet index
    double start_jd_et = 0.0;
    double end_jd_et = 0.0;
};

// Consecutive periods of one dasa (of one bhukti of it; each antara alone) form one bar, in
// order. Their positions in the 729 entries tell two cycles apart, so that the last Mercury
// antara of a cycle and the first of the next never join.
std::vector<DasaBar> dasa_bars(const std::vector<DasaPeriodAt>& periods, DasaLevel level);

}  // namespace tellurim
