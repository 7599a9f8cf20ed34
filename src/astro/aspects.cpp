#include "astro/aspects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fmt/format.h>

#include "sky/spherical.h"
#include "base/text.h"

namespace tellurim {
namespace {

// A difference from the nominal angle equal to the orb holds. The separation comes through
// cosines and an arc tangent, so two points exactly 94 degrees apart may come out a few
// 1e-14 degrees further; this margin keeps such a case on the "equal" side without letting
// any measurable excess through.
constexpr double kOrbMarginDeg = 1e-9;

AspectDef default_row(Str name, double angle, double orb, std::uint32_t colour, std::int32_t pen, bool draw,
                      bool show_information) {
    AspectDef a;
    a.draw = draw;
    a.name = str(name);
    a.angle = AngleValue::degrees(angle);
    a.orb = AngleValue::degrees(orb);
    a.colour = colour;
    a.pen_size = 1.5f;
    a.pen_type = pen;
    a.more_opaque = true;
    a.show_information = show_information;
    a.hot_spot_size = 2.0f;
    return a;
}

// A typed angle: an angle text, or a plain number of degrees.
std::optional<double> field_degrees(const std::string& text_) {
    auto a = parse_angle(trim(text_));
    if (!a || !a->is_finite()) return std::nullopt;
    double deg = a->unit == kUnitNone ? a->value : a->to_degrees();
    if (!std::isfinite(deg)) return std::nullopt;
    return deg;
}

// The great-circle distance in radians: the arc cosine of c, exact at 1, -1 and 0, and
// otherwise the arc tangent of sqrt(1 - c^2) / c placed in [0, pi], which keeps its precision
// for small separations where acos loses half the digits.
double separation_radians(double c) {
    if (c == 1.0) return 0.0;
    if (c == -1.0) return kPi;
    if (c == 0.0) return kHalfPi;
    double d = std::atan(std::sqrt(1.0 - c * c) / c);
    if (d < 0.0) d += kPi;
    if (d > kPi) d = kTwoPi - d;
    return d;
}

bool usable_longitude(const AngleValue& a) { return a.is_finite() && a.unit != kUnitNone; }
bool usable_latitude(const AngleValue& a) { return a.is_finite() && a.unit != kUnitNone; }

const std::vector<AspectDef>& rows_in_force(const Horoscope& h) {
    if (h.aspect_table) return h.aspect_table->rows;
    static const std::vector<AspectDef> defaults = default_aspect_rows();
    return defaults;
}

// A point with the sine and cosine of its latitude, taken once for every pair and row it
// joins; not usable when a coordinate is undefined or has no unit. The chart's steps also
// take the sine and cosine of the longitude, for the quick look at each pair.
struct SkyPoint {
    bool usable = false;
    double lon = 0.0;  // radians
    double cos_lat = 1.0;
    double sin_lat = 0.0;
    double cos_lon = 1.0;
    double sin_lon = 0.0;
};

SkyPoint sky_point(const AngleValue& lon, const AngleValue& lat) {
    SkyPoint p;
    if (!usable_longitude(lon) || !usable_latitude(lat)) return p;
    p.usable = true;
    p.lon = lon.to_radians();
    const double b = lat.to_radians();
    if (b != 0.0) {  // at latitude 0 (every cusp) the cosine and sine are exactly 1 and 0
        p.cos_lat = std::cos(b);
        p.sin_lat = std::sin(b);
    }
    return p;
}

SkyPoint chart_point(const AngleValue& lon, const AngleValue& lat) {
    SkyPoint p = sky_point(lon, lat);
    if (p.usable) {
        p.cos_lon = std::cos(p.lon);
        p.sin_lon = std::sin(p.lon);
    }
    return p;
}

// The great-circle distance of two usable points, radians.
double separation(const SkyPoint& a, const SkyPoint& b) {
    const double c = std::cos(a.lon - b.lon) * a.cos_lat * b.cos_lat + a.sin_lat * b.sin_lat;
    return separation_radians(std::clamp(c, -1.0, 1.0));
}

// The cosines of the separations at which a row may hold, widened far beyond any rounding
// (the separation's own, and the gap between the quick cosine below and the exact one, are
// near 1e-15). A pair whose quick cosine lies in no band makes no aspect and needs no arc
// tangent; one that does is tested against the rows of its bands only.
struct CosineBand {
    std::size_t row;
    double low;
    double high;
    double angle_deg;  // the row's, taken once
    double orb_deg;
};
constexpr double kBandSlack = 1e-9;

std::vector<CosineBand> make_cosine_bands(const std::vector<AspectDef>& rows) {
    std::vector<CosineBand> bands;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const AspectDef& r = rows[i];
        if (!has_usable_angle_and_orb(r)) continue;
        const double orb = r.orb.to_degrees();
        const double width = orb + kOrbMarginDeg;
        const double angle = r.angle.to_degrees();
        if (std::fabs(angle) > 360.0) {  // the test subtracts such an angle before reducing it: no quick look
            bands.push_back({i, -kInfinity, kInfinity, angle, orb});
            continue;
        }
        const double a = reduce_degrees(angle);
        for (double centre : {a - 360.0, a, a + 360.0}) {
            const double from = std::max(centre - width, 0.0);
            const double to = std::min(centre + width, 180.0);
            if (from > to) continue;
            bands.push_back({i, std::cos(degrees_to_radians(to)) - kBandSlack,
                             std::cos(degrees_to_radians(from)) + kBandSlack, angle, orb});
        }
    }
    return bands;
}

// The bands of the table last used on this thread, kept with the angles and orbs they come from:
// a chart's two aspect steps, and the charts after it, use the same table.
const std::vector<CosineBand>& cosine_bands(const std::vector<AspectDef>& rows) {
    struct Cache {
        std::vector<std::pair<AngleValue, AngleValue>> key;
        std::vector<CosineBand> bands;
    };
    thread_local Cache cache;
    const auto same = [&rows](const std::vector<std::pair<AngleValue, AngleValue>>& key) {
        if (key.size() != rows.size()) return false;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!(key[i].first == rows[i].angle) || !(key[i].second == rows[i].orb)) return false;
        return true;
    };
    if (cache.key.empty() || !same(cache.key)) {
        cache.key.clear();
        for (const AspectDef& r : rows) cache.key.emplace_back(r.angle, r.orb);
        cache.bands = make_cosine_bands(rows);
    }
    return cache.bands;
}

