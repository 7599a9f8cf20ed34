#include "draw/wheel_painter.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QSemaphore>
#include <QString>
#include <QThread>
#include <QThreadPool>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <utility>

#include "astro/planets_signs.h"
#include "base/strings.h"
#include "draw/glyph_paths.h"

namespace tellurim {
namespace {

constexpr double kToDegrees = 57.29577951308232;

QColor qcolour(Argb c) { return QColor::fromRgba(c); }
QPointF qpoint(const WheelPoint& p) { return {p.x, p.y}; }
QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

Qt::PenStyle pen_style(int type) {
    switch (type) {
        case 1: return Qt::DashLine;
        case 2: return Qt::DotLine;
        case 3: return Qt::DashDotLine;
        case 4: return Qt::DashDotDotLine;
        default: return Qt::SolidLine;
    }
}

// A LOGFONT's height in pixels: a negative height is the em size, a positive one the cell.
QFont qfont(const LogFont& f, double fallback_px) {
    QFont font(qtext(f.face_name));
    const double px = f.height != 0 ? std::abs(f.height) : fallback_px;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    font.setWeight(f.weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(f.italic != 0);
    return font;
}

constexpr double kFontReferenceSide = 800.0;
constexpr double kMinFontScale = 0.6;
constexpr double kMaxFontScale = 3.0;

QRectF circle_box(double cx, double cy, double r) { return {cx - r, cy - r, 2 * r, 2 * r}; }

// The closed sector between the inner and outer circle from angle a1 to a2.
QPainterPath sector_path(double cx, double cy, const WheelSector& s) {
    const double ro = s.inner + s.width;
    QPainterPath p;
    p.moveTo(qpoint(wheel_polar(cx, cy, s.inner, s.a2)));
    p.lineTo(qpoint(wheel_polar(cx, cy, ro, s.a2)));
    p.arcTo(circle_box(cx, cy, ro), s.a2 * kToDegrees, (s.a1 - s.a2) * kToDegrees);
    p.lineTo(qpoint(wheel_polar(cx, cy, s.inner, s.a1)));
    p.arcTo(circle_box(cx, cy, s.inner), s.a1 * kToDegrees, (s.a2 - s.a1) * kToDegrees);
    p.closeSubpath();
    return p;
}

// The colour at `factor` of the way from `from` to `to`, blended in linear light (gamma 2.2),
// as a gamma-corrected gradient blends.
QColor blend_linear(QColor from, QColor to, double factor) {
    auto mix = [factor](double a, double b) {
        const double la = std::pow(a, 2.2), lb = std::pow(b, 2.2);
        return static_cast<float>(std::pow(la + factor * (lb - la), 1.0 / 2.2));
    };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()), mix(from.blueF(), to.blueF()),
                            static_cast<float>(from.alphaF() + factor * (to.alphaF() - from.alphaF())));
}

// The path shrunk by `k` towards `centre`.
QPainterPath scaled_about(const QPainterPath& path, QPointF centre, double k) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(k, k);
    t.translate(-centre.x(), -centre.y());
    return t.map(path);
}

// A plain fill, or a path gradient from the sector's middle: the colour at the middle and the
// surrounding colour on the outline, a point's blend position being how far it lies from the
// outline towards the middle. Blend factors 0, 0.25, 0.5, 0.75 at positions 0, 0.05, 0.10,
// 0.15 and 1 from 0.20 on: the colour fills the inner four fifths and fades out over the
// outer fifth, which is painted as bands between shrunk copies of the outline.
void fill_sector(QPainter& g, double cx, double cy, const WheelSector& s, QColor colour, QColor surround,
                 bool gradient) {
    const QPainterPath path = sector_path(cx, cy, s);
    if (!gradient) {
        g.fillPath(path, colour);
        return;
    }
    const QPointF mid = qpoint(wheel_polar(cx, cy, s.mid_radius(), s.mid_angle()));
    constexpr double kFade = 0.20;  // the outer fifth
    constexpr int kBands = 12;
    g.fillPath(scaled_about(path, mid, 1.0 - kFade), colour);
    for (int i = 0; i < kBands; ++i) {
        const double outer = 1.0 - kFade * i / kBands;
        const double inner = 1.0 - kFade * (i + 1) / kBands;
        const double position = kFade * (i + 0.5) / kBands;
        QPainterPath band = scaled_about(path, mid, outer);
        band.addPath(scaled_about(path, mid, inner));
        band.setFillRule(Qt::OddEvenFill);
        g.fillPath(band, blend_linear(surround, colour, std::min(1.0, position / kFade)));
    }
}

