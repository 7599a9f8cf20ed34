// The wheel painted offscreen and read back: pixels where the geometry puts a planet's mark
// and an aspect line, the size check's text, the SVG through an XML reader and the PDF through
// poppler's pdfinfo.
#include "draw/wheel_render.h"

#include "draw/glyph_paths.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <numbers>
#include <string>
#include <unistd.h>

namespace tellurim {
namespace {

namespace fs = std::filesystem;
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kNone = std::numeric_limits<double>::infinity();

class WheelRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_gui = new WheelGui; }
    static void TearDownTestSuite() {
        delete s_gui;
        s_gui = nullptr;
    }
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tellurim-wheel-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        // A bare wheel without antialiasing, so that a line's pixels keep its exact colour.
        m_style = wheel_style(m_options, false);
        m_style.antialias = false;
        m_style.side_panel = false;
        m_style.rings = {};
        m_style.fix_ascendant = false;
        m_style.base_angle_rad = 0.0;
        m_input.inside.longitudes.fill(kNone);
        m_input.inside.cusps.fill(kNone);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static inline WheelGui* s_gui = nullptr;
    fs::path m_dir;
    Options m_options;
    WheelStyle m_style;
    WheelInput m_input;
};

// Gulika, Mandi and Arudha have no symbol: their short names, letter by letter, fill the
// glyph's box from side to side without leaving it.
TEST(PlanetGlyph, PointsWithoutASymbolShowTheirShortNames) {
    const std::pair<int, const char*> rows[] = {{kGulika, "Gul"}, {kMandi, "Man"}, {kArudha, "Aru"}};
    for (const auto& [planet, name] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(planet_glyph_letters(planet), name);
        const QRectF box = planet_glyph_path(planet).boundingRect();
        EXPECT_TRUE(QRectF(-1, -1, 2, 2).contains(box));
        EXPECT_GT(box.width(), 1.4);
    }
    EXPECT_EQ(planet_glyph_letters(kSun), "");
}

QRgb at(const QImage& img, WheelPoint p) {
    return img.pixel(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}

// The pixels of `colour` along the ray at `angle` from the centre (400, 400), from radius
// `from` to `to` in half-pixel steps.
int along(const QImage& img, QRgb colour, double angle, double from, double to) {
    int n = 0;
    for (double r = from; r < to; r += 0.5) n += at(img, wheel_polar(400, 400, r, angle)) == colour;
    return n;
}

TEST_F(WheelRender, PlanetMarkAtItsScreenAngle) {
    const QSize size(800, 800);
    const Argb mars = 0xFF00A000;
    m_options.glyphs.planet_colours[kMars] = mars;
    m_style.spread = false;
    struct Row {
        int direction;
        double lon_deg;
    } rows[] = {{1, 0.0}, {1, 47.0}, {-1, 47.0}, {1, 200.0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "d=" << r.direction << " lon=" << r.lon_deg);
        m_style.direction = r.direction;
        m_input.inside.longitudes.fill(kNone);
        m_input.inside.longitudes[kMars] = r.lon_deg * kDeg;
        const QImage img = render_wheel_image(size, QSize(1920, 1080), m_options, m_style, m_input);
        // The area is square, so the wheel's centre is (400, 400) whatever the margins.
        const WheelRotation rot = wheel_rotation(r.direction, false, 0, 0);
        const double a = rot.angle(r.lon_deg * kDeg);
        EXPECT_GT(along(img, mars, a, 200, 400), 0) << "no pixel of the planet's colour along its screen angle";
        EXPECT_EQ(along(img, mars, a + std::numbers::pi, 200, 400), 0) << "the opposite direction holds none of it";
    }
}

// A planet whose colour is the background's (the Moon's default) or close to it in lightness
// (the Sun's yellow on white) still shows its mark, edged in black.
TEST_F(WheelRender, MarksStandOutWhateverTheirColour) {
    const QSize size(800, 800);
    m_style.spread = false;
    m_style.halos = false;
    const struct Row {
        Argb planet;
        Argb background;
    } rows[] = {{0xFFFFFFFF, 0xFFFFFFFF}, {0xFFFFFF00, 0xFFFFFFFF}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << r.planet << " on " << r.background);
        m_options.colours.drawing_background = r.background;
        m_options.glyphs.planet_colours[kMoon] = r.planet;
        m_input.inside.longitudes.fill(kNone);
        m_input.inside.longitudes[kMoon] = 47.0 * kDeg;
        const QImage img = render_wheel_image(size, QSize(1920, 1080), m_options, m_style, m_input);
        const QColor bg = QColor::fromRgba(r.background);
        const auto stands_out = [&](WheelPoint p) {
            const QColor c = QColor::fromRgb(at(img, p));
            return std::abs(c.lightness() - bg.lightness()) > 100;
        };
        // R: the planet ring's outer circle, found from outside on an empty angle; the inner
        // marks run from 3R/4 outwards over R/40, short of the glyph.
        const WheelRotation rot = wheel_rotation(1, false, 0, 0);
        double radius = 399;
        while (radius > 200 && !stands_out(wheel_polar(400, 400, radius, rot.angle(250 * kDeg)))) radius -= 0.5;
        int edged = 0;
        // Beside the line's core, 1.6 pixels off it: the edge.
        for (double q = 0.755 * radius; q < 0.772 * radius; q += 0.5)
            edged += stands_out(wheel_polar(400, 400, q, rot.angle(47 * kDeg) + 1.6 / q)) ? 1 : 0;
        EXPECT_GT(edged, 0);
    }
}