// The cosine of the separation of two chart points from their sines and cosines, without a
// trigonometric call.
double quick_cosine(const SkyPoint& a, const SkyPoint& b) {
    const double cos_dlon = a.cos_lon * b.cos_lon + a.sin_lon * b.sin_lon;
    return cos_dlon * a.cos_lat * b.cos_lat + a.sin_lat * b.sin_lat;
}

// Row `r`, of nominal angle and orb `angle_deg` and `orb_deg`, against a separation of `d`
// radians.
AspectTest test_usable_separation(const AspectDef& r, double angle_deg, double orb_deg, double d) {
    AspectTest t;
    t.separation = AngleValue::radians(d);
    double diff = reduce_degrees(radians_to_degrees(d) - angle_deg);
    if (diff > 180.0) diff = 360.0 - diff;
    t.holds = diff <= orb_deg + kOrbMarginDeg;
    if (t.holds) t.opacity = aspect_opacity(r, std::min(diff, orb_deg));
    return t;
}
AspectTest test_separation(const AspectDef& r, double angle_deg, double orb_deg, double d) {
    return has_usable_angle_and_orb(r) ? test_usable_separation(r, angle_deg, orb_deg, d) : AspectTest{};
}

// Calls `found(row, test)` for every row that holds between two chart points, in table order.
template <typename Found>
void each_aspect(const std::vector<AspectDef>& rows, const std::vector<CosineBand>& bands, const SkyPoint& a,
                 const SkyPoint& b, Found found) {
    const double c = quick_cosine(a, b);
    double d = -1.0;  // the separation, once a band asks for it
    std::size_t tested = rows.size();
    for (const CosineBand& band : bands) {
        if (c < band.low || c > band.high || band.row == tested) continue;
        tested = band.row;
        if (d < 0.0) d = separation(a, b);
        // the bands hold usable rows only
        const AspectTest t = test_usable_separation(rows[band.row], band.angle_deg, band.orb_deg, d);
        if (t.holds) found(rows[band.row], t);
    }
}

}  // namespace

