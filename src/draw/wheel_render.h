#pragma once
// The chart wheel as a file (PNG, SVG or PDF) or an image, drawn offscreen: the program needs
// no display. Qt draws text only inside a running GUI application, so the caller keeps a
// WheelGui alive while it renders.

#include <QImage>
#include <QSize>
#include <memory>
#include <optional>
#include <string>

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

// The wheel on an ARGB image of `size` pixels.
QImage render_wheel_image(QSize size, QSize screen, const Options& options, const WheelStyle& style,
                          const WheelInput& input);

// Writes the wheel to `path` in `format`; false when the file cannot be written.
bool write_wheel_file(const std::string& path, WheelFormat format, QSize size, QSize screen, const Options& options,
                      const WheelStyle& style, const WheelInput& input);

}  // namespace tellurim
