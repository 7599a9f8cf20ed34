#include "app/birth_form.h"

#include <cmath>
#include <fmt/format.h>

#include "base/strings.h"
#include "base/text.h"
#include "files/cities.h"
#include "files/horoscope_file.h"

namespace tellurim {
namespace {

// A correction of more than a day either way is a typing error.
constexpr double kMaxCorrectionHours = 24.0;

Message bad_input(Str text) {
    return Message{str(text), str(Str::CaptionBadInput), MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
}

BirthFormResult refuse(BirthFormField field, Message m, std::string feedback = {}) {
    BirthFormResult r;
    r.field = field;
    r.message = std::move(m);
    r.feedback = std::move(feedback);
    return r;
}

std::optional<double> parse_hours(const std::string& text) {
    const std::string t(trim(text));
    if (t.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(v) || std::fabs(v) > kMaxCorrectionHours) return std::nullopt;
    return v;
}

CityQuery query_of(const BirthForm& form) {
    CityQuery q;
    q.country = form.country;
    q.state = form.state;
    q.county = form.county;
    q.city = form.city;
    return q;
}

}  // namespace

BirthFormResult birth_from_form(const BirthForm& form, const Options& options) {
    const BirthInputCheck check = check_birth_input(form.moment);
    if (!check.ok()) {
        BirthFormResult r;
        r.moment_field = check.failed;
        r.message = check.to_message();
        return r;
    }
    const std::optional<DateHour> local = birth_date_hour(check, form.bce, form.julian);
    if (!local) return refuse(BirthFormField::Date, bad_input(Str::NotAValidDate));

    BirthData data;
    data.last_name = form.name;
    data.first_name = form.first_name;
    data.sex = form.sex;
    data.local = *local;
    data.place.city = form.city;
    data.place.county = form.county;
    data.state = form.state;
    data.country = form.country;
    if (auto fault = birth_text_fault(data))
        return refuse(BirthFormField::Name, Message{*fault, str(Str::CaptionBadInput), MessageIcon::Warning});

    const std::string correction_text(trim(form.correction));
    std::optional<double> correction;
    if (!correction_text.empty()) {
        correction = parse_hours(correction_text);
        if (!correction)
            return refuse(BirthFormField::Correction,
                          Message{str(Str::BirthBadCorrection) + " " + correction_text, str(Str::CaptionBadInput),
                                  MessageIcon::Warning});
    }

    std::string feedback;
    std::optional<DateHour> atlas_ut;
    if (!trim(form.longitude).empty() || !trim(form.latitude).empty()) {
        const auto lon = parse_birth_longitude(form.longitude);
        if (!lon) return refuse(BirthFormField::Longitude, bad_input(Str::NotAValidLongitude));
        const auto lat = parse_birth_latitude(form.latitude);
        if (!lat) return refuse(BirthFormField::Latitude, bad_input(Str::NotAValidLatitude));
        data.place.longitude = *lon;
        data.place.latitude = *lat;
    } else {
        if (trim(form.city).empty()) return refuse(BirthFormField::City, bad_input(Str::NotAValidCityName));
        CityQuery q = query_of(form);
        if (!correction) q.date_hour = format_date_hour(*local);
        const AtlasSettings atlas{options.paths.countries_dir, options.paths.default_country};
        const NameCollator names = NameCollator::for_user();
        const bool found = find_city(q, atlas, !correction, names);
        feedback = q.feedback;
        if (!found)
            return refuse(BirthFormField::City,
                          Message{std::string(trim(q.cause)), str(Str::PlaceCaptionError), MessageIcon::Warning},
                          feedback);
        data.place = q.place;
        data.state = q.state;
        data.country = q.country;
        atlas_ut = q.universal;
    }

    if (correction) {
        const auto ut = local_to_universal(*local, *correction);
        if (!ut) return refuse(BirthFormField::Date, bad_input(Str::DateOutOfRange), feedback);
        data.ut = *ut;
    } else if (atlas_ut) {
        data.ut = *atlas_ut;
    } else {
        return refuse(BirthFormField::Correction, bad_input(Str::NewChartGiveCorrection), feedback);
    }
    BirthFormResult r;
    r.data = std::move(data);
    r.feedback = std::move(feedback);
    return r;
}

PlaceLookup look_up_form_place(BirthForm& form, const Options& options) {
    CityQuery q = query_of(form);
    // With the date and hour typed, the correction of that moment is looked up as well.
    const BirthInputCheck check = check_birth_input(form.moment);
    std::optional<DateHour> local;
    if (check.ok()) local = birth_date_hour(check, form.bce, form.julian);
    if (local) q.date_hour = format_date_hour(*local);
    const AtlasSettings atlas{options.paths.countries_dir, options.paths.default_country};
    const NameCollator names = NameCollator::for_user();
    PlaceLookup r;
    r.found = find_city(q, atlas, local.has_value(), names);
    r.feedback = q.feedback;
    if (!r.found) return r;
    form.city = q.city;
    form.county = q.county;
    form.state = q.state;
    form.country = q.country;
    form.longitude = q.longitude;
    form.latitude = q.latitude;
    if (local && q.universal)
        form.correction = fmt::format("{:.2f}", (q.universal->jd_ut - local->jd_ut) * 24.0);
    return r;
}

}  // namespace tellurim
