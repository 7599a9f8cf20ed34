// The text export line with the import: any horoscope whose line the export writes imports
// again as the same birth data (its line written again is the same), or the export refuses it.
// The input is twelve fields separated by NUL: the separator, last name, first name, sex (its
// first byte modulo 3), universal date-hour, local date-hour, longitude and latitude (any angle
// text), city, county, state, country. The line goes through the import as a file's line does.
#include <array>

#include "core/options.h"
#include "files/exchange_line.h"
#include "files/options_file.h"
#include "files/text_import.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Options options = [] {
        Options o = make_default_options("/nonexistent/horoscopes");
        o.paths.countries_dir = "/nonexistent/countries";
        return o;
    }();
    std::array<std::string_view, 12> f{};
    std::string_view rest = fuzz::as_text(data, size);
    for (std::size_t i = 0; i < f.size(); ++i) {
        const auto nul = rest.find('\0');
        f[i] = rest.substr(0, nul);
        rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    }
    const std::string_view separator = f[0];
    BirthData b;
    b.last_name = f[1];
    b.first_name = f[2];
    b.sex = static_cast<std::uint8_t>(f[3].empty() ? 0 : static_cast<unsigned char>(f[3][0]) % 3);
    DateParse ut = parse_date_hour(f[4]);
    DateParse local = parse_date_hour(f[5]);
    auto lon = parse_angle(f[6]);
    auto lat = parse_angle(f[7]);
    if (!ut.ok || !local.ok || !lon || !lat) return 0;
    b.ut = ut.value;
    b.local = local.value;
    b.place.longitude = *lon;
    b.place.latitude = *lat;
    b.place.city = f[8];
    b.place.county = f[9];
    b.state = f[10];
    b.country = f[11];

    static Horoscope exported;
    static Horoscope imported;
    if (!exported.set_birth_data(b, true, options)) return 0;
    if (exchange_line_fault(exported, separator)) return 0;
    const std::string written = exchange_line(exported, separator);

    // The import reads the file line by line: one line, ended by its LF.
    fuzz::check(written.find('\n') == written.size() - 1);
    const std::string line = import_line_text(std::string_view(written).substr(0, written.size() - 1));
    SilentMessages silent;
    ImportLog log(silent, false);
    ImportEnvironment env;
    env.options = &options;
    BirthData read;
    bool empty = false;
    std::string error;
    fuzz::check(read_import_line(line, separator, read, empty, log, env, error) && !empty);
    fuzz::check(imported.set_birth_data(read, true, options));
    fuzz::check(exchange_line(imported, separator) == written);
    fuzz::check(imported.last_name == exported.last_name && imported.first_name == exported.first_name);
    fuzz::check(imported.place.city == exported.place.city && imported.place.county == exported.place.county);
    fuzz::check(imported.state == exported.state && imported.country == exported.country);
    return 0;
}
