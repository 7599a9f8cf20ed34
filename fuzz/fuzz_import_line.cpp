// One line of an import text file, tab-separated: the fields checked and completed as the
// import does before it computes. The atlas is absent, so a line that needs it fails fast.
#include <cctype>

#include "core/options.h"
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
    SilentMessages silent;
    ImportLog log(silent, false);
    ImportEnvironment env;
    env.options = &options;
    BirthData birth;
    bool empty = false;
    std::string error;
    const std::string_view text = fuzz::as_text(data, size);
    // The separator is the input's first byte when it is not a letter or digit, else a tab.
    std::string_view separator = "\t";
    std::string_view line = text;
    if (!text.empty() && !std::isalnum(static_cast<unsigned char>(text[0]))) {
        separator = text.substr(0, 1);
        line = text.substr(1);
    }
    if (read_import_line(line, separator, birth, empty, log, env, error) && !empty) {
        fuzz::check(birth.place.longitude.is_angle() && birth.place.latitude.is_angle());
    }
    return 0;
}
