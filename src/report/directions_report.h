#pragma once
// The primary directions of a chart as a document (rich text, HTML or text) through the
// document writer: the title in the title font, the key, a table of the directions and the
// count of directions found.

#include <string>

#include "astro/directions.h"
#include "report/doc_writer.h"

namespace tellurim {

// The document text (UTF-8) of `list` in `format` (0 to 4), with the report's fonts and
// colours. Each row: significator, promissor, aspect with its side, arc in degrees, age
// written with "%6.2f".
std::string directions_document(const Horoscope& h, const DirectionRequest& request, const DirectionList& list,
                                int format, const DocStyle& style, const TextMeasure& device);

}  // namespace tellurim
