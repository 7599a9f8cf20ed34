#pragma once
// The online geocoding service on the command line: `tellurim place geocode`, and the place
// (with the universal time) that `chart --geocode` takes from it.

#include <optional>
#include <string>

#include "app/cli.h"
#include "base/date_hour.h"
#include "core/birth_place.h"

namespace tellurim {

void register_place_geocode(CLI::App& place, CliContext& ctx);  // place geocode

// A birth place from the service: the place, with `legal` the universal date-hour of its
// offsets. Each part the service could not give is told as a warning saying that the atlas is
// used instead, and is left empty here.
struct GeocodedBirth {
    std::optional<BirthPlace> place;
    std::string state, country;
    std::optional<DateHour> universal;
};
GeocodedBirth geocode_birth(const std::string& private_dir, const std::string& city, const std::string& county,
                            const std::string& state, const std::string& country,
                            const std::optional<DateHour>& legal, CliContext& ctx);

}  // namespace tellurim
