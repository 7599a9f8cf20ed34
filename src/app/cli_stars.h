#pragma once
// The stars catalogue of a command-line run, shared by `stars`, `calc star` and `chart`.

#include <string>

#include "astro/stars.h"
#include "core/messages.h"
#include "core/options.h"

namespace tellurim {

// Loads the options' stars file. When it does not load, the user is told why (a missing file
// with the configuration check's caption, a malformed one as not a stars catalogue) and the
// catalogue stays empty.
bool load_cli_stars(const Options& options, StarCatalogue& catalogue, MessageSink& messages);

// "1.35"; "NA" when the magnitude is unknown.
std::string star_magnitude_text(double magnitude);

}  // namespace tellurim
