#pragma once
// The 729 antara periods of the 120-year Vimshottari cycle (9 dasas x 9 bhuktis x 9
// antaras), their durations and their start offsets from the start of the cycle.

#include "core/options.h"

namespace tellurim {

// Stores the zero date and the year length (days) in `table` and rebuilds its 729 periods
// from its nine lords: the bhukti lord of (dasa i, bhukti j) is lord (i + j) mod 9, the
// antara lord of (i, j, k) is lord (i + j + k) mod 9, and the duration is
// y(i) y(i+j) y(i+j+k) / T^2 years of `year_length` days (T = total years, 120). Entries run
// (0,0,0), (0,0,1) ... (8,8,8); each start offset is the sum of the durations before it.
void build_dasa_table(DasaTable& table, const DateHour& zero_date, double year_length);

}  // namespace tellurim
