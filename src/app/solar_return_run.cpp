#include "app/solar_return_run.h"

#include <charconv>
#include <cmath>

#include "astro/body_longitudes.h"
#include "astro/compute.h"
#include "astro/lunations.h"
#include "base/strings.h"
#include "base/text.h"
#include "core/birth_input.h"
#include "files/name_compare.h"

namespace tellurim {

std::optional<double> parse_return_age(std::string_view text) {
    text = trim(text);
    double v = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(v) || v < 0.0)
        return std::nullopt;
    return v;
}

BirthData birth_data_of(const Horoscope& h) {
    return BirthData{h.last_name, h.first_name, h.sex, h.place, h.state, h.country, h.birth_ut, h.birth_local};
}

ReturnPlaceResult return_place_from_fields(const ReturnPlaceFields& f, const Options& options, const Horoscope& birth) {
    ReturnPlaceResult r;
    ReturnPlace p;
    if (!trim(f.longitude).empty() || !trim(f.latitude).empty()) {
        auto lon = parse_birth_longitude(f.longitude);
        if (!lon) return r.error = str(Str::NotAValidLongitude), r;
        auto lat = parse_birth_latitude(f.latitude);
        if (!lat) return r.error = str(Str::NotAValidLatitude), r;
        p.place.longitude = *lon;
        p.place.latitude = *lat;
        p.place.city = f.city;
        p.place.county = f.county;
        p.state = f.state;
        p.country = f.country;
        r.place = std::move(p);
        return r;
    }
    if (trim(f.city).empty()) {
        // The birth's own place, with the correction of the birth.
        p.place = birth.place;
        p.state = birth.state;
        p.country = birth.country;
        if (std::isfinite(birth.birth_ut.jd_ut) && std::isfinite(birth.birth_local.jd_ut))
            p.correction_hours = (birth.birth_ut.jd_ut - birth.birth_local.jd_ut) * 24.0;
        r.place = std::move(p);
        return r;
    }
    CityQuery q;
    q.country = f.country;
    q.state = f.state;
    q.county = f.county;
    q.city = f.city;
    const AtlasSettings atlas{options.paths.countries_dir, options.paths.default_country};
    const bool found = find_city(q, atlas, false, NameCollator::for_user());
    r.feedback = q.feedback;
    if (!found) {
        // The search's own step that failed ("City not found." for a city the atlas lacks).
        const std::string cause(trim(q.cause));
        r.error = cause.empty() ? str(Str::PlaceCityNotFound) : cause;
        return r;
    }
    p.place = q.place;
    p.state = q.state;
    p.country = q.country;
    p.atlas = q;
    r.place = std::move(p);
    return r;
}

double atlas_correction_at(const CityQuery& place, const Options& options, const DateHour& ut) {
    const AtlasSettings atlas{options.paths.countries_dir, options.paths.default_country};
    const NameCollator names = NameCollator::for_user();
    double correction = 0.0;
    for (int pass = 0; pass < 2; ++pass) {
        DateHour legal = ut;
        if (!set_julian_day_ut(legal, ut.jd_ut - correction / 24.0)) return correction;
        CityQuery q;
        q.country = place.country;
        q.state = place.state;
        q.county = place.county;
        q.city = place.city;
        q.date_hour = format_date_hour(legal);
        if (!find_city(q, atlas, true, names) || !q.universal) return correction;
        correction = (q.universal->jd_ut - legal.jd_ut) * 24.0;
    }
    return correction;
}

std::optional<SolarReturn> compute_solar_return(const Horoscope& birth, double age, bool movable,
                                                const std::string& title, const ReturnPlace& place,
                                                const Options& options, MessageSink& messages,
                                                WorkerThreads& workers, EphemerisLibrary& library, Horoscope& out) {
    auto failed = [&messages] {
        messages.tell(str(Str::SolarReturnFailed), str(Str::SolarReturnCaption), MessageIcon::Error);
        return std::nullopt;
    };
    LibraryLongitudes sun(library, options.astro.zero_date.jd_et, !movable);
    const std::optional<SolarReturn> found = solar_return(sun, birth.birth_ut.jd_et, age);
    const DateHour ut = found ? date_hour_from_et(found->jd_et) : DateHour{};
    if (!is_valid(ut)) return failed();
    BirthData data = birth_data_of(birth);
    // The mark "SR" ends the last name (or the title that replaces it); the first name stays.
    data.last_name = (title.empty() ? birth.last_name : title) + " " + str(Str::SolarReturnMark);
    data.place = place.place;
    data.state = place.state;
    data.country = place.country;
    const double correction = place.atlas ? atlas_correction_at(*place.atlas, options, ut) : place.correction_hours;
    data.ut = ut;
    data.local = ut;
    if (!set_julian_day_ut(data.local, ut.jd_ut - correction / 24.0)) data.local = ut;
    if (!set_and_compute(out, data, true, options, messages, workers, library)) return failed();
    return found;
}

}  // namespace tellurim
