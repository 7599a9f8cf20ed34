#include "app/cli_wheel.h"

#include <fmt/format.h>
#include <iostream>

#include "base/strings.h"
#include "app/cli_common.h"
#include "draw/wheel_chart.h"
#include "files/hindu_aspects_file.h"
#include "files/horoscope_file.h"

namespace tellurim {

CLI::Option* add_wheel_options(CLI::App& command, WheelArgs& args) {
    command.add_option("--wheel", args.file, "Draw the chart wheel into FILE.png, FILE.svg or FILE.pdf");
    command.add_option("--size", args.size, "The wheel's size in pixels, WIDTHxHEIGHT (default 800x800)");
    return command.add_option("--outside", args.outside,
                              "Superpose outside the wheel the horoscope of this file (synastry, transits)");
}

std::optional<WheelRequest> check_wheel_args(const WheelArgs& args, CliContext& ctx) {
    if (args.file.empty()) return std::nullopt;
    const auto format = wheel_format_of(args.file);
    if (!format) {
        ctx.fail(kExitBadInput, str(Str::WheelBadExtension) + " " + args.file);
        return std::nullopt;
    }
    const auto size = parse_wheel_size(args.size);
    if (!size) {
        ctx.fail(kExitBadInput, str(Str::WheelBadSize) + " " + args.size);
        return std::nullopt;
    }
    if (*format == WheelFormat::Png && !raster_size_allowed(*size)) {
        ctx.fail(kExitBadInput, str(Str::WheelTooLarge) + " " + args.size);
        return std::nullopt;
    }
    if (!check_output_paths({args.file}, ctx)) return std::nullopt;
    return WheelRequest{*format, *size};
}

std::unique_ptr<Horoscope> read_outside_horoscope(const std::string& path, const Horoscope& inside,
                                                  EphemerisLibrary& library, WorkerThreads& workers, CliContext& ctx) {
    auto o = std::make_unique<Horoscope>();
    o->aspect_table = inside.aspect_table;
    if (!read_horoscope_file(*o, path, inside.options, *ctx.messages, workers, library)) {
        ctx.exit_code = kExitFailure;
        return nullptr;
    }
    return o;
}

int write_wheel(const std::string& file, const WheelRequest& request, const Horoscope& inside,
                const Horoscope* outside, const AspectTable& aspects, const std::string& private_dir,
                CliContext& ctx) {
    std::optional<HinduAspectTable> hindu;
    if (inside.options.astro.zodiac_movable == 0) hindu = load_hindu_aspects(private_dir, *ctx.messages).table;
    const WheelInput input = wheel_input(inside, outside, &aspects, hindu ? &*hindu : nullptr);
    WheelGui gui;
    switch (write_wheel_file(file, request.format, request.size, gui.screen_size(), inside.options,
                             wheel_style(inside.options, outside != nullptr), input)) {
        case WheelFileStatus::Written: break;
        case WheelFileStatus::NotRegular: ctx.fail(kExitFailure, file, str(Str::OutputNotRegular)); return ctx.exit_code;
        case WheelFileStatus::OutOfMemory:
            ctx.fail(kExitFailure, fmt::format("{}x{}", request.size.width(), request.size.height()),
                     str(Str::WheelOutOfMemory));
            return ctx.exit_code;
        case WheelFileStatus::Failed:
            ctx.fail(kExitFailure, str(Str::WheelCannotWrite) + ": " + file);
            return ctx.exit_code;
    }
    std::cerr << text(Str::WheelWritten) << " " << file << "\n";
    return kExitOk;
}

}  // namespace tellurim
