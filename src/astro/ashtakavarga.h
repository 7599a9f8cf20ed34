#pragma once
// Ashtakavarga: the benefic points (bindus) that the seven planets and the Ascendant give,
// from their own rasi signs, to the sign table of each of the seven planets; the trikona and
// ekadhipatya reductions of those tables; and the fixed per-ascendant quality of the planets.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/strength_record.h"

namespace tellurim {

inline constexpr int kBinduContributors = 8;  // Sun .. Saturn, then the Ascendant
inline constexpr int kBinduPlaces = 9;        // at most nine places per list
inline constexpr int kBinduGrandTotal = 337;

// The places (0 = the contributor's own sign) that receive one bindu in the table of
// `planet` (0..6) from `contributor` (0..7); a negative byte ends a shorter list.
using BinduPlaces = std::array<std::int8_t, kBinduPlaces>;
const BinduPlaces& bindu_places(int planet, int contributor);

// The rasi signs (0..11, -1 undefined) of the eight contributors, Sun .. Saturn then the
// Ascendant.
using ContributorSigns = std::array<int, kBinduContributors>;

// Clears `table` and counts the bindus before reduction; a contributor whose sign is
// undefined gives nothing. Column 7 holds the sums; every after-reduction count is set to
// its before-reduction count. A count stops at 255. False (table cleared) when no
// contributor sign is defined.
bool count_bindus(const ContributorSigns& signs, BinduTable& table);

// Trikona reduction of the after-reduction counts of the seven planets, on the four triplets
// of signs of the same element.
void trikona_reduction(BinduTable& table);

// Ekadhipatya reduction of the after-reduction counts on the five pairs of signs that share a
// lord; a sign is occupied when one of the eight contributors stands in it. Column 7 after
// reduction is summed again.
void ekadhipatya_reduction(BinduTable& table, const ContributorSigns& signs);

// The grand total of the before-reduction counts of the seven planets.
int bindus_total_before(const BinduTable& table);

// Per-ascendant quality of a planet: quality code 2, 1, -1 or 0 and killer code 1, -1 or 0.
// Both 0 for a planet outside 0..6 or a sign outside 0..11.
struct AshtakavargaQuality {
    int quality = 0;
    int killer = 0;
};
AshtakavargaQuality ashtakavarga_quality(int planet, int ascendant_sign);
// "Very good", "Good", "Bad" or "" for code 0; "Killing power planet especially if Maraka",
// "Cannot kill even if Maraka" or "".
std::string_view quality_code_text(int quality);
std::string_view killer_code_text(int killer);

}  // namespace tellurim
