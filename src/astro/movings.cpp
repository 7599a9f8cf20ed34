#include "astro/movings.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "astro/aspects.h"
#include "base/text.h"

namespace tellurim {

const std::array<MovingButton, 14> kMovingButtons{{
    {Str::MovingMinus1Mn, -1.0},
    {Str::MovingPlus1Mn, 1.0},
    {Str::MovingMinus15Mn, -15.0},
    {Str::MovingPlus15Mn, 15.0},
    {Str::MovingMinus1Hour, -kMinutesPerHour},
    {Str::MovingPlus1Hour, kMinutesPerHour},
    {Str::MovingMinus1Day, -kMinutesPerDay},
    {Str::MovingPlus1Day, kMinutesPerDay},
    {Str::MovingMinus15Days, -15.0 * kMinutesPerDay},
    {Str::MovingPlus15Days, 15.0 * kMinutesPerDay},
    {Str::MovingMinus1Month, -kMinutesPerMonth},
    {Str::MovingPlus1Month, kMinutesPerMonth},
    {Str::MovingMinus1Year, -kMinutesPerYear},
    {Str::MovingPlus1Year, kMinutesPerYear},
}};

namespace {

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

struct StepUnit {
    std::string_view name;  // upper case
    double minutes;
};
// "D" and "J" (jour), "Y" and "A" (année): the dialog's list offers both languages.
constexpr StepUnit kUnits[] = {
    {"S", 1.0 / 60.0},          {"MN", 1.0},
    {"H", kMinutesPerHour},     {"D", kMinutesPerDay},
    {"J", kMinutesPerDay},      {"M", kMinutesPerMonth},
    {"Y", kMinutesPerYear},     {"A", kMinutesPerYear},
};

// A whole decimal number: an optional sign, digits with an optional fraction or exponent.
std::optional<double> parse_number(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.front() == '+') return std::nullopt;
    double v = 0.0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

std::optional<double> step_unit_minutes(std::string_view unit) {
    unit = trim(unit);
    for (const StepUnit& u : kUnits)
        if (same_letters(unit, u.name)) return u.minutes;
    return std::nullopt;
}

std::optional<double> custom_step_minutes(std::string_view number, std::string_view unit) {
    auto n = parse_number(trim(number));
    auto u = step_unit_minutes(unit);
    if (!n || !u) return std::nullopt;
    const double minutes = *n * *u;
    if (!std::isfinite(minutes)) return std::nullopt;
    return minutes;
}

std::optional<double> parse_step(std::string_view text) {
    text = trim(text);
    std::size_t split = text.size();
    while (split > 0 && std::isalpha(static_cast<unsigned char>(text[split - 1]))) --split;
    return custom_step_minutes(text.substr(0, split), text.substr(split));
}

std::vector<CrossAspect> cross_aspects(const Horoscope& outside, const Horoscope& inside,
                                       const std::vector<AspectDef>& rows) {
    std::vector<CrossAspect> out;
    for (int a = 0; a < kPlanetRows; ++a) {
        const PlanetPosition& pa = outside.geo_movable.at(a);
        if (pa.index < 0) continue;
        for (int b = 0; b < kPlanetRows; ++b) {
            const PlanetPosition& pb = inside.geo_movable.at(b);
            if (pb.index < 0) continue;
            for (const AspectDef& r : rows) {
                const AspectTest t = test_aspect(r, pa.longitude, pa.latitude, pb.longitude, pb.latitude);
                if (t.holds) out.push_back({a, b, r.name, r.angle.to_degrees(), t.separation.to_degrees()});
            }
        }
    }
    return out;
}

}  // namespace tellurim
