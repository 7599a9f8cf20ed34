#include "core/options.h"

#include "base/strings.h"

namespace tellurim {

namespace {

DateHour parsed_date(std::string_view text) {
    DateParse p = parse_date_hour(text);
    return p.ok ? p.value : DateHour{};
}

AngleValue parsed_angle(std::string_view text) {
    auto a = parse_angle(text);
    return a ? *a : AngleValue{};
}

// Dignities of planets 0..14 by sign, for the default glyph halos and house halos.
// Domiciles follow the sign lords (first, second and third lords); the exaltation sign is
// that of the default exaltation longitude; detriment and fall are the opposite signs.
// -1 ends a list. Ascendant, Midheaven and Part of Fortune have no dignities.
struct Dignities {
    std::array<int, 3> domiciles;
    int exaltation;
};
constexpr std::array<Dignities, 15> kDignities{{
    // domiciles        exaltation sign
    {{4, -1, -1}, 0},   // 0 Sun: Leo; Aries (19)
    {{3, -1, -1}, 1},   // 1 Moon: Cancer; Taurus (33)
    {{2, 5, -1}, 5},    // 2 Mercury: Gemini, Virgo; Virgo (165)
    {{1, 6, -1}, 11},   // 3 Venus: Taurus, Libra; Pisces (357)
    {{0, 7, -1}, 9},    // 4 Mars: Aries, Scorpio; Capricornus (298)
    {{8, 11, -1}, 3},   // 5 Jupiter: Sagittarius, Pisces; Cancer (105)
    {{9, 10, -1}, 6},   // 6 Saturn: Capricornus, Aquarius; Libra (201)
    {{-1, -1, -1}, -1}, // 7 Ascendant
    {{-1, -1, -1}, -1}, // 8 Midheaven
    {{4, -1, -1}, 1},   // 9 Rahu: Leo; Taurus (45)
    {{10, -1, -1}, 7},  // 10 Kethu: Aquarius; Scorpio (225)
    {{9, 10, -1}, 8},   // 11 Uranus: Capricornus, Aquarius; Sagittarius (249)
    {{8, 11, -1}, 4},   // 12 Neptune: Sagittarius, Pisces; Leo (138)
    {{0, 7, -1}, 3},    // 13 Pluto: Aries, Scorpio; Cancer (108)
    {{-1, -1, -1}, -1}, // 14 Part of Fortune
}};

enum class Dignity { None, Domicile, Exaltation, Detriment, Fall };

Dignity dignity_of(int planet, int sign) {
    if (planet < 0 || planet >= static_cast<int>(kDignities.size())) return Dignity::None;
    const Dignities& d = kDignities[static_cast<std::size_t>(planet)];
    // Dignities win over debilities where a sign is both (no default planet has such a sign).
    for (int s : d.domiciles)
        if (s == sign) return Dignity::Domicile;
    if (d.exaltation == sign) return Dignity::Exaltation;
    for (int s : d.domiciles)
        if (s >= 0 && (s + 6) % 12 == sign) return Dignity::Detriment;
    if (d.exaltation >= 0 && (d.exaltation + 6) % 12 == sign) return Dignity::Fall;
    return Dignity::None;
}

// Base glyph styles of planets 0..14: pen, brush, pen size 1, halo size; the retrograde
// pen and brush. Every planet has its own brush, so that glyphs stay distinct.
struct BaseStyle {
    Argb pen, brush;
    float halo_size;
    Argb retro_pen, retro_brush;
};
constexpr std::array<BaseStyle, 15> kBaseStyles{{
    // pen        brush       halo  retro pen   retro brush
    {0xFF000000, 0xFFFFFF00, 2.0f, 0xFF000000, 0xFFFFFF00},  // 0 Sun
    {0xFF000000, 0xFFFFFFFF, 2.0f, 0xFF000000, 0xFFFFFFFF},  // 1 Moon
    {0xFF000000, 0xFF808080, 2.0f, 0xFFFF0000, 0xFFFF8000},  // 2 Mercury
    {0xFF000000, 0xFF00FF00, 2.0f, 0xFFFF0000, 0xFF80FF80},  // 3 Venus
    {0xFF000000, 0xFFFF0000, 2.0f, 0xFFFF0000, 0xFFFF8080},  // 4 Mars
    {0xFF000000, 0xFF0000FF, 2.0f, 0xFFFF0000, 0xFF8080FF},  // 5 Jupiter
    {0xFF000000, 0xFF804000, 2.0f, 0xFFFF0000, 0xFFC08040},  // 6 Saturn
    {0xFF000000, 0xFF00C0C0, 0.0f, 0xFF000000, 0xFF00C0C0},  // 7 Ascendant
    {0xFF000000, 0xFFC0C000, 0.0f, 0xFF000000, 0xFFC0C000},  // 8 Midheaven
    {0xFF000000, 0xFFFF0080, 4.0f, 0xFF000000, 0xFFFF0080},  // 9 Rahu
    {0xFF000000, 0xFF800080, 4.0f, 0xFF000000, 0xFF800080},  // 10 Kethu
    {0xFF000000, 0xFF008000, 2.0f, 0xFFFF0000, 0xFF80C080},  // 11 Uranus
    {0xFF000000, 0xFF0080C0, 2.0f, 0xFFFF0000, 0xFF80C0FF},  // 12 Neptune
    {0xFF000000, 0xFFC20000, 2.0f, 0xFFFF0000, 0xFFFF6464},  // 13 Pluto
    {0xFF000000, 0xFFFFC0C0, 0.0f, 0xFF000000, 0xFFFFC0C0},  // 14 Part of Fortune
}};

// Halo borders of the four dignities (the Sun's published defaults); the centre is the
// planet's brush at alpha 0x64, the domicile border its brush at alpha 0xC8.
constexpr Argb kExaltationBorder = 0x64FF4848;
constexpr Argb kFallBorder = 0x644F4FFF;
constexpr Argb kDetrimentBorder = 0x64008000;

constexpr Argb with_alpha(Argb c, std::uint8_t alpha) { return (c & 0x00FFFFFFu) | (Argb(alpha) << 24); }

GlyphStyle base_glyph(int planet, bool retrograde, int sign) {
    const BaseStyle& b = kBaseStyles[static_cast<std::size_t>(planet)];
    GlyphStyle g;
    g.pen_colour = retrograde ? b.retro_pen : b.pen;
    g.brush_colour = retrograde ? b.retro_brush : b.brush;
    g.pen_size = 1.0f;
    g.halo_size = b.halo_size;
    Dignity d = dignity_of(planet, sign);
    if (d == Dignity::None) return g;
    g.halo_on = 1;
    g.halo_centre = with_alpha(b.brush, 0x64);
    switch (d) {
        case Dignity::Domicile: g.halo_border = with_alpha(b.brush, 0xC8); break;
        case Dignity::Exaltation: g.halo_border = kExaltationBorder; break;
        case Dignity::Detriment: g.halo_border = kDetrimentBorder; break;
        case Dignity::Fall: g.halo_border = kFallBorder; break;
        case Dignity::None: break;
    }
    return g;
}

}  // namespace

std::string_view house_system_name(int index) {
    static constexpr std::array<std::string_view, kHouseSystemCount> kNames{
        "CAMPANUS", "ALCABITUS", "ABENRAGEL", "REGIOMONTANUS", "PLACIDUS", "HINDOUE", "MODUSAEQUALIS"};
    if (index < 0 || index >= kHouseSystemCount) return "ERROR";
    return kNames[static_cast<std::size_t>(index)];
}

Argb spectral_colour(const ColourSettings& c, char letter) {
    static constexpr std::string_view kClasses = "OBAFGKMRNS";
    auto pos = kClasses.find(letter);
    if (pos == std::string_view::npos) return 0;
    return c.spectral[pos];
}

std::array<std::array<std::array<GlyphStyle, 2>, 12>, kPlanetRows> GlyphStyles::default_styles() {
    std::array<std::array<std::array<GlyphStyle, 2>, 12>, kPlanetRows> s{};
    for (int p = 0; p < 15; ++p)
        for (int sign = 0; sign < 12; ++sign)
            for (int r = 0; r < 2; ++r)
                s[static_cast<std::size_t>(p)][static_cast<std::size_t>(sign)][static_cast<std::size_t>(r)] =
                    base_glyph(p, r == 1, sign);
    // Gulika, Mandi and Arudha have no rule of their own: they wear the Part of Fortune.
    const GlyphStyle fortune = s[kFortune][0][0];
    for (int p = 15; p < kPlanetRows; ++p)
        for (auto& sign : s[static_cast<std::size_t>(p)]) sign = {fortune, fortune};
    return s;
}

std::array<Argb, kPlanetRows> GlyphStyles::default_planet_colours() {
    std::array<Argb, kPlanetRows> c{};
    for (int p = 0; p < kPlanetRows; ++p)
        c[static_cast<std::size_t>(p)] = base_glyph(p < 15 ? p : kFortune, false, 0).brush_colour;
    return c;
}

std::array<std::array<HouseHalo, 12>, kPlanetRows> HouseHalos::default_halos() {
    // House n + 1 is read like sign n: dignity signs get a red border, debilities green.
    std::array<std::array<HouseHalo, 12>, kPlanetRows> h{};
    for (int p = 0; p < 15; ++p) {
        for (int house = 0; house < 12; ++house) {
            Dignity d = dignity_of(p, house);
            if (d == Dignity::None) continue;
            bool good = d == Dignity::Domicile || d == Dignity::Exaltation;
            h[static_cast<std::size_t>(p)][static_cast<std::size_t>(house)] =
                HouseHalo{1, 0x32FFFFFF, good ? 0x32FF0000u : 0x3200FF00u, 3.0f};
        }
    }
    return h;
}

MyCity default_my_city() {
    MyCity c;
    c.place.city = "Washington";
    c.place.longitude = parsed_angle("5h08'08.00\"W");
    c.place.latitude = parsed_angle("38d54'00.01\"N");
    c.place.time_zone = -1;
    return c;
}

std::array<ExaltationRow, kPlanetRows> ExaltationTable::default_rows() {
    struct Row {
        int planet;
        double exaltation_deg;
        Argb exaltation_colour, debilitation_colour;
    };
    static constexpr std::array<Row, 12> kRows{{
        // planet     exaltation  exaltation colour  debilitation colour
        {kSun, 19, 0x96FFFF00, 0x96FFFFA8},
        {kMoon, 33, 0x96FFFFFF, 0x96D6D6D6},
        {kMercury, 165, 0x96808080, 0x96C8C8C8},
        {kVenus, 357, 0x9600FF00, 0x96CAFFCA},
        {kMars, 298, 0x96FF0000, 0x96FF9F9F},
        {kJupiter, 105, 0x960000FF, 0x96A6A6FF},
        {kSaturn, 201, 0x96804000, 0x96FFA042},
        {kRahu, 45, 0x96FF0080, 0x96FF9FCF},
        {kKethu, 225, 0x96800080, 0x96FF3EFF},
        {kUranus, 249, 0x96008000, 0x96808040},
        {kNeptune, 138, 0x960080C0, 0x9600FFFF},
        {kPluto, 108, 0x96C20000, 0x96FF6464},
    }};
    std::array<ExaltationRow, kPlanetRows> rows{};
    for (const Row& r : kRows) {
        double stored = r.exaltation_deg + 180.0;
        if (stored >= 360.0) stored -= 360.0;
        rows[static_cast<std::size_t>(r.planet)] =
            ExaltationRow{static_cast<std::int8_t>(r.planet), AngleValue::degrees(stored), r.debilitation_colour,
                          r.exaltation_colour};
    }
    return rows;
}

DateHour ExaltationTable::default_zero_date() { return parsed_date("222-03-13 15:19:32.89 JD"); }

DateHour DasaTable::default_zero_date() { return parsed_date("-134-02-03 12:00:00.00 JD"); }

NakshatraTable default_nakshatra_table() {
    struct Row {
        const char* name;
        int lord;
        Str meaning;
    };
    static constexpr std::array<Row, kNakshatraCount> kRows{{
        {"Ashwini", kKethu, Str::NakshatraMeaning0},
        {"Bharani", kVenus, Str::NakshatraMeaning1},
        {"Krittika", kSun, Str::NakshatraMeaning2},
        {"Rohini", kMoon, Str::NakshatraMeaning3},
        {"Mrigashira", kMars, Str::NakshatraMeaning4},
        {"Arudra", kRahu, Str::NakshatraMeaning5},
        {"Punarvasu", kJupiter, Str::NakshatraMeaning6},
        {"Pushya", kSaturn, Str::NakshatraMeaning7},
        {"Aslesha", kMercury, Str::NakshatraMeaning8},
        {"Magha", kKethu, Str::NakshatraMeaning9},  // ---------- 10
        {"Purva Phalguni", kVenus, Str::NakshatraMeaning10},
        {"Uttara Phalguni", kSun, Str::NakshatraMeaning11},
        {"Hasta", kMoon, Str::NakshatraMeaning12},
        {"Chitra", kMars, Str::NakshatraMeaning13},
        {"Swati", kRahu, Str::NakshatraMeaning14},
        {"Vishakha", kJupiter, Str::NakshatraMeaning15},
        {"Anuradha", kSaturn, Str::NakshatraMeaning16},
        {"Jyeshtha", kMercury, Str::NakshatraMeaning17},
        {"Mula", kKethu, Str::NakshatraMeaning18},
        {"Purvashada", kVenus, Str::NakshatraMeaning19},  // ---------- 20
        {"Uttarashada", kSun, Str::NakshatraMeaning20},
        {"Shravana", kMoon, Str::NakshatraMeaning21},
        {"Dhanishtha", kMars, Str::NakshatraMeaning22},
        {"Shatabisha", kRahu, Str::NakshatraMeaning23},
        {"Purva Bhadrapada", kJupiter, Str::NakshatraMeaning24},
        {"Uttara Bhadrapada", kSaturn, Str::NakshatraMeaning25},
        {"Revati", kMercury, Str::NakshatraMeaning26},
    }};
    auto colour_of = [](int lord) -> Argb {
        switch (lord) {
            case kKethu: return 0x64800080;
            case kVenus: return 0x6400FF00;
            case kSun: return 0x64FFFF00;
            case kMoon: return 0x64FFFFFF;
            case kMars: return 0x64FF0000;
            case kRahu: return 0x64FF0080;
            case kJupiter: return 0x640000FF;
            case kSaturn: return 0x64804000;
            case kMercury: return 0x64808080;
            default: return 0;
        }
    };
    NakshatraTable t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        t[i] = Nakshatra{static_cast<std::uint8_t>(i), static_cast<std::int8_t>(kRows[i].lord), kRows[i].name,
                         str(kRows[i].meaning), colour_of(kRows[i].lord)};
    }
    return t;
}