TEST_F(WheelRender, AspectLineColourBetweenTheTwoPlanets) {
    const QSize size(800, 800);
    m_input.inside.longitudes[kSun] = 10 * kDeg;
    m_input.inside.longitudes[kSaturn] = 130 * kDeg;
    const Argb red = 0xFFE00000;
    m_input.inside.aspects.push_back({kSun, kSaturn, red, 3.0f, 0, 1.0});
    const QImage img = render_wheel_image(size, QSize(1920, 1080), m_options, m_style, m_input);
    // The centre is (400, 400) whatever the margins, since the area is square; the inner radius
    // depends on them, so search along the chord's perpendicular bisector.
    const WheelRotation rot = wheel_rotation(1, false, 0, 0);
    const double mid_angle = (rot.angle(10 * kDeg) + rot.angle(130 * kDeg)) / 2;
    EXPECT_GE(along(img, red, mid_angle, 50, 300), 2) << "the line crosses the bisector in the aspect's colour";
    EXPECT_EQ(along(img, red, mid_angle + std::numbers::pi, 50, 300), 0) << "nowhere on the opposite side";
}

TEST_F(WheelRender, GradientFadesTheSectorsOuterFifth) {
    // Aries, from 0 to 30 degrees: along the ray through its middle (15 degrees), a plain fill
    // shows the colour across the whole ring; a gradient keeps it on the inner four fifths of
    // the way from the middle and fades it towards the outline.
    m_style.rings.sign_ring = true;
    m_style.sign_characters = false;
    const Argb blue = 0xFF3060C0;
    m_options.colours.signs[0] = blue;
    m_options.colours.drawing_background = 0xFFFFFFFF;
    auto run_of_colour = [&](bool gradient, double& last) {
        m_style.gradient = gradient;
        const QImage img = render_wheel_image(QSize(800, 800), QSize(1920, 1080), m_options, m_style, m_input);
        int n = 0;
        for (double r = 0; r < 400; r += 0.5)
            if (at(img, wheel_polar(400, 400, r, 15 * kDeg)) == blue) {
                ++n;
                last = r;
            }
        return std::make_pair(n, img);
    };
    double edge = 0, unused = 0;
    const auto [plain, plain_img] = run_of_colour(false, edge);
    const auto [faded, faded_img] = run_of_colour(true, unused);
    ASSERT_GT(plain, 40);
    EXPECT_LT(faded, 0.9 * plain);
    EXPECT_GT(faded, 0.6 * plain);
    // Just inside the outer outline, the gradient is nearer the white background.
    const WheelPoint near_edge = wheel_polar(400, 400, edge - 1, 15 * kDeg);
    EXPECT_EQ(at(plain_img, near_edge), blue);
    EXPECT_GT(qGray(at(faded_img, near_edge)), qGray(blue) + 40);
}