void stroke_path_in_box(QPainter& g, const QPainterPath& path, QPointF centre, double half_side, QColor colour) {
    if (path.isEmpty() || half_side <= 0.0) return;
    g.save();
    g.translate(centre);
    g.scale(half_side, half_side);
    QPen pen(colour);
    pen.setWidthF(std::max(1.0, half_side / 7.0) / half_side);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    g.setPen(pen);
    g.setBrush(Qt::NoBrush);
    g.drawPath(path);
    g.restore();
}

void draw_centred_text(QPainter& g, QPointF centre, const QString& t, const QFont& font, QColor colour) {
    g.setFont(font);
    g.setPen(colour);
    const QFontMetricsF fm(font, g.device());
    const QRectF r = fm.boundingRect(t);
    g.drawText(QRectF(centre.x() - r.width(), centre.y() - r.height(), 2 * r.width(), 2 * r.height()),
               Qt::AlignCenter, t);
}

void draw_circle(QPainter& g, double cx, double cy, double r) {
    if (r > 0.0) g.drawEllipse(QPointF(cx, cy), r, r);
}

// Relative luminance, 0 (black) to 1 (white).
double luminance(const QColor& c) { return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF(); }

// A colour that stands out on `background`: `c` itself when it differs enough in lightness
// (the Sun's yellow on white does not; the Moon's default colour is the background's own),
// otherwise black on a light background and white on a dark one.
QColor contrasting(const QColor& c, const QColor& background) {
    constexpr double kMinDifference = 0.3;
    const double lb = luminance(background);
    if (std::fabs(luminance(c) - lb) >= kMinDifference) return c;
    return lb > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

// The halos' radii beyond the glyph, in units of its size: the house's halo rings the sign's.
constexpr double kStyleHaloScale = 1.15;
constexpr double kHouseHaloScale = 1.3;

// A halo behind a glyph: a disc fading from its centre colour to its border colour.
void draw_halo(QPainter& g, QPointF centre, double radius, Argb centre_colour, Argb border_colour) {
    if (radius <= 0.0) return;
    QRadialGradient grad(centre, radius);
    grad.setColorAt(0.0, qcolour(centre_colour));
    grad.setColorAt(1.0, qcolour(border_colour));
    g.setPen(Qt::NoPen);
    g.setBrush(grad);
    g.drawEllipse(centre, radius, radius);
}

// The filled outline of a planet's glyph of half-side `half_side`, centred on the origin: its
// strokes widened and their overlaps merged. Merging is the dearest step of a wheel's painting,
// and a chart's glyphs come in a few sizes only, so the shapes are kept (for the sizes of the
// last few wheels: the cache starts again when it holds a thousand).
QPainterPath glyph_shape(int planet, double half_side) {
    static std::mutex mutex;
    static std::map<std::pair<int, double>, QPainterPath> shapes;
    const std::lock_guard lock(mutex);
    auto [it, added] = shapes.try_emplace({planet, half_side});
    if (added) {
        if (shapes.size() > 1000) {
            shapes.clear();
            it = shapes.try_emplace({planet, half_side}).first;
        }
        QTransform t;
        t.scale(half_side, half_side);
        QPainterPathStroker stroker;
        stroker.setWidth(std::max(1.5, half_side / 4.5));
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        it->second = stroker.createStroke(t.map(planet_glyph_path(planet))).simplified();
    }
    return it->second;
}

// A planet glyph in its style: the outline's strokes widened into a shape that is filled with
// the style's brush and outlined with its pen; the halos behind it, the house's first.
void draw_planet_glyph(QPainter& g, int planet, QPointF centre, double half_side, const GlyphStyle& style,
                       const HouseHalo* house_halo, bool halos, const QColor& background) {
    if (half_side <= 0.0) return;
    if (halos && house_halo && house_halo->on)
        draw_halo(g, centre, kHouseHaloScale * half_side + house_halo->size, house_halo->centre, house_halo->border);
    if (halos && style.halo_on)
        draw_halo(g, centre, kStyleHaloScale * half_side + style.halo_size, style.halo_centre, style.halo_border);
    const QPainterPath shape = glyph_shape(planet, half_side).translated(centre);
    // The outline always stands out on the background, whatever the glyph's colours.
    QPen pen(contrasting(qcolour(style.pen_colour), background));
    pen.setWidthF(std::clamp(static_cast<double>(style.pen_size) * half_side / 30.0, 0.75, 2.0));
    g.setPen(pen);
    g.setBrush(qcolour(style.brush_colour));
    g.drawPath(shape);
}

int sign_of(double lon_rad) {
    const int s = static_cast<int>(std::floor(lon_rad / (std::numbers::pi / 6.0)));
    return ((s % 12) + 12) % 12;
}

void draw_planets(QPainter& g, const WheelLayout& l, const WheelRing& ring, const WheelRotation& rot,
                  const WheelChart& chart, const Options& o, const WheelStyle& st, std::vector<WheelHotSpot>* spots,
                  bool outside_chart) {
    const QColor background = qcolour(o.colours.drawing_background);
    // A glyph's box takes in its halos, so that the spreading keeps a neighbour off them too.
    GlyphBoxes boxes = planet_glyph_boxes();
    const double glyph_size = ring.width / 4.0;
    for (std::size_t p = 0; p < kPlanetRows; ++p) {
        if (!st.halos || !std::isfinite(chart.longitudes[p]) || glyph_size <= 0.0) continue;
        const int house = chart.houses[p];
        const GlyphStyle& style = o.glyphs.styles[p][static_cast<std::size_t>(sign_of(chart.longitudes[p]))][chart.retrograde[p] ? 1 : 0];
        double k = 0.0;  // the halo's radius in units of the glyph's size
        if (style.halo_on) k = std::max(k, kStyleHaloScale + style.halo_size / glyph_size);
        if (house >= 1 && house <= 12) {
            const HouseHalo& h = o.house_halos.halos[p][static_cast<std::size_t>(house - 1)];
            if (h.on) k = std::max(k, kHouseHaloScale + h.size / glyph_size);
        }
        GlyphBox& b = boxes[p];
        b = {std::min(b.left, -k), std::min(b.top, -k), std::max(b.right, k), std::max(b.bottom, k)};
    }
    const PlanetPlaces places = planet_places(l.cx, l.cy, ring, rot, chart.longitudes, st.spread, &boxes);
    QPen pen(qcolour(o.colours.pen));
    pen.setWidthF(1.0);
    g.setPen(pen);
    g.setBrush(Qt::NoBrush);
    if (st.planet_ring_circles) {
        draw_circle(g, l.cx, l.cy, ring.outer());
        draw_circle(g, l.cx, l.cy, ring.inner);
    }
    for (const PlanetMark& m : places.marks) {
        const QColor colour = qcolour(o.glyphs.planet_colours[static_cast<std::size_t>(m.planet)]);
        const QColor edge = contrasting(colour, background);
        // A mark too close to the background in lightness is edged in the contrasting colour.
        for (const auto& [c, width] : {std::pair{edge, 4.0}, std::pair{colour, 2.0}}) {
            if (width > 2.0 && edge == colour) continue;
            QPen mark(c);
            mark.setWidthF(width);
            g.setPen(mark);
            g.drawLine(qpoint(m.inner_from), qpoint(m.inner_to));
            if (st.outer_marks) g.drawLine(qpoint(m.outer_from), qpoint(m.outer_to));
        }
    }
    for (const GlyphPlace& gp : places.glyphs) {
        const auto p = static_cast<std::size_t>(gp.planet);
        const int sign = sign_of(chart.longitudes[p]);
        const GlyphStyle& style = o.glyphs.styles[p][static_cast<std::size_t>(sign)][chart.retrograde[p] ? 1 : 0];
        const int house = chart.houses[p];
        const HouseHalo* halo = house >= 1 && house <= 12 ? &o.house_halos.halos[p][static_cast<std::size_t>(house - 1)] : nullptr;
        draw_planet_glyph(g, gp.planet, qpoint(gp.centre(l.cx, l.cy)), gp.size, style, halo, st.halos, background);
        if (spots) spots->push_back({gp.centre(l.cx, l.cy), gp.size, gp.planet, outside_chart, nullptr, false});
    }
}

// The aspect lines of one list, each between its two planets' points on the inner disc, with
// its marker at (A + B) / divisor of the line from A.
void draw_aspects(QPainter& g, const WheelLayout& l, const WheelRotation& rot, const std::vector<AspectStroke>& lines,
                  const WheelLongitudes& lon_a, const WheelLongitudes& lon_b, int divisor, const QPen& outline,
                  const WheelStyle& st, std::vector<WheelHotSpot>* spots, bool outside_chart, bool across) {
    for (const AspectStroke& a : lines) {
        if (a.a < 0 || a.a >= kPlanetRows || a.b < 0 || a.b >= kPlanetRows) continue;
        const double la = lon_a[static_cast<std::size_t>(a.a)];
        const double lb = lon_b[static_cast<std::size_t>(a.b)];
        if (!std::isfinite(la) || !std::isfinite(lb)) continue;
        const AspectPlace p = aspect_place(l, rot, a.a, la, a.b, lb, divisor);
        g.save();
        g.setOpacity(std::clamp(a.opacity, 0.0, 1.0));
        QPen pen(qcolour(a.colour));
        pen.setWidthF(std::max(0.5f, a.pen_width));
        pen.setStyle(pen_style(a.pen_type));
        g.setPen(pen);
        g.drawLine(qpoint(p.from), qpoint(p.to));
        if (st.aspect_markers && a.marker && a.marker_radius > 0.0) {
            g.setPen(outline);
            g.setBrush(qcolour(a.colour));
            g.drawEllipse(qpoint(p.marker), a.marker_radius, a.marker_radius);
            if (spots) spots->push_back({p.marker, std::max(3.0, a.marker_radius), -1, outside_chart, &a, across});
        }
        g.restore();
    }
}

void paint_wheel_here(QPainter& g, QSizeF area, QSize screen, const Options& o, const WheelStyle& st,
                      const WheelInput& input, std::vector<WheelHotSpot>* spots);

}  // namespace

