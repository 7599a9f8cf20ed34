#pragma once
// The two charts whose strengths were worked by hand, read from
// tests/data/astro/worked_strengths.txt: their strength inputs, the expected components and
// totals (the workings are in the file).

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "astro/planets_signs.h"
#include "astro/strengths.h"
#include "common/data_table.h"

namespace tellurim::worked {

struct Component {
    int number = 0;  // 1 to 16
    std::array<double, kStrengthPlanets> values{};
    bool pipeline = false;  // the pipeline's own positions agree with it
};

struct Chart {
    std::string ut;
    double lon = 0.0, lat = 0.0;
    StrengthInputs in;
    std::vector<Component> components;
    std::map<int, double> totals, kala;  // by planet
};

inline int planet(const std::string& name) {
    const std::array<std::string, kStrengthPlanets> names = {"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn"};
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
}

inline std::map<std::string, Chart> charts() {
    std::map<std::string, Chart> out;
    Chart* c = nullptr;
    for (const testing_data::DataRow& r : testing_data::data_rows("astro/worked_strengths.txt")) {
        const std::string& key = r[0];
        auto values = [&r](std::size_t from) {
            std::vector<double> v;
            for (std::size_t i = from; i < r.size() && r[i] != "pipeline"; ++i) v.push_back(r.num(i));
            return v;
        };
        auto copy = [&](auto& to, std::size_t from) {
            const std::vector<double> v = values(from);
            for (std::size_t i = 0; i < to.size() && i < v.size(); ++i) to[i] = static_cast<std::decay_t<decltype(to[0])>>(v[i]);
        };
        if (key == "chart") {
            c = &out[r[1]];
            c->ut = r[2];
            std::replace(c->ut.begin(), c->ut.end(), '_', ' ');
            c->lon = r.num(3);
            c->lat = r.num(4);
            c->in.debilitation_deg = {199, 213, 345, 177, 118, 285, 21};
            for (auto& row : c->in.aspects_received) row.fill(0.0);
        } else if (key == "fixed_lon") copy(c->in.fixed_lon_deg, 1);
        else if (key == "latitude") copy(c->in.latitude_deg, 1);
        else if (key == "retrograde") copy(c->in.retrograde, 1);
        else if (key == "declination") copy(c->in.declination_deg, 1);
        else if (key == "helio_lon") copy(c->in.helio_lon_deg, 1);
        else if (key == "sun_movable_lon") c->in.sun_movable_lon_deg = r.num(1);
        else if (key == "moon_movable_lon") c->in.moon_movable_lon_deg = r.num(1);
        else if (key == "jd_ut") c->in.jd_ut = r.num(1);
        else if (key == "ut_hours") c->in.ut_hours = r.num(1);
        else if (key == "equation_of_time") c->in.equation_of_time_deg = r.num(1);
        else if (key == "planetary_hour") c->in.planetary_hour = r.integer(1);
        else if (key == "moon_quality") c->in.moon_quality = r.integer(1);
        else if (key == "mercury_quality") c->in.mercury_quality = r.integer(1);
        else if (key == "lords") {
            c->in.year_lord = planet(r[1]);
            c->in.month_lord = planet(r[2]);
            c->in.day_lord = planet(r[3]);
            c->in.hour_lord = planet(r[4]);
        } else if (key == "divisions") {
            for (std::size_t d = 0; d < 7; ++d)
                if (r[d + 2] != "-") c->in.division_signs[planet(r[1])][d] = sign_from_name(r[d + 2]);
        } else if (key == "relationship") c->in.relationships[planet(r[1])][planet(r[2])] = r.integer(3);
        else if (key == "aspects") copy(c->in.aspects_received[planet(r[1])], 2);
        else if (key == "component") {
            Component k{r.integer(1), {}, r.fields.back() == "pipeline"};
            copy(k.values, 2);
            c->components.push_back(k);
        } else if (key == "total") c->totals[planet(r[1])] = r.num(2);
        else if (key == "kala") c->kala[planet(r[1])] = r.num(2);
        else ADD_FAILURE() << "line " << r.line << ": " << key;
    }
    for (auto& [name, chart] : out) chart.in.place_lon_deg = chart.lon;
    return out;
}

}  // namespace tellurim::worked
