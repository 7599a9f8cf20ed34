#include "app/cli_settings.h"

#include "files/aspects_file.h"
#include "files/directories.h"
#include "files/installed_data.h"
#include "files/my_city.h"
#include "files/options_file.h"
#include "base/strings.h"
#include "core/paths.h"

namespace tellurim {

std::optional<CliSettings> load_cli_settings(CliContext& ctx) {
    SilentMessages silent;
    MessageSink& messages = ctx.messages ? *ctx.messages : silent;
    // A directory given on the command line serves this run only: nothing is stored.
    auto directory = [&](DirectoryKind kind, const std::string& override_path) {
        return override_path.empty() ? get_directory(kind, messages) : ensure_directory(override_path, messages);
    };
    DirectoryResult private_dir = directory(DirectoryKind::Private, ctx.private_dir);
    if (!private_dir.ok || private_dir.path.empty()) {
        ctx.exit_code = kExitFailure;
        return std::nullopt;
    }
    // Failures of the horoscopes directory are reported and the run goes on.
    DirectoryResult horoscopes_dir = directory(DirectoryKind::Horoscopes, ctx.horoscopes_dir);

    OptionsLoad load = load_options(private_dir.path, horoscopes_dir.path, messages);
    if (!load.ok()) {
        ctx.exit_code = load.exit_code();
        return std::nullopt;
    }
    // "My city" keeps the correction of the system's time zone: when the system has moved
    // between standard and daylight time since it was stored, it is brought up to date.
    const SystemTimeZone zone = system_time_zone_now();
    if (check_my_city(load.options.my_city, zone, messages)) {
        // Saved as a read-modify-write, so that a run saving at the same time keeps its change.
        SilentMessages told;  // the user has just been told
        if (!update_options(private_dir.path, load.options,
                            [&](Options& o) { return check_my_city(o.my_city, zone, told) || true; }))
            messages.tell(options_file_path(private_dir.path), str(Str::OptionsCannotSave), MessageIcon::Warning);
    }
    // Settings of another installation (or of a build tree) whose shipped data is gone are
    // brought to this installation's data before the check.
    repair_shipped_paths(private_dir.path, load.options, base_directory(), messages);
    // Every configured path is checked at start-up; a missing one is only reported.
    check_configuration(load.options, horoscopes_dir.path, messages);
    AspectsLoad aspects = load_aspect_table(aspects_file_path(private_dir.path), messages);
    return CliSettings{private_dir.path, horoscopes_dir.path, std::move(load.options), std::move(aspects.table)};
}

}  // namespace tellurim
