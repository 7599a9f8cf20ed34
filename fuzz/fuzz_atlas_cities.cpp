// A city file "lonlat.pra": the first line of the input is "city|county", the rest the file.
// The search runs as find_city runs it, and every record is shown as the cities list shows it.
#include "files/cities.h"
#include "fuzz_util.h"

using namespace tellurim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const NameCollator names = NameCollator::for_user();
    auto [query, file] = fuzz::split_first_line(fuzz::as_text(data, size));
    const auto [city, county] = fuzz::split_bar(query);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    if (!is_valid_file_size(bytes.size(), kBirthPlaceSize)) return 0;
    std::string feedback;
    long taken = find_city_record(bytes, city, county, names, feedback);
    fuzz::check(taken < static_cast<long>(bytes.size() / kBirthPlaceSize));
    ByteReader in(bytes);
    while (in.remaining() >= kBirthPlaceSize) {
        ByteReader rec = in.sub(kBirthPlaceSize);
        BirthPlace p = read_birth_place(rec);
        (void)city_list_entry(p);
        (void)format_angle(p.longitude);
        (void)format_angle(p.latitude);
        (void)correction_file_name(p.time_zone);
    }
    return 0;
}