std::vector<AspectDef> default_aspect_rows() {
    return {
        default_row(Str::AspectConjunction, 0.0, 10.0, 0xFFFFFFFF, kPenSolid, false, false),
        default_row(Str::AspectSextil, 60.0, 4.0, 0xFF0000FF, kPenSolid, true, true),
        default_row(Str::AspectSquare, 90.0, 4.0, 0xFFFF0000, kPenDash, true, true),
        default_row(Str::AspectTrine, 120.0, 4.0, 0xFF0000FF, kPenSolid, true, true),
        default_row(Str::AspectOpposition, 180.0, 5.0, 0xFF000000, kPenDot, true, true),
    };
}

void sort_aspect_rows(std::vector<AspectDef>& rows) {
    // A row whose angle cannot be used (no unit, not a number) goes last, so that the order
    // stays strict whatever the file held.
    auto key = [](const AspectDef& a) { return has_usable_angle_and_orb(a) ? a.angle.to_degrees() : kInfinity; };
    std::stable_sort(rows.begin(), rows.end(), [&key](const AspectDef& x, const AspectDef& y) { return key(x) < key(y); });
}

bool has_usable_angle_and_orb(const AspectDef& a) {
    return a.angle.is_angle() && a.orb.is_angle() && std::isfinite(a.angle.to_degrees()) &&
           std::isfinite(a.orb.to_degrees());
}

void write_aspect(ByteWriter& out, const AspectDef& a) {
    const std::size_t start = out.size();
    out.u8(a.draw ? 1 : 0);
    out.pad(1);
    out.utf16_fixed_utf8(a.name, kAspectNameUnits);
    out.pad(2);
    write_angle(out, a.angle);
    write_angle(out, a.orb);
    out.u32(a.colour);
    out.f32(a.pen_size);
    out.i32(a.pen_type);
    out.u8(a.more_opaque ? 1 : 0);
    out.u8(a.show_information ? 1 : 0);
    out.pad(2);
    out.f32(a.hot_spot_size);
    out.pad_to(start + kAspectRecordSize);
}

AspectDef read_aspect(ByteReader& in) {
    AspectDef a;
    a.draw = in.u8() != 0;
    in.skip(1);
    a.name = in.utf16_fixed_utf8(kAspectNameUnits);
    in.skip(2);
    a.angle = read_angle(in);
    a.orb = read_angle(in);
    a.colour = in.u32();
    a.pen_size = in.f32();
    a.pen_type = in.i32();
    a.more_opaque = in.u8() != 0;
    a.show_information = in.u8() != 0;
    in.skip(2);
    a.hot_spot_size = in.f32();
    in.skip(4);
    return a;
}

std::vector<std::uint8_t> write_aspect_image(const std::vector<AspectDef>& rows) {
    ByteWriter out(rows.size() * kAspectRecordSize);
    for (const AspectDef& a : rows) write_aspect(out, a);
    return out.take();
}

std::optional<std::vector<AspectDef>> read_aspect_image(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() % kAspectRecordSize != 0) return std::nullopt;
    ByteReader in(bytes);
    std::vector<AspectDef> rows;
    while (in.ok() && in.remaining() >= kAspectRecordSize) {
        ByteReader record = in.sub(kAspectRecordSize);
        // A row whose angle or orb cannot be used is kept as it is, so that the next save
        // writes it back; it never holds (test_aspect).
        AspectDef a = read_aspect(record);
        if (record.ok()) rows.push_back(std::move(a));
    }
    if (rows.empty()) return std::nullopt;
    return rows;
}

const AspectDef* aspect_row(const AspectTable& table, std::size_t position) {
    return position < table.rows.size() ? &table.rows[position] : nullptr;
}

std::string_view pen_type_name(std::int32_t type) {
    switch (type) {
        case kPenSolid: return text(Str::PenSolid);
        case kPenDash: return text(Str::PenDash);
        case kPenDot: return text(Str::PenDot);
        case kPenDashDot: return text(Str::PenDashDot);
        case kPenDashDotDot: return text(Str::PenDashDotDot);
        default: return text(Str::PenUnknown);
    }
}

std::int32_t pen_type_from_name(std::string_view name) {
    for (std::int32_t t = kPenSolid; t <= kPenDashDotDot; ++t)
        if (name == pen_type_name(t)) return t;
    return kPenUnknown;
}