// The nakshatras are sidereal: with the first one starting at the ayanamsa (here 20 degrees),
// the ray through the middle of nakshatra 2 crosses its colour, and the ray through its
// middle without the offset does not.
TEST_F(WheelRender, NakshatraRingStartsAtTheAyanamsa) {
    m_style.rings.nakshatra_ring = true;
    m_style.colour_nakshatras = true;
    for (auto& n : m_options.nakshatras) n.colour = 0xFFE0E0E0;
    const Argb marked = 0xFF20A040;
    m_options.nakshatras[1].colour = marked;
    m_input.inside.nakshatra_origin = 20 * kDeg;
    const QImage img = render_wheel_image(QSize(800, 800), QSize(1920, 1080), m_options, m_style, m_input);
    const double span = 360.0 / 27.0;
    auto crosses = [&](double lon_deg) {
        for (double r = 200; r < 400; r += 0.5)
            if (at(img, wheel_polar(400, 400, r, lon_deg * kDeg)) == marked) return true;
        return false;
    };
    EXPECT_TRUE(crosses(20 + 1.5 * span));
    EXPECT_FALSE(crosses(1.5 * span));
}

// The house numerals and the side panel scale with the wheel: their ink is about four times
// as tall at 1600 x 1600 as at 400 x 400.
TEST_F(WheelRender, TextScalesWithTheWheel) {
    m_style.side_panel = true;
    m_input.informations = {"Sample Birth"};
    m_options.colours.drawing_background = 0xFFFFFFFF;
    auto ink_rows = [&](int side) {
        const QImage img = render_wheel_image(QSize(side, side), QSize(1920, 1080), m_options, m_style, m_input);
        int rows = 0;
        for (int y = 0; y < side / 4; ++y) {
            bool ink = false;
            for (int x = side * 3 / 4; x < side && !ink; ++x) ink = qGray(img.pixel(x, y)) < 128;
            rows += ink ? 1 : 0;
        }
        return rows;
    };
    const int small = ink_rows(400);
    const int large = ink_rows(1600);
    EXPECT_GT(small, 3);
    EXPECT_GT(large, 3 * small);
}

// With a chart superposed, its lines across the two charts pass under the house numerals:
// no pixel of a numeral's ink has a line's colour beside it.
TEST_F(WheelRender, HouseNumeralsStayReadableOverTheOutsideLines) {
    m_style.rings.superposed = true;
    m_options.colours.drawing_background = 0xFFFFFFFF;
    m_options.fonts[kFontGlobal].colour = 0x0000A000;  // COLORREF, green
    WheelChart outside;
    outside.longitudes.fill(kNone);
    outside.cusps.fill(kNone);
    for (int k = 0; k < 12; ++k) {
        m_input.inside.cusps[static_cast<std::size_t>(k)] = k * 30 * kDeg;
        m_input.inside.longitudes[static_cast<std::size_t>(k)] = (k * 30 + 7) * kDeg;
        outside.longitudes[static_cast<std::size_t>(k)] = (k * 30 + 22) * kDeg;
    }
    m_input.outside = outside;
    for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 12; ++b) m_input.across.push_back({a, b, 0xFFFF0000, 2.0f, 0, 1.0, false});
    const QImage img = render_wheel_image(QSize(800, 800), QSize(1920, 1080), m_options, m_style, m_input);
    const QRgb ink = qRgb(0, 0xA0, 0);
    int numeral = 0, crossed = 0;
    for (int y = 1; y < 799; ++y)
        for (int x = 1; x < 799; ++x) {
            if (img.pixel(x, y) != ink) continue;
            ++numeral;
            bool red = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) red = red || img.pixel(x + dx, y + dy) == qRgb(0xFF, 0, 0);
            crossed += red;
        }
    EXPECT_GT(numeral, 100);
    EXPECT_EQ(crossed, 0);
}

