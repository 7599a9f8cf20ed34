#pragma once
// Options: the one record of every user setting, kept on disk as "options.pra" (an exact
// 65,280-byte image, see files/options_image.h). Plain data, block by block; each block
// compares by its own equality. Members default to the system's defaults wherever these
// depend on nothing but constants; the defaults that need the environment (paths, system
// time zone, screen) and the built dasa periods are filled by make_default_options()
// (files/options_file.h).

#include <array>
#include <cstdint>
#include <string>

#include "base/angle_value.h"
#include "core/birth_place.h"
#include "base/date_hour.h"
#include "base/planet_position.h"

namespace tellurim {

// --- interface flags (offset 0) and main window (offset 8) --------------------------------
struct InterfaceFlags {
    std::uint8_t show_speed_bar = 1;
    std::uint8_t horizontal_speed_bar = 1;
    std::uint8_t left_speed_bar = 0;
    std::uint8_t top_speed_bar = 1;
    std::uint8_t show_status_bar = 1;
    std::uint8_t top_status_bar = 0;
    bool operator==(const InterfaceFlags&) const = default;
};

// Main window rectangle in screen pixels (default: the desktop work area).
struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

// --- astrology settings (offset 24) -------------------------------------------------------
// House systems, in the order of the stored index.
enum HouseSystem : std::uint8_t {
    kCampanus = 0, kAlcabitus = 1, kAbenragel = 2, kRegiomontanus = 3, kPlacidus = 4, kHindoue = 5,
    kModusAequalis = 6,
};
inline constexpr int kHouseSystemCount = 7;
// "CAMPANUS" ... "MODUSAEQUALIS"; "ERROR" for an index out of range.
std::string_view house_system_name(int index);

struct AstroSettings {
    DateHour zero_date;                  // of the fixed (sidereal) zodiac: "-134-02-03 12:00:00.00 JD"
    std::uint8_t house_system = kHindoue;
    std::uint8_t zodiac_movable = 0;     // 1 movable (tropical), 0 fixed (sidereal)
    std::uint8_t same_direction = 0;     // signs and houses turn the same direction
    std::uint8_t house_cusp_center = 0;  // house centred on its cusp
    std::uint8_t fortune_day_night = 0;  // Part of Fortune formula depends on day or night birth
    bool operator==(const AstroSettings&) const = default;
};

// --- directories and files (offset 72) ----------------------------------------------------
// UTF-8 in memory; the file holds UTF-16[260] paths and UTF-16[120] names.
struct OptionsPaths {
    std::string stars_file;
    std::string countries_dir;
    std::string tcl_script_dir;
    std::string text_editor;
    std::string db_ini_file;
    std::string save_file;
    std::string default_country = "USA";
    std::string default_state = "District of Columbia";
    bool operator==(const OptionsPaths&) const = default;
};
inline constexpr std::size_t kPathUnits = 260;
inline constexpr std::size_t kNameUnits = 120;

// --- fonts (offset 3,672) -----------------------------------------------------------------
// The Windows LOGFONTW (92 bytes) field by field; the face name holds at most 31 UTF-16 units.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 400;  // FW_NORMAL
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeout = 0;
    std::uint8_t charset = 0;
    std::uint8_t out_precision = 0;
    std::uint8_t clip_precision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitch_and_family = 0;
    std::string face_name;
    bool operator==(const LogFont&) const = default;
};
inline constexpr std::size_t kFaceNameUnits = 32;

// COLORREF: 0x00BBGGRR (red in the low byte). ARGB: 0xAARRGGBB.
using ColorRef = std::uint32_t;
using Argb = std::uint32_t;

struct FontSetting {
    LogFont font;
    std::int32_t size_points = 9;
    ColorRef colour = 0;
    std::array<std::uint8_t, 2> flags{};
    bool operator==(const FontSetting&) const = default;
};
// Order of the five entries.
enum FontEntry : int { kFontGlobal = 0, kFontTitle = 1, kFontEclipse = 2, kFontInformations = 3, kFontTooltips = 4 };
inline constexpr int kFontCount = 5;

