#pragma once
// The chart wheel as a file (PNG, SVG or PDF) or an image, drawn offscreen: the program needs
// no display. Qt draws text only inside a running GUI application, so the caller keeps a
// WheelGui alive while it renders.

#include <QImage>
#include <QSize>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "draw/wheel_painter.h"

class QGuiApplication;

namespace tellurim {

enum class WheelFormat { Png, Svg, Pdf };

// The format named by the file's extension (.png, .svg, .pdf, any case); nullopt otherwise.
std::optional<WheelFormat> wheel_format_of(const std::string& path);

// Starts Qt's GUI application when none runs, on the offscreen platform when there is no
// display (neither DISPLAY nor WAYLAND_DISPLAY) and QT_QPA_PLATFORM is not set.
class WheelGui {
public:
    WheelGui();
    ~WheelGui();
    WheelGui(const WheelGui&) = delete;
    WheelGui& operator=(const WheelGui&) = delete;
    // The primary screen's size, 1920x1080 without one; the wheel's size check compares with it.
    QSize screen_size() const;

private:
    std::unique_ptr<QGuiApplication> m_app;
};

// Parses "WIDTHxHEIGHT" (positive integers); nullopt otherwise.
std::optional<QSize> parse_wheel_size(const std::string& text);

// The largest side of a raster (PNG) wheel: an image of 16384 x 16384 pixels already takes
// 1 GiB of memory. SVG and PDF are drawn as vectors and take any size.
inline constexpr int kMaxRasterSide = 16384;
inline bool raster_size_allowed(QSize size) {
    return size.width() <= kMaxRasterSide && size.height() <= kMaxRasterSide;
}

// The wheel on an ARGB image of `size` pixels; a null image when its memory cannot be had.
QImage render_wheel_image(QSize size, QSize screen, const Options& options, const WheelStyle& style,
                          const WheelInput& input);

// Removes from an SVG text the characters that XML 1.0 cannot hold (C0 controls other than
// tab, line feed and carriage return, and U+FFFE, U+FFFF), which a name may carry into the
// drawing's texts.
std::string xml_safe_text(std::string_view utf8);

enum class WheelFileStatus { Written, NotRegular, OutOfMemory, Failed };
// Writes the wheel to `path` in `format`, whole or not at all (a temporary file renamed over
// the path). NotRegular for a FIFO, a directory or a device; OutOfMemory when the image
// cannot be allocated.
WheelFileStatus write_wheel_file(const std::string& path, WheelFormat format, QSize size, QSize screen,
                                 const Options& options, const WheelStyle& style, const WheelInput& input);

}  // namespace tellurim