WheelStyle wheel_style(const Options& options, bool superposed) {
    const DrawingOptions& d = options.drawing;
    WheelStyle s;
    s.side_panel = d.show_informations != 0;
    s.rings.outer_ring = d.show_stars != 0;
    s.rings.degree_scale = d.show_graduations != 0;
    s.rings.nakshatra_ring = d.show_moon_naks != 0;
    s.rings.sign_ring = d.show_signs != 0;
    s.rings.superposed = superposed;
    s.spread = d.nice_planets != 0;
    s.fix_ascendant = d.horizontal_horizon != 0;
    s.direction = d.counterclockwise != 0 ? 1 : -1;
    s.base_angle_rad = d.zodiac_origin.is_angle() ? d.zodiac_origin.to_radians() : 0.0;
    s.sign_characters = d.use_wingdings != 0;
    s.gradient = d.use_gradient != 0;
    s.colour_signs = d.colour_signs != 0;
    s.colour_nakshatras = d.colour_naks != 0;
    s.antialias = d.smoothing_mode == 2 || d.smoothing_mode == 4;
    s.aspect_markers = d.tooltips != 0;
    s.halos = d.show_exaltations != 0;
    return s;
}

void paint_wheel(QPainter& g, QSizeF area, QSize screen, const Options& o, const WheelStyle& st,
                 const WheelInput& input, std::vector<WheelHotSpot>* spots) {
    // Qt's raster engine hands each fill of more than about a hundred spans (a long smoothed
    // line, a halo, a sector) to its global thread pool and waits for it, unless it already
    // runs on a thread of that pool. A wheel holds hundreds of such fills, and on a busy
    // machine each hand-over costs more than the fill. An image is painted from a thread of the
    // pool instead (the painter's thread waits): one hand-over for the whole wheel. A pool
    // with no thread free paints here.
    QThreadPool* pool = QThreadPool::globalInstance();
    if (g.device() && g.device()->devType() == QInternal::Image && !pool->contains(QThread::currentThread())) {
        QSemaphore done;
        if (pool->tryStart([&] {
                paint_wheel_here(g, area, screen, o, st, input, spots);
                done.release();
            })) {
            done.acquire();
            return;
        }
    }
    paint_wheel_here(g, area, screen, o, st, input, spots);
}

