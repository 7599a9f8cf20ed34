#pragma once
// The results report of a computed horoscope: everything the pipeline filled, in a fixed
// order of sections (birth data, time scales, precession, positions in four frames,
// equatorial coordinates, houses and aspect grids, sunrise and the lunation, Hindu strengths
// and qualities, relationships, time lords, divisional signs, Ashtakavarga bindus, horizon of
// planets and stars), written once through the document writer in any of its five formats.
// The report reads the horoscope and formats; it computes nothing but sorting.

#include <optional>
#include <string>
#include <string_view>

#include "astro/hindu_aspects.h"
#include "astro/stars.h"
#include "core/horoscope.h"
#include "report/doc_writer.h"

namespace tellurim {

// The report's sections, in their order, as bits of a ReportSections mask:
// birth (birth data, time scales, precession), positions (the four position tables and the
// equatorial coordinates), houses (the cusps and the aspect grids), sun (sunrise, sunset and
// the lunation), strengths (planets, houses, quality of planets), hindu (relationships, aspect
// qualities, time lords, divisional signs), ashtakavarga, horizon (the planets' azimuth and
// elevation) and stars (the azimuth and elevation of every star of the catalogue).
enum class ReportSection { Birth, Positions, Houses, Sun, Strengths, Hindu, Ashtakavarga, Horizon, Stars, Count };
using ReportSections = unsigned;
inline constexpr ReportSections section_bit(ReportSection s) { return 1u << static_cast<unsigned>(s); }
inline constexpr ReportSections kAllReportSections = (1u << static_cast<unsigned>(ReportSection::Count)) - 1u;
// The section's name on the command line ("birth" ... "stars"), and back (nullopt for none).
std::string_view report_section_name(ReportSection s);
std::optional<ReportSection> report_section_from_name(std::string_view name);

// What the report shows beside the horoscope itself.
struct ReportSources {
    std::string ephemeris_name;                      // the ephemeris library's name, as loaded
    const HinduAspectTable* hindu_aspects = nullptr; // null: the default Hindu aspect table
    StarCatalogue* stars = nullptr;                  // null or empty: the stars table has no rows
    ReportSections sections = kAllReportSections;    // the sections written
};

// Appends the report in `format` (0 to 4), with the style's body font and colour (number 0)
// and title font and colour (number 1), to `text` (UTF-8). With TELLURIM_DEBUG set it traces
// its entry on standard error. False when a writer operation failed (an unknown format): the
// text then holds what could be written. A horoscope without positions is not a failure: its
// report ends after the precession with "Horoscope is invali, ...".
[[nodiscard]] bool write_results_report(const Horoscope& h, const ReportSources& sources, int format,
                                        const DocStyle& style, const TextMeasure& device, std::string& text);

// The moment `ut` on the mean solar clock of a place of east longitude `longitude`; not
// valid when either is undefined.
DateHour local_mean_time(const DateHour& ut, const AngleValue& longitude);
// A sunrise or sunset as the report prints it: its date-hour, or "none (polar day)" /
// "none (polar night)" when the Sun does not rise or set that day.
std::string sun_moment_text(const SunRecord& sun, const DateHour& moment);

}  // namespace tellurim
