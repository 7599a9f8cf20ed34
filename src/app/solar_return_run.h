#pragma once
// The sidereal solar return of a computed horoscope, shared by `tellurim return` and the
// desktop program's "Sidereal solar return" dialog: the age as typed, the place of the return
// (typed coordinates, a city of the atlas, or the birth's own place) and the return's horoscope.

#include <optional>
#include <string>
#include <string_view>

#include "astro/solar_return.h"
#include "core/ephemeris_library.h"
#include "core/horoscope.h"
#include "core/messages.h"
#include "core/worker_threads.h"
#include "files/cities.h"

namespace tellurim {

// The age as the dialog takes it: a number of years, not negative.
std::optional<double> parse_return_age(std::string_view text);

// Where the return is cast.
struct ReturnPlace {
    BirthPlace place;
    std::string state, country;
    double correction_hours = 0.0;   // universal = legal + correction, when not from the atlas
    std::optional<CityQuery> atlas;  // a city of the atlas: its correction at the return's moment
};

// The place fields of a request, as typed.
struct ReturnPlaceFields {
    std::string longitude, latitude;
    std::string city, county, state, country;
};

struct ReturnPlaceResult {
    std::optional<ReturnPlace> place;  // nullopt: `error` says why
    std::string error;                 // "Not a valid longitude.", "City not found.", ...
    std::string feedback;              // the atlas search's steps ("Ok, city found." ...)
};
// Typed coordinates when either is given (legal time taken as universal), else the city of the
// atlas. With neither, `birth` is the place (the birth's place with the correction of its birth).
ReturnPlaceResult return_place_from_fields(const ReturnPlaceFields& fields, const Options& options,
                                           const Horoscope& birth);

// The atlas's correction in hours at `place` for the universal moment `ut`: the correction
// files are read with a legal time, so the universal time is taken for it first and the legal
// time that results is read again (which settles a return near a change of offset). Zero when
// the place has no correction file.
double atlas_correction_at(const CityQuery& place, const Options& options, const DateHour& ut);

// The return of the Sun of `birth` after `age` years, in the fixed zodiac of the options (the
// movable one with `movable`), computed into `out` at `place` with the options and the aspect
// table of `out`. Its last name is `title` (the birth's when empty) followed by " SR". nullopt
// after "Cannot compute sidereal solar return." (caption "Sidereal solar return").
std::optional<SolarReturn> compute_solar_return(const Horoscope& birth, double age, bool movable,
                                                const std::string& title, const ReturnPlace& place,
                                                const Options& options, MessageSink& messages,
                                                WorkerThreads& workers, EphemerisLibrary& library, Horoscope& out);

// The birth data of a computed horoscope, as it was given.
BirthData birth_data_of(const Horoscope& h);

}  // namespace tellurim
