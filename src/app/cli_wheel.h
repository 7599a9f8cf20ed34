#pragma once
// The wheel options of the commands that compute a horoscope (`chart`, `open`): the file and
// its size, checked before anything is computed, and a saved horoscope superposed outside.

#include <CLI/CLI.hpp>
#include <QSize>
#include <memory>
#include <optional>
#include <string>

#include "app/cli.h"
#include "core/aspect_record.h"
#include "core/horoscope.h"
#include "draw/wheel_render.h"

namespace tellurim {

class EphemerisLibrary;
class WorkerThreads;

struct WheelArgs {
    std::string file;              // --wheel: PNG, SVG or PDF
    std::string size = "800x800";  // --size WxH
    std::string outside;           // --outside: a horoscope file superposed outside
};
// --wheel, --size and --outside; returns the --outside option, for the commands that exclude
// it with another way of giving the outside chart.
CLI::Option* add_wheel_options(CLI::App& command, WheelArgs& args);

struct WheelRequest {
    WheelFormat format = WheelFormat::Png;
    QSize size;
};
// nullopt without --wheel, and also (with exit status 2 in ctx) for a file that does not end
// in .png, .svg or .pdf or a size that is not WIDTHxHEIGHT.
std::optional<WheelRequest> check_wheel_args(const WheelArgs& args, CliContext& ctx);

// The horoscope of the --outside file, computed with the inside chart's options; null (the
// file's message shown, exit status 1 in ctx) when it cannot be read or computed.
std::unique_ptr<Horoscope> read_outside_horoscope(const std::string& path, const Horoscope& inside,
                                                  EphemerisLibrary& library, WorkerThreads& workers, CliContext& ctx);

// Draws `inside`, with `outside` superposed when given, into the requested file and says so
// on standard error. In the fixed zodiac the Hindu aspect table of `private_dir` is loaded for
// the Hindu aspect lines. Returns the exit status.
int write_wheel(const std::string& file, const WheelRequest& request, const Horoscope& inside,
                const Horoscope* outside, const AspectTable& aspects, const std::string& private_dir,
                CliContext& ctx);

}  // namespace tellurim
