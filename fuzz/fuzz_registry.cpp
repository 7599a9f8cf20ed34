// The registry file's text: its lines and the directory values they hold.
#include "files/directories.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const RegistryLine& l : parse_registry_lines(fuzz::as_text(data, size))) {
        fuzz::check(l.name.find('=') == std::string::npos);
        (void)is_acceptable_directory_value(l.value);
    }
    return 0;
}