TEST_F(WheelRender, TooSmallBelowASixthOfTheScreen) {
    const QSize size(300, 300);
    m_input.inside.longitudes[kSun] = 0.0;
    auto dark_pixels = [](const QImage& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    // 300 is a seventh of 2100: only the text, in a band around the middle line.
    const QImage small = render_wheel_image(size, QSize(2100, 2100), m_options, m_style, m_input);
    const QImage fits = render_wheel_image(size, QSize(1800, 1800), m_options, m_style, m_input);
    int outside_band = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (std::abs(y - 150) > 20) outside_band += qGray(small.pixel(x, y)) < 128;
    EXPECT_GT(dark_pixels(small), 20) << "the text is written";
    EXPECT_EQ(outside_band, 0) << "no wheel";
    EXPECT_GT(dark_pixels(fits), dark_pixels(small)) << "a sixth of the screen draws the wheel";
}

TEST_F(WheelRender, SvgIsXmlAndPdfOpens) {
    m_style = wheel_style(m_options, true);
    m_input.inside.longitudes[kSun] = 75 * kDeg;
    m_input.inside.longitudes[kMoon] = 77 * kDeg;
    for (int h = 0; h < 12; ++h) m_input.inside.cusps[static_cast<std::size_t>(h)] = (30.0 * h + 5) * kDeg;
    m_input.outside = m_input.inside;
    // Control characters in a name are dropped: XML 1.0 cannot hold them.
    m_input.informations = {"Sample\x01\x1f\xef\xbf\xbf", "1944-06-06"};
    const fs::path svg = m_dir / "wheel.svg";
    ASSERT_EQ(write_wheel_file(svg.string(), WheelFormat::Svg, QSize(800, 600), QSize(1920, 1080), m_options,
                               m_style, m_input),
              WheelFileStatus::Written);
    QFile file(QString::fromStdString(svg.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int paths = 0;
    QString root;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (root.isEmpty()) {
                root = xml.name().toString();
                EXPECT_EQ(xml.attributes().value("viewBox").toString(), "0 0 800 600");
            }
            paths += xml.name() == QStringLiteral("path");
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(root, "svg");
    EXPECT_GT(paths, 12);

    const fs::path pdf = m_dir / "wheel.pdf";
    ASSERT_EQ(write_wheel_file(pdf.string(), WheelFormat::Pdf, QSize(800, 600), QSize(1920, 1080), m_options,
                               m_style, m_input),
              WheelFileStatus::Written);
    const std::string cmd = "pdfinfo '" + pdf.string() + "' 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string info;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) info += buf;
    EXPECT_EQ(pclose(p), 0) << info;
    const auto pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(info.substr(info.find_first_not_of(' ', pages + 6), 2), "1\n") << info;
    EXPECT_NE(info.find("600 x 450 pts"), std::string::npos) << info;  // 800 x 600 px at 96 dpi
}

TEST(WheelFiles, FormatsAndSizes) {
    EXPECT_EQ(wheel_format_of("a/b.PNG"), WheelFormat::Png);
    EXPECT_EQ(wheel_format_of("b.svg"), WheelFormat::Svg);
    EXPECT_EQ(wheel_format_of("b.pdf"), WheelFormat::Pdf);
    EXPECT_EQ(wheel_format_of("b.jpg"), std::nullopt);
    EXPECT_EQ(parse_wheel_size("1024x768"), QSize(1024, 768));
    EXPECT_EQ(parse_wheel_size("0x768"), std::nullopt);
    EXPECT_EQ(parse_wheel_size("800"), std::nullopt);
    EXPECT_EQ(parse_wheel_size("80ax8"), std::nullopt);
}

}  // namespace
}  // namespace tellurim
