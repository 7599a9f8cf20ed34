#include "app/form_geocode.h"

#include <fmt/format.h>

#include "base/strings.h"
#include "files/geocoding.h"

namespace tellurim {

PlaceLookup geocode_form_place(BirthForm& form, const std::string& private_dir, MessageSink& messages) {
    PlaceLookup r;
    const auto keys = read_google_keys(private_dir);
    if (!keys) {
        messages.tell(google_keys_path(private_dir), str(Str::GeoKeysFileCaption), MessageIcon::Information);
        messages.tell(str(Str::GeoCannotReadKeys), str(Str::FilesCaptionError), MessageIcon::Error);
        return r;
    }
    GeocodeQuery q{form.city, form.county, form.state, form.country, std::nullopt};
    // With the date and hour typed, the offsets of that moment are asked as well.
    const BirthInputCheck check = check_birth_input(form.moment);
    if (check.ok()) q.legal = birth_date_hour(check, form.bce, form.julian);
    const GeocodeResult g = geocode_lookup(q, read_geocoding_settings(private_dir), *keys);
    r.feedback = g.feedback;
    if (g.names_found) {
        form.city = g.names.city;
        form.county = g.names.county;
        form.state = g.names.state;
        form.country = g.names.country;
    }
    if (!g.location_found) return r;
    r.found = true;
    form.longitude = g.longitude_text;
    form.latitude = g.latitude_text;
    if (q.legal && g.zone.found && is_valid(g.zone.universal))
        form.correction = fmt::format("{:.2f}", (g.zone.universal.jd_ut - q.legal->jd_ut) * 24.0);
    return r;
}

}  // namespace tellurim