int aspect_opacity(const AspectDef& r, double diff_deg) {
    double alpha = static_cast<double>(r.colour >> 24);
    const double orb = r.orb.to_degrees();
    if (orb != 0.0 && r.more_opaque) {
        alpha *= 1.0 - diff_deg / orb;
        if (alpha <= 30.0) alpha = 40.0;
    }
    return static_cast<int>(alpha);
}

AspectTest test_aspect(const AspectDef& r, const AngleValue& lon_a, const AngleValue& lat_a,
                       const AngleValue& lon_b, const AngleValue& lat_b) {
    const SkyPoint a = sky_point(lon_a, lat_a);
    const SkyPoint b = sky_point(lon_b, lat_b);
    if (!a.usable || !b.usable || !has_usable_angle_and_orb(r)) return AspectTest{};
    return test_separation(r, r.angle.to_degrees(), r.orb.to_degrees(), separation(a, b));
}

AspectTest test_aspect_cusp(const AspectDef& r, const AngleValue& lon, const AngleValue& lat,
                            const AngleValue& cusp_longitude) {
    if (!cusp_longitude.is_finite() || cusp_longitude.unit == kUnitNone) return AspectTest{};
    return test_aspect(r, lon, lat, cusp_longitude, AngleValue::degrees(0.0));
}

AspectFields aspect_fields(const AspectDef& row) {
    AspectFields f;
    f.name = row.name;
    f.degrees = format_angle(AngleValue::degrees(row.angle.to_degrees()));
    f.orb = format_angle(AngleValue::degrees(row.orb.to_degrees()));
    f.colour = row.colour;
    f.pen_size = fmt::format("{}", row.pen_size);
    f.hot_spot_size = fmt::format("{}", row.hot_spot_size);
    f.pen_type = row.pen_type == kPenUnknown ? std::string() : std::string(pen_type_name(row.pen_type));
    f.draw = row.draw;
    f.more_opaque = row.more_opaque;
    f.show_information = row.show_information;
    return f;
}

AspectCheck check_aspect_fields(const AspectFields& f) {
    AspectCheck c;
    auto fail = [&c](AspectField field, Str message) {
        c.failed = field;
        c.message = message;
        return c;
    };
    c.row.name = truncate_utf16_units(f.name, kAspectNameUnits);

    auto angle = field_degrees(f.degrees);
    if (!angle || *angle < 0.0 || *angle > 180.0) return fail(AspectField::Degrees, Str::AspectBadAngle);
    c.row.angle = AngleValue::degrees(*angle);

    auto orb = field_degrees(f.orb);
    if (!orb || *orb <= 0.0 || *orb > 180.0) return fail(AspectField::Orb, Str::AspectBadOrb);
    c.row.orb = AngleValue::degrees(*orb);

    c.row.colour = f.colour;

    auto pen_size = parse_decimal(trim(f.pen_size));
    if (!pen_size || *pen_size <= 0.0) return fail(AspectField::PenSize, Str::AspectBadPenSize);
    c.row.pen_size = static_cast<float>(*pen_size);

    auto hot_spot = parse_decimal(trim(f.hot_spot_size));
    if (!hot_spot || *hot_spot <= 0.0) return fail(AspectField::HotSpotSize, Str::AspectBadHotSpot);
    c.row.hot_spot_size = static_cast<float>(*hot_spot);

    c.row.pen_type = pen_type_from_name(trim(f.pen_type));
    if (c.row.pen_type == kPenUnknown) return fail(AspectField::PenType, Str::AspectBadPenType);

    c.row.draw = f.draw;
    c.row.more_opaque = f.more_opaque;
    c.row.show_information = f.show_information;
    return c;
}

bool planet_takes_aspects(const DrawingOptions& d, int planet) {
    if (planet < 0 || planet >= kPlanetRows) return false;
    if ((d.planets_mode & 1u) == 0) return false;
    const std::uint32_t bit = 1u << planet;
    return (d.planets_masks_1[0] & bit) != 0 && (d.planets_masks_1[1] & bit) != 0;
}

// The points of the planets that join the chart's aspects; the others are not usable.
std::array<SkyPoint, kPlanetRows> aspect_planets(const Horoscope& h) {
    std::array<SkyPoint, kPlanetRows> points{};
    for (int p = 0; p < kPlanetRows; ++p) {
        const PlanetPosition& pp = h.geo_movable.at(p);
        if (pp.index >= 0 && planet_takes_aspects(h.options.drawing, p))
            points[static_cast<std::size_t>(p)] = chart_point(pp.longitude, pp.latitude);
    }
    return points;
}

