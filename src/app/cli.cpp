#include "app/cli.h"

#include <iostream>
#include <unistd.h>

#include "app/cli_hindu.h"
#include "app/man_page.h"
#include "core/paths.h"

namespace tellurim {

std::string message_line(const Message& m) {
    if (m.caption.empty()) return m.text;
    // A caption that already ends in ":" ("Bad horoscope file format:") takes its text after a
    // space, not after a second colon.
    return m.caption + (m.caption.back() == ':' ? " " : ": ") + m.text;
}

MessageAnswer CliMessages::show(const Message& m) {
    std::cerr << message_line(m) << "\n";
    if (m.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (m_assume_yes) return m.buttons == MessageButtons::OkCancel ? MessageAnswer::Ok : MessageAnswer::Yes;
    if (!isatty(STDIN_FILENO)) return m.default_answer;
    std::cerr << (m.buttons == MessageButtons::OkCancel ? "[o]k/[c]ancel? " : "[y]es/[n]o? ") << std::flush;
    std::string line;
    if (!std::getline(std::cin, line) || line.empty()) return m.default_answer;
    switch (line[0]) {
        case 'y': case 'Y': return MessageAnswer::Yes;
        case 'n': case 'N': return MessageAnswer::No;
        case 'o': case 'O': return MessageAnswer::Ok;
        case 'c': case 'C': return MessageAnswer::Cancel;
        default: return m.default_answer;
    }
}

std::string CliMessages::ask_text(const std::string& prompt, const std::string& proposed) {
    if (m_assume_yes || !isatty(STDIN_FILENO)) {
        std::cerr << prompt << " " << proposed << " (taken by default)\n";
        return proposed;
    }
    std::cerr << prompt << " [" << proposed << "]: " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return {};
    return line.empty() ? proposed : line;
}

int run_cli(int argc, char** argv, MessageSink* messages_override) {
    CLI::App app{"Tellurim: astrology workstation", "tellurim"};
    app.set_version_flag("--version", "tellurim " + tellurim_version());
    app.require_subcommand(1);
    CliContext ctx;
    CliMessages cli_messages(false);
    ctx.messages = messages_override ? messages_override : &cli_messages;
    app.add_option("--private-dir", ctx.private_dir, "Private directory for this run (settings)");
    app.add_option("--horoscopes-dir", ctx.horoscopes_dir, "Horoscopes directory for this run");
    app.add_flag("--yes", ctx.assume_yes, "Answer yes to every question");
    app.parse_complete_callback([&] { cli_messages.set_assume_yes(ctx.assume_yes); });
    // Hidden: the manual page and the completion script that the build installs, made from
    // this very table.
    app.add_flag_callback("--help-man", [&] {
           std::cout << render_man_page(cli_man_page(app, tellurim_version(), manual_blocks("tellurim-gui")));
           throw CLI::Success();
       })->group("");
    app.add_option_function<std::string>("--completion", [&](const std::string&) {
           std::cout << bash_completion(app);
           throw CLI::Success();
       })->check(CLI::IsMember({"bash"}))->group("");

    CLI::App* calc = app.add_subcommand("calc", "Calculations on dates, angles and the sky");
    calc->require_subcommand(1);
    register_date_commands(*calc, ctx);
    register_sky_commands(*calc, ctx);
    register_positions_commands(*calc, ctx);
    register_options_commands(app, ctx);
    register_place_commands(app, ctx);
    register_chart_commands(app, ctx);
    register_hindu_commands(app, *calc, ctx);
    register_open_command(app, ctx);
    register_exchange_commands(app, ctx);
    register_aspects_commands(app, ctx);
    register_directions_commands(app, *calc, ctx);
    register_stars_commands(app, *calc, ctx);
    register_transits_commands(app, *calc, ctx);
    register_interp_commands(app, ctx);
    register_script_cli(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? kExitOk : kExitBadInput;
    }
    return ctx.exit_code;
}

}  // namespace tellurim
