#pragma once
// The "Google Maps" button of the new-chart dialog: the typed place sent to the online
// geocoding service (files/geocoding.h), as `place geocode` and `chart --geocode` do. The
// service's names, longitude and latitude replace the typed ones; with the date and hour
// typed, the time-zone offsets of that moment give the correction to universal time.

#include <string>

#include "app/birth_form.h"

namespace tellurim {

// The feedback is the text that the command line shares (geocoding_feedback()). Missing keys
// are told ("Put the two Google API keys in this file:" with the path, then "Cannot read
// Google API key!", caption "Error") and nothing is asked.
PlaceLookup geocode_form_place(BirthForm& form, const std::string& private_dir, MessageSink& messages);

}  // namespace tellurim
