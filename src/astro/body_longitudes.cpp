#include "astro/body_longitudes.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/ephemeris_library.h"
#include "sky/spherical.h"

namespace tellurim {

bool LibraryLongitudes::longitudes(double jd_et, std::span<const int> planets, std::span<double> lon_deg) {
    if (planets.size() != lon_deg.size()) return false;
    if (!std::equal(planets.begin(), planets.end(), m_filter_planets.begin(), m_filter_planets.end())) {
        std::string filter;
        for (int p : planets) {
            const std::string_view body = body_of_planet(p);
            if (body.empty()) return false;
            if (!filter.empty()) filter += ';';
            filter += body;
        }
        m_filter_planets.assign(planets.begin(), planets.end());
        m_filter = std::move(filter);
    }
    if (!m_library.compute_filtered(jd_et, m_zero_jd_et, m_filter)) return false;
    for (std::size_t i = 0; i < planets.size(); ++i) {
        auto pos = m_library.position_filtered(body_of_planet(planets[i]));
        if (!pos) return false;
        const AngleValue& lon = m_fixed ? pos->geo_fix.longitude : pos->geo_mov.longitude;
        if (!lon.is_angle()) return false;
        lon_deg[i] = reduce_degrees(lon.to_degrees());
        if (!std::isfinite(lon_deg[i])) return false;
    }
    return true;
}

}  // namespace tellurim
