#pragma once
// Western aspects as values: which angles count and how wide their orbs are, how a row is laid
// out on disk, whether two points (or a point and a cusp) make an aspect and how strongly its
// line is drawn, how typed fields become a row, and the aspect lists that a computed chart
// carries. Reading and writing the file on disk lives in files/aspects_file.h.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/aspect_record.h"
#include "base/byte_io.h"
#include "core/horoscope.h"
#include "core/options.h"
#include "base/strings.h"

namespace tellurim {

// --- the table --------------------------------------------------------------------------------

// Conjunction 0/10, Sextil 60/4, Square 90/4, Trine 120/4, Opposition 180/5 (degrees): pen
// size 1.5, more opaque, hot spot 2.0; names from the string table.
std::vector<AspectDef> default_aspect_rows();

// Sorts by ascending nominal angle (in degrees); rows of equal angle keep their order, rows
// without a usable angle or orb come last.
void sort_aspect_rows(std::vector<AspectDef>& rows);
// The angle and the orb are finite and in a known unit: the row can hold.
bool has_usable_angle_and_orb(const AspectDef& a);

// aspects.pra: 136-byte records, little-endian.
// 0 draw u8 | 1 pad | 2 name u16[30] | 62 pad 2 | 64 angle AngleValue(24) | 88 orb AngleValue(24)
// | 112 colour u32 ARGB | 116 pen size f32 | 120 pen type i32 | 124 more opaque u8
// | 125 show information u8 | 126 pad 2 | 128 hot spot size f32 | 132 pad 4
inline constexpr std::size_t kAspectRecordSize = 136;
void write_aspect(ByteWriter& out, const AspectDef& a);  // writes exactly kAspectRecordSize bytes
AspectDef read_aspect(ByteReader& in);                   // the reader's error flag is sticky

// The whole file image, one record per row in table order.
std::vector<std::uint8_t> write_aspect_image(const std::vector<AspectDef>& rows);
// The rows of a file image, every record kept (a row without a usable angle or orb too, so
// that saving writes it back); nullopt when the length is 0 or not a whole multiple of 136.
std::optional<std::vector<AspectDef>> read_aspect_image(std::span<const std::uint8_t> bytes);

// The row at a 0-based position; nullptr past the end.
const AspectDef* aspect_row(const AspectTable& table, std::size_t position);

// --- pen types --------------------------------------------------------------------------------

// "Solid", "Dash", "Dot", "DashDot", "DashDotDot"; "Unknown" for any other number.
std::string_view pen_type_name(std::int32_t type);
// The inverse, exact and case-sensitive; kPenUnknown for any other text.
std::int32_t pen_type_from_name(std::string_view name);

// --- the aspect test --------------------------------------------------------------------------

struct AspectTest {
    bool holds = false;
    AngleValue separation;  // great-circle distance of the two points, radians
    int opacity = 0;        // 0 to 255
};

// Whether row `r` holds between points A and B (longitude and latitude each). The separation
// is the great-circle distance, latitudes included; the aspect holds when that distance is
// within the orb of the nominal angle (a difference equal to the orb holds). A longitude that
// is infinite, NaN or without unit, or a latitude that is infinite or without unit, gives
// "does not hold" with an undefined separation.
AspectTest test_aspect(const AspectDef& r, const AngleValue& lon_a, const AngleValue& lat_a,
                       const AngleValue& lon_b, const AngleValue& lat_b);
// Between a point and a house cusp, taken at latitude 0; an undefined cusp or one without a
// unit never holds.
AspectTest test_aspect_cusp(const AspectDef& r, const AngleValue& lon, const AngleValue& lat,
                            const AngleValue& cusp_longitude);

// The line opacity for a difference `diff_deg` from the nominal angle: the colour's alpha;
// with "more opaque" and a non-zero orb, times (1 - diff / orb), and 40 when that is 30 or
// less; its whole number.
int aspect_opacity(const AspectDef& r, double diff_deg);

// --- the editor -------------------------------------------------------------------------------

// A row as the user types it, field by field, before it is checked.
struct AspectFields {
    std::string name;
    std::string degrees;        // "Degrees:"
    std::string orb;            // "Orb:"
    std::uint32_t colour = 0xFF000000;  // "Pen color:"
    std::string pen_size;       // "Pen size:"
    std::string hot_spot_size;  // "Hot spot size:"
    std::string pen_type;       // "Pen type:" (the selected name; empty without selection)
    bool draw = false;
    bool more_opaque = false;
    bool show_information = false;
};
// An existing row turned back into typed fields, for editing.
AspectFields aspect_fields(const AspectDef& row);

enum class AspectField { None, Degrees, Orb, PenSize, HotSpotSize, PenType };

struct AspectCheck {
    AspectDef row;                        // the rebuilt row, when ok()
    AspectField failed = AspectField::None;
    Str message = Str::AspectBadAngle;    // shown with the caption "Error"
    bool ok() const { return failed == AspectField::None; }
};

// Builds a row from typed fields, checked top to bottom; the first bad field stops:
// the name is cut to 29 characters; the degrees must parse as an angle in [0, 180] degrees
// ("Not a valid angle."); the orb in (0, 180] ("Not a valid orb."); the pen size above 0
// ("Not a valid pen size."); the hot spot size above 0 ("Not a valid square size"); the pen
// type must be one of the names ("Not a valid pen type."). A plain number is taken as degrees.
AspectCheck check_aspect_fields(const AspectFields& fields);

// --- the filters and the pipeline steps -------------------------------------------------------

// Whether planet `p` joins the aspects of a single chart: mode bit 0 ("Outside
// horoscope") of the "Aspects on Planets" filter, and the planet's bit in both masks of its
// first pair (the "Aspects" column, and the "Hide:" column stored inverted).
bool planet_takes_aspects(const DrawingOptions& d, int planet);

// The chart's planet aspects: every pair of valid planets 0..17 that join in (first index
// lower), and every row of the table in order that holds between their geocentric movable
// longitude and latitude, into h.aspects. The table is h.aspect_table, or the defaults.
bool find_planet_aspects(Horoscope& h);
// The chart's house aspects: every joining planet against every movable house cusp 1..12,
// into h.house_aspects.
bool find_house_aspects(Horoscope& h);

// --- aspect lists for scripts -------------------------------------------------------------------

// One aspect that holds, as a script receives it (four elements each).
struct AspectListing {
    std::string name;
    double angle_deg = 0.0;
    double orb_deg = 0.0;
    double separation_deg = 0.0;
};
struct AspectQuery {
    bool ok = false;
    Str error = Str::AspectScriptNoHoroscope;  // when !ok
    std::vector<AspectListing> aspects;        // every row that holds, in table order
};
// `GetAspecPP np1 np2`: planets 0..17, different, their geocentric movable positions.
// Checked in this order: a horoscope, np1 in range, np2 in range, np1 != np2.
AspectQuery get_aspects_pp(const Horoscope* h, const AspectTable& table, int np1, int np2);
// `GetAspecPH np nh`: planet 0..17 and the movable cusp of house nh (1..12).
AspectQuery get_aspects_ph(const Horoscope* h, const AspectTable& table, int np, int nh);

}  // namespace tellurim
