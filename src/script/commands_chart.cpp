#include "script/commands_chart.h"

#include <fmt/format.h>

#include <array>
#include <string>
#include <string_view>

#include "astro/compute.h"
#include "base/text.h"
#include "core/birth_input.h"
#include "files/horoscope_file.h"

namespace tellurim::script_chart {

ComputeTools& compute_tools(ScriptContext& ctx) {
    if (!ctx.compute_tools) {
        ctx.compute_tools = std::make_shared<ComputeTools>();
        // A provider that does not load is said by the computation that needs it.
        (void)ctx.compute_tools->library.load(ctx.options.ephemeris.type, ctx.options.ephemeris.jpl_file);
    }
    return *ctx.compute_tools;
}

namespace {

SilentMessages g_no_messages;

MessageSink& messages_of(ScriptContext& ctx) { return ctx.messages ? *ctx.messages : g_no_messages; }
WorkerThreads& workers_of(ScriptContext& ctx) {
    return ctx.workers ? *ctx.workers : compute_tools(ctx).own_workers;
}

void append_current(ScriptContext& ctx, std::unique_ptr<Horoscope> h) {
    ctx.horoscopes.push_back(std::move(h));
    ctx.current = static_cast<int>(ctx.horoscopes.size()) - 1;
}

// Opens a horoscope file and computes it with the run's options; appended and made current.
bool open_and_append(ScriptContext& ctx, const std::string& path) {
    ComputeTools& tools = compute_tools(ctx);
    auto h = std::make_unique<Horoscope>();
    h->aspect_table = ctx.aspects;
    if (!read_horoscope_file(*h, path, ctx.options, messages_of(ctx), workers_of(ctx), tools.library)) return false;
    append_current(ctx, std::move(h));
    return true;
}

}  // namespace

bool compute_and_append(ScriptContext& ctx, const BirthData& data) {
    ComputeTools& tools = compute_tools(ctx);
    auto h = std::make_unique<Horoscope>();
    h->aspect_table = ctx.aspects;
    ComputeReport report;
    const bool computed = set_and_compute(*h, data, true, ctx.options, messages_of(ctx), workers_of(ctx),
                                          tools.library, nullptr, &report);
    // A day without sunrise or sunset still gives a usable chart, as on the command line.
    if (!computed && !polar_sun_only_failure(computed, *h, report)) return false;
    append_current(ctx, std::move(h));
    return true;
}

// --- the horoscope list --------------------------------------------------------------------

namespace {

// The value of `option` in the joined arguments: from after the option word to the next
// option word or the end, without the spaces around it. nullopt when the option is absent.
std::optional<std::string> joined_option(const std::string& joined, std::string_view option) {
    const std::string key = std::string(option) + " ";
    std::size_t at = 0;
    while ((at = joined.find(key, at)) != std::string::npos) {
        if (at == 0 || joined[at - 1] == ' ') break;
        ++at;
    }
    if (at == std::string::npos) return std::nullopt;
    std::size_t from = at + key.size();
    std::size_t to = joined.size();
    for (std::string_view next : {" -nh ", " -path ", " -title "}) {
        const std::size_t n = joined.find(next, from == 0 ? 0 : from - 1);
        if (n != std::string::npos && n >= from - 1 && n < to) to = n;
    }
    std::string value = joined.substr(from, to > from ? to - from : 0);
    const std::size_t first = value.find_first_not_of(' ');
    const std::size_t last = value.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
}

}  // namespace

int cmd_set_current_horoscope(Call& c) {
    std::string joined;
    for (int i = 1; i < c.objc; ++i) joined += c.word(i) + " ";
    const auto nh = joined_option(joined, "-nh");
    const auto path = joined_option(joined, "-path");
    if (nh && path) return c.fail(Str::CmdSetCurrentBoth);
    ScriptContext& ctx = c.ctx;
    if (nh) {
        int n = 0;
        if (Tcl_GetInt(nullptr, nh->c_str(), &n) != TCL_OK) return c.fail(Str::CmdSetCurrentNhNotNumber);
        if (n < 1 || static_cast<std::size_t>(n) > ctx.horoscopes.size()) return c.fail(Str::CmdSetCurrentOutOfRange);
        if (!ctx.horoscopes[static_cast<std::size_t>(n - 1)]) return c.fail(Str::CmdSetCurrentCannotGet);
        ctx.current = n - 1;
        return c.ok_long(n);
    }
    if (path) {
        if (!open_and_append(ctx, *path)) return c.fail(Str::CmdSetCurrentCannotOpenHoroscope);
        return c.ok_long(static_cast<long>(ctx.horoscopes.size()));
    }
    const std::string title = joined_option(joined, "-title").value_or(std::string());
    const std::optional<std::string> chosen =
        ctx.dialogs.open_horoscope ? ctx.dialogs.open_horoscope(title) : std::nullopt;
    if (!chosen) return c.fail(Str::CmdSetCurrentAborted);
    if (!open_and_append(ctx, *chosen)) return c.fail(Str::CmdSetCurrentCannotOpen);
    return c.ok_long(static_cast<long>(ctx.horoscopes.size()));
}

namespace {

enum class BirthText { Name, FirstName, Sex, City, County, State, Country, Count };
struct BirthOption {
    std::string_view word;
    BirthText field;
    std::size_t units;  // what the horoscope record can hold
};
constexpr BirthOption kBirthOptions[] = {
    {"-name", BirthText::Name, kPersonNameUnits - 1},
    {"-first_name", BirthText::FirstName, kPersonNameUnits - 1},
    {"-sex", BirthText::Sex, 1},
    {"-city_name", BirthText::City, kCityUnits - 1},
    {"-county_name", BirthText::County, kCityUnits - 1},
    {"-state_name", BirthText::State, kRegionNameUnits - 1},
    {"-country_name", BirthText::Country, kRegionNameUnits - 1},
};

}  // namespace

int cmd_compute_horoscope(Call& c) {
    std::optional<std::string> date, longitude, latitude;
    std::array<std::optional<std::string>, static_cast<std::size_t>(BirthText::Count)> texts;
    if ((c.objc - 1) % 2 != 0) return c.fail(Str::CmdComputeUsage);
    for (int i = 1; i + 1 < c.objc; i += 2) {
        const std::string w = c.word(i);
        std::string value = c.word(i + 1);
        if (w == "-datehourUT") date = value;
        else if (w == "-place_longitude") longitude = value;
        else if (w == "-place_latitude") latitude = value;
        else {
            const BirthOption* found = nullptr;
            for (const BirthOption& o : kBirthOptions)
                if (o.word == w) found = &o;
            if (!found) return c.fail(Str::CmdComputeUsage);
            if (utf8_to_utf16(value).size() > found->units) return c.fail(Str::CmdComputeTooLong);
            texts[static_cast<std::size_t>(found->field)] = std::move(value);
        }
    }
    const auto& name = texts[static_cast<std::size_t>(BirthText::Name)];
    if (!date) return c.fail(Str::CmdComputeNoDate);
    if (!longitude) return c.fail(Str::CmdComputeNoLongitude);
    if (!latitude) return c.fail(Str::CmdComputeNoLatitude);
    if (!name) return c.fail(Str::CmdComputeNoName);

    BirthData data;
    // Seconds may be left out: "1944-06-06 06:00:00" and "1944-06-06 06:00" both read.
    DateParse parsed = parse_date_hour(*date);
    if (!parsed.ok || !date_exists(parsed.value)) return c.fail(Str::CmdComputeBadDate);
    data.ut = parsed.value;
    data.local = parsed.value;  // no correction is known: the local time is the universal one
    const std::optional<AngleValue> lon = parse_angle(*longitude);
    if (!lon) return c.fail(Str::CmdComputeBadLongitude);
    if (!is_place_longitude(*lon)) return c.fail(Str::CmdComputeLongitudeRange);
    const std::optional<AngleValue> lat = parse_angle(*latitude);
    if (!lat) return c.fail(Str::CmdComputeBadLatitude);
    if (!is_place_latitude(*lat)) return c.fail(Str::CmdComputeLatitudeRange);
    data.place.longitude = *lon;
    data.place.latitude = *lat;
    const auto text_of = [&](BirthText f) { return texts[static_cast<std::size_t>(f)].value_or(std::string()); };
    data.last_name = *name;
    data.first_name = text_of(BirthText::FirstName);
    const std::string sex = text_of(BirthText::Sex);
    data.sex = sex == "M" ? kMan : sex == "F" ? kWoman : kNeuter;
    data.place.city = text_of(BirthText::City);
    data.place.county = text_of(BirthText::County);
    data.state = text_of(BirthText::State);
    data.country = text_of(BirthText::Country);
    if (!compute_and_append(c.ctx, data)) return c.fail(Str::CmdComputeFailed);
    return c.ok_long(static_cast<long>(c.ctx.horoscopes.size()));
}

int cmd_remove_horoscope(Call& c) {
    ScriptContext& ctx = c.ctx;
    long position = static_cast<long>(ctx.horoscopes.size());
    if (c.objc > 1) {
        const std::optional<long> p = c.long_integer(1);
        if (!p) return c.fail(Str::CmdRemoveBadPosition);
        if (*p == 0) return c.fail(Str::CmdRemoveZero);
        if (*p < 0) return c.fail(Str::CmdRemoveFailed);
        position = *p;
    }
    if (ctx.horoscopes.empty()) return c.fail(Str::CmdRemoveEmpty);
    if (static_cast<std::size_t>(position) > ctx.horoscopes.size()) return c.ok_empty();
    const int index = static_cast<int>(position) - 1;
    ctx.horoscopes.erase(ctx.horoscopes.begin() + index);
    if (ctx.current >= index) --ctx.current;
    return c.ok_empty();
}

int cmd_horoscope_count(Call& c) { return c.ok_long(static_cast<long>(c.ctx.horoscopes.size())); }

int cmd_current_horoscope_number(Call& c) {
    return c.ok_long(c.ctx.current_horoscope() ? c.ctx.current + 1 : 0);
}

int cmd_current_horoscope_valid(Call& c) { return c.ok_int(c.ctx.current_horoscope() ? 1 : 0); }

int cmd_planet_count(Call& c) { return c.ok_long(kPlanetRows); }

// --- birth data ----------------------------------------------------------------------------

namespace {
const Horoscope& current(const Call& c) { return *c.ctx.current_horoscope(); }
}  // namespace

int cmd_name(Call& c) { return c.ok_text(current(c).last_name); }
int cmd_first_name(Call& c) { return c.ok_text(current(c).first_name); }
int cmd_sex(Call& c) {
    const std::uint8_t sex = current(c).sex;
    return c.ok_text(sex == kMan ? "M" : sex == kWoman ? "F" : "N");
}
int cmd_birth_city(Call& c) { return c.ok_text(current(c).place.city); }
int cmd_birth_county(Call& c) { return c.ok_text(current(c).place.county); }
int cmd_birth_state(Call& c) { return c.ok_text(current(c).state); }
int cmd_birth_country(Call& c) { return c.ok_text(current(c).country); }
int cmd_birth_tz(Call& c) { return c.ok_int(current(c).place.time_zone); }

int cmd_birth_date_hour_ut(Call& c) {
    const DateHour& ut = current(c).birth_ut;
    if (!is_valid(ut)) return c.fail(Str::CmdBirthDateHourMissing);
    return c.ok_text(format_date_hour(ut));
}

int cmd_longitude_of_birth_place(Call& c) {
    bool degrees = false, noformat = false;
    for (int i = 1; i < c.objc; ++i) {
        const std::string w = c.word(i);
        if (w == "-degrees") degrees = true;
        else if (w == "-noformat") noformat = true;
        else if (!w.empty()) return c.fail(Str::CmdLongitudeOfPlaceUsage);
    }
    const double deg = current(c).place.longitude.to_degrees();
    if (noformat) return c.ok_double(deg);
    // East positive; the hour form unless -degrees.
    const AngleValue a = degrees ? AngleValue::degrees(deg, kFormatEastWest) : AngleValue::hours(deg / 15.0, kFormatEastWest);
    return c.ok_text(format_angle(a));
}

int cmd_latitude_of_birth_place(Call& c) {
    if (c.objc > 1 && c.word(1) != "-noformat" && !c.word(1).empty()) return c.fail(Str::CmdLatitudeOfPlaceUsage);
    const double deg = current(c).place.latitude.to_degrees();
    if (c.objc > 1 && c.word(1) == "-noformat") return c.ok_double(deg);
    return c.ok_text(format_angle(AngleValue::degrees(deg, kFormatNorthSouth)));
}

}  // namespace tellurim::script_chart
