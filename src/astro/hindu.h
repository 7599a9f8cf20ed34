#pragma once
// Hindu analyses of a chart: the thirteen sub-divisions of a sign, the nakshatras, the
// Vimshottari periods (dasa, bhukti, antara) of a birth, the time lords, the compound
// relationships, the aspect strengths in virupas, Gulika, Mandi and the Arudha lagna, the
// lords of houses and planets and the natural quality of Mercury. Pure arithmetic on the
// horoscope record; the pipeline runs the *_step functions (steps 10 to 14).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/hindu_record.h"
#include "core/horoscope.h"
#include "core/options.h"
#include "base/strings.h"

namespace tellurim {

// --- sub-divisions --------------------------------------------------------------------------

// "1/1", "1/2", "1/3", "1/7", "1/9", "1/12", "1/30", "1/4", "1/5", "1/10", "1/11", "1/16",
// "1/60"; "?" for any other index.
std::string_view subdivision_label(int sub);
// "Rasi(1/1)" ... "Thri(1/30)" for 0 to 6; the short label for the others.
std::string_view subdivision_long_label(int sub);
// The sign (0..11) of the fixed longitude `lon_deg` in sub-division `sub`; the longitude is
// reduced into [0, 360) first. -1 for an index outside 0..12 or an infinite longitude.
int subdivision_sign(int sub, double lon_deg);
// All thirteen signs of a longitude, in sub-division order (-1 each when undefined).
std::array<std::int8_t, kSubDivisions> subdivision_signs(double lon_deg);

// --- nakshatras -----------------------------------------------------------------------------

inline constexpr double kNakshatraSpan = 360.0 / 27.0;  // 13 degrees 20 minutes
// Nakshatra 0..26 of a fixed longitude in [0, 360); -1 outside it or when infinite.
int nakshatra_of(double lon_deg);

// What the nakshatra editor holds for one row when the user presses OK. Empty optionals
// leave the field as it is.
struct NakshatraEdit {
    int index = -1;
    std::optional<std::string> name;
    std::optional<std::string> meaning;
    std::optional<Argb> colour;
};
// Stores the edit in `table`; names are cut to 99 UTF-16 units and meanings to 299 (the
// stored arrays keep a terminator). False, leaving the table alone, for an index outside 0..26.
bool apply_nakshatra_edit(const NakshatraEdit& edit, NakshatraTable& table);

// --- dasa periods ---------------------------------------------------------------------------

// One antara as shown: its start and end, the three lords, its position among the 729
// entries of the table (-1 and lords 99 when no period holds the date).
struct DasaPeriodAt {
    double start_jd_et = kInfinity;
    double end_jd_et = kInfinity;
    DateHour start;
    DateHour end;
    std::int8_t dasa = 99;
    std::int8_t bhukti = 99;
    std::int8_t antara = 99;
    int position = -1;
};

// The Julian day ET at which the cycle that contains the birth began: the Moon (movable
// longitude and latitude, radians, of the birth `birth_jd_et`) is carried into the zodiac
// of the table's zero date; the part of its nakshatra's dasa already run, plus the dasas of
// the nakshatras before it, is taken from the birth. `moon_fixed_deg` receives the Moon's
// longitude in that zodiac. Positive infinity when an input is undefined.
double dasa_cycle_start(const DasaTable& table, double moon_lon, double moon_lat, double birth_jd_et,
                        double* moon_fixed_deg = nullptr);
// The antara that contains `jd_et` for a cycle started at `cycle_start` (the cycle repeats
// before and after). Position -1 when the table is not built or a day is undefined.
DasaPeriodAt dasa_period_at(const DasaTable& table, double cycle_start, double jd_et);
// The consecutive antaras from the one containing `from_jd_et` to the one containing
// `to_jd_et` (empty when `to` is before `from` or a period cannot be found); at most
// `limit` entries.
std::vector<DasaPeriodAt> dasa_periods_between(const DasaTable& table, double cycle_start, double from_jd_et,
                                               double to_jd_et, std::size_t limit = 100000);

// What the period dialog ("Zero date for Dasas periods") holds when the user presses OK.
struct DasaSettingsResult {
    bool ok = false;
    std::string message;  // "Not a valid date for zodiacs concordance." or "Not a correct value for this field"
};
// Parses the zero date and the year length (above 100 days) and rebuilds the table; on
// failure the table is left as it was.
DasaSettingsResult apply_dasa_settings(DasaTable& table, std::string_view zero_date_text,
                                       std::string_view year_length_text);
// The three presets of the dialog: "Default Tellurim", "Fagan-Bradley", "Raman".
struct DasaPreset {
    Str name;
    std::string_view zero_date;
    std::string_view year_length;
};
inline constexpr std::array<DasaPreset, 3> kDasaPresets{{
    {Str::DasaPresetDefault, "-134-02-03 12:00:00.00 JD", "365.25"},
    {Str::DasaPresetFaganBradley, "222-03-13 15:19:32.89 JD", "360.0"},
    {Str::DasaPresetRaman, "390-03-21", "360.0"},
}};

// --- time lords -----------------------------------------------------------------------------

// Planet of a weekday (0 Sunday .. 6 Saturday): Sun, Moon, Mars, Mercury, Jupiter, Venus,
// Saturn; -1 otherwise.
int weekday_lord(int weekday);
// The lords of the year, month, day and hour of a birth on the calendar date of `day` (its
// year, month and day) at `time_of_day` (any angle unit, turned into hours), in planetary
// hour `planetary_hour` (1..24). False, with every lord -1, for an undefined date or time or
// an hour outside 1..24.
bool compute_time_lords(const DateHour& day, const AngleValue& time_of_day, int planetary_hour, TimeLords& lords);

// --- relationships and Hindu aspects ---------------------------------------------------------

// The natural table of the options plus the temporary relationship of the signs (+1 when b is
// 2, 3, 4, 10, 11 or 12 signs from a, -1 otherwise), in the rasi and in the navamsa chart.
// Undefined natural cells (99) and the diagonal (3) stay as they are; so does a cell whose
// planets have no sign in that chart.
void compute_relationships(const NaturalRelationships& natural, const DivisionTable& divisions,
                           RelationshipTable& table);
// The relationship of a and b in the rasi (`navamsa` false) or the navamsa; 99 for an index
// outside 0..17.
int relationship(const RelationshipTable& table, int a, int b, bool navamsa);

// Aspect strength in virupas of planet `aspecting` on a point `d_deg` degrees ahead of it
// (0 to 360; other values are reduced first). Positive infinity for an infinite distance.
double hindu_aspect_strength(int aspecting, double d_deg);
// The strength table of every planet on every planet, and of every planet on the twelve cusps
// of `houses`, from the fixed longitudes. Undefined pairs are positive infinity.
void compute_planet_aspect_strengths(const PositionTable& fixed, PlanetAspectStrengths& out);
void compute_house_aspect_strengths(const PositionTable& fixed, const HouseTable& houses, HouseAspectStrengths& out);

// --- lords and houses ----------------------------------------------------------------------

// The sign of the cusp of house 1..12 in the movable or fixed table; with `reverse` the cusp
// of house (13 - n) mod 12 counted from zero (houses numbered against the signs). -1 for a
// house outside 1..12 or an undefined cusp.
int sign_of_house(const Horoscope& h, int house, bool reverse, bool fixed);
// A sign given as its number (0..11) or its full name ("Aries" ... "Pisces"), as the script
// command LordOfSign takes it; -1 otherwise (the command then reports
// "***Error*** LordOfSign: bad number or name of sign").
int sign_from_number_or_name(std::string_view text);
// The lord (position 0, 1, 2) of the sign of that cusp; -1 as above.
int lord_of_house(const Horoscope& h, int house, int position, bool reverse, bool fixed);
// The lord of the sign the planet occupies in the movable or fixed geocentric table.
int lord_of_planet(const Horoscope& h, int planet, int position, bool fixed);
// The house (1..12) of a planet: its fixed geocentric longitude in the fixed house table; -1
// for a planet outside 0..17 or when no house holds it.
int house_of_planet(const Horoscope& h, int planet, bool opposite_direction, bool cusp_center);

// --- natural quality of Mercury ------------------------------------------------------------

struct MercuryQuality {
    int quality = 0;   // 1 benefic, -1 malefic, 0 neuter
    std::string note;  // the report's remark, empty when none
};
// From the Moon's quality (1, -1 or 99) and the Hindu data's Sun distance and association
// weights of Mercury.
MercuryQuality natural_quality_of_mercury(int moon_quality, const HinduData& data);
// "Good" for a quality of 0 or more, "Bad" below.
std::string_view quality_text(int quality);

// --- the Hindu points -------------------------------------------------------------------------

// The eighth part of the day (sunrise to sunset) or of the night that holds the birth, as the
// Saturn part (Gulika and Mandi) is found: its start and length in Julian days UT. The parts
// are ruled in weekday order from the lord of the day, by day; from the fifth lord from it by
// night. Exposed for the tests.
struct SaturnPart {
    double start_ut = kInfinity;
    double length = kInfinity;  // days
};
SaturnPart saturn_part(double birth_ut, double sunrise_ut, double sunset_ut, double longitude_deg);
// The Arudha lagna's sign: as many signs after the Ascendant's lord as the lord is after the
// Ascendant; the 10th sign from it when that falls in the 1st or 7th sign from the Ascendant.
// -1 when a sign is undefined.
int arudha_sign(int ascendant_sign, int lord_sign);

// --- pipeline steps ------------------------------------------------------------------------

// 10: nakshatras, dasa cycle start, time lords, Gulika (15), Mandi (16), Arudha (17), the
//     natural qualities of the Moon and Mercury. Never fails: undefined inputs leave -1 or
//     positive infinity.
bool hindu_data_step(Horoscope& h);
// 11: the division table from the fixed geocentric longitudes.
bool hindu_subs_step(Horoscope& h);
// 12: the relationship table (rasi and navamsa).
bool friendships_step(Horoscope& h);
// 13 and 14, Hindu half: aspect strengths of planets on planets, and on the fixed cusps.
bool hindu_planet_aspects_step(Horoscope& h);
bool hindu_house_aspects_step(Horoscope& h);

}  // namespace tellurim
