// The directory index "dircountries.pra": the first line of the input is "country|state",
// the rest the index bytes searched for them.
#include "files/cities.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const NameCollator names = NameCollator::for_user();
    auto [query, file] = fuzz::split_first_line(fuzz::as_text(data, size));
    const auto [country, state] = fuzz::split_bar(query);
    const AtlasSettings atlas{"/nonexistent/countries", "USA"};
    const std::span<const std::uint8_t> index(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    CityDirectory d = find_city_directory_in(index, "dircountries.pra", country, state, atlas, names);
    fuzz::check(d.ok || !d.feedback.empty());
    if (is_valid_file_size(index.size(), kDirectoryEntrySize)) {
        ByteReader in(index);
        (void)read_directory_entry(in);
    }
    return 0;
}
