#pragma once
// The answers of the script commands on the stars catalogue (NameOfStar, CommentOfStar,
// IdOfStar, IdStar2Num, StarConjunctionWith, IdStarConjunctionWithPlanet), apart from the
// interpreter: each takes the command's arguments as their texts and returns either the
// result text or the command's error text. The script host turns a failure into an error
// result.

#include <string>
#include <string_view>

#include "astro/stars.h"
#include "core/horoscope.h"

namespace tellurim {

struct [[nodiscard]] StarCommandAnswer {
    bool ok = false;
    std::string text;  // the result, or the error (or warning) text when !ok
};

// `catalogue` is null when no catalogue is loaded.
StarCommandAnswer name_of_star(const StarCatalogue* catalogue, std::string_view nstar);
StarCommandAnswer comment_of_star(const StarCatalogue* catalogue, std::string_view nstar);
StarCommandAnswer id_of_star(const StarCatalogue* catalogue, std::string_view nstar);
StarCommandAnswer id_star_to_num(const StarCatalogue* catalogue, std::string_view idstar);
// The number of the star closest in longitude to the planet (geocentric, movable zodiac) of
// the horoscope among those within the orb; "-1" when none is.
StarCommandAnswer star_conjunction_with(StarCatalogue* catalogue, const Horoscope& h, std::string_view nplanet,
                                        std::string_view orb_deg);
// The identifier of the star at position `pos_star` (from 0, closest first) of the stars
// conjunct with the planet within the orb.
StarCommandAnswer id_star_conjunction_with_planet(StarCatalogue* catalogue, const Horoscope& h,
                                                  std::string_view nplanet, std::string_view pos_star,
                                                  std::string_view orb_deg);

}  // namespace tellurim
