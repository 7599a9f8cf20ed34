#include "files/options_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "astro/dasa_table.h"
#include "files/my_city.h"
#include "core/options_image.h"
#include "core/paths.h"
#include "core/text.h"

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

// Writes the whole image; false when the file cannot be opened or nothing was written.
bool write_image(const std::string& path, const std::vector<std::uint8_t>& image) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, S_IRUSR | S_IWUSR);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < image.size()) {
        ssize_t n = ::write(fd, image.data() + done, image.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    bool closed = ::close(fd) == 0;
    return done > 0 && closed;
}

// Reads up to `count` bytes from the start of the file.
std::vector<std::uint8_t> read_head(const std::string& path, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return {};
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd, bytes.data() + done, count - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

}  // namespace

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
    std::error_code ec;
    bool exists = fs::exists(path, ec);
    if (exists) {
        auto length = fs::file_size(path, ec);
        if (ec || length % kOptionsFileSize != 0) {
            messages.tell(str(Str::OptionsFileCorrupt), str(Str::FilesCaptionFatalError), MessageIcon::Error);
            fs::remove(path, ec);
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
        if (!read_options_image(bytes, r.options)) r.status = OptionsLoadStatus::CannotRead;
        return r;
    }
    if (!write_image(path, write_options_image(r.options))) {
        messages.tell(str(Str::OptionsCannotCreate), str(Str::FilesCaptionFatalError), MessageIcon::Error);
        r.status = OptionsLoadStatus::CannotCreate;
        return r;
    }
    messages.tell(str(Str::OptionsCreated), str(Str::OptionsCaptionFileCreation), MessageIcon::Information);
    if (r.status != OptionsLoadStatus::Recreated) r.status = OptionsLoadStatus::Created;
    return r;
}

bool save_options(const std::string& private_dir, const Options& options) {
    return write_image(options_file_path(private_dir), write_options_image(options));
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
        messages.tell(e.path, str(e.is_file ? Str::CheckConfigFile : Str::CheckConfigDirectory),
                      MessageIcon::Warning);
        all = false;
    }
    return all;
}

PathsCheck check_paths_dialog(OptionsPaths& v, const std::function<bool(const std::string&)>& stars_load) {
    auto fail = [](PathsField field, Str message) { return PathsCheck{field, message}; };
    if (!is_directory(v.tcl_script_dir)) return fail(PathsField::TclScriptDir, Str::FilesNotACorrectValue);
    if (!v.stars_file.empty() &&
        (!is_regular_file(v.stars_file) || (stars_load && !stars_load(v.stars_file))))
        return fail(PathsField::StarsFile, Str::FilesNotACorrectValue);
    if (!is_directory(v.countries_dir)) return fail(PathsField::CountriesDir, Str::FilesNotAValidPath);
    std::string editor;
    for (char c : v.text_editor)
        if (c != '"') editor.push_back(c);
    // An executable is a regular file with execute permission.
    if (!editor.empty() && (!is_regular_file(editor) || ::access(editor.c_str(), X_OK) != 0))
        return fail(PathsField::TextEditor, Str::FilesNotACorrectValue);
    if (!is_regular_file(v.db_ini_file)) return fail(PathsField::DbIniFile, Str::FilesNotACorrectValue);
    fs::path save_dir = fs::path(v.save_file).parent_path();
    if (save_dir.empty()) save_dir = ".";
    if (v.save_file.empty() || !is_directory(save_dir.string()))
        return fail(PathsField::SaveFile, Str::FilesNotACorrectValue);
    v.text_editor = editor;
    v.default_country = truncate_utf16_units(v.default_country, kNameUnits);
    v.default_state = truncate_utf16_units(v.default_state, kNameUnits);
    return {};
}

}  // namespace tellurim
