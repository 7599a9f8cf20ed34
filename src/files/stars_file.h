#pragma once
// The stars catalogue file "stars.spra": loaded whole at start-up (and by the commands that
// need it), written by the catalogue generator.

#include <string>
#include <vector>

#include "astro/stars.h"

namespace tellurim {

// Loads the catalogue of `path`, leaving out malformed records. False, with the catalogue
// empty (its path still set), when the file cannot be read, its length is not a positive
// multiple of 704 bytes, or no record reads.
[[nodiscard]] bool load_star_catalogue(const std::string& path, StarCatalogue& catalogue);

// Whether the file loads as a stars catalogue (the options' check of "Stars file:").
bool is_star_catalogue_file(const std::string& path);

// Writes the records in order, numbered from 0, through a temporary file in the same
// directory and a rename.
[[nodiscard]] bool write_star_catalogue(const std::string& path, const std::vector<StarRecord>& stars);

}  // namespace tellurim
