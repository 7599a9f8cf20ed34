#include "core/strings.h"

#include <array>

namespace tellurim {
namespace {

constexpr std::array<std::string_view, static_cast<int>(Str::Count)> kTexts = {
#define TELLURIM_STRING(name, text) std::string_view(text),
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
};

}  // namespace

std::string_view text(Str id) {
    auto i = static_cast<std::size_t>(id);
    return i < kTexts.size() ? kTexts[i] : std::string_view("ERROR");
}

}  // namespace tellurim
