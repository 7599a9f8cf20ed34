#include "files/stars_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/regular_file.h"

namespace tellurim {

bool load_star_catalogue(const std::string& path, StarCatalogue& catalogue) {
    catalogue.stars.clear();
    catalogue.path = path;
    auto bytes = read_regular_file(path);
    if (!bytes) return false;
    auto stars = parse_stars(*bytes);
    if (!stars) return false;
    catalogue.stars = std::move(*stars);
    return catalogue.loaded();
}

bool is_star_catalogue_file(const std::string& path) {
    StarCatalogue c;
    return load_star_catalogue(path, c);
}

bool write_star_catalogue(const std::string& path, const std::vector<StarRecord>& stars) {
    ByteWriter out(stars.size() * kStarRecordSize);
    for (std::size_t i = 0; i < stars.size(); ++i) {
        StarRecord s = stars[i];
        s.number = static_cast<std::uint32_t>(i);
        write_star(out, s);
    }
    const std::string temp = path + ".tmp";
    bool ok;
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(out.bytes().data()), static_cast<std::streamsize>(out.size()));
        f.flush();
        ok = static_cast<bool>(f);
    }
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace tellurim
