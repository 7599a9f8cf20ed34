#include "report/directions_report.h"

#include <array>
#include <fmt/format.h>

#include "astro/planets_signs.h"
#include "base/strings.h"

namespace tellurim {

std::string directions_document(const Horoscope& h, const DirectionRequest& request, const DirectionList& list,
                                int format, const DocStyle& style, const TextMeasure& device) {
    Document doc(format, device, style.fonts, style.colours);
    const std::string title = direction_title(h, request);
    doc.start(format == kDocHtml ? "<TITLE>" + title + "</TITLE>" : std::string());
    doc.styled(1, title);
    doc.new_line();
    doc.styled(0, str(Str::DirectionKey) + " " + fmt::format("{:.6f}", list.key_deg_per_year));
    doc.new_line();
    // Widths in characters: planet names, the longest aspect name (29) with its side, arc, age.
    constexpr std::array<int, 5> kWidths{10, 10, 34, 10, 8};
    doc.table_start(kWidths);
    for (const Direction& d : list.directions) {
        const std::array<std::string, 5> cells{std::string(planet_name(d.significator)),
                                               std::string(planet_name(d.promissor)), direction_aspect_text(d),
                                               fmt::format("{:.4f}", d.arc_deg), fmt::format("{:6.2f}", d.age)};
        doc.row(cells);
    }
    doc.table_end();
    doc.new_line();
    doc.styled(0, direction_count_text(static_cast<long>(list.directions.size())));
    doc.new_line();
    doc.end();
    return doc.text();
}

}  // namespace tellurim
