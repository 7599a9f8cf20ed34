#pragma once
// The `tellurim` command line: one context shared by every command group, and the
// registration function of each group (one file each: cli_<group>.cpp).

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "core/messages.h"

namespace tellurim {

// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;   // not found, computation failed, settings unusable
inline constexpr int kExitBadInput = 2;  // a text or value the user gave is not acceptable

struct CliContext {
    std::string private_dir;     // --private-dir: overrides the stored private directory
    std::string horoscopes_dir;  // --horoscopes-dir: overrides the stored horoscopes directory
    bool assume_yes = false;     // --yes: answer "yes" to every question
    MessageSink* messages = nullptr;
    int exit_code = kExitOk;

    // Records a failure: the message goes through the message interface, the exit code is kept.
    void fail(int code, const std::string& text, const std::string& caption = "Error",
              MessageIcon icon = MessageIcon::Error) {
        if (messages) messages->tell(text, caption, icon);
        exit_code = code;
    }
};

// The line the command line prints for a message: "caption: text", "caption text" when the
// caption ends in ":", the text alone without a caption.
std::string message_line(const Message& m);

// Message interface of the command line: message_line on standard error; questions are
// asked on a terminal and take the default answer otherwise (or "yes" with --yes).
class CliMessages : public MessageSink {
public:
    explicit CliMessages(bool assume_yes) : m_assume_yes(assume_yes) {}
    void set_assume_yes(bool v) { m_assume_yes = v; }
    MessageAnswer show(const Message& message) override;
    std::string ask_text(const std::string& prompt, const std::string& proposed) override;

private:
    bool m_assume_yes;
};

// Command groups. `calc` is the shared "tellurim calc" subcommand.
void register_date_commands(CLI::App& calc, CliContext& ctx);      // calc date, calc angle
void register_options_commands(CLI::App& app, CliContext& ctx);    // options show|reset
void register_sky_commands(CLI::App& calc, CliContext& ctx);       // calc sidereal-time, houses, ayanamsa
void register_positions_commands(CLI::App& calc, CliContext& ctx); // calc positions
void register_place_commands(CLI::App& app, CliContext& ctx);      // place find|list
void register_chart_commands(CLI::App& app, CliContext& ctx);      // chart
void register_open_command(CLI::App& app, CliContext& ctx);        // open
void register_exchange_commands(CLI::App& app, CliContext& ctx);   // import, export db|text, db test|setup
void register_aspects_commands(CLI::App& app, CliContext& ctx);    // aspects show|set|add|delete|reset
void register_directions_commands(CLI::App& app, CLI::App& calc, CliContext& ctx);  // directions, calc direction
void register_stars_commands(CLI::App& app, CLI::App& calc, CliContext& ctx);  // stars list|file, calc star
void register_transits_commands(CLI::App& app, CLI::App& calc, CliContext& ctx);  // return, transits, calc step
void register_interp_commands(CLI::App& app, CliContext& ctx);  // interp list|add|delete|rebuild|find|show
void register_script_cli(CLI::App& app, CliContext& ctx);  // script FILE [--tk] [--horoscope F]

// Runs the command line; returns the exit status.
int run_cli(int argc, char** argv, MessageSink* messages_override = nullptr);

}  // namespace tellurim
