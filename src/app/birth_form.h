#pragma once
// The new-chart dialog's fields as typed, and what they give: the birth data of a computation,
// or the first field that is refused with its message. The desktop dialog only shows these;
// every check and the atlas lookup live here, beside the command line's.

#include <optional>
#include <string>

#include "core/birth_input.h"
#include "core/horoscope.h"
#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

// The fields that a refusal puts the focus back on, after those of the date and hour.
enum class BirthFormField { None, Date, Name, City, Longitude, Latitude, Correction };

struct BirthForm {
    std::string name;
    std::string first_name;
    std::uint8_t sex = kNeuter;
    BirthInputText moment;  // day, month, year, hour, minute, second
    bool bce = false;
    bool julian = false;
    std::string city, county, state, country;
    std::string longitude, latitude;  // both empty: the atlas finds the place
    std::string correction;           // hours, universal = local + correction; empty: the atlas's
};

struct BirthFormResult {
    std::optional<BirthData> data;       // set when every field is accepted
    BirthField moment_field = BirthField::None;  // the date or hour field refused, if any
    BirthFormField field = BirthFormField::None; // another field refused
    std::optional<Message> message;      // the refusal (caption "Bad input" for the fields)
    std::string feedback;                // the atlas search's steps, for "Search feedback:"
};

// Checks the fields in the dialog's order (day, month, year, hour, minute, second, the date
// itself, the texts, the place, the correction) and builds the birth data. The place is the
// typed longitude and latitude, or the atlas's city (whose correction file gives universal time
// when no correction is typed).
BirthFormResult birth_from_form(const BirthForm& form, const Options& options);

// The "Find city" button: the atlas's record for the typed city, county, state and country;
// on success the form's place fields (and the correction, with a complete date and hour) are
// filled in. The feedback says every step.
struct PlaceLookup {
    bool found = false;
    std::string feedback;
};
PlaceLookup look_up_form_place(BirthForm& form, const Options& options);

}  // namespace tellurim
