#include "app/cli_common.h"

#include <chrono>
#include <cmath>

#include "app/json_util.h"
#include "astro/compute.h"
#include "core/houses.h"
#include "core/strings.h"
#include "core/worker_threads.h"
#include "files/cities.h"

namespace tellurim {

DateHour now_ut() {
    using namespace std::chrono;
    double unix_seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    DateHour d;
    // 1970-01-01 00:00 UT is Julian day 2440587.5
    set_julian_day_ut(d, 2440587.5 + std::round(unix_seconds * 100.0) / 8640000.0);
    return d;
}

namespace {

std::optional<AngleValue> parse_place_angle(const std::string& t, std::int32_t format) {
    auto a = parse_angle(t);
    if (!a || !a->is_finite()) return std::nullopt;
    if (a->unit == kUnitNone) a = AngleValue::degrees(a->value);  // a plain number of degrees
    if (a->format != kFormatSigned && a->format != format) return std::nullopt;  // N/S given for a longitude
    a->format = format;
    return a;
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

}  // namespace

void add_birth_options(CLI::App* cmd, BirthArgs& args) {
    cmd->add_option("--name", args.name, "Last name");
    cmd->add_option("--first-name", args.first_name, "First name");
    cmd->add_option("--sex", args.sex, "M, F or N")->check(CLI::IsMember({"M", "F", "N"}));
    auto* ut = cmd->add_option("--ut", args.ut, "Universal date-hour, \"2000-01-01 12:00:00.00 GD\"");
    auto* local = cmd->add_option("--local", args.local, "Local (legal) date-hour");
    auto* corr = cmd->add_option("--correction", args.correction, "Hours from legal time to universal time");
    auto* now = cmd->add_flag("--now", args.now, "The present moment (universal time)");
    ut->excludes(local)->excludes(now);
    local->excludes(now);
    (void)corr;
    cmd->add_option("--lon", args.lon, "Longitude, \"2d21'00\\\"E\" or decimal degrees east");
    cmd->add_option("--lat", args.lat, "Latitude, \"48d51'00\\\"N\" or decimal degrees north");
    cmd->add_flag("--my-city", args.my_city, "The options' \"My city\" place and correction");
    cmd->add_option("--city", args.city, "City");
    cmd->add_option("--county", args.county, "County");
    cmd->add_option("--state", args.state, "State");
    cmd->add_option("--country", args.country, "Country");
    cmd->add_option("--house-system", args.house_system, "Campanus, Alcabitus, Abenragel, Regiomontanus, Placidus, Hindu, ModusAequalis");
    cmd->add_option("--zodiac", args.zodiac, "movable or fixed")->check(CLI::IsMember({"movable", "fixed"}));
    cmd->add_option("--ephemeris", args.ephemeris, "low, bdl or jpl")->check(CLI::IsMember({"low", "bdl", "jpl"}));
}

std::optional<BirthChart> compute_birth_chart(const BirthArgs& a, CliContext& ctx) {
    auto loaded_settings = load_cli_settings(ctx);
    if (!loaded_settings) return std::nullopt;
    auto settings = std::make_unique<CliSettings>(std::move(*loaded_settings));
    Options options = settings->options;

    // Per-run overrides of the stored options.
    if (!a.house_system.empty()) {
        auto hs = house_system_from_name(a.house_system);
        if (!hs) {
            ctx.fail(kExitBadInput, str(Str::ChartBadHouseSystem) + ": " + a.house_system);
            return std::nullopt;
        }
        options.astro.house_system = *hs;
    }
    if (!a.zodiac.empty()) options.astro.zodiac_movable = a.zodiac == "movable" ? 1 : 0;
    if (!a.ephemeris.empty())
        options.ephemeris.type = a.ephemeris == "low" ? kEphemerisLow : a.ephemeris == "bdl" ? kEphemerisBdl : kEphemerisJpl;

    BirthData data;
    data.last_name = a.name.empty() && a.now ? str(Str::ChartNowName) : a.name;
    if (data.last_name.empty()) {
        ctx.fail(kExitBadInput, str(Str::ChartNeedName));
        return std::nullopt;
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
        return std::nullopt;
    }

    // Place: explicit coordinates, "My city", or the atlas.
    std::optional<DateHour> atlas_ut;
    if (a.my_city) {
        data.place = options.my_city.place;
        data.state = options.my_city.state;
        data.country = options.my_city.country;
    }
    if (!a.lon.empty() || !a.lat.empty()) {
        auto lon = parse_place_angle(a.lon, kFormatEastWest);
        if (!lon) {
            ctx.fail(kExitBadInput, str(Str::NotAValidLongitude));
            return std::nullopt;
        }
        auto lat = parse_place_angle(a.lat, kFormatNorthSouth);
        if (!lat) {
            ctx.fail(kExitBadInput, str(Str::NotAValidLatitude));
            return std::nullopt;
        }
        data.place.longitude = *lon;
        data.place.latitude = *lat;
        if (!a.city.empty()) data.place.city = a.city;
        if (!a.county.empty()) data.place.county = a.county;
        if (!a.state.empty()) data.state = a.state;
        if (!a.country.empty()) data.country = a.country;
    } else if (!a.my_city) {
        if (a.city.empty()) {
            ctx.fail(kExitBadInput, str(Str::ChartNeedPlace));
            return std::nullopt;
        }
        if (!find_place(a, options, data, atlas_ut, ctx)) return std::nullopt;
    }

    // Time: universal, local with its correction, or now.
    double correction = a.correction.value_or(a.my_city ? options.my_city.correction_hours : 0.0);
    if (a.now) {
        data.ut = now_ut();
    } else if (!a.ut.empty()) {
        DateParse p = parse_date_hour(a.ut);
        if (!p.ok) {
            ctx.fail(kExitBadInput, str(Str::NotAValidDate) + " " + trim_message(p.message));
            return std::nullopt;
        }
        data.ut = p.value;
    } else if (!a.local.empty() && (a.correction || atlas_ut || a.my_city)) {
        DateParse p = parse_date_hour(a.local);
        if (!p.ok) {
            ctx.fail(kExitBadInput, str(Str::NotAValidDate) + " " + trim_message(p.message));
            return std::nullopt;
        }
        data.local = p.value;
        // The user's correction first, then the atlas's for that date, then "My city"'s.
        std::optional<DateHour> ut = atlas_ut && !a.correction ? atlas_ut : local_to_universal(p.value, correction);
        if (!ut) {
            ctx.fail(kExitBadInput, str(Str::DateOutOfRange));
            return std::nullopt;
        }
        data.ut = *ut;
    } else {
        ctx.fail(kExitBadInput, str(Str::ChartNeedTime));
        return std::nullopt;
    }
    if (!is_valid(data.local)) {
        // Legal time = universal - correction, in the universal date's calendar.
        data.local = data.ut;
        if (!set_julian_day_ut(data.local, data.ut.jd_ut - correction / 24.0)) data.local = DateHour{};
    }

    auto library_ptr = std::make_unique<EphemerisLibrary>();
    EphemerisLibrary& library = *library_ptr;
    EphemerisStatus loaded = library.load(options.ephemeris.type, options.ephemeris.jpl_file);
    if (!loaded) ctx.messages->tell(loaded.message, str(Str::ComputeCaption), MessageIcon::Warning);

    WorkerThreads workers;
    auto h = std::make_unique<Horoscope>();
    h->aspect_table = &settings->aspects;
    if (!set_and_compute(*h, data, true, options, *ctx.messages, workers, library)) {
        if (!is_valid(h->birth_ut) || !h->place.latitude.is_angle())
            ctx.messages->tell(str(Str::ChartBadBirthData), str(Str::ComputeCaption), MessageIcon::Warning);
        ctx.exit_code = kExitFailure;
        return std::nullopt;
    }
    return BirthChart{std::move(settings), std::move(library_ptr), std::move(h)};
}

}  // namespace tellurim
