#include "base/strings.h"

#include <array>

namespace tellurim {
namespace {

constexpr std::array<std::string_view, static_cast<int>(Str::Count)> kTexts = {
#define TELLURIM_STRING(name, text) std::string_view(text),
#include "base/strings_core.def"
#include "base/strings_astro.def"
#include "base/strings_files.def"
#include "base/strings_places.def"
#include "base/strings_ephemeris.def"
#include "base/strings_app.def"
#include "base/strings_sky.def"
#include "base/strings_chart.def"
#include "base/strings_settings.def"
#include "base/strings_exchange.def"
#include "base/strings_aspects.def"
#include "base/strings_stars.def"
#include "base/strings_hindu.def"
#include "base/strings_strength.def"
#include "base/strings_wheel.def"
#include "base/strings_reliab.def"
#include "base/strings_birth.def"
#include "base/strings_report.def"
#include "base/strings_atlas_checks.def"
#include "base/strings_output.def"
#include "base/strings_roundtrip.def"
#include "base/strings_transits.def"
#include "base/strings_script.def"
#include "base/strings_script_chart.def"
#include "base/strings_script_sky.def"
#include "base/strings_geocoding.def"
#include "base/strings_gui_config.def"
#include "base/strings_gui_computing.def"
#include "base/strings_gui_aspects.def"
#include "base/strings_gui_drawing.def"
#include "base/strings_gui_tools.def"
#include "base/strings_install.def"
#undef TELLURIM_STRING
};

}  // namespace

std::string_view text(Str id) {
    auto i = static_cast<std::size_t>(id);
    return i < kTexts.size() ? kTexts[i] : std::string_view("ERROR");
}

}  // namespace tellurim
