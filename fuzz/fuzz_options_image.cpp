// The options file image: read over the defaults, repaired as a load does, shown as
// `options show` shows it, and written again.
#include "files/options_image.h"
#include "files/option_keys.h"
#include "files/options_file.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Options defaults = make_default_options("/nonexistent/horoscopes");
    Options o = defaults;
    if (!read_options_image(fuzz::as_bytes(data, size), o)) return 0;
    SilentMessages silent;
    repair_loaded_options(o, defaults, "/nonexistent/private/options.pra", silent);
    OptionContext ctx{o, "/nonexistent/private", "/nonexistent/horoscopes", silent};
    for (const OptionKey& k : all_option_keys())
        if (k.in_options_file && k.get) (void)k.get(ctx);
    (void)write_options_image(o);
    return 0;
}