// --- colours and background image (offset 4,812) -----------------------------------------
struct ColourSettings {
    // star spectral classes O, B, A, F, G, K, M, R, N, S
    std::array<Argb, 10> spectral{0xFF000080, 0xFF00FFFF, 0xFFFFFFFF, 0xFFFFFF80, 0xFFFFFF00,
                                  0xFFFF8000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    Argb houses_outside = 0xFFFF00FF;
    Argb houses_inside = 0xFF000000;
    Argb pen = 0xFF000000;                  // system window-text colour
    Argb drawing_background = 0xFFFFFFFF;   // system window colour
    Argb text_background = 0xFFFFFFFF;      // system window colour
    Argb tooltip_background = 0xAAFFFFE1;   // system info-background colour, alpha 0xAA
    // signs Aries .. Pisces
    std::array<Argb, 12> signs{0x64FF5555, 0x643AD6AF, 0x64FFFFAC, 0x645EAEFF, 0x64FFFF00, 0x64C86400,
                               0x64B8FF71, 0x64B300B3, 0x64ECB533, 0x64804040, 0x64808040, 0x640000FB};
    float scale = 1.0f;            // the block's real number (index 28), 1.0
    std::string background_image;  // "images/fond_cdc.jpg" beside the executable
    bool operator==(const ColourSettings&) const = default;
};
// The ARGB colour of a spectral class letter ("O" ... "S"); 0 for another letter.
Argb spectral_colour(const ColourSettings& c, char letter);
// A Windows COLORREF as ARGB with the given alpha (red and blue swapped).
constexpr Argb colorref_to_argb(ColorRef c, std::uint8_t alpha) {
    return (Argb(alpha) << 24) | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// --- planet glyph styles (offset 5,448) ---------------------------------------------------
struct GlyphStyle {
    Argb pen_colour = 0;
    Argb brush_colour = 0;
    float pen_size = 0.0f;
    std::uint8_t halo_on = 0;
    Argb halo_centre = 0;
    Argb halo_border = 0;
    float halo_size = 0.0f;
    bool operator==(const GlyphStyle&) const = default;
};
struct GlyphStyles {
    // [planet 0..17][sign 0..11][0 direct, 1 retrograde]
    std::array<std::array<std::array<GlyphStyle, 2>, 12>, kPlanetRows> styles = default_styles();
    std::array<Argb, kPlanetRows> planet_colours = default_planet_colours();
    bool operator==(const GlyphStyles&) const = default;

    static std::array<std::array<std::array<GlyphStyle, 2>, 12>, kPlanetRows> default_styles();
    static std::array<Argb, kPlanetRows> default_planet_colours();
};

// --- planet-in-house halos (offset 17,616) ------------------------------------------------
struct HouseHalo {
    std::uint8_t on = 0;
    Argb centre = 0;
    Argb border = 0;
    float size = 0.0f;
    bool operator==(const HouseHalo&) const = default;
};
struct HouseHalos {
    // [planet 0..17][house 0..11]
    std::array<std::array<HouseHalo, 12>, kPlanetRows> halos = default_halos();
    bool operator==(const HouseHalos&) const = default;
    static std::array<std::array<HouseHalo, 12>, kPlanetRows> default_halos();
};

// --- chart drawing settings (offset 21,072) -----------------------------------------------
struct DrawingOptions {
    // Aspect filters: two pairs of masks per dialog, in the stored order.
    std::array<std::uint32_t, 2> planets_masks_1{0xFFFFFFFF, 0xFFFFFFFF};  // 0
    std::array<std::uint32_t, 2> houses_masks_2{0xFFFFFFFF, 0xFFFFFFFF};   // 8
    std::array<std::uint32_t, 2> planets_masks_2{0xFFFFFFFF, 0xFFFFFFFF};  // 16
    std::array<std::uint32_t, 2> houses_masks_1{0, 585};                   // 24: houses I, IV, VII, X
    std::uint32_t planets_mode = 29;  // bits 0, 2, 3, 4: the four modes
    std::uint32_t planets_mode_reserved = 0;
    std::uint32_t houses_mode = 29;
    std::uint32_t houses_mode_reserved = 0;
    std::int32_t picture_type = 0;
    std::uint8_t use_wingdings = 1;
    std::uint8_t horizontal_horizon = 1;
    std::uint8_t counterclockwise = 1;
    AngleValue zodiac_origin = AngleValue::degrees(180.0);
    std::uint8_t nice_planets = 1;
    std::uint8_t tooltips = 1;
    std::uint8_t show_stars = 1;
    double real_88 = 10.0;  // not edited by any dialog
    std::uint8_t show_moon_naks = 1;
    std::uint8_t colour_naks = 1;
    std::uint8_t colour_signs = 1;
    std::uint8_t show_informations = 1;
    std::uint8_t show_signs = 1;
    std::uint8_t show_exaltations = 1;
    std::uint8_t show_graduations = 1;
    std::int32_t smoothing_mode = 4;  // SmoothingModeAntiAlias
    std::uint8_t use_gradient = 0;
    float aspect_ratio = 1.0f;
    bool operator==(const DrawingOptions&) const = default;
};

// --- "My city" (offset 21,192) ------------------------------------------------------------
struct MyCity {
    BirthPlace place;  // "Washington", 5h08'08.00" W, 38d54'00.01" N, time zone -1
    std::string country = "USA";
    std::string state = "District of Columbia";
    double correction_hours = 0.0;  // universal = legal + correction
    std::int32_t tz_state = 0;      // 0 unknown, 1 standard, 2 daylight
    bool operator==(const MyCity&) const = default;
};
// "Washington" with its longitude and latitude; the correction and state are left at 0.
MyCity default_my_city();

// --- database connection (offset 21,984) --------------------------------------------------
struct DatabaseConnection {
    std::string name;      // UTF-16[100]
    std::string login;     // UTF-16[100]
    std::string password;  // UTF-16[100]
    std::uint8_t prefix_with_ip = 0;
    std::uint8_t default_save_to_db = 0;
    bool operator==(const DatabaseConnection&) const = default;
};
inline constexpr std::size_t kDatabaseUnits = 100;

// --- exaltation table (offset 22,592) -----------------------------------------------------
struct ExaltationRow {
    std::int8_t planet = -1;
    AngleValue point;  // the debilitation point: exaltation + 180 degrees, in [0, 360)
    Argb debilitation_colour = 0;
    Argb exaltation_colour = 0;
    bool operator==(const ExaltationRow&) const = default;
};
struct ExaltationTable {
    std::array<ExaltationRow, kPlanetRows> rows = default_rows();
    std::uint8_t absolute_longitudes = 1;
    DateHour zero_date = default_zero_date();  // "222-03-13 15:19:32.89 JD"
    bool operator==(const ExaltationTable&) const = default;

    static std::array<ExaltationRow, kPlanetRows> default_rows();
    static DateHour default_zero_date();
};

// --- nakshatra table (offset 23,360) ------------------------------------------------------
struct Nakshatra {
    std::uint8_t index = 0;
    std::int8_t lord = -1;
    std::string name;     // UTF-16[100]
    std::string meaning;  // UTF-16[300]
    Argb colour = 0;
    bool operator==(const Nakshatra&) const = default;
};
inline constexpr int kNakshatraCount = 27;
inline constexpr std::size_t kNakshatraNameUnits = 100;
inline constexpr std::size_t kNakshatraMeaningUnits = 300;
using NakshatraTable = std::array<Nakshatra, kNakshatraCount>;
NakshatraTable default_nakshatra_table();

// --- dasa period table (offset 45,176) ----------------------------------------------------
struct DasaLord {
    std::int8_t planet = -1;
    double years = 0.0;
    bool operator==(const DasaLord&) const = default;
};
struct DasaPeriod {
    double duration_days = 0.0;
    std::int8_t dasa_lord = -1;
    std::int8_t bhukti_lord = -1;
    std::int8_t antara_lord = -1;
    bool operator==(const DasaPeriod&) const = default;
};
inline constexpr int kDasaLords = 9;
inline constexpr int kDasaPeriods = 729;  // 9 dasas x 9 bhuktis x 9 antaras
struct DasaTable {
    DateHour zero_date = default_zero_date();  // "-134-02-03 12:00:00.00 JD"
    double year_length = 365.25;               // days
    double total_years = 120.0;
    // Kethu 7, Venus 20, Sun 6, Moon 10, Mars 7, Rahu 18, Jupiter 16, Saturn 19, Mercury 17
    std::array<DasaLord, kDasaLords> lords{{{kKethu, 7}, {kVenus, 20}, {kSun, 6}, {kMoon, 10}, {kMars, 7},
                                            {kRahu, 18}, {kJupiter, 16}, {kSaturn, 19}, {kMercury, 17}}};
    // Built by build_dasa_table (astro/dasa_table.h); lords -1 and durations 0 before that.
    std::array<DasaPeriod, kDasaPeriods> periods{};
    std::array<double, kDasaPeriods> start_offsets{};  // days from the start of the cycle
    bool operator==(const DasaTable&) const = default;

    static DateHour default_zero_date();
};

// --- natural planetary relationships (offset 62,872) --------------------------------------
// [planet][other planet]: 1 friend, 0 neutral, -1 enemy, 3 diagonal, 99 undefined.
using NaturalRelationships = std::array<std::array<std::int8_t, kPlanetRows>, kPlanetRows>;
inline constexpr std::int8_t kNoRelationship = 99;
NaturalRelationships default_natural_relationships();

// --- ephemeris library choice (offset 63,196) ---------------------------------------------
enum EphemerisType : std::int32_t { kEphemerisLow = 0, kEphemerisBdl = 1, kEphemerisJpl = 2 };
struct EphemerisChoice {
    std::int32_t type = kEphemerisBdl;
    std::string jpl_file;          // UTF-16[260]; the JPL binary file for type 2
    std::uint8_t true_node = 0;    // 0 mean lunar node, 1 true node
    bool operator==(const EphemerisChoice&) const = default;
};

// --- the record ----------------------------------------------------------------------------
struct Options {
    InterfaceFlags interface;
    WindowRect window;
    AstroSettings astro = default_astro();
    OptionsPaths paths;
    std::array<FontSetting, kFontCount> fonts = default_fonts();
    ColourSettings colours;
    GlyphStyles glyphs;
    HouseHalos house_halos;
    DrawingOptions drawing;
    MyCity my_city = default_my_city();
    DatabaseConnection database;
    ExaltationTable exaltations;
    NakshatraTable nakshatras = default_nakshatra_table();
    DasaTable dasas;
    NaturalRelationships natural_relationships = default_natural_relationships();
    EphemerisChoice ephemeris;

    // Compares block by block.
    bool operator==(const Options&) const = default;

    static AstroSettings default_astro();
    // "Courier New", height -12 (9 points at 96 dots per inch), with the entries' own
    // weight, underline, colour and size.
    static std::array<FontSetting, kFontCount> default_fonts(int pixels_per_inch = 96);
};

}  // namespace tellurim
