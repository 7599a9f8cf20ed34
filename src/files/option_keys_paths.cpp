// Rows of the directories and files, the two directories (registry values) and the database
// connection.
#include "base/strings.h"
#include "base/text.h"
#include "files/directories.h"
#include "files/option_keys.h"
#include "files/options_file.h"
#include "files/stars_file.h"

namespace tellurim {

void append_paths_keys(OptionKeys& keys) {
    const std::string block = "Directories and files";
    struct PathRow {
        const char* name;
        PathsField field;  // None: a name, cut to 119 characters as the dialog does
        std::string OptionsPaths::*member;
    };
    static const PathRow kRows[] = {
        {"paths.stars-file", PathsField::StarsFile, &OptionsPaths::stars_file},
        {"paths.countries-dir", PathsField::CountriesDir, &OptionsPaths::countries_dir},
        {"paths.tcl-script-dir", PathsField::TclScriptDir, &OptionsPaths::tcl_script_dir},
        {"paths.text-editor", PathsField::TextEditor, &OptionsPaths::text_editor},
        {"paths.db-ini-file", PathsField::DbIniFile, &OptionsPaths::db_ini_file},
        {"paths.save-file", PathsField::SaveFile, &OptionsPaths::save_file},
        {"paths.default-country", PathsField::None, &OptionsPaths::default_country},
        {"paths.default-state", PathsField::None, &OptionsPaths::default_state},
    };
    for (const PathRow& r : kRows) {
        OptionKey k{r.name, block, r.field == PathsField::None ? "TEXT" : "PATH"};
        const PathsField field = r.field;
        auto member = r.member;
        k.set = [field, member](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            std::string value = v[0];
            if (field == PathsField::None)
                value = truncate_utf16_units(value, kNameUnits);
            else if (auto message = check_paths_field(field, value, is_star_catalogue_file))
                return str(*message);
            ctx.options.paths.*member = value;
            return std::nullopt;
        };
        k.get = [member](const OptionContext& ctx) { return ctx.options.paths.*member; };
        keys.push_back(std::move(k));
    }

    // The two directories live in the registry; a change copies the old directory's files
    // (options.pra among them) into the new one.
    const std::string dirs = "Directories";
    for (DirectoryKind kind : {DirectoryKind::Private, DirectoryKind::Horoscopes}) {
        OptionKey k{kind == DirectoryKind::Private ? "directories.private" : "directories.horoscopes", dirs, "DIRECTORY"};
        k.in_options_file = false;
        k.set = [kind](OptionContext& ctx, const std::vector<std::string>& v) -> OptionSetResult {
            const std::string& current = kind == DirectoryKind::Private ? ctx.private_dir : ctx.horoscopes_dir;
            if (set_directory(kind, current, v[0], ctx.messages) != SetDirectoryFailure::None) return std::string();
            (kind == DirectoryKind::Private ? ctx.private_dir : ctx.horoscopes_dir) = v[0];
            return std::nullopt;
        };
        k.get = [kind](const OptionContext& ctx) {
            return kind == DirectoryKind::Private ? ctx.private_dir : ctx.horoscopes_dir;
        };
        keys.push_back(std::move(k));
    }
}

void append_database_keys(OptionKeys& keys) {
    const std::string block = "Database";
    keys.push_back(text_key("database.name", block, kDatabaseUnits, [](Options& o) -> std::string& { return o.database.name; }));
    keys.push_back(text_key("database.login", block, kDatabaseUnits, [](Options& o) -> std::string& { return o.database.login; }));
    OptionKey password = text_key("database.password", block, kDatabaseUnits,
                                  [](Options& o) -> std::string& { return o.database.password; });
    password.secret = true;
    keys.push_back(std::move(password));
    // "&Prefix horoscope id with machine IP"
    keys.push_back(flag_key("database.prefix-id-with-ip", block,
                            [](Options& o) -> std::uint8_t& { return o.database.prefix_with_ip; }));
    // "&Default save horoscope to database"
    keys.push_back(flag_key("database.default-save", block,
                            [](Options& o) -> std::uint8_t& { return o.database.default_save_to_db; }));
}

}  // namespace tellurim