namespace {

void paint_wheel_here(QPainter& g, QSizeF area, QSize screen, const Options& o, const WheelStyle& st,
                      const WheelInput& input, std::vector<WheelHotSpot>* spots) {
    g.save();
    g.setRenderHint(QPainter::Antialiasing, st.antialias);
    g.setRenderHint(QPainter::TextAntialiasing, st.antialias);
    const QColor background = qcolour(o.colours.drawing_background);
    const QColor ink = qcolour(o.colours.pen);
    g.fillRect(QRectF(QPointF(0, 0), area), background);

    if (!wheel_fits(static_cast<int>(area.width()), static_cast<int>(area.height()), screen.width(),
                    screen.height())) {
        QFont font(qtext(text(Str::WheelTooSmallFont)));
        font.setPixelSize(12);
        g.setFont(font);
        g.setPen(ink);
        g.drawText(QRectF(QPointF(0, 0), area), Qt::AlignCenter, qtext(text(Str::WheelTooSmall)));
        g.restore();
        return;
    }

    const FontSetting& numeral_setting = o.fonts[kFontGlobal];
    // The settings' font sizes hold for an area of kFontReferenceSide pixels (its shorter
    // side): the numerals and the side panel grow and shrink with the wheel, so that nothing is
    // clipped in a small window and nothing is a speck in a large one.
    const double font_scale =
        std::clamp(std::min(area.width(), area.height()) / kFontReferenceSide, kMinFontScale, kMaxFontScale);
    QFont numeral_font = qfont(numeral_setting.font, numeral_setting.size_points * 96.0 / 72.0);
    numeral_font.setPixelSize(std::max(1, static_cast<int>(std::lround(numeral_font.pixelSize() * font_scale))));
    const QRectF numeral_box = QFontMetricsF(numeral_font, g.device()).boundingRect(qtext(text(Str::WheelWidestNumeral)));
    // The side panel's text, measured so that it takes only the corner it needs.
    const QFontMetricsF numeral_metrics(numeral_font, g.device());
    WheelSize panel_text;
    for (const std::string& line : input.informations)
        panel_text.width = std::max(panel_text.width, numeral_metrics.horizontalAdvance(qtext(line)) + 1.0);
    panel_text.height = numeral_metrics.lineSpacing() * static_cast<double>(input.informations.size());
    const WheelLayout l = layout_wheel(area.width(), area.height(), numeral_box.width(), numeral_box.height(),
                                       st.side_panel, st.rings, panel_text);
    const WheelRotation rot = wheel_rotation(st.direction, st.fix_ascendant, input.inside.cusps[0], st.base_angle_rad);
    const double cx = l.cx;
    const double cy = l.cy;
    QPen thin(ink);
    thin.setWidthF(1.0);

    // Outer ring: its two circles and, across it, the cusps of the outside horoscope (or the chart's).
    if (l.outer_ring.shown()) {
        g.setPen(thin);
        g.setBrush(Qt::NoBrush);
        draw_circle(g, cx, cy, l.outer_ring.outer());
        draw_circle(g, cx, cy, l.outer_ring.inner);
        const WheelChart& c = input.outside ? *input.outside : input.inside;
        QPen cusp_pen(qcolour(o.colours.houses_outside));
        cusp_pen.setWidthF(1.5);
        g.setPen(cusp_pen);
        for (double cusp : c.cusps)
            if (std::isfinite(cusp))
                g.drawLine(qpoint(wheel_polar(cx, cy, l.outer_ring.inner, rot.angle(cusp))),
                           qpoint(wheel_polar(cx, cy, l.outer_ring.outer(), rot.angle(cusp))));
    }

    // Planet ring: the outside horoscope when there is one, the chart's planets otherwise.
    draw_planets(g, l, l.planet_ring, rot, input.outside ? *input.outside : input.inside, o, st, spots,
                 input.outside.has_value());

    if (l.degree_scale.shown()) {
        g.setPen(thin);
        g.setBrush(Qt::NoBrush);
        draw_circle(g, cx, cy, l.degree_scale.inner);
        for (const DegreeTick& t : degree_ticks(l, rot)) {
            QPen pen = thin;
            if (t.sign >= 0) {
                pen.setColor(qcolour(o.colours.signs[static_cast<std::size_t>(t.sign)]));
                pen.setWidthF(thin.widthF() + 1.0);
            }
            g.setPen(pen);
            g.drawLine(qpoint(wheel_polar(cx, cy, t.r1, t.angle)), qpoint(wheel_polar(cx, cy, t.r2, t.angle)));
        }
    }

    if (l.sign_ring.shown()) {
        const QFont symbol_font(qtext(text(Str::WheelSymbolFont)));
        const auto signs = sign_places(l, rot);
        for (int k = 0; k < 12; ++k) {
            const SignPlace& s = signs[static_cast<std::size_t>(k)];
            const QColor fill = st.colour_signs ? qcolour(o.colours.signs[static_cast<std::size_t>(k)]) : background;
            fill_sector(g, cx, cy, s.sector, fill, background, st.gradient);
            g.setPen(thin);
            g.setBrush(Qt::NoBrush);
            g.drawPath(sector_path(cx, cy, s.sector));
            if (st.sign_characters) {
                QFont f = symbol_font;
                f.setPixelSize(std::max(1, static_cast<int>(std::lround(0.75 * 2.0 * s.glyph_half_side))));
                draw_centred_text(g, qpoint(s.glyph_centre), QString(QChar(char16_t(0x2648 + k))), f, ink);
            } else {
                stroke_path_in_box(g, sign_glyph_path(k), qpoint(s.glyph_centre), s.glyph_half_side, ink);
            }
        }
    }

    if (l.nakshatra_ring.shown()) {
        QFont label_font(qtext(text(Str::WheelSymbolFont)));
        label_font.setPixelSize(std::max(1, static_cast<int>(l.nakshatra_ring.width * 0.5)));
        const auto naks = nakshatra_places(l, rot, input.inside.nakshatra_origin);
        for (std::size_t k = 0; k < naks.size(); ++k) {
            if (st.colour_nakshatras && o.nakshatras[k].colour != 0)
                fill_sector(g, cx, cy, naks[k].sector, qcolour(o.nakshatras[k].colour), background, st.gradient);
            g.setPen(thin);
            g.setBrush(Qt::NoBrush);
            g.drawPath(sector_path(cx, cy, naks[k].sector));
            draw_centred_text(g, qpoint(naks[k].label_centre), QString::number(static_cast<int>(k) + 1), label_font, ink);
        }
    }

    if (l.inside_planet_ring.shown()) draw_planets(g, l, l.inside_planet_ring, rot, input.inside, o, st, spots, false);

    // Centre figure: the inner disc's edge and the small circle the cusps start from.
    g.setPen(thin);
    g.setBrush(Qt::NoBrush);
    draw_circle(g, cx, cy, l.inner_radius);
    draw_circle(g, cx, cy, l.inner_radius / 6.0);

    QPen cusp_pen(qcolour(o.colours.houses_inside));
    cusp_pen.setWidthF(1.0);
    const QColor numeral_colour = qcolour(colorref_to_argb(numeral_setting.colour, 0xFF));
    for (const CuspPlace& c : cusp_places(l, rot, input.inside.cusps)) {
        QPen pen = cusp_pen;
        if (c.house == 1 || c.house == 10) pen.setWidthF(2.0);  // the Ascendant and the Midheaven
        g.setPen(pen);
        g.drawLine(qpoint(c.from), qpoint(c.to));
    }

    // The aspect layers, each line with its marker: the chart's own, the outside chart's, then
    // across the two; the Hindu layer's markers at their own fractions.
    const WheelLongitudes& in = input.inside.longitudes;
    const int occidental = st.marker_divisor;
    const int hindu = st.hindu_marker_divisor;
    draw_aspects(g, l, rot, input.inside.aspects, in, in, occidental, thin, st, spots, false, false);
    draw_aspects(g, l, rot, input.inside.hindu_aspects, in, in, hindu, thin, st, spots, false, false);
    if (input.outside) {
        const WheelLongitudes& out = input.outside->longitudes;
        draw_aspects(g, l, rot, input.outside->aspects, out, out, occidental, thin, st, spots, true, false);
        draw_aspects(g, l, rot, input.outside->hindu_aspects, out, out, hindu, thin, st, spots, true, false);
        draw_aspects(g, l, rot, input.across, out, in, occidental, thin, st, spots, false, true);
        draw_aspects(g, l, rot, input.hindu_across, out, in, hindu, thin, st, spots, false, true);
    }

    // The house numerals over the aspect lines, each on a patch of the background, so that the
    // lines (an outside chart's above all) do not hide them.
    for (const CuspPlace& c : cusp_places(l, rot, input.inside.cusps)) {
        const QString numeral = qtext(house_roman(c.house));
        // The ink's box where draw_centred_text puts it: the line's box (from the top of the
        // ascent) centred on the point, the ink at its place from the baseline.
        const QRectF line = numeral_metrics.boundingRect(numeral);
        const QPointF baseline(c.numeral_centre.x - line.width() / 2 - line.left(),
                               c.numeral_centre.y - line.height() / 2 - line.top());
        const QRectF patch = numeral_metrics.tightBoundingRect(numeral).translated(baseline).adjusted(-1, -1, 1, 1);
        QColor veil = background;
        veil.setAlphaF(0.85);
        g.fillRect(patch.adjusted(-1, -1, 1, 1), veil);
        draw_centred_text(g, qpoint(c.numeral_centre), numeral, numeral_font, numeral_colour);
    }

    // Side panel: the chart's informations, one per line.
    if (l.panel.width > 0.0 && !input.informations.empty()) {
        g.setFont(numeral_font);
        g.setPen(numeral_colour);
        const double step = QFontMetricsF(numeral_font, g.device()).lineSpacing();
        double y = l.panel.y;
        for (const std::string& line : input.informations) {
            g.drawText(QRectF(l.panel.x, y, l.panel.width, step), Qt::AlignLeft | Qt::AlignVCenter, qtext(line));
            y += step;
        }
    }
    g.restore();
}

}  // namespace

}  // namespace tellurim