bool find_planet_aspects(Horoscope& h) {
    h.aspects.clear();
    h.aspects.reserve(32);
    const std::vector<AspectDef>& rows = rows_in_force(h);
    const std::vector<CosineBand>& bands = cosine_bands(rows);
    const auto points = aspect_planets(h);
    for (int a = 0; a < kPlanetRows; ++a) {
        const SkyPoint& pa = points[static_cast<std::size_t>(a)];
        if (!pa.usable) continue;
        for (int b = a + 1; b < kPlanetRows; ++b) {
            const SkyPoint& pb = points[static_cast<std::size_t>(b)];
            if (!pb.usable) continue;
            each_aspect(rows, bands, pa, pb, [&](const AspectDef& r, const AspectTest& t) {
                h.aspects.push_back({a, b, r.name, r.angle.to_degrees(), r.orb.to_degrees(),
                                     t.separation.to_degrees(), t.opacity});
            });
        }
    }
    return true;
}

bool find_house_aspects(Horoscope& h) {
    h.house_aspects.clear();
    h.house_aspects.reserve(64);
    const std::vector<AspectDef>& rows = rows_in_force(h);
    const std::vector<CosineBand>& bands = cosine_bands(rows);
    const auto points = aspect_planets(h);
    std::array<SkyPoint, kHouseCount> cusps{};
    for (std::size_t i = 0; i < cusps.size(); ++i) {
        const HouseCusp& cusp = h.houses_movable[i];
        if (cusp.index >= 0) cusps[i] = chart_point(cusp.longitude, AngleValue::degrees(0.0));
    }
    for (int p = 0; p < kPlanetRows; ++p) {
        const SkyPoint& pp = points[static_cast<std::size_t>(p)];
        if (!pp.usable) continue;
        for (int house = 1; house <= kHouseCount; ++house) {
            const SkyPoint& pc = cusps[static_cast<std::size_t>(house - 1)];
            if (!pc.usable) continue;
            each_aspect(rows, bands, pp, pc, [&](const AspectDef& r, const AspectTest& t) {
                h.house_aspects.push_back(
                    {p, house, r.name, r.angle.to_degrees(), r.orb.to_degrees(), t.separation.to_degrees()});
            });
        }
    }
    return true;
}

AspectQuery get_aspects_pp(const Horoscope* h, const AspectTable& table, int np1, int np2) {
    AspectQuery q;
    if (!h) return q;
    if (np1 < 0 || np1 >= kPlanetRows) {
        q.error = Str::AspectScriptParam1;
        return q;
    }
    if (np2 < 0 || np2 >= kPlanetRows) {
        q.error = Str::AspectScriptParam2;
        return q;
    }
    if (np1 == np2) {
        q.error = Str::AspectScriptSamePlanet;
        return q;
    }
    q.ok = true;
    const PlanetPosition& a = h->geo_movable.at(np1);
    const PlanetPosition& b = h->geo_movable.at(np2);
    for (const AspectDef& r : table.rows) {
        AspectTest t = test_aspect(r, a.longitude, a.latitude, b.longitude, b.latitude);
        if (t.holds) q.aspects.push_back({r.name, r.angle.to_degrees(), r.orb.to_degrees(), t.separation.to_degrees()});
    }
    return q;
}

AspectQuery get_aspects_ph(const Horoscope* h, const AspectTable& table, int np, int nh) {
    AspectQuery q;
    if (!h) return q;
    if (np < 0 || np >= kPlanetRows) {
        q.error = Str::AspectScriptPlanet;
        return q;
    }
    if (nh < 1 || nh > kHouseCount) {
        q.error = Str::AspectScriptHouse;
        return q;
    }
    q.ok = true;
    const PlanetPosition& p = h->geo_movable.at(np);
    const HouseCusp& cusp = h->houses_movable[static_cast<std::size_t>(nh - 1)];
    if (cusp.index < 0) return q;
    for (const AspectDef& r : table.rows) {
        AspectTest t = test_aspect_cusp(r, p.longitude, p.latitude, cusp.longitude);
        if (t.holds) q.aspects.push_back({r.name, r.angle.to_degrees(), r.orb.to_degrees(), t.separation.to_degrees()});
    }
    return q;
}

}  // namespace tellurim
