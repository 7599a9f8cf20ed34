#pragma once
// Find city: turns a place typed by the user (country, state, county, city) into longitude,
// latitude and the correction from legal time to universal time, by walking the atlas under
// the countries directory: "dircountries.pra" names the country and state directories, each
// holding a city file "lonlat.pra" and the correction files "Z<n>.pra" its cities refer to.
//
// Every failure is told through the feedback text (a multi-line text for the dialog's
// "Search feedback:" box) and the result; nothing is thrown, no file is written.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/birth_place.h"
#include "base/date_hour.h"
#include "files/name_compare.h"
#include "files/place_files.h"

namespace tellurim {

// The caller's fields, in and out, as the dialogs hold them.
struct CityQuery {
    std::string country;    // in/out: empty takes the default country
    std::string state;      // in/out: may be filled from the index (an alias record)
    std::string county;     // in/out: the file's spelling when found
    std::string city;       // in/out: the file's spelling when found
    std::string date_hour;  // in/out when a correction is wanted: legal in, universal out ("" when
                            // no correction was found)
    // out
    std::string longitude;  // sexagesimal texts with two decimals
    std::string latitude;
    std::int32_t time_zone = -1;
    std::string feedback;
    // The step that ended the search, alone, for a caller that tells it as one message (the
    // feedback holds every step, "Ok, city found." included); also set when a wanted
    // correction was not found although the search succeeded. Empty otherwise.
    std::string cause;
    BirthPlace place;                  // the record found
    std::optional<DateHour> universal; // the universal date-hour when a correction was applied
};

struct AtlasSettings {
    std::string countries_dir;
    std::string default_country;
};

// Steps 1 to 5 of the search: the directory of the city file for a country (empty: the
// default country) and a state (empty: the state an alias record gives, or none).
struct CityDirectory {
    bool ok = false;
    std::string directory;  // countries directory joined with the country's and state's directories
    std::string country;    // as searched (the default country when none was given)
    std::string state;      // as searched (possibly from an alias record)
    std::string feedback;   // why not, when not ok
};
CityDirectory find_city_directory(const std::string& country, const std::string& state, const AtlasSettings& atlas,
                                  const NameCollator& names);
// The same on the bytes of an index already read (`index_path` is named in the feedback when
// the bytes are not a valid index).
CityDirectory find_city_directory_in(std::span<const std::uint8_t> index, const std::string& index_path,
                                     const std::string& country, const std::string& state,
                                     const AtlasSettings& atlas, const NameCollator& names);

// Step 7 on the bytes of a city file: the index of the first record of `city` in `county`
// (any county when `county` is blank), or -1. Each record of the city in another county adds
// its line to `feedback`.
long find_city_record(std::span<const std::uint8_t> cities, const std::string& city, const std::string& county,
                      const NameCollator& names, std::string& feedback);

// Runs the search; true on success (the feedback says why not). With `look_up_correction`
// the date-hour text is parsed as legal time and converted with the place's correction file.
bool find_city(CityQuery& query, const AtlasSettings& atlas, bool look_up_correction, const NameCollator& names);

// The state whose city file holds `place` (the same record: city, county, coordinates and
// time zone) among the state directories under `country_directory`; empty when none does.
// A city found in its country's own file (no state given) thus gets the state `place list`
// shows it under.
std::string state_of_place(const std::string& country_directory, const BirthPlace& place, const AtlasSettings& atlas);

struct CorrectionResult {
    bool ok = false;          // false only when the file cannot be used
    bool found = false;       // a record holds the date-hour; it is then universal time
    std::string feedback;
    CorrectionRecord record;  // the record taken when found
    double correction_hours = kInfinity;
};
// Find correction: the first record of `correction_file` whose legal begin and end hold the
// legal Julian day of `date_hour` converts it in place to universal time. `place` supplies
// the longitude for a local-mean-time record.
CorrectionResult find_correction(DateHour& date_hour, const std::string& correction_file, const BirthPlace& place);
// The same on the records of a correction file already read.
CorrectionResult find_correction_in(const std::vector<CorrectionRecord>& records, DateHour& date_hour,
                                    const BirthPlace& place);
// Why no record of `records` (read from `correction_file`) holds `date_hour`: "No record of the
// time zones file <path> holds <date-hour> (its records cover <first begin> to <last end>)."
std::string no_correction_cause(const std::vector<CorrectionRecord>& records, const DateHour& date_hour,
                                const std::string& correction_file);

// True when a record's correction marks local mean time.
bool is_local_mean_time(const AngleValue& correction);

}  // namespace tellurim
