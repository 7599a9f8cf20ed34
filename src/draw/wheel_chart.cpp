#include "draw/wheel_chart.h"

#include "core/angle_value.h"
#include "core/date_hour.h"

namespace tellurim {

WheelChart wheel_chart(const Horoscope& h) {
    WheelChart c;
    const bool movable = h.options.astro.zodiac_movable != 0;
    const PositionTable& table = h.positions(movable ? PositionFrame::GeoMovable : PositionFrame::GeoFixed);
    for (int p = 0; p < kPlanetRows; ++p) {
        const PlanetPosition& row = table.at(p);
        c.longitudes[static_cast<std::size_t>(p)] = row.longitude.is_angle() ? row.longitude.to_radians() : kInfinity;
    }
    const HouseTable& houses = movable ? h.houses_movable : h.houses_fixed;
    for (std::size_t i = 0; i < c.cusps.size(); ++i) {
        const HouseCusp& cusp = houses[i];
        c.cusps[i] = cusp.index >= 0 && cusp.longitude.is_angle() ? cusp.longitude.to_radians() : kInfinity;
    }
    return c;
}

std::vector<std::string> wheel_informations(const Horoscope& h) {
    std::vector<std::string> lines;
    lines.push_back(h.first_name.empty() ? h.last_name : h.last_name + " " + h.first_name);
    lines.push_back(format_date_hour(h.birth_local));
    lines.push_back(format_date_hour(h.birth_ut));
    std::string place = h.place.city;
    if (!h.country.empty()) place += (place.empty() ? "" : ", ") + h.country;
    if (!place.empty()) lines.push_back(place);
    lines.push_back(format_angle(h.place.longitude) + "  " + format_angle(h.place.latitude));
    return lines;
}

}  // namespace tellurim
