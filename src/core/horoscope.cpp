#include "core/horoscope.h"

#include "base/text.h"

namespace tellurim {

void Horoscope::reset() {
    // A copy of a blank record built once: building one anew fills the default options (glyph
    // styles, halos, tables, parsed dates) twice, which costs a fifth of a chart's computation.
    static const Horoscope kBlank{};
    DateHour keep_ut = initial_ut;
    DateHour keep_local = initial_local;
    const AspectTable* keep_table = aspect_table;
    *this = kBlank;
    aspect_table = keep_table;
    initial_ut = keep_ut;
    initial_local = keep_local;
}

const PositionTable& Horoscope::positions(PositionFrame frame) const {
    switch (frame) {
        case PositionFrame::HelioMovable: return helio_movable;
        case PositionFrame::HelioFixed: return helio_fixed;
        case PositionFrame::GeoMovable: return geo_movable;
        case PositionFrame::GeoFixed: return geo_fixed;
    }
    return geo_movable;
}

PositionTable& Horoscope::positions(PositionFrame frame) {
    return const_cast<PositionTable&>(static_cast<const Horoscope&>(*this).positions(frame));
}

std::string make_identifier(const DateHour& ut, const BirthPlace& place, const HostIdentity* host) {
    // Julian-calendar moments are written in the Gregorian calendar so that one instant has
    // one identifier whatever calendar it was entered in.
    DateHour gregorian = ut.is_julian ? to_calendar(ut, false) : ut;
    std::string id;
    if (host) id += host->ip_address;
    id += ' ';
    if (host) id += host->host_name;
    id += ' ';
    id += format_date_hour(gregorian);
    id += ' ';
    id += format_angle(place.longitude);
    id += format_angle(place.latitude);
    return truncate_utf16_units(id, kIdentifierUnits);
}

bool Horoscope::set_birth_data(const BirthData& data, bool keep_initial, const Options& opts,
                               const HostIdentity* host) {
    reset();
    options = opts;
    last_name = truncate_utf16_units(data.last_name, kPersonNameUnits);
    first_name = truncate_utf16_units(data.first_name, kPersonNameUnits);
    sex = data.sex;
    place = data.place;
    // The place record holds 59 characters of each, as the horoscope file reads them back.
    place.city = truncate_utf16_units(place.city, kCityUnits);
    place.county = truncate_utf16_units(place.county, kCityUnits);
    if (!place.longitude.is_angle() || !place.latitude.is_angle()) return false;
    state = truncate_utf16_units(data.state, kRegionNameUnits);
    country = truncate_utf16_units(data.country, kRegionNameUnits);
    birth_ut = data.ut;
    if (!is_valid(birth_ut)) return false;
    birth_local = data.local;
    if (!is_valid(birth_local)) return false;
    identifier = make_identifier(birth_ut, place, host);
    if (keep_initial || !is_valid(initial_ut) || !is_valid(initial_local)) {
        initial_ut = birth_ut;
        initial_local = birth_local;
    }
    return true;
}

}  // namespace tellurim
