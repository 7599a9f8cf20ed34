#include "astro/dasa_table.h"

namespace tellurim {

void build_dasa_table(DasaTable& table, const DateHour& zero_date, double year_length) {
    table.zero_date = zero_date;
    table.year_length = year_length;
    const double t = table.total_years;
    const auto lord = [&table](int m) -> const DasaLord& { return table.lords[static_cast<std::size_t>(m % kDasaLords)]; };
    double start = 0.0;
    std::size_t n = 0;
    for (int i = 0; i < kDasaLords; ++i) {
        for (int j = 0; j < kDasaLords; ++j) {
            for (int k = 0; k < kDasaLords; ++k, ++n) {
                const DasaLord& dasa = lord(i);
                const DasaLord& bhukti = lord(i + j);
                const DasaLord& antara = lord(i + j + k);
                // The three fractions of the cycle multiplied together, times T years of Y days.
                double days = dasa.years * bhukti.years * antara.years / (t * t) * year_length;
                table.periods[n] = DasaPeriod{days, dasa.planet, bhukti.planet, antara.planet};
                table.start_offsets[n] = start;
                start += days;
            }
        }
    }
}

}  // namespace tellurim
