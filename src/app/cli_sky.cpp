// tellurim calc sidereal-time, tellurim calc houses, tellurim calc ayanamsa
#include <cmath>
#include <fmt/format.h>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli.h"
#include "app/cli_common.h"
#include "app/json_util.h"
#include "astro/planets_signs.h"
#include "base/angle_value.h"
#include "sky/ayanamsa.h"
#include "core/birth_input.h"
#include "base/date_hour.h"
#include "sky/houses.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "base/strings.h"
#include "base/text.h"

namespace tellurim {
namespace {

void fail_bad_input(CliContext& ctx, const std::string& message) {
    ctx.fail(kExitBadInput, message, str(Str::CaptionBadInput), MessageIcon::Warning);
}

std::optional<DateHour> parse_date_arg(CliContext& ctx, const std::string& input) {
    return parse_birth_date(ctx, input);
}

std::optional<AngleValue> parse_longitude(CliContext& ctx, const std::string& input) {
    auto a = parse_angle(input);
    if (!a || !is_place_longitude(*a)) {
        fail_bad_input(ctx, fmt::format("{}\"{}\"", text(Str::SkyLongitudeInvalid), input));
        return std::nullopt;
    }
    return a;
}

std::optional<AngleValue> parse_latitude(CliContext& ctx, const std::string& input) {
    auto a = parse_angle(input);
    if (!a || a->format != kFormatNorthSouth || !a->is_angle() || a->unit == kUnitHours) {
        fail_bad_input(ctx, fmt::format("{}\"{}\"", text(Str::SkyLatitudeInvalid), input));
        return std::nullopt;
    }
    // The range shared with the birth options.
    if (!is_place_latitude(*a)) {
        fail_bad_input(ctx, fmt::format("{}\"{}\"", text(Str::SkyLatitudeRange), input));
        return std::nullopt;
    }
    return a;
}

// "12d34'56.00\" Leo", or "ERROR" for an undefined cusp.
std::string sign_text(double lon_deg) {
    return std::isfinite(lon_deg) ? format_sign_longitude(lon_deg) : std::string(text(Str::AngleError));
}

double cusp_deg(const HouseCusp& c) { return c.longitude.is_angle() ? reduce_degrees(c.longitude.to_degrees()) : kInfinity; }

std::string degrees_text(double deg) { return std::isfinite(deg) ? fmt::format("{:11.6f}", deg) : fmt::format("{:>11}", text(Str::AngleError)); }


// --- sidereal-time ----------------------------------------------------------------------

struct SiderealArgs {
    std::string ut, lon;
    bool json = false;
};

void run_sidereal_time(CliContext& ctx, const SiderealArgs& a) {
    auto ut = parse_date_arg(ctx, a.ut);
    if (!ut) return;
    auto lon = parse_longitude(ctx, a.lon);
    if (!lon) return;
    AngleValue lst = local_sidereal_time(*ut, *lon);
    double eps = mean_obliquity(ut->jd_et, ut->jd_et);
    if (a.json) {
        nlohmann::json j = {
            {"ut", format_date_hour(*ut)},
            {"jd_ut", ut->jd_ut},
            {"jd_et", ut->jd_et},
            {"longitude_deg", lon->to_degrees()},
            {"lst_rad", json_number(lst.value)},
            {"lst_hours", json_number(lst.to_hours())},
            {"obliquity_rad", json_number(eps)},
            {"obliquity_deg", json_number(radians_to_degrees(eps))},
        };
        std::cout << json_text(j) << "\n";
        return;
    }
    std::cout << text(Str::SkyLabelUniversalTime) << format_date_hour(*ut) << "\n";
    std::cout << text(Str::SkyLabelLongitude) << format_angle(*lon) << "\n";
    std::cout << text(Str::SkyLabelSiderealTime) << format_angle(AngleValue::hours(lst.to_hours()))
              << fmt::format("  ({:.9f} rad)\n", lst.value);
    std::cout << text(Str::SkyLabelObliquity) << format_angle(AngleValue::degrees(radians_to_degrees(eps)))
              << fmt::format("  ({:.9f} rad)\n", eps);
}

// --- houses -----------------------------------------------------------------------------

struct HousesArgs {
    std::string ut, lon, lat, system = "HINDOUE", zero = std::string(kDefaultZeroDate);
    bool json = false;
};

void run_houses(CliContext& ctx, const HousesArgs& a) {
    auto ut = parse_date_arg(ctx, a.ut);
    if (!ut) return;
    auto lon = parse_longitude(ctx, a.lon);
    if (!lon) return;
    auto lat = parse_latitude(ctx, a.lat);
    if (!lat) return;
    auto system = house_system_from_name(a.system);
    if (!system) return fail_bad_input(ctx, fmt::format("{}\"{}\"", text(Str::SkyHouseSystemUnknown), a.system));
    auto zero = parse_zero_date_arg(ctx, a.zero);
    if (!zero) return;

    AngleValue lst = local_sidereal_time(*ut, *lon);
    double eps = mean_obliquity(ut->jd_et, ut->jd_et);
    HouseTable movable, fixed;
    if (!compute_house_cusps(*system, lst, *lat, AngleValue::radians(eps), movable))
        return ctx.fail(kExitFailure, str(Str::ComputeHousesMovable), str(Str::ComputeCaption));
    if (!compute_fixed_house_cusps(movable, *ut, *zero, fixed))
        return ctx.fail(kExitFailure, str(Str::ComputeHousesFixed), str(Str::ComputeCaption));
    double aya = ayanamsa(ut->jd_et, zero->jd_et).to_degrees();

    if (a.json) {
        nlohmann::json mov = nlohmann::json::array(), fix = nlohmann::json::array();
        for (std::size_t h = 0; h < movable.size(); ++h) {
            mov.push_back(json_number(cusp_deg(movable[h])));
            fix.push_back(json_number(cusp_deg(fixed[h])));
        }
        nlohmann::json j = {
            {"system", house_system_name(*system)},
            {"system_code", static_cast<int>(*system)},
            {"ut", format_date_hour(*ut)},
            {"jd_ut", ut->jd_ut},
            {"jd_et", ut->jd_et},
            {"longitude_deg", lon->to_degrees()},
            {"latitude_deg", lat->to_degrees()},
            {"lst_rad", json_number(lst.value)},
            {"obliquity_rad", json_number(eps)},
            {"zero_date", format_date_hour(*zero)},
            {"ayanamsa_deg", json_number(aya)},
            {"cusps_movable_deg", mov},
            {"cusps_fixed_deg", fix},
            {"ascendant_deg", json_number(cusp_deg(movable[0]))},
            {"midheaven_deg", json_number(cusp_deg(movable[9]))},
            {"ascendant_fixed_deg", json_number(cusp_deg(fixed[0]))},
            {"midheaven_fixed_deg", json_number(cusp_deg(fixed[9]))},
        };
        std::cout << json_text(j) << "\n";
        return;
    }
    std::cout << text(Str::SkyLabelUniversalTime) << format_date_hour(*ut) << "\n";
    std::cout << text(Str::SkyLabelLongitude) << format_angle(*lon) << "\n";
    std::cout << text(Str::SkyLabelLatitude) << format_angle(*lat) << "\n";
    std::cout << text(Str::SkyLabelHouseSystem) << house_system_name(*system) << "\n";
    std::cout << text(Str::SkyLabelSiderealTime) << format_angle(AngleValue::hours(lst.to_hours()))
              << fmt::format("  ({:.9f} rad)\n", lst.value);
    std::cout << text(Str::SkyLabelObliquity) << format_angle(AngleValue::degrees(radians_to_degrees(eps)))
              << fmt::format("  ({:.9f} rad)\n", eps);
    std::cout << text(Str::SkyLabelZeroDate) << format_date_hour(*zero) << "\n";
    std::cout << text(Str::SkyLabelAyanamsa) << format_angle(AngleValue::degrees(aya)) << "\n";
    std::cout << text(Str::SkyLabelAscendant) << sign_text(cusp_deg(movable[0])) << " " << text(Str::SkyMovable)
              << ", " << sign_text(cusp_deg(fixed[0])) << " " << text(Str::SkyFixed) << "\n";
    std::cout << text(Str::SkyLabelMidheaven) << sign_text(cusp_deg(movable[9])) << " " << text(Str::SkyMovable)
              << ", " << sign_text(cusp_deg(fixed[9])) << " " << text(Str::SkyFixed) << "\n\n";
    std::cout << text(Str::SkyHeadingHouses) << "\n";
    for (std::size_t h = 0; h < movable.size(); ++h) {
        double m = cusp_deg(movable[h]);
        double f = cusp_deg(fixed[h]);
        std::cout << fmt::format("{:>5}  {} {:<26} {} {}\n", h + 1, degrees_text(m), sign_text(m), degrees_text(f),
                                 sign_text(f));
    }
}

// --- ayanamsa ---------------------------------------------------------------------------

struct AyanamsaArgs {
    std::string et_jd, ut, value, zero = std::string(kDefaultZeroDate);
    bool json = false;
};

void run_date_of_ayanamsa(CliContext& ctx, const AyanamsaArgs& a, const DateHour& zero) {
    std::optional<AngleValue> value;
    if (auto d = parse_decimal(trim(a.value))) {
        value = AngleValue::degrees(*d);
    } else if (auto angle = parse_angle(a.value); angle && angle->is_angle()) {
        value = angle;
    }
    if (!value) return fail_bad_input(ctx, fmt::format("{}\"{}\"", text(Str::SkyAyanamsaValueInvalid), a.value));
    auto date = date_of_ayanamsa(*value, zero);
    if (!date) return ctx.fail(kExitFailure, fmt::format("{}{}", text(Str::SkyAyanamsaNoDate), a.value),
                               str(Str::ComputeCaption));
    if (a.json) {
        nlohmann::json j = {
            {"value_deg", value->to_degrees()},   {"date", format_date_hour(*date)}, {"jd_ut", date->jd_ut},
            {"jd_et", date->jd_et},                {"zero_date", format_date_hour(zero)},
            {"zero_jd_et", zero.jd_et},
        };
        std::cout << json_text(j) << "\n";
        return;
    }
    std::cout << text(Str::SkyLabelAyanamsa) << format_angle(AngleValue::degrees(value->to_degrees())) << "\n";
    std::cout << text(Str::SkyLabelZeroDate) << format_date_hour(zero) << "\n";
    std::cout << text(Str::SkyLabelDate) << format_date_hour(*date) << "\n";
    std::cout << text(Str::SkyLabelJulianDayUt) << fmt::format("{:.6f}", date->jd_ut) << "\n";
    std::cout << text(Str::SkyLabelJulianDayEt) << fmt::format("{:.6f}", date->jd_et) << "\n";
}

void run_ayanamsa(CliContext& ctx, const AyanamsaArgs& a) {
    int given = !a.et_jd.empty() + !a.ut.empty() + !a.value.empty();
    if (given > 1) return fail_bad_input(ctx, str(Str::SkyOptionsExclusive));
    auto zero = parse_zero_date_arg(ctx, a.zero);
    if (!zero) return;
    if (!a.value.empty()) return run_date_of_ayanamsa(ctx, a, *zero);

    double jd_et = 0.0;
    std::string when;
    if (!a.et_jd.empty()) {
        auto jd = parse_decimal(trim(a.et_jd));
        if (!jd || !std::isfinite(*jd))
            return fail_bad_input(ctx, fmt::format("{}\"{}\"", text(Str::SkyJulianDayInvalid), a.et_jd));
        jd_et = *jd;
    } else {
        std::optional<DateHour> ut = a.ut.empty() ? std::optional<DateHour>(now_ut()) : parse_date_arg(ctx, a.ut);
        if (!ut) return;
        jd_et = ut->jd_et;
        when = format_date_hour(*ut);
    }
    AngleValue aya = ayanamsa(jd_et, zero->jd_et);
    if (!aya.is_angle()) return ctx.fail(kExitFailure, str(Str::SkyAyanamsaUndefined), str(Str::ComputeCaption));
    // The test of the ayanamsa settings: the ayanamsa of 2000-01-01 00:00 and the date at
    // which it reaches 30 degrees (the Aquarius era) for this zero date.
    const AyanamsaTest test = ayanamsa_test(*zero);
    const AngleValue aya_2000 = test.ayanamsa_2000;
    const std::string aquarius_text = test.aquarius_era_text();
    if (a.json) {
        nlohmann::json j = {
            {"ayanamsa_deg", aya.to_degrees()}, {"ayanamsa_rad", aya.value},
            {"jd_et", jd_et},                   {"zero_jd_et", zero->jd_et},
            {"zero_date", format_date_hour(*zero)}, {"ayanamsa_2000_deg", aya_2000.to_degrees()},
            {"aquarius_era", aquarius_text},
        };
        if (!when.empty()) j["ut"] = when;
        std::cout << json_text(j) << "\n";
        return;
    }
    if (!when.empty()) std::cout << text(Str::SkyLabelUniversalTime) << when << "\n";
    std::cout << text(Str::SkyLabelJulianDayEt) << fmt::format("{:.6f}", jd_et) << "\n";
    std::cout << text(Str::SkyLabelZeroDate) << format_date_hour(*zero) << "\n";
    std::cout << text(Str::SkyLabelAyanamsa) << format_angle(AngleValue::degrees(aya.to_degrees()))
              << fmt::format("  ({:.9f} deg, {:.9f} rad)\n", aya.to_degrees(), aya.value);
    std::cout << text(Str::SkyAyanamsa2000) << " " << test.ayanamsa_2000_text() << "\n";
    std::cout << text(Str::SkyAquariusEra) << " " << aquarius_text << "\n";
}

}  // namespace

void register_sky_commands(CLI::App& calc, CliContext& ctx) {
    auto* st = calc.add_subcommand("sidereal-time", "Local mean sidereal time and mean obliquity for a moment and place");
    auto sa = std::make_shared<SiderealArgs>();
    st->add_option("--ut", sa->ut, "Universal date-hour, e.g. \"2000-01-01 12:00:00\"")->required();
    st->add_option("--lon", sa->lon, "Longitude, e.g. 2d20'14.00\"E or 05h08'08.00\"W")->required();
    st->add_flag("--json", sa->json, "Machine-readable output");
    st->callback([&ctx, sa] { run_sidereal_time(ctx, *sa); });

    auto* ho = calc.add_subcommand("houses", "House cusps in the movable and fixed zodiac");
    auto ha = std::make_shared<HousesArgs>();
    ho->add_option("--ut", ha->ut, "Universal date-hour, e.g. \"2000-01-01 12:00:00\"")->required();
    ho->add_option("--lon", ha->lon, "Longitude, e.g. 2d20'14.00\"E")->required();
    ho->add_option("--lat", ha->lat, "Latitude, e.g. 48d51'24.00\"N")->required();
    ho->add_option("--system", ha->system,
                   "Campanus, Alcabitus, Abenragel, Regiomontanus, Placidus, Hindu or ModusAequalis (default Hindu)");
    ho->add_option("--zero", ha->zero, "Zero date of the fixed zodiac, or a preset: \"Tellurim Default\", Fagan-Bradley, Raman (default \"-134-02-03 12:00:00.00 JD\")");
    ho->add_flag("--json", ha->json, "Machine-readable output");
    ho->callback([&ctx, ha] { run_houses(ctx, *ha); });

    auto* ay = calc.add_subcommand("ayanamsa", "Ayanamsa of a date, or the date of an ayanamsa value");
    auto aa = std::make_shared<AyanamsaArgs>();
    ay->add_option("--et-jd", aa->et_jd, "Julian day in ephemeris time");
    ay->add_option("--ut", aa->ut, "Universal date-hour (default: now)");
    ay->add_option("--value", aa->value, "Ayanamsa in degrees: find the date at which it is reached");
    ay->add_option("--zero", aa->zero, "Zero date of the fixed zodiac, or a preset: \"Tellurim Default\", Fagan-Bradley, Raman (default \"-134-02-03 12:00:00.00 JD\")");
    ay->add_flag("--json", aa->json, "Machine-readable output");
    ay->callback([&ctx, aa] { run_ayanamsa(ctx, *aa); });
}

}  // namespace tellurim
