#include "files/options_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fmt/format.h>

#include "astro/dasa_table.h"
#include "files/my_city.h"
#include "files/settings_file.h"
#include "files/options_image.h"
#include "core/paths.h"
#include "base/regular_file.h"
#include "base/text.h"

namespace tellurim {
namespace fs = std::filesystem;

namespace {

// The Windows system colours the defaults were taken from (COLORREF): COLOR_WINDOWTEXT,
// COLOR_WINDOW and COLOR_INFOBK of the standard scheme.
constexpr ColorRef kWindowText = 0x000000;
constexpr ColorRef kWindow = 0xFFFFFF;
constexpr ColorRef kInfoBackground = 0xE1FFFF;

bool is_directory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}
bool is_regular_file(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// Reads up to `count` bytes from the start of the file.
std::vector<std::uint8_t> read_head(const std::string& path, std::size_t count) {
    return read_regular_head(path, count).value_or(std::vector<std::uint8_t>{});
}

// A date-hour read from the file is usable when it is valid and its numbers are finite
// (NaN passes the range tests of is_valid).
bool usable_date(const DateHour& d) {
    return is_valid(d) && std::isfinite(d.seconds) && std::isfinite(d.jd_ut) && std::isfinite(d.jd_et);
}
bool usable_angle(const AngleValue& a) { return a.is_angle() && std::isfinite(a.value); }

// The 729 dasa periods are derived from the zero date and the year length: whatever the file
// holds for them (stale after an edit of the year length, zeroed, damaged), they are built
// again, over the fixed cycle of nine lords and 120 years.
void rebuild_dasa_periods(Options& o) {
    DasaTable fresh;
    build_dasa_table(fresh, o.dasas.zero_date, o.dasas.year_length);
    o.dasas = fresh;
}

}  // namespace

void repair_loaded_options(Options& o, const Options& defaults, const std::string& path, MessageSink& messages) {
    // One row per field whose value a well-sized file can still hold wrong: its name as the
    // user knows it, whether the loaded value is usable, and how the default is put back.
    struct Field {
        std::string_view name;
        bool usable;
        std::function<void()> reset;
    };
    const double origin_deg = o.drawing.zodiac_origin.to_degrees();
    const Field fields[] = {
        {"zero date", usable_date(o.astro.zero_date), [&] { o.astro.zero_date = defaults.astro.zero_date; }},
        {"house system", o.astro.house_system < kHouseSystemCount,
         [&] { o.astro.house_system = defaults.astro.house_system; }},
        {"zodiac", o.astro.zodiac_movable <= 1, [&] { o.astro.zodiac_movable = defaults.astro.zodiac_movable; }},
        {"zodiac origin angle",
         usable_angle(o.drawing.zodiac_origin) && origin_deg >= 0.0 && origin_deg < 360.0,
         [&] { o.drawing.zodiac_origin = defaults.drawing.zodiac_origin; }},
        {"aspect ratio", std::isfinite(o.drawing.aspect_ratio) && o.drawing.aspect_ratio != 0.0f,
         [&] { o.drawing.aspect_ratio = defaults.drawing.aspect_ratio; }},
        {"smoothing mode", o.drawing.smoothing_mode >= 0 && o.drawing.smoothing_mode <= 4,
         [&] { o.drawing.smoothing_mode = defaults.drawing.smoothing_mode; }},
        {"My city longitude", usable_angle(o.my_city.place.longitude),
         [&] { o.my_city.place.longitude = defaults.my_city.place.longitude; }},
        {"My city latitude", usable_angle(o.my_city.place.latitude) && std::abs(o.my_city.place.latitude.to_degrees()) <= 90.0,
         [&] { o.my_city.place.latitude = defaults.my_city.place.latitude; }},
        {"My city correction", std::isfinite(o.my_city.correction_hours) && std::abs(o.my_city.correction_hours) <= 24.0,
         [&] { o.my_city.correction_hours = defaults.my_city.correction_hours; }},
        {"exaltation zero date", usable_date(o.exaltations.zero_date),
         [&] { o.exaltations.zero_date = defaults.exaltations.zero_date; }},
        {"dasa zero date", usable_date(o.dasas.zero_date),
         [&] { build_dasa_table(o.dasas, defaults.dasas.zero_date, o.dasas.year_length); }},
        {"dasa year length", std::isfinite(o.dasas.year_length) && o.dasas.year_length > 100.0,
         [&] { build_dasa_table(o.dasas, o.dasas.zero_date, defaults.dasas.year_length); }},
        {"ephemeris type", o.ephemeris.type >= kEphemerisLow && o.ephemeris.type <= kEphemerisJpl,
         [&] { o.ephemeris.type = defaults.ephemeris.type; }},
    };
    for (const Field& f : fields) {
        if (f.usable) continue;
        messages.tell(fmt::format(fmt::runtime(text(Str::OptionsBadValue)), path, f.name), str(Str::OptionsCaptionBadValue),
                      MessageIcon::Warning);
        f.reset();
    }
}

Options make_default_options(const std::string& horoscopes_dir) {
    Options o;
    // No screen is known here: a common desktop work area; the GUI refreshes it.
    o.window = WindowRect{0, 0, 1280, 800};

    const std::string base = base_directory();
    o.paths.stars_file = join_path(join_path(base, "stars"), "stars.spra");
    o.paths.countries_dir = join_path(base, "countries");
    o.paths.tcl_script_dir = join_path(base, "tcltkscript");
    o.paths.text_editor.clear();
    o.paths.db_ini_file = join_path(join_path(join_path(base, "db"), "sqlite"), "tellurimdb.ini");
    o.paths.save_file = join_path(horoscopes_dir, "save.txt");
    // DE405 for 1960-2060, converted from Debian's casacore-data-jpl-de405 during setup
    // (tools/data.d/50-jpl-de405.sh).
    o.ephemeris.jpl_file = join_path(join_path(base, "ephemeris"), "de405_1960_2060.eph");

    o.fonts = Options::default_fonts(96);
    o.fonts[kFontGlobal].colour = kWindowText;
    o.colours.pen = colorref_to_argb(kWindowText, 0xFF);
    o.colours.drawing_background = colorref_to_argb(kWindow, 0xFF);
    o.colours.text_background = colorref_to_argb(kWindow, 0xFF);
    o.colours.tooltip_background = colorref_to_argb(kInfoBackground, 0xAA);
    o.colours.background_image = join_path(join_path(base, "images"), "fond_cdc.jpg");

    o.my_city = default_my_city();
    SystemTimeZone zone = system_time_zone_now();
    o.my_city.correction_hours = zone.correction_hours();
    o.my_city.tz_state = zone.state;

    build_dasa_table(o.dasas, DasaTable::default_zero_date(), 365.25);
    return o;
}

std::string options_file_path(const std::string& private_dir) { return join_path(private_dir, kOptionsFileName); }

OptionsLoad load_options(const std::string& private_dir, const std::string& horoscopes_dir, MessageSink& messages) {
    OptionsLoad r{make_default_options(horoscopes_dir), OptionsLoadStatus::Loaded};
    const std::string path = options_file_path(private_dir);
    // Another run may be replacing or recreating the file: one at a time.
    SettingsLock lock(path);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    bool exists = fs::exists(status);
    if (exists) {
        // A directory or a FIFO of that name is as unusable as a file of the wrong length.
        const bool regular = fs::is_regular_file(status);
        const auto length = regular ? fs::file_size(path, ec) : 0;
        if (!regular || ec || length % kOptionsFileSize != 0) {
            std::string text = str(Str::OptionsFileCorrupt);
            // The damaged file is kept beside the new one, so that nothing is lost for good.
            if (auto kept = keep_damaged_file(path))
                text += "\n" + str(Str::OptionsDamagedKeptAs) + " " + *kept;
            else
                fs::remove_all(path, ec);
            messages.tell(text, str(Str::FilesCaptionFatalError), MessageIcon::Error);
            exists = false;
            r.status = OptionsLoadStatus::Recreated;
        }
    }
    if (exists) {
        std::vector<std::uint8_t> bytes = read_head(path, kOptionsFileSize);
        if (bytes.empty()) {
            messages.tell(str(Str::OptionsCannotRead), str(Str::FilesCaptionFatalError), MessageIcon::Error);
            r.status = OptionsLoadStatus::CannotRead;
            return r;
        }
        // A whole multiple of the size that reads short keeps the defaults beyond what came.
        bytes.resize(kOptionsFileSize, 0);
        const Options defaults = r.options;
        if (!read_options_image(bytes, r.options)) {
            r.status = OptionsLoadStatus::CannotRead;
            return r;
        }
        repair_loaded_options(r.options, defaults, path, messages);
        rebuild_dasa_periods(r.options);
        return r;
    }
    if (!write_settings_file(path, write_options_image(r.options))) {
        messages.tell(str(Str::OptionsCannotCreate), str(Str::FilesCaptionFatalError), MessageIcon::Error);
        r.status = OptionsLoadStatus::CannotCreate;
        return r;
    }
    messages.tell(str(Str::OptionsCreated), str(Str::OptionsCaptionFileCreation), MessageIcon::Information);
    if (r.status != OptionsLoadStatus::Recreated) r.status = OptionsLoadStatus::Created;
    return r;
}

bool save_options(const std::string& private_dir, const Options& options) {
    return write_settings_file(options_file_path(private_dir), write_options_image(options));
}

bool update_options(const std::string& private_dir, Options& options, const std::function<bool(Options&)>& change) {
    const std::string path = options_file_path(private_dir);
    SettingsLock lock(path);
    // Another run may have saved since this one loaded: its change is kept.
    Options current = options;
    std::vector<std::uint8_t> bytes = read_head(path, kOptionsFileSize);
    if (bytes.size() == kOptionsFileSize && !read_options_image(bytes, current)) current = options;
    // The file may still hold the damaged values that the load repaired in `options`: they are
    // repaired again (silently, the load has said so), so that neither this run nor the saved
    // file gets them back.
    SilentMessages told;
    repair_loaded_options(current, options, path, told);
    rebuild_dasa_periods(current);
    if (!change(current)) return true;
    if (!write_settings_file(path, write_options_image(current))) return false;
    options = std::move(current);
    return true;
}

bool check_configuration(const Options& options, const std::string& horoscopes_dir, MessageSink& messages) {
    struct Entry {
        const std::string& path;
        bool is_file;
    };
    const Entry entries[] = {
        {horoscopes_dir, false},
        {options.paths.tcl_script_dir, false},
        {options.paths.stars_file, true},
        {options.paths.countries_dir, false},
        {options.paths.db_ini_file, true},
    };
    bool all = true;
    for (const Entry& e : entries) {
        if (e.is_file ? is_regular_file(e.path) : is_directory(e.path)) continue;
        all = false;
        // An empty stars file is the user's choice (the paths dialog accepts it): charts go
        // without stars, and that is said once, here.
        if (e.path.empty() && &e.path == &options.paths.stars_file) {
            messages.tell(str(Str::StarsNoFileSet), str(Str::StarsCaption), MessageIcon::Information);
            continue;
        }
        messages.tell(e.path.empty() ? str(Str::CheckConfigNotSet) : e.path,
                      str(e.is_file ? Str::CheckConfigFile : Str::CheckConfigDirectory), MessageIcon::Warning);
    }
    return all;
}

std::optional<Str> check_paths_field(PathsField field, std::string& value,
                                     const std::function<bool(const std::string&)>& stars_load) {
    switch (field) {
        case PathsField::TclScriptDir:
            if (!is_directory(value)) return Str::FilesNotACorrectValue;
            break;
        case PathsField::StarsFile:
            if (!value.empty() && (!is_regular_file(value) || (stars_load && !stars_load(value))))
                return Str::FilesNotACorrectValue;
            break;
        case PathsField::CountriesDir:
            if (!is_directory(value)) return Str::FilesNotAValidPath;
            break;
        case PathsField::TextEditor: {
            std::string editor;
            for (char c : value)
                if (c != '"') editor.push_back(c);
            // An executable is a regular file with execute permission.
            if (!editor.empty() && (!is_regular_file(editor) || ::access(editor.c_str(), X_OK) != 0))
                return Str::FilesNotACorrectValue;
            value = editor;
            break;
        }
        case PathsField::DbIniFile:
            if (!is_regular_file(value)) return Str::FilesNotACorrectValue;
            break;
        case PathsField::SaveFile: {
            fs::path save_dir = fs::path(value).parent_path();
            if (save_dir.empty()) save_dir = ".";
            if (value.empty() || !is_directory(save_dir.string())) return Str::FilesNotACorrectValue;
            break;
        }
        case PathsField::None: break;
    }
    // A path longer than the record's array would be cut: refused like any bad value.
    if (truncate_utf16_units(value, kPathUnits) != value) return Str::FilesNotACorrectValue;
    return std::nullopt;
}

PathsCheck check_paths_dialog(OptionsPaths& v, const std::function<bool(const std::string&)>& stars_load) {
    OptionsPaths checked = v;
    const std::pair<PathsField, std::string*> fields[] = {
        {PathsField::TclScriptDir, &checked.tcl_script_dir}, {PathsField::StarsFile, &checked.stars_file},
        {PathsField::CountriesDir, &checked.countries_dir},  {PathsField::TextEditor, &checked.text_editor},
        {PathsField::DbIniFile, &checked.db_ini_file},        {PathsField::SaveFile, &checked.save_file},
    };
    for (const auto& [field, value] : fields)
        if (auto message = check_paths_field(field, *value, stars_load)) return PathsCheck{field, *message};
    checked.default_country = truncate_utf16_units(checked.default_country, kNameUnits);
    checked.default_state = truncate_utf16_units(checked.default_state, kNameUnits);
    v = checked;
    return {};
}

}  // namespace tellurim
