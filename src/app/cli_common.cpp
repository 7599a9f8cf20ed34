#include "app/cli_common.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fmt/format.h>

#include "app/cli_geocode.h"
#include "app/json_util.h"
#include "astro/compute.h"
#include "astro/planets_signs.h"
#include "sky/ayanamsa.h"
#include "core/birth_input.h"
#include "sky/houses.h"
#include "base/strings.h"
#include "core/output_file.h"
#include "files/cities.h"
#include "files/horoscope_file.h"
#include "files/host_identity.h"

namespace tellurim {

DateHour now_ut() {
    using namespace std::chrono;
    double unix_seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    DateHour d;
    // 1970-01-01 00:00 UT is Julian day 2440587.5
    set_julian_day_ut(d, 2440587.5 + std::round(unix_seconds * 100.0) / 8640000.0);
    return d;
}

std::string horoscope_file_path(const std::string& path, const std::string& horoscopes_dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (horoscopes_dir.empty() || fs::path(path).has_parent_path() || fs::exists(path, ec)) return path;
    const fs::path there = fs::path(horoscopes_dir) / path;
    return fs::exists(there, ec) ? there.string() : path;
}

int planet_arg(std::string_view item) {
    item = trim(item);
    if (auto n = parse_integer(item)) return *n >= 0 && *n < kPlanetRows ? static_cast<int>(*n) : -1;
    const int p = planet_from_name(item);
    return p >= 0 && p < kPlanetRows ? p : -1;
}

void add_chart_override_options(CLI::App& command, ChartOverrides& o) {
    command.add_option("--house-system", o.house_system,
                       "Campanus, Alcabitus, Abenragel, Regiomontanus, Placidus, Hindu, ModusAequalis");
    command.add_option("--zodiac", o.zodiac, "movable or fixed")->check(CLI::IsMember({"movable", "fixed"}));
    command.add_option("--ephemeris", o.ephemeris, "low, bdl or jpl")->check(CLI::IsMember({"low", "bdl", "jpl"}));
    command.add_option("--node", o.node, "Lunar node: mean or true (default: the options' choice)")
        ->check(CLI::IsMember({"mean", "true"}));
}

bool apply_chart_overrides(const ChartOverrides& o, Options& options, CliContext& ctx) {
    if (!o.house_system.empty()) {
        auto hs = house_system_from_name(o.house_system);
        if (!hs) {
            ctx.fail(kExitBadInput, str(Str::ChartBadHouseSystem) + ": " + o.house_system);
            return false;
        }
        options.astro.house_system = *hs;
    }
    if (!o.zodiac.empty()) options.astro.zodiac_movable = o.zodiac == "movable" ? 1 : 0;
    if (!o.ephemeris.empty())
        options.ephemeris.type = o.ephemeris == "low" ? kEphemerisLow : o.ephemeris == "bdl" ? kEphemerisBdl : kEphemerisJpl;
    if (!o.node.empty()) options.ephemeris.true_node = o.node == "true" ? 1 : 0;
    return true;
}

void add_birth_options(CLI::App* cmd, BirthArgs& args) {
    cmd->add_option("--name", args.name, "Last name");
    cmd->add_option("--first-name", args.first_name, "First name");
    cmd->add_option("--sex", args.sex, "M, F or N")->check(CLI::IsMember({"M", "F", "N"}));
    auto* ut = cmd->add_option("--ut", args.ut, "Universal date-hour, \"2000-01-01 12:00:00.00 GD\"");
    auto* local = cmd->add_option("--local", args.local, "Local (legal) date-hour");
    cmd->add_option("--correction", args.correction, "Hours from legal time to universal time (-24 to 24)");
    auto* now = cmd->add_flag("--now", args.now, "The present moment (universal time)");
    ut->excludes(local)->excludes(now);
    local->excludes(now);
    cmd->add_option("--lon", args.lon, "Longitude, \"2d21'00\\\"E\", \"0h09'24\\\"E\" or decimal degrees east (-180 to 180)");
    cmd->add_option("--lat", args.lat, "Latitude, \"48d51'00\\\"N\" or decimal degrees north (-90 to 90)");
    cmd->add_flag("--my-city", args.my_city, "The options' \"My city\" place and correction");
    cmd->add_option("--city", args.city, "City");
    cmd->add_option("--county", args.county, "County");
    cmd->add_option("--state", args.state, "State");
    cmd->add_option("--country", args.country, "Country");
    add_chart_override_options(*cmd, args.overrides);
}

std::optional<DateHour> parse_birth_date(CliContext& ctx, const std::string& text) {
    DateParse p = parse_date_hour(text);
    if (!p.ok) {
        ctx.fail(kExitBadInput, str(Str::NotAValidDate) + " " + trim_message(p.message));
        return std::nullopt;
    }
    // Each field within its range is not enough: 31 February would silently become 3 March.
    if (auto fault = birth_date_fault(p.value)) {
        const std::string message = birth_date_fault_message(*fault, text);
        if (*fault == Str::SecondNotValid)
            ctx.fail(kExitBadInput, message, str(Str::CaptionBadInput), MessageIcon::Warning);
        else
            ctx.fail(kExitBadInput, message);
        return std::nullopt;
    }
    return p.value;
}

std::optional<DateHour> parse_zero_date_arg(CliContext& ctx, const std::string& text) {
    const std::string_view preset = zero_date_preset(text);
    return parse_birth_date(ctx, preset.empty() ? text : std::string(preset));
}

namespace {

// A correction of more than a day either way is a typing error, and one that is not a
// number would make every date-hour derived from it invalid.
constexpr double kMaxCorrectionHours = 24.0;

bool check_correction(double hours, CliContext& ctx) {
    if (std::isfinite(hours) && std::fabs(hours) <= kMaxCorrectionHours) return true;
    ctx.fail(kExitBadInput, str(Str::BirthBadCorrection) + " " + fmt::format("{}", hours));
    return false;
}

// Looks the place up in the atlas of the options' countries directory. With a legal
// date-hour and no correction of the user's, the atlas's historical correction for that date
// gives `universal`.
bool find_place(const BirthArgs& a, const Options& options, BirthData& data, std::optional<DateHour>& universal,
                CliContext& ctx) {
    CityQuery q;
    bool want_correction = !a.local.empty() && !a.correction;
    if (want_correction) q.date_hour = a.local;
    q.country = a.country;
    q.state = a.state;
    q.county = a.county;
    q.city = a.city;
    AtlasSettings atlas{options.paths.countries_dir, options.paths.default_country};
    NameCollator names = NameCollator::for_user();
    // The feedback tells every step ("Ok, city found." before a missing correction file); the
    // message tells only the one that failed.
    if (!find_city(q, atlas, want_correction, names)) {
        ctx.fail(kExitFailure, trim_message(q.cause));
        return false;
    }
    if (want_correction && !q.universal) {
        ctx.fail(kExitFailure, q.cause + " " + str(Str::PlaceGiveCorrection));
        return false;
    }
    universal = q.universal;
    data.place = q.place;
    data.state = q.state;
    data.country = q.country;
    return true;
}

// The person, the place and the moment of the birth options. False after telling why.
bool build_birth_data(const BirthArgs& a, const Options& options, const std::string& private_dir, BirthChart& c,
                      CliContext& ctx) {
    BirthData& data = c.data;
    double& correction = c.correction_hours;
    data.last_name = a.name.empty() && a.now ? str(Str::ChartNowName) : a.name;
    if (data.last_name.empty()) {
        ctx.fail(kExitBadInput, str(Str::ChartNeedName));
        return false;
    }
    data.first_name = a.first_name;
    if (a.sex == "M")
        data.sex = kMan;
    else if (a.sex == "F")
        data.sex = kWoman;
    else if (a.sex == "N")
        data.sex = kNeuter;
    else {
        ctx.fail(kExitBadInput, str(Str::ChartBadSex));
        return false;
    }

    // The texts first, so that a typing error is told before any atlas lookup. A text the
    // horoscope file cannot hold as it is (a tag of the file, not UTF-8) is refused, naming
    // the field, so that a saved chart opens as the chart that was saved.
    BirthData typed;
    typed.last_name = data.last_name;
    typed.first_name = a.first_name;
    typed.place.city = a.city;
    typed.place.county = a.county;
    typed.state = a.state;
    typed.country = a.country;
    if (auto fault = birth_text_fault(typed)) {
        ctx.fail(kExitBadInput, *fault);
        return false;
    }
    std::optional<DateHour> ut;
    std::optional<DateHour> local;
    if (!a.now && !a.ut.empty() && !(ut = parse_birth_date(ctx, a.ut))) return false;
    if (!a.now && a.ut.empty() && !a.local.empty() && !(local = parse_birth_date(ctx, a.local))) return false;
    correction = a.correction.value_or(a.my_city ? options.my_city.correction_hours : 0.0);
    if ((a.correction || a.my_city) && !check_correction(correction, ctx)) return false;

    // Place: explicit coordinates, "My city", the geocoding service or the atlas.
    std::optional<DateHour> atlas_ut;
    std::optional<DateHour> service_ut;
    c.place_source = str(a.my_city ? Str::GeoSourceMyCity : Str::GeoSourceAtlas);
    if (a.my_city) {
        data.place = options.my_city.place;
        data.state = options.my_city.state;
        data.country = options.my_city.country;
    }
    if (!a.lon.empty() || !a.lat.empty()) {
        auto lon = parse_birth_longitude(a.lon);
        if (!lon) {
            ctx.fail(kExitBadInput, str(Str::NotAValidLongitude));
            return false;
        }
        auto lat = parse_birth_latitude(a.lat);
        if (!lat) {
            ctx.fail(kExitBadInput, str(Str::NotAValidLatitude));
            return false;
        }
        data.place.longitude = *lon;
        data.place.latitude = *lat;
        c.place_source = str(Str::GeoSourceCoordinates);
        if (!a.city.empty()) data.place.city = a.city;
        if (!a.county.empty()) data.place.county = a.county;
        if (!a.state.empty()) data.state = a.state;
        if (!a.country.empty()) data.country = a.country;
    } else if (!a.my_city) {
        if (a.city.empty()) {
            ctx.fail(kExitBadInput, str(Str::ChartNeedPlace));
            return false;
        }
        GeocodedBirth service;
        const bool want_offset = local && !a.correction;
        if (a.geocode)
            service = geocode_birth(private_dir, a.city, a.county, a.state, a.country,
                                    want_offset ? local : std::nullopt, ctx);
        if (service.place) {
            data.place = *service.place;
            data.state = service.state;
            data.country = service.country;
            c.place_source = str(Str::GeoSourceService);
            service_ut = service.universal;
            // The offset alone from the atlas, when the city is there.
            BirthData atlas_place;
            if (want_offset && !service_ut && !find_place(a, options, atlas_place, atlas_ut, ctx)) return false;
        } else if (!find_place(a, options, data, atlas_ut, ctx)) {
            return false;
        }
    }

    // Time: universal, local with its correction, or now.
    c.offset_source = str(Str::GeoSourceUniversal);
    if (a.now) {
        data.ut = now_ut();
    } else if (ut) {
        data.ut = *ut;
    } else if (local && (a.correction || atlas_ut || service_ut || a.my_city)) {
        data.local = *local;
        // The user's correction first, then the service's or the atlas's for that date, then
        // "My city"'s.
        std::optional<DateHour> found_ut = service_ut ? service_ut : atlas_ut;
        std::optional<DateHour> universal =
            found_ut && !a.correction ? found_ut : local_to_universal(*local, correction);
        c.offset_source = str(a.correction ? Str::GeoSourceCorrection
                              : service_ut  ? Str::GeoSourceService
                              : atlas_ut    ? Str::GeoSourceAtlas
                                            : Str::GeoSourceMyCity);
        if (!universal) {
            ctx.fail(kExitBadInput, str(Str::DateOutOfRange));
            return false;
        }
        data.ut = *universal;
    } else {
        ctx.fail(kExitBadInput, str(Str::ChartNeedTime));
        return false;
    }
    if (!is_valid(data.local)) {
        // Legal time = universal - correction, in the universal date's calendar.
        data.local = data.ut;
        if (!set_julian_day_ut(data.local, data.ut.jd_ut - correction / 24.0)) {
            ctx.fail(kExitBadInput, str(Str::DateOutOfRange));
            return false;
        }
    }
    // "My city"'s texts come from the options.
    if (auto fault = birth_text_fault(data)) {
        ctx.fail(kExitBadInput, *fault);
        return false;
    }
    return true;
}

// The settings with the per-run overrides, the provider loaded, the horoscope pointing at the
// user's aspect table.
std::optional<BirthChart> start_chart(const ChartOverrides& overrides, CliContext& ctx) {
    auto settings = load_cli_settings(ctx);
    if (!settings) return std::nullopt;
    BirthChart c;
    c.settings = std::make_unique<CliSettings>(std::move(*settings));
    c.options = c.settings->options;
    if (!apply_chart_overrides(overrides, c.options, ctx)) return std::nullopt;
    return c;
}

void load_provider(BirthChart& c, CliContext& ctx) {
    c.library = std::make_unique<EphemerisLibrary>();
    EphemerisStatus loaded = c.library->load(c.options.ephemeris.type, c.options.ephemeris.jpl_file);
    if (!loaded) ctx.messages->tell(loaded.message, str(Str::ComputeCaption), MessageIcon::Warning);
    c.workers = std::make_unique<WorkerThreads>();
    c.horoscope = std::make_unique<Horoscope>();
    c.horoscope->aspect_table = &c.settings->aspects;
}

// What the computation's result means for the command. A day without sunrise or sunset fails
// the sun step only (its message has been shown): every later step ran, so the chart is
// printed and the run still succeeds. Birth data refused before any step ran are said here,
// as nothing else said it.
// A computation that failed after the birth data were stored leaves an invalid horoscope:
// kept when the command asks for it (`keep_invalid`), with exit status 1.
std::optional<BirthChart> accept_computation(bool computed, const ComputeReport& report, std::optional<BirthChart> c,
                                             bool keep_invalid, CliContext& ctx) {
    const Horoscope& h = *c->horoscope;
    const bool polar_only = polar_sun_only_failure(computed, h, report);
    if (polar_only)
        ctx.messages->tell(str(Str::SunPolarWarning), str(Str::WarningCaption), MessageIcon::Warning);
    if (!computed && !polar_only) {
        ctx.exit_code = kExitFailure;
        const bool stored = report.ran_step(1) && is_valid(h.birth_ut) && h.place.latitude.is_angle();
        if (!stored) ctx.messages->tell(str(Str::ChartBadBirthData), str(Str::ComputeCaption), MessageIcon::Warning);
        if (!stored || !keep_invalid) return std::nullopt;
        c->valid = false;
        return c;
    }
    std::string warning = provider_range_warning(provider_range(*c->library), h.birth_ut.jd_et);
    if (!warning.empty()) ctx.messages->tell(warning, str(Str::BirthWarningCaption), MessageIcon::Warning);
    return c;
}

// "-2000-01-01 JD": the date of a Julian day, Julian before the Gregorian reform.
std::string range_date_text(double jd) {
    DateHour d;
    d.is_julian = jd < 2299160.5 ? 1 : 0;
    if (!set_julian_day_ut(d, jd)) return fmt::format("JD {:.1f}", jd);
    return fmt::format("{:04d}-{:02d}-{:02d} {}", d.year, d.month, d.day, d.is_julian ? "JD" : "GD");
}

}  // namespace

bool check_output_paths(std::initializer_list<std::string_view> paths, CliContext& ctx) {
    for (std::string_view p : paths) {
        const std::string path(p);
        if (path.empty() || is_output_path(path)) continue;
        ctx.fail(kExitBadInput, path, str(Str::OutputNotRegular));
        return false;
    }
    return true;
}

std::optional<ProviderRange> provider_range(const EphemerisLibrary& library) {
    auto span = library.valid_range();
    if (!span) return std::nullopt;
    return ProviderRange{span->first, span->second, range_date_text(span->first), range_date_text(span->second)};
}

std::string provider_range_warning(const std::optional<ProviderRange>& range, double jd_et) {
    if (!range || !std::isfinite(jd_et) || range->contains(jd_et)) return {};
    return str(Str::BirthOutsideRange) + " " + range->first + " " + str(Str::BirthRangeTo) + " " + range->last + ".";
}

std::optional<BirthChart> compute_birth_chart(const BirthArgs& a, CliContext& ctx, bool keep_invalid) {
    auto c = start_chart(a.overrides, ctx);
    if (!c) return std::nullopt;
    if (!build_birth_data(a, c->options, c->settings->private_dir, *c, ctx)) return std::nullopt;
    load_provider(*c, ctx);
    HostIdentity host;
    if (c->options.database.prefix_with_ip) host = local_host_identity();
    ComputeReport report;
    const bool computed = set_and_compute(*c->horoscope, c->data, true, c->options, *ctx.messages, *c->workers,
                                          *c->library, c->options.database.prefix_with_ip ? &host : nullptr, &report);
    return accept_computation(computed, report, std::move(c), keep_invalid, ctx);
}

std::optional<BirthChart> compute_file_chart(const std::string& path, const ChartOverrides& overrides,
                                             CliContext& ctx, bool keep_invalid) {
    auto c = start_chart(overrides, ctx);
    if (!c) return std::nullopt;
    HoroscopeFileData file;
    if (load_horoscope_file(horoscope_file_path(path, c->settings->horoscopes_dir), file, *ctx.messages) !=
        HoroscopeFileStatus::Ok) {
        ctx.exit_code = kExitFailure;
        return std::nullopt;
    }
    c->data = file.birth;
    load_provider(*c, ctx);
    ComputeReport report;
    const bool computed =
        store_and_compute(*c->horoscope, file, c->options, *ctx.messages, *c->workers, *c->library, &report);
    return accept_computation(computed, report, std::move(c), keep_invalid, ctx);
}

}  // namespace tellurim
