#pragma once
// The system's string table: every message, caption and label the user sees, by number.
// The texts live in the *.def lists beside this file, one list per subsystem, each line
// TELLURIM_STRING(Name, "text"); they expand here into one enum and one lookup, so tests
// compare exact texts and a translation touches only the lists.

#include <string>
#include <string_view>

namespace tellurim {

enum class Str : int {
#define TELLURIM_STRING(name, text) name,
#include "core/strings_core.def"
#include "core/strings_astro.def"
#include "core/strings_files.def"
#include "core/strings_places.def"
#include "core/strings_ephemeris.def"
#include "core/strings_app.def"
#include "core/strings_sky.def"
#include "core/strings_chart.def"
#include "core/strings_settings.def"
#include "core/strings_exchange.def"
#include "core/strings_aspects.def"
#include "core/strings_stars.def"
#include "core/strings_hindu.def"
#include "core/strings_strength.def"
#include "core/strings_wheel.def"
#include "core/strings_reliab.def"
#include "core/strings_birth.def"
#include "core/strings_report.def"
#include "core/strings_atlas_checks.def"
#include "core/strings_script.def"
#undef TELLURIM_STRING
    Count
};

// The English text of a string number.
std::string_view text(Str id);
inline std::string str(Str id) { return std::string(text(id)); }

}  // namespace tellurim