NaturalRelationships default_natural_relationships() {
    // Rows and columns Sun, Moon, Mercury, Venus, Mars, Jupiter, Saturn, Rahu, Kethu.
    static constexpr std::array<int, 9> kPlanets{kSun, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kRahu, kKethu};
    static constexpr std::int8_t kTable[9][9] = {
        //  Sun Moo Mer Ven Mar Jup Sat Rah Ket
        {3, 1, 0, -1, 1, 1, -1, -1, -1},    // Sun
        {1, 3, 1, 0, 0, 0, 0, -1, -1},      // Moon
        {1, -1, 3, 1, 0, 0, 0, 0, 0},       // Mercury
        {-1, -1, 1, 3, 0, 0, 1, 1, 1},      // Venus
        {1, 1, -1, 0, 3, 1, 0, -1, 1},      // Mars
        {1, 1, -1, -1, 1, 3, 0, 1, 0},      // Jupiter
        {-1, -1, 1, 1, -1, 0, 3, 1, -1},    // Saturn
        {-1, -1, 1, 1, -1, 0, 1, 3, -1},    // Rahu
        {1, 1, 0, -1, 1, 0, -1, -1, 3},     // Kethu
    };
    NaturalRelationships r;
    for (std::size_t i = 0; i < r.size(); ++i)
        for (std::size_t j = 0; j < r.size(); ++j) r[i][j] = i == j ? 3 : kNoRelationship;
    for (std::size_t i = 0; i < kPlanets.size(); ++i)
        for (std::size_t j = 0; j < kPlanets.size(); ++j)
            r[static_cast<std::size_t>(kPlanets[i])][static_cast<std::size_t>(kPlanets[j])] = kTable[i][j];
    return r;
}

AstroSettings Options::default_astro() {
    AstroSettings a;
    a.zero_date = parsed_date("-134-02-03 12:00:00.00 JD");
    return a;
}

std::array<FontSetting, kFontCount> Options::default_fonts(int pixels_per_inch) {
    // Windows' MulDiv(9, ppi, 72) rounds half away from zero.
    const int height = -((9 * pixels_per_inch + 36) / 72);
    FontSetting base;
    base.font.height = height;
    base.font.face_name = "Courier New";
    base.size_points = 9;
    std::array<FontSetting, kFontCount> f{base, base, base, base, base};
    f[kFontGlobal].colour = 0x000000;  // the system window-text colour
    f[kFontTitle].font.weight = 700;
    f[kFontTitle].font.underline = 1;
    f[kFontTitle].colour = 0x800080;
    f[kFontEclipse].colour = 0x0000FF;  // red as a COLORREF
    f[kFontTooltips].size_points = 8;
    return f;
}

}  // namespace tellurim
