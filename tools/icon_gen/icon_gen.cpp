// icon_gen DIR: writes DIR/tellurim.svg and DIR/tellurim-{48,128,256}.png. The icon is a small
// chart wheel: a dark disc, a gold ring divided into the twelve signs with their glyphs, and
// the Sun's glyph at the centre. Below 96 px the sign glyphs would be smudges, so the small
// picture keeps the ring and its divisions only.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QSvgGenerator>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "base/planet_position.h"
#include "draw/glyph_paths.h"

namespace {

const QColor kGold(0xE8, 0xC1, 0x5A);
const QColor kLight(0xF4, 0xEE, 0xDC);

// A glyph outline (box -1..1) of half-side `half` centred on (x, y).
QPainterPath placed(const QPainterPath& glyph, double x, double y, double half) {
    return QTransform().translate(x, y).scale(half, half).map(glyph);
}

void paint_icon(QPainter& p, double size, bool glyphs) {
    p.setRenderHint(QPainter::Antialiasing);
    const double c = size / 2, r = size * 0.47;
    QRadialGradient sky(c, c * 0.8, r * 1.2);
    sky.setColorAt(0, QColor(0x34, 0x4F, 0x94));
    sky.setColorAt(1, QColor(0x14, 0x1E, 0x3C));
    p.setPen(QPen(kGold, r * 0.05));
    p.setBrush(sky);
    p.drawEllipse(QPointF(c, c), r, r);

    const double inner = r * (glyphs ? 0.62 : 0.55);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, r * (glyphs ? 0.025 : 0.05)));
    p.drawEllipse(QPointF(c, c), inner, inner);
    for (int sign = 0; sign < 12; ++sign) {
        // The Ascendant at 9 o'clock, the signs counter-clockwise as on the wheel.
        const double a = std::numbers::pi * (1.0 + sign / 6.0);
        p.drawLine(QPointF(c + inner * std::cos(a), c - inner * std::sin(a)),
                   QPointF(c + r * 0.97 * std::cos(a), c - r * 0.97 * std::sin(a)));
        if (!glyphs) continue;
        const double mid = a + std::numbers::pi / 12, at = (inner + r) / 2;
        p.save();
        p.setPen(QPen(kLight, r * 0.022, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(placed(tellurim::sign_glyph_path(sign), c + at * std::cos(mid), c - at * std::sin(mid), r * 0.1));
        p.restore();
    }
    p.setPen(QPen(kGold, r * (glyphs ? 0.05 : 0.08), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(placed(tellurim::planet_glyph_path(tellurim::kSun), c, c, inner * 0.55));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_gen DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);

    QSvgGenerator svg;
    svg.setFileName(dir + "/tellurim.svg");
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle("Tellurim");
    {
        QPainter p(&svg);
        paint_icon(p, 256, true);
    }
    for (int size : {48, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            paint_icon(p, size, size >= 96);
        }
        if (!image.save(dir + QString("/tellurim-%1.png").arg(size))) {
            std::fprintf(stderr, "icon_gen: cannot write %s\n", argv[1]);
            return 1;
        }
    }
    return 0;
}
