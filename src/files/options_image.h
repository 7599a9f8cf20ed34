#pragma once
// The byte image of the Options record, as kept in "options.pra": 64,760 bytes of record
// and 520 bytes of zero padding, every field little-endian at its fixed offset.
//
// Offset  Size    Block
//      0       8  interface flags
//      8      16  main window rectangle
//     24      48  astrology settings
//     72   3,600  directories and files
//  3,672   1,140  five fonts, 228 bytes each
//  4,812     636  colours and background image
//  5,448  12,168  planet glyph styles
// 17,616   3,456  planet-in-house halos
// 21,072     120  chart drawing settings
// 21,192     792  "My city"
// 21,984     608  database connection
// 22,592     768  exaltation table
// 23,360  21,816  nakshatra table, 27 rows of 808 bytes
// 45,176  17,696  dasa period table
// 62,872     324  natural planetary relationships, 18 x 18 signed bytes
// 63,196   1,564  ephemeris library choice
// 64,760     520  padding (zeros; ignored when read)

#include <cstdint>
#include <span>
#include <vector>

#include "core/options.h"

namespace tellurim {

inline constexpr std::size_t kOptionsRecordSize = 64760;
inline constexpr std::size_t kOptionsFileSize = 65280;

// Block offsets, for tests and for readers that look at a single block.
inline constexpr std::size_t kOptInterfaceOffset = 0;
inline constexpr std::size_t kOptWindowOffset = 8;
inline constexpr std::size_t kOptAstroOffset = 24;
inline constexpr std::size_t kOptPathsOffset = 72;
inline constexpr std::size_t kOptFontsOffset = 3672;
inline constexpr std::size_t kOptColoursOffset = 4812;
inline constexpr std::size_t kOptGlyphsOffset = 5448;
inline constexpr std::size_t kOptHouseHalosOffset = 17616;
inline constexpr std::size_t kOptDrawingOffset = 21072;
inline constexpr std::size_t kOptMyCityOffset = 21192;
inline constexpr std::size_t kOptDatabaseOffset = 21984;
inline constexpr std::size_t kOptExaltationsOffset = 22592;
inline constexpr std::size_t kOptNakshatrasOffset = 23360;
inline constexpr std::size_t kOptDasasOffset = 45176;
inline constexpr std::size_t kOptRelationshipsOffset = 62872;
inline constexpr std::size_t kOptEphemerisOffset = 63196;
inline constexpr std::size_t kOptPaddingOffset = 64760;

inline constexpr std::size_t kFontSettingSize = 228;
inline constexpr std::size_t kLogFontSize = 92;
inline constexpr std::size_t kGlyphStyleSize = 28;
inline constexpr std::size_t kHouseHaloSize = 16;
inline constexpr std::size_t kExaltationRowSize = 40;
inline constexpr std::size_t kNakshatraRowSize = 808;
inline constexpr std::size_t kDasaLordSize = 16;
inline constexpr std::size_t kDasaPeriodSize = 16;

// The 65,280 bytes of the file.
std::vector<std::uint8_t> write_options_image(const Options& options);
// Reads the first 65,280 bytes of `bytes` over `options`. False (and `options` untouched)
// when fewer bytes are given.
[[nodiscard]] bool read_options_image(std::span<const std::uint8_t> bytes, Options& options);

// Single blocks, for the files that share their layout.
void write_exaltation_table(ByteWriter& out, const ExaltationTable& t);
ExaltationTable read_exaltation_table(ByteReader& in);
void write_dasa_table(ByteWriter& out, const DasaTable& t);
DasaTable read_dasa_table(ByteReader& in);

}  // namespace tellurim
