#include "files/options_image.h"

#include <cassert>

namespace tellurim {

// The offset table, block by block: each block ends where the next begins.
static_assert(kOptWindowOffset - kOptInterfaceOffset == 8);
static_assert(kOptAstroOffset - kOptWindowOffset == 16);
static_assert(kOptPathsOffset - kOptAstroOffset == kDateHourSize + 8);
static_assert(kOptFontsOffset - kOptPathsOffset == 6 * 2 * kPathUnits + 2 * 2 * kNameUnits);
static_assert(kOptColoursOffset - kOptFontsOffset == kFontCount * kFontSettingSize);
static_assert(kFontSettingSize == kLogFontSize + 4 + 4 + 2 + 126);
static_assert(kLogFontSize == 5 * 4 + 8 + 2 * kFaceNameUnits);
static_assert(kOptGlyphsOffset - kOptColoursOffset == 29 * 4 + 2 * kPathUnits);
static_assert(kOptHouseHalosOffset - kOptGlyphsOffset == kPlanetRows * 12 * 2 * kGlyphStyleSize + kPlanetRows * 4);
static_assert(kOptDrawingOffset - kOptHouseHalosOffset == kPlanetRows * 12 * kHouseHaloSize);
static_assert(kOptMyCityOffset - kOptDrawingOffset == 120);
static_assert(kOptDatabaseOffset - kOptMyCityOffset == kBirthPlaceSize + 2 * 2 * kNameUnits + 8 + 8);
static_assert(kOptExaltationsOffset - kOptDatabaseOffset == 3 * 2 * kDatabaseUnits + 8);
static_assert(kOptNakshatrasOffset - kOptExaltationsOffset == kPlanetRows * kExaltationRowSize + 8 + kDateHourSize);
static_assert(kNakshatraRowSize == 2 + 2 * (kNakshatraNameUnits + kNakshatraMeaningUnits) + 2 + 4);
static_assert(kOptDasasOffset - kOptNakshatrasOffset == kNakshatraCount * kNakshatraRowSize);
static_assert(kOptRelationshipsOffset - kOptDasasOffset ==
              kDateHourSize + 16 + kDasaLords * kDasaLordSize + kDasaPeriods * (kDasaPeriodSize + 8));
static_assert(kOptEphemerisOffset - kOptRelationshipsOffset == kPlanetRows * kPlanetRows);
static_assert(kOptPaddingOffset - kOptEphemerisOffset == 1564);
static_assert(kOptPaddingOffset == kOptionsRecordSize && kOptionsFileSize - kOptionsRecordSize == 520);

namespace {

// Each block writer starts with its own ByteWriter-relative offsets; the record writer
// checks that every block lands at its offset and has its size.

// Interface flags, 8 bytes: 0 show speed bar | 1 horizontal | 2 left | 3 top | 4 show status
// bar | 5 top status bar | 6 unused 2
void write_interface(ByteWriter& out, const InterfaceFlags& f) {
    out.u8(f.show_speed_bar);
    out.u8(f.horizontal_speed_bar);
    out.u8(f.left_speed_bar);
    out.u8(f.top_speed_bar);
    out.u8(f.show_status_bar);
    out.u8(f.top_status_bar);
    out.pad(2);
}
void read_interface(ByteReader& in, InterfaceFlags& f) {
    f.show_speed_bar = in.u8();
    f.horizontal_speed_bar = in.u8();
    f.left_speed_bar = in.u8();
    f.top_speed_bar = in.u8();
    f.show_status_bar = in.u8();
    f.top_status_bar = in.u8();
    in.skip(2);
}

// Window rectangle, 16 bytes: 0 left | 4 top | 8 right | 12 bottom, i32 each
void write_window(ByteWriter& out, const WindowRect& r) {
    out.i32(r.left);
    out.i32(r.top);
    out.i32(r.right);
    out.i32(r.bottom);
}
void read_window(ByteReader& in, WindowRect& r) {
    r.left = in.i32();
    r.top = in.i32();
    r.right = in.i32();
    r.bottom = in.i32();
}

// Astrology settings, 48 bytes: 0 zero date DateHour(40) | 40 house system u8 | 41 zodiac
// movable u8 | 42 same direction u8 | 43 house centred on cusp u8 | 44 day/night Fortune u8
// | 45 unused 3
void write_astro(ByteWriter& out, const AstroSettings& a) {
    write_date_hour(out, a.zero_date);
    out.u8(a.house_system);
    out.u8(a.zodiac_movable);
    out.u8(a.same_direction);
    out.u8(a.house_cusp_center);
    out.u8(a.fortune_day_night);
    out.pad(3);
}
void read_astro(ByteReader& in, AstroSettings& a) {
    a.zero_date = read_date_hour(in);
    a.house_system = in.u8();
    a.zodiac_movable = in.u8();
    a.same_direction = in.u8();
    a.house_cusp_center = in.u8();
    a.fortune_day_night = in.u8();
    in.skip(3);
}

// Directories and files, 3,600 bytes: 0 stars file u16[260] | 520 countries directory
// u16[260] | 1,040 Tcl script directory u16[260] | 1,560 text editor u16[260] | 2,080 database
// ini file u16[260] | 2,600 save file u16[260] | 3,120 default country u16[120] | 3,360
// default state u16[120]
void write_paths(ByteWriter& out, const OptionsPaths& p) {
    out.utf16_fixed_utf8(p.stars_file, kPathUnits);
    out.utf16_fixed_utf8(p.countries_dir, kPathUnits);
    out.utf16_fixed_utf8(p.tcl_script_dir, kPathUnits);
    out.utf16_fixed_utf8(p.text_editor, kPathUnits);
    out.utf16_fixed_utf8(p.db_ini_file, kPathUnits);
    out.utf16_fixed_utf8(p.save_file, kPathUnits);
    out.utf16_fixed_utf8(p.default_country, kNameUnits);
    out.utf16_fixed_utf8(p.default_state, kNameUnits);
}
void read_paths(ByteReader& in, OptionsPaths& p) {
    p.stars_file = in.utf16_fixed_utf8(kPathUnits);
    p.countries_dir = in.utf16_fixed_utf8(kPathUnits);
    p.tcl_script_dir = in.utf16_fixed_utf8(kPathUnits);
    p.text_editor = in.utf16_fixed_utf8(kPathUnits);
    p.db_ini_file = in.utf16_fixed_utf8(kPathUnits);
    p.save_file = in.utf16_fixed_utf8(kPathUnits);
    p.default_country = in.utf16_fixed_utf8(kNameUnits);
    p.default_state = in.utf16_fixed_utf8(kNameUnits);
}

// Font setting, 228 bytes: 0 LOGFONTW(92) | 92 size in points i32 | 96 colour COLORREF
// | 100 flags 2 x u8 | 102 unused 126.
// LOGFONTW, 92 bytes: 0 height | 4 width | 8 escapement | 12 orientation | 16 weight (i32
// each) | 20 italic | 21 underline | 22 strikeout | 23 charset | 24 out precision | 25 clip
// precision | 26 quality | 27 pitch and family (u8 each) | 28 face name u16[32]
void write_font(ByteWriter& out, const FontSetting& f) {
    const LogFont& l = f.font;
    out.i32(l.height);
    out.i32(l.width);
    out.i32(l.escapement);
    out.i32(l.orientation);
    out.i32(l.weight);
    out.u8(l.italic);
    out.u8(l.underline);
    out.u8(l.strikeout);
    out.u8(l.charset);
    out.u8(l.out_precision);
    out.u8(l.clip_precision);
    out.u8(l.quality);
    out.u8(l.pitch_and_family);
    out.utf16_fixed_utf8(l.face_name, kFaceNameUnits);
    out.i32(f.size_points);
    out.u32(f.colour);
    out.u8(f.flags[0]);
    out.u8(f.flags[1]);
    out.pad(126);
}
void read_font(ByteReader& in, FontSetting& f) {
    LogFont& l = f.font;
    l.height = in.i32();
    l.width = in.i32();
    l.escapement = in.i32();
    l.orientation = in.i32();
    l.weight = in.i32();
    l.italic = in.u8();
    l.underline = in.u8();
    l.strikeout = in.u8();
    l.charset = in.u8();
    l.out_precision = in.u8();
    l.clip_precision = in.u8();
    l.quality = in.u8();
    l.pitch_and_family = in.u8();
    l.face_name = in.utf16_fixed_utf8(kFaceNameUnits);
    f.size_points = in.i32();
    f.colour = in.u32();
    f.flags[0] = in.u8();
    f.flags[1] = in.u8();
    in.skip(126);
}

// Colours, 636 bytes: 0 ten spectral classes O..S ARGB | 40 houses outside | 44 houses inside
// | 48 pen | 52 drawing background | 56 text background | 60 tooltip background | 64 twelve
// signs ARGB | 112 real f32 | 116 background image u16[260]
void write_colours(ByteWriter& out, const ColourSettings& c) {
    for (Argb v : c.spectral) out.u32(v);
    out.u32(c.houses_outside);
    out.u32(c.houses_inside);
    out.u32(c.pen);
    out.u32(c.drawing_background);
    out.u32(c.text_background);
    out.u32(c.tooltip_background);
    for (Argb v : c.signs) out.u32(v);
    out.f32(c.scale);
    out.utf16_fixed_utf8(c.background_image, kPathUnits);
}
void read_colours(ByteReader& in, ColourSettings& c) {
    for (Argb& v : c.spectral) v = in.u32();
    c.houses_outside = in.u32();
    c.houses_inside = in.u32();
    c.pen = in.u32();
    c.drawing_background = in.u32();
    c.text_background = in.u32();
    c.tooltip_background = in.u32();
    for (Argb& v : c.signs) v = in.u32();
    c.scale = in.f32();
    c.background_image = in.utf16_fixed_utf8(kPathUnits);
}

// Glyph style, 28 bytes: 0 pen ARGB | 4 brush ARGB | 8 pen size f32 | 12 halo on u8 | 13
// unused 3 | 16 halo centre ARGB | 20 halo border ARGB | 24 halo size f32.
// Block, 12,168 bytes: for planet 0..17, sign 0..11: direct style, retrograde style
// (12,096 bytes); 12,096 eighteen planet colours ARGB.
void write_glyph(ByteWriter& out, const GlyphStyle& g) {
    out.u32(g.pen_colour);
    out.u32(g.brush_colour);
    out.f32(g.pen_size);
    out.u8(g.halo_on);
    out.pad(3);
    out.u32(g.halo_centre);
    out.u32(g.halo_border);
    out.f32(g.halo_size);
}
void read_glyph(ByteReader& in, GlyphStyle& g) {
    g.pen_colour = in.u32();
    g.brush_colour = in.u32();
    g.pen_size = in.f32();
    g.halo_on = in.u8();
    in.skip(3);
    g.halo_centre = in.u32();
    g.halo_border = in.u32();
    g.halo_size = in.f32();
}
void write_glyphs(ByteWriter& out, const GlyphStyles& s) {
    for (const auto& planet : s.styles)
        for (const auto& sign : planet)
            for (const GlyphStyle& g : sign) write_glyph(out, g);
    for (Argb c : s.planet_colours) out.u32(c);
}
void read_glyphs(ByteReader& in, GlyphStyles& s) {
    for (auto& planet : s.styles)
        for (auto& sign : planet)
            for (GlyphStyle& g : sign) read_glyph(in, g);
    for (Argb& c : s.planet_colours) c = in.u32();
}

// House halo, 16 bytes: 0 on u8 | 1 unused 3 | 4 centre ARGB | 8 border ARGB | 12 size f32.
// Block, 3,456 bytes: planet 0..17, house 0..11.
void write_house_halos(ByteWriter& out, const HouseHalos& h) {
    for (const auto& planet : h.halos) {
        for (const HouseHalo& x : planet) {
            out.u8(x.on);
            out.pad(3);
            out.u32(x.centre);
            out.u32(x.border);
            out.f32(x.size);
        }
    }
}
void read_house_halos(ByteReader& in, HouseHalos& h) {
    for (auto& planet : h.halos) {
        for (HouseHalo& x : planet) {
            x.on = in.u8();
            in.skip(3);
            x.centre = in.u32();
            x.border = in.u32();
            x.size = in.f32();
        }
    }
}

// Drawing settings, 120 bytes: 0 planets masks 1 (2 x u32) | 8 houses masks 2 | 16 planets
// masks 2 | 24 houses masks 1 | 32 planets mode u32, reserved u32 | 40 houses mode u32,
// reserved u32 | 48 picture type i32 | 52 Wingdings u8 | 53 horizontal horizon u8 | 54
// counterclockwise u8 | 55 unused | 56 zodiac origin AngleValue(24) | 80 nice planets u8 | 81
// tooltips u8 | 82 show stars u8 | 83 unused 5 | 88 real f64 | 96 Moon naks u8 | 97 colour
// naks u8 | 98 colour signs u8 | 99 informations u8 | 100 show signs u8 | 101 show
// exaltations u8 | 102 show graduations u8 | 103 unused | 104 smoothing mode i32 | 108
// gradient u8 | 109 unused 3 | 112 aspect ratio f32 | 116 unused 4
void write_drawing(ByteWriter& out, const DrawingOptions& d) {
    for (auto v : d.planets_masks_1) out.u32(v);
    for (auto v : d.houses_masks_2) out.u32(v);
    for (auto v : d.planets_masks_2) out.u32(v);
    for (auto v : d.houses_masks_1) out.u32(v);
    out.u32(d.planets_mode);
    out.u32(d.planets_mode_reserved);
    out.u32(d.houses_mode);
    out.u32(d.houses_mode_reserved);
    out.i32(d.picture_type);
    out.u8(d.use_wingdings);
    out.u8(d.horizontal_horizon);
    out.u8(d.counterclockwise);
    out.pad(1);
    write_angle(out, d.zodiac_origin);
    out.u8(d.nice_planets);
    out.u8(d.tooltips);
    out.u8(d.show_stars);
    out.pad(5);
    out.f64(d.real_88);
    out.u8(d.show_moon_naks);
    out.u8(d.colour_naks);
    out.u8(d.colour_signs);
    out.u8(d.show_informations);
    out.u8(d.show_signs);
    out.u8(d.show_exaltations);
    out.u8(d.show_graduations);
    out.pad(1);
    out.i32(d.smoothing_mode);
    out.u8(d.use_gradient);
    out.pad(3);
    out.f32(d.aspect_ratio);
    out.pad(4);
}
void read_drawing(ByteReader& in, DrawingOptions& d) {
    for (auto& v : d.planets_masks_1) v = in.u32();
    for (auto& v : d.houses_masks_2) v = in.u32();
    for (auto& v : d.planets_masks_2) v = in.u32();
    for (auto& v : d.houses_masks_1) v = in.u32();
    d.planets_mode = in.u32();
    d.planets_mode_reserved = in.u32();
    d.houses_mode = in.u32();
    d.houses_mode_reserved = in.u32();
    d.picture_type = in.i32();
    d.use_wingdings = in.u8();
    d.horizontal_horizon = in.u8();
    d.counterclockwise = in.u8();
    in.skip(1);
    d.zodiac_origin = read_angle(in);
    d.nice_planets = in.u8();
    d.tooltips = in.u8();
    d.show_stars = in.u8();
    in.skip(5);
    d.real_88 = in.f64();
    d.show_moon_naks = in.u8();
    d.colour_naks = in.u8();
    d.colour_signs = in.u8();
    d.show_informations = in.u8();
    d.show_signs = in.u8();
    d.show_exaltations = in.u8();
    d.show_graduations = in.u8();
    in.skip(1);
    d.smoothing_mode = in.i32();
    d.use_gradient = in.u8();
    in.skip(3);
    d.aspect_ratio = in.f32();
    in.skip(4);
}

// "My city", 792 bytes: 0 BirthPlace(296) | 296 country u16[120] | 536 state u16[120] | 776
// correction hours f64 | 784 time-zone state i32 | 788 unused 4
void write_my_city(ByteWriter& out, const MyCity& c) {
    write_birth_place(out, c.place);
    out.utf16_fixed_utf8(c.country, kNameUnits);
    out.utf16_fixed_utf8(c.state, kNameUnits);
    out.f64(c.correction_hours);
    out.i32(c.tz_state);
    out.pad(4);
}
void read_my_city(ByteReader& in, MyCity& c) {
    c.place = read_birth_place(in);
    c.country = in.utf16_fixed_utf8(kNameUnits);
    c.state = in.utf16_fixed_utf8(kNameUnits);
    c.correction_hours = in.f64();
    c.tz_state = in.i32();
    in.skip(4);
}

// Database connection, 608 bytes: 0 name u16[100] | 200 login u16[100] | 400 password
// u16[100] | 600 prefix with IP u8 | 601 default save to database u8 | 602 unused 6
void write_database(ByteWriter& out, const DatabaseConnection& d) {
    out.utf16_fixed_utf8(d.name, kDatabaseUnits);
    out.utf16_fixed_utf8(d.login, kDatabaseUnits);
    out.utf16_fixed_utf8(d.password, kDatabaseUnits);
    out.u8(d.prefix_with_ip);
    out.u8(d.default_save_to_db);
    out.pad(6);
}
void read_database(ByteReader& in, DatabaseConnection& d) {
    d.name = in.utf16_fixed_utf8(kDatabaseUnits);
    d.login = in.utf16_fixed_utf8(kDatabaseUnits);
    d.password = in.utf16_fixed_utf8(kDatabaseUnits);
    d.prefix_with_ip = in.u8();
    d.default_save_to_db = in.u8();
    in.skip(6);
}

// Nakshatra row, 808 bytes: 0 index u8 | 1 lord i8 | 2 name u16[100] | 202 meaning u16[300]
// | 802 unused 2 | 804 colour ARGB
void write_nakshatras(ByteWriter& out, const NakshatraTable& t) {
    for (const Nakshatra& n : t) {
        out.u8(n.index);
        out.i8(n.lord);
        out.utf16_fixed_utf8(n.name, kNakshatraNameUnits);
        out.utf16_fixed_utf8(n.meaning, kNakshatraMeaningUnits);
        out.pad(2);
        out.u32(n.colour);
    }
}
void read_nakshatras(ByteReader& in, NakshatraTable& t) {
    for (Nakshatra& n : t) {
        n.index = in.u8();
        n.lord = in.i8();
        n.name = in.utf16_fixed_utf8(kNakshatraNameUnits);
        n.meaning = in.utf16_fixed_utf8(kNakshatraMeaningUnits);
        in.skip(2);
        n.colour = in.u32();
    }
}

// Natural relationships, 324 bytes: row = planet 0..17, column = other planet 0..17, i8.
void write_relationships(ByteWriter& out, const NaturalRelationships& r) {
    for (const auto& row : r)
        for (std::int8_t v : row) out.i8(v);
}
void read_relationships(ByteReader& in, NaturalRelationships& r) {
    for (auto& row : r)
        for (std::int8_t& v : row) v = in.i8();
}

// Ephemeris choice, 1,564 bytes: 0 type i32 (0 low, 1 bdl, 2 jpl) | 4 JPL file u16[260] |
// 524 true node u8 | 525 unused 1,039
void write_ephemeris(ByteWriter& out, const EphemerisChoice& e) {
    out.i32(e.type);
    out.utf16_fixed_utf8(e.jpl_file, kPathUnits);
    out.u8(e.true_node);
    out.pad(1039);
}
void read_ephemeris(ByteReader& in, EphemerisChoice& e) {
    e.type = in.i32();
    e.jpl_file = in.utf16_fixed_utf8(kPathUnits);
    e.true_node = in.u8();
    in.skip(1039);
}

}  // namespace

// Exaltation table, 768 bytes: 18 rows of 40 bytes at 40 n: 0 planet i8 | 1 unused 7 | 8
// point AngleValue(24) | 32 debilitation colour ARGB | 36 exaltation colour ARGB; 720
// absolute longitudes u8 | 721 unused 7 | 728 zero date DateHour(40)
void write_exaltation_table(ByteWriter& out, const ExaltationTable& t) {
    for (const ExaltationRow& r : t.rows) {
        out.i8(r.planet);
        out.pad(7);
        write_angle(out, r.point);
        out.u32(r.debilitation_colour);
        out.u32(r.exaltation_colour);
    }
    out.u8(t.absolute_longitudes);
    out.pad(7);
    write_date_hour(out, t.zero_date);
}
ExaltationTable read_exaltation_table(ByteReader& in) {
    ExaltationTable t;
    for (ExaltationRow& r : t.rows) {
        r.planet = in.i8();
        in.skip(7);
        r.point = read_angle(in);
        r.debilitation_colour = in.u32();
        r.exaltation_colour = in.u32();
    }
    t.absolute_longitudes = in.u8();
    in.skip(7);
    t.zero_date = read_date_hour(in);
    return t;
}

// Dasa table, 17,696 bytes: 0 zero date DateHour(40) | 40 year length f64 | 48 total years
// f64 | 56 nine lords of 16 bytes (lord i8, unused 7, years f64) | 200 729 periods of 16
// bytes (duration days f64, dasa lord i8, bhukti lord i8, antara lord i8, unused 5) | 11,864
// 729 start offsets f64
void write_dasa_table(ByteWriter& out, const DasaTable& t) {
    write_date_hour(out, t.zero_date);
    out.f64(t.year_length);
    out.f64(t.total_years);
    for (const DasaLord& l : t.lords) {
        out.i8(l.planet);
        out.pad(7);
        out.f64(l.years);
    }
    for (const DasaPeriod& p : t.periods) {
        out.f64(p.duration_days);
        out.i8(p.dasa_lord);
        out.i8(p.bhukti_lord);
        out.i8(p.antara_lord);
        out.pad(5);
    }
    for (double s : t.start_offsets) out.f64(s);
}
DasaTable read_dasa_table(ByteReader& in) {
    DasaTable t;
    t.zero_date = read_date_hour(in);
    t.year_length = in.f64();
    t.total_years = in.f64();
    for (DasaLord& l : t.lords) {
        l.planet = in.i8();
        in.skip(7);
        l.years = in.f64();
    }
    for (DasaPeriod& p : t.periods) {
        p.duration_days = in.f64();
        p.dasa_lord = in.i8();
        p.bhukti_lord = in.i8();
        p.antara_lord = in.i8();
        in.skip(5);
    }
    for (double& s : t.start_offsets) s = in.f64();
    return t;
}

std::vector<std::uint8_t> write_options_image(const Options& o) {
    ByteWriter out(kOptionsFileSize);
    // Each block must start at its offset: a wrong block size would shift every later one.
    auto at = [&out](std::size_t offset) {
        assert(out.size() == offset);
        (void)offset;
    };
    at(kOptInterfaceOffset);
    write_interface(out, o.interface);
    at(kOptWindowOffset);
    write_window(out, o.window);
    at(kOptAstroOffset);
    write_astro(out, o.astro);
    at(kOptPathsOffset);
    write_paths(out, o.paths);
    at(kOptFontsOffset);
    for (const FontSetting& f : o.fonts) write_font(out, f);
    at(kOptColoursOffset);
    write_colours(out, o.colours);
    at(kOptGlyphsOffset);
    write_glyphs(out, o.glyphs);
    at(kOptHouseHalosOffset);
    write_house_halos(out, o.house_halos);
    at(kOptDrawingOffset);
    write_drawing(out, o.drawing);
    at(kOptMyCityOffset);
    write_my_city(out, o.my_city);
    at(kOptDatabaseOffset);
    write_database(out, o.database);
    at(kOptExaltationsOffset);
    write_exaltation_table(out, o.exaltations);
    at(kOptNakshatrasOffset);
    write_nakshatras(out, o.nakshatras);
    at(kOptDasasOffset);
    write_dasa_table(out, o.dasas);
    at(kOptRelationshipsOffset);
    write_relationships(out, o.natural_relationships);
    at(kOptEphemerisOffset);
    write_ephemeris(out, o.ephemeris);
    at(kOptPaddingOffset);
    out.pad(kOptionsFileSize - kOptionsRecordSize);
    at(kOptionsFileSize);
    return out.take();
}

bool read_options_image(std::span<const std::uint8_t> bytes, Options& options) {
    if (bytes.size() < kOptionsFileSize) return false;
    ByteReader in(bytes.first(kOptionsRecordSize));
    Options o;
    read_interface(in, o.interface);
    read_window(in, o.window);
    read_astro(in, o.astro);
    read_paths(in, o.paths);
    for (FontSetting& f : o.fonts) read_font(in, f);
    read_colours(in, o.colours);
    read_glyphs(in, o.glyphs);
    read_house_halos(in, o.house_halos);
    read_drawing(in, o.drawing);
    read_my_city(in, o.my_city);
    read_database(in, o.database);
    o.exaltations = read_exaltation_table(in);
    read_nakshatras(in, o.nakshatras);
    o.dasas = read_dasa_table(in);
    read_relationships(in, o.natural_relationships);
    read_ephemeris(in, o.ephemeris);
    if (!in.ok() || in.position() != kOptionsRecordSize) return false;
    options = std::move(o);
    return true;
}

}  // namespace tellurim
