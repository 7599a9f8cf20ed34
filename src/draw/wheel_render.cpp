#include "draw/wheel_render.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "base/strings.h"
#include "core/output_file.h"

namespace tellurim {
namespace {

// Qt keeps references to argc and argv for the application's lifetime.
int g_argc = 1;
char g_arg0[] = "tellurim";
char* g_argv[] = {g_arg0, nullptr};

bool has_display() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

// Qt's own notes (a missing runtime directory, font substitutions) are traces, shown only
// with TELLURIM_DEBUG set, like the program's other traces.
void qt_trace(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || std::getenv("TELLURIM_DEBUG")) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Files are laid out at 96 dots per inch, like a screen.
constexpr int kFileDpi = 96;

}  // namespace

std::optional<WheelFormat> wheel_format_of(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "png") return WheelFormat::Png;
    if (ext == "svg") return WheelFormat::Svg;
    if (ext == "pdf") return WheelFormat::Pdf;
    return std::nullopt;
}

WheelGui::WheelGui() {
    if (QCoreApplication::instance()) return;
    if (!has_display() && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(qt_trace);
    m_app = std::make_unique<QGuiApplication>(g_argc, g_argv);
}

WheelGui::~WheelGui() = default;

QSize WheelGui::screen_size() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1920, 1080);
}

std::optional<QSize> parse_wheel_size(const std::string& text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return std::nullopt;
    auto number = [](const std::string& s) -> int {
        if (s.empty() || s.size() > 5 || !std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); }))
            return 0;
        return std::stoi(s);
    };
    const int w = number(text.substr(0, x));
    const int h = number(text.substr(x + 1));
    if (w <= 0 || h <= 0) return std::nullopt;
    return QSize(w, h);
}

QImage render_wheel_image(QSize size, QSize screen, const Options& options, const WheelStyle& style,
                          const WheelInput& input) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;  // out of memory
    const int dots_per_metre = static_cast<int>(std::lround(kFileDpi / 0.0254));
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::white);
    QPainter g(&image);
    paint_wheel(g, QSizeF(size), screen, options, style, input);
    g.end();
    return image;
}

std::string xml_safe_text(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        // A byte below 0x20 is always a character of its own in UTF-8.
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') continue;
        // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
        if (c == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE) {
            i += 2;
            continue;
        }
        out += static_cast<char>(c);
    }
    return out;
}

WheelFileStatus write_wheel_file(const std::string& path, WheelFormat format, QSize size, QSize screen,
                                 const Options& options, const WheelStyle& style, const WheelInput& input) {
    // Drawn into memory first, then written beside the path and renamed over it.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
        case WheelFormat::Png: {
            const QImage image = render_wheel_image(size, screen, options, style, input);
            if (image.isNull()) return WheelFileStatus::OutOfMemory;
            if (!image.save(&buffer, "PNG")) return WheelFileStatus::Failed;
            break;
        }
        case WheelFormat::Svg: {
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setResolution(kFileDpi);
            svg.setTitle(QString::fromUtf8(text(Str::WheelCaption).data()));
            QPainter g;
            if (!g.begin(&svg)) return WheelFileStatus::Failed;
            paint_wheel(g, QSizeF(size), screen, options, style, input);
            if (!g.end()) return WheelFileStatus::Failed;
            buffer.close();
            const QByteArray drawn = buffer.data();
            buffer.setData(QByteArray::fromStdString(
                xml_safe_text(std::string_view(drawn.constData(), static_cast<std::size_t>(drawn.size())))));
            break;
        }
        case WheelFormat::Pdf: {
            QPdfWriter pdf(&buffer);
            pdf.setResolution(kFileDpi);
            pdf.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / kFileDpi, size.height() * 72.0 / kFileDpi),
                                      QPageSize::Point));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf.setTitle(QString::fromUtf8(text(Str::WheelCaption).data()));
            QPainter g;
            if (!g.begin(&pdf)) return WheelFileStatus::Failed;
            paint_wheel(g, QSizeF(size), screen, options, style, input);
            if (!g.end()) return WheelFileStatus::Failed;
            break;
        }
    }
    const QByteArray& bytes = buffer.data();
    switch (replace_output_file(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        case OutputStatus::Written: return WheelFileStatus::Written;
        case OutputStatus::NotRegular: return WheelFileStatus::NotRegular;
        default: return WheelFileStatus::Failed;
    }
}

}  // namespace tellurim
