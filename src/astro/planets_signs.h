#pragma once
// The shared vocabulary of the analyses: planet and sign names, the lords of the signs,
// house labels, the sign of a longitude and its text, the exaltation points and the natural
// quality of the Moon. Pure tables and arithmetic; nothing here fails with an exception.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "core/options.h"
#include "base/planet_position.h"

namespace tellurim {

// --- planets --------------------------------------------------------------------------------

inline constexpr int kPlanetNames = 19;  // 0 Sun .. 18 Earth
inline constexpr int kVisiblePlanets = 7;  // Sun .. Saturn

// Full name ("Sun", "Moon", ..., "Fortun", ..., "Earth"), or the short one ("Moo", "For",
// "Ear"); "Unknown planet" / "UP" for an index outside 0..18.
std::string_view planet_name(int planet, bool short_name = false);
// The name cut to fit a buffer of `capacity` characters with its terminator (at most
// capacity - 1 characters, never inside a UTF-8 character); "" for capacity 0.
std::string planet_name(int planet, std::size_t capacity, bool short_name);
// Index from a name: exact, case-sensitive, against the full names and the accepted
// alternatives ("Soleil", "Lune", "Mercure", "Vénus", "Saturne", "MC", "Pluton", "Fortune",
// "Terre"), in index order. -1 when nothing matches.
int planet_from_name(std::string_view name);

// --- signs ----------------------------------------------------------------------------------

inline constexpr int kSignCount = 12;
enum Sign : int {
    kNoSign = -1,
    kAries = 0, kTaurus, kGemini, kCancer, kLeo, kVirgo, kLibra, kScorpio, kSagittarius, kCapricornus,
    kAquarius, kPisces,
};

// "Aries" .. "Pisces"; "Unknown sign" outside 0..11.
std::string_view sign_name(int sign);
// Index from a full sign name (exact, case-sensitive); -1 when unknown.
int sign_from_name(std::string_view name);
// "Aries(Mars,Pluto)", ..., "Leo(Sun)", ...: the sign with its occidental rulers only (Rahu
// and Kethu are left out); "Unknown sign" outside 0..11.
std::string sign_with_rulers(int sign);
// The lord of a sign at position 0 (first), 1 (second) or 2 (third); -1 when the sign has
// no lord at that position or an index is out of range. Hindu computations use position 0.
int lord_of_sign(int sign, int position = 0);

// Sign of a longitude: the value is converted to degrees through its unit; -1 for unit 0,
// an infinite or NaN value, or degrees outside [0, 360).
int sign_of_longitude(const AngleValue& longitude);
// "5d00'00.00\" Aries": the longitude (degrees) reduced into [0, 360), its degrees within the
// sign in the degree-minute-second text, one blank, the sign name. Infinite values are left as
// they are and give "ERROR Unknown sign" / "NA Unknown sign".
std::string format_sign_longitude(double longitude_deg, int decimals = 2);

// --- houses ---------------------------------------------------------------------------------

// "I" .. "XII" for houses 1 to 12; "ERROR" otherwise.
std::string_view house_roman(int house);
// Labels of the wheel and the report by position 0..11: "AS", "IC", "DS", "MH" at 0, 3, 6, 9,
// Roman numerals elsewhere, counted forward ("II", "III", ...) or backward ("XII", "XI", ...);
// "ERROR" for positions 12 and above or below 0.
std::string_view house_angle_label(int position, bool forward);

// --- exaltations ----------------------------------------------------------------------------

// The stored point (the debilitation longitude, exaltation + 180 degrees) of a planet's row
// for a chart of date `chart_date`. Undefined (positive infinity, unit 0) for an unused row,
// an index outside 0..17, or, without absolute longitudes, an invalid zero date or chart date.
// With absolute longitudes the stored AngleValue comes back unchanged; otherwise it is carried
// from the table's zero date to the chart's date by the ecliptic precession, in radians.
AngleValue exaltation_point(const ExaltationTable& table, int planet, const DateHour& chart_date);
// The exaltation longitude in degrees [0, 360): the point above plus 180 degrees; positive
// infinity when the point is undefined.
double exaltation_longitude_deg(const ExaltationTable& table, int planet, const DateHour& chart_date);

// The text the exaltation editor shows for a row: the exaltation longitude in the
// sign-and-degrees form, "" for an unused row.
std::string exaltation_field_text(const ExaltationRow& row);

// What the exaltation editor holds when the user presses OK. Fields exist for Sun to Saturn
// and Rahu to Pluto; the texts of the other indices are ignored (those rows become unused).
struct ExaltationEdit {
    std::array<std::string, kPlanetRows> fields;
    bool absolute_longitudes = true;
    std::string zero_date_text;  // read only without absolute longitudes
};
struct ExaltationEditResult {
    bool ok = false;
    std::string message;  // the failure text; caption in `caption`
    std::string caption;
    int field = -1;       // planet index of the field to focus; -1 for the zero date field
};
// Validates the editor's fields in planet-index order and, when every check passes, copies the
// 18 rows, the flag and (for fixed longitudes) the zero date into `table`, keeping the colours.
// On failure `table` is left as it was. A field accepts an angle text ("19d00'00\"", "19.5d"),
// a decimal number of degrees, or the sign-and-degrees form shown by the editor
// ("19d00'00.00\" Aries").
[[nodiscard]] ExaltationEditResult apply_exaltation_edit(const ExaltationEdit& edit, ExaltationTable& table);
// The editor's OK on the table as it stands: apply_exaltation_edit, after which every row whose
// field still shows the text the editor gives it (the texts are rounded) keeps its stored point
// exactly, and so does the zero date when its text is the one the editor gives it.
[[nodiscard]] ExaltationEditResult apply_exaltation_dialog(const ExaltationEdit& edit, ExaltationTable& table);
// What the editor shows for `table`: the field of every row, the flag and the zero date.
ExaltationEdit exaltation_dialog_fields(const ExaltationTable& table);

// --- natural qualities ----------------------------------------------------------------------

inline constexpr int kQualityBenefic = 1;
inline constexpr int kQualityMalefic = -1;
inline constexpr int kQualityError = 99;
// 1 for lunar days 8 to 22 (waxing to waning gibbous), -1 for 1 to 7 and 23 to 30, 99 otherwise.
int natural_quality_of_moon(int lunar_day);

}  // namespace tellurim
